#include "media/media_report_parser.h"

#include "app/text_numbers.h"
#include "engine/source_media.h"

#include <QString>
#include <algorithm>
#include <limits>

namespace {

QByteArrayView SkipBlanksAndTabs(QByteArrayView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    return text.sliced(i);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The non-empty pieces between the commas, each without its leading blanks.
template <typename Visit> void ForEachCommaItem(QByteArrayView text, Visit visit) {
    while (!text.isEmpty()) {
        const qsizetype comma = text.indexOf(',');
        const QByteArrayView piece = comma < 0 ? text : text.first(comma);
        if (!piece.isEmpty())
            visit(SkipBlanksAndTabs(piece));
        text = comma < 0 ? QByteArrayView() : text.sliced(comma + 1);
    }
}

unsigned NonNegative(int value) {
    return static_cast<unsigned>(std::max(value, 0));
}

// "hh:mm:ss.ff" in whole seconds, the fraction dropped; "N/A" is unknown (0).
unsigned DurationSeconds(QByteArrayView text) {
    if (text.startsWith("N/A"))
        return 0;
    const qsizetype comma = text.indexOf(',');
    if (comma >= 0)
        text = text.first(comma);
    const qint64 seconds = ClockMilliseconds(text) / 1000;
    // A negative or absurd reading is no duration the list could show.
    return static_cast<unsigned>(
        std::clamp<qint64>(seconds, 0, std::numeric_limits<unsigned>::max()));
}

// "160x120" or "1279x720 [SAR 1:1 DAR 16:9]": digits, 'x', digits, then the end
// or a blank. The codec tag "0x31637661" is no size: a ')' follows it.
bool IsPictureSize(QByteArrayView item) {
    qsizetype i = 0;
    while (i < item.size() && IsDigit(item[i]))
        ++i;
    if (i == 0 || i == item.size() || item[i] != 'x')
        return false;
    const qsizetype heightStart = ++i;
    while (i < item.size() && IsDigit(item[i]))
        ++i;
    return i > heightStart && (i == item.size() || item[i] == ' ');
}

// The a:b after "DAR " as a quotient; false when there is none or a side is not
// above 0.
bool ReadDisplayAspect(QByteArrayView text, double* aspect) {
    const qsizetype dar = text.indexOf("DAR ");
    if (dar < 0)
        return false;
    const QByteArrayView ratio = text.sliced(dar + 4);
    const qsizetype colon = ratio.indexOf(':');
    if (colon < 0)
        return false;
    const int a = LeadingInt(ratio.first(colon));
    const int b = LeadingInt(ratio.sliced(colon + 1));
    if (a <= 0 || b <= 0)
        return false;
    *aspect = double(a) / b;
    return true;
}

// The engine abbreviates large rates as "90k" or "1k": the suffix counts, or a
// 1000 tbr stream would pass for 1 frame per second.
double RateWithSuffix(QByteArrayView item) {
    const double value = LeadingDouble(item);
    const qsizetype blank = item.indexOf(' ');
    const bool thousands = blank > 0 && item[blank - 1] == 'k';
    return thousands ? value * 1000 : value;
}

} // namespace

void MediaReportParser::ParseLine(QByteArrayView line) {
    line = SkipBlanksAndTabs(line);
    if (!durationSeen_ && line.startsWith("Duration:")) {
        durationSeen_ = true;
        media_.duration = DurationSeconds(SkipBlanksAndTabs(line.sliced(9)));
        return;
    }
    if (!line.startsWith("Stream #"))
        return;
    const QByteArrayView afterHash = line.sliced(8);

    // "0:1(eng): Audio: ..." identifies stream 0:1; a second ':' or anything
    // else ends the identifier.
    qsizetype idLength = 0;
    bool colonSeen = false;
    for (; idLength < afterHash.size(); ++idLength) {
        const char c = afterHash[idLength];
        if (c == ':' && !colonSeen)
            colonSeen = true;
        else if (!IsDigit(c))
            break;
    }
    const QString streamId = QString::fromLatin1(afterHash.first(idLength));

    const qsizetype blank = afterHash.indexOf(' ');
    if (blank < 0)
        return;
    const QByteArrayView description = SkipBlanksAndTabs(afterHash.sliced(blank));
    if (!videoSeen_ && description.startsWith("Video:")) {
        videoSeen_ = true;
        ParseVideo(description.sliced(6));
        media_.videoStream = streamId;
    } else if (description.startsWith("Audio:")) {
        ParseAudio(description.sliced(6), streamId);
        audioSeen_ = true;
    }
}

void MediaReportParser::ParseVideo(QByteArrayView description) {
    media_.width = 0;
    media_.height = 0;
    media_.videoBitRate = 0;
    media_.frameRate = -1.0;
    media_.displayAspect = -1.0;
    double tbr = -1.0;
    ForEachCommaItem(description, [&](QByteArrayView item) {
        if (IsPictureSize(item)) {
            const qsizetype x = item.indexOf('x');
            media_.width = RaiseToEven(LeadingInt(item));
            media_.height = LeadingInt(item.sliced(x + 1));
            ReadDisplayAspect(item.sliced(x), &media_.displayAspect);
        } else if (item.contains(" fps")) {
            media_.frameRate = LeadingDouble(item);
        } else if (item.contains(" tbr")) {
            tbr = RateWithSuffix(item);
        } else if (item.contains(" kb/s")) {
            media_.videoBitRate = LeadingInt(item);
        } else {
            ReadDisplayAspect(item, &media_.displayAspect);
        }
    });
    // Without an "fps" item the stream's base rate is the best guess, unless it
    // is a time base rather than a frame rate.
    if (media_.frameRate < 0 && tbr > 0 && tbr < 60.1)
        media_.frameRate = tbr;
}

void MediaReportParser::ParseAudio(QByteArrayView description, const QString& streamId) {
    unsigned bitRate = 0;
    unsigned sampleRate = 0;
    unsigned channels = 0;
    static const struct {
        const char* layout;
        unsigned channels;
    } kLayouts[] = {{"stereo", 2}, {"mono", 1}, {"5.1", 6}, {"4.0", 4}, {"2.1", 3},
                    {"4.1", 5},    {"5.0", 5},  {"6.1", 7}, {"7.1", 8}};
    ForEachCommaItem(description, [&](QByteArrayView item) {
        if (item.contains(" Hz")) {
            sampleRate = NonNegative(LeadingInt(item));
        } else if (item.contains(" kb/s")) {
            bitRate = NonNegative(LeadingInt(item));
        } else if (item.contains(" channels")) {
            channels = NonNegative(LeadingInt(item));
        } else {
            const auto layout =
                std::find_if(std::begin(kLayouts), std::end(kLayouts),
                             [&](const auto& l) { return item.startsWith(l.layout); });
            if (layout != std::end(kLayouts))
                channels = layout->channels;
        }
    });
    media_.audioStreamIds.append(streamId);
    media_.audioBitRates.push_back(bitRate);
    media_.audioSampleRates.push_back(sampleRate);
    media_.audioChannels.push_back(channels);
}
