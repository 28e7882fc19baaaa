#include "media/in_process_probe.h"

#include "engine/line_splitter.h"
#include "engine/source_media.h"
#include "media/media_probe.h"
#include "media/media_report_parser.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <mutex>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/eval.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kProbeTimeLimit = std::chrono::seconds(10);

// The libraries log through one process-wide callback; each probe collects the
// text logged on its own thread, so parallel probes never mix their reports.
thread_local QByteArray* tReport = nullptr;
thread_local int tPrintPrefix = 1;

void CollectLog(void* object, int level, const char* format, va_list arguments) {
    if (!tReport) {
        av_log_default_callback(object, level, format, arguments);
        return;
    }
    if (level > av_log_get_level())
        return;
    char line[1024]; // what the engine's own console writer allows a message
    const int length =
        av_log_format_line2(object, level, format, arguments, line, sizeof line, &tPrintPrefix);
    if (length > 0)
        tReport->append(line, std::min<int>(length, sizeof line - 1));
}

// Collects what the libraries log on this thread for as long as it lives.
class ReportCollector {
public:
    explicit ReportCollector(QByteArray& report) {
        static std::once_flag installed;
        std::call_once(installed, [] { av_log_set_callback(CollectLog); });
        tReport = &report;
        tPrintPrefix = 1;
    }
    ~ReportCollector() { tReport = nullptr; }
    ReportCollector(const ReportCollector&) = delete;
    ReportCollector& operator=(const ReportCollector&) = delete;
};

struct ProbeLimits {
    Clock::time_point deadline;
    const std::atomic<bool>* cancelled;
    bool timedOut = false;
};

// Asked by the libraries between reads: a non-zero answer ends the probe.
int ProbeInterrupted(void* opaque) {
    auto* limits = static_cast<ProbeLimits*>(opaque);
    if (limits->cancelled && limits->cancelled->load(std::memory_order_relaxed))
        return 1;
    limits->timedOut = limits->timedOut || Clock::now() > limits->deadline;
    return limits->timedOut ? 1 : 0;
}

QString ErrorText(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

// "NAME [-ar RATE] [-ac CHANNELS]", as ForcedInputFormat writes it, applied to the
// input as the engine applies "-f NAME -ar RATE -ac CHANNELS".
bool ApplyForcedFormat(const QString& forcedFormat, const AVInputFormat** format,
                       AVDictionary** options, QString* reason) {
    const QStringList words = forcedFormat.split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return true;
    *format = av_find_input_format(words[0].toLatin1().constData());
    if (!*format) {
        *reason = QStringLiteral("the engine's libraries cannot read \"%1\" input").arg(words[0]);
        return false;
    }
    for (qsizetype i = 1; i + 1 < words.size(); i += 2) {
        const QByteArray value = words[i + 1].toLatin1();
        if (words[i] == QLatin1String("-ar")) {
            av_dict_set_int(options, "sample_rate",
                            static_cast<int64_t>(av_strtod(value.constData(), nullptr)), 0);
        } else if (words[i] == QLatin1String("-ac")) {
            // Only a format that takes a layout is told one, as the engine does.
            const AVClass* formatClass = (*format)->priv_class;
            if (formatClass &&
                av_opt_find(&formatClass, "ch_layout", nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ))
                av_dict_set(options, "ch_layout", (value + 'C').constData(), 0);
        }
    }
    return true;
}

// The engine gives an audio stream without a channel layout the usual layout of
// its channel count before it reports the input.
void GuessChannelLayouts(AVFormatContext* context) {
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        AVCodecParameters* stream = context->streams[i]->codecpar;
        if (stream->codec_type == AVMEDIA_TYPE_AUDIO &&
            stream->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&stream->ch_layout, stream->ch_layout.nb_channels);
    }
}

// Opens the input as the engine opens one and has the libraries write their
// report into *report. False, with *reason set, when nothing can be reported.
bool WriteReport(const QString& input, const QString& forcedFormat,
                 const std::atomic<bool>* cancelled, QByteArray* report, QString* reason) {
    const AVInputFormat* format = nullptr;
    AVDictionary* options = nullptr;
    if (!ApplyForcedFormat(forcedFormat, &format, &options, reason))
        return false;
    av_dict_set(&options, "scan_all_pmts", "1", 0);
    // A playlist or a list file could otherwise reach out to the network.
    av_dict_set(&options, "protocol_whitelist", "file,crypto,data", 0);

    ReportCollector collector(*report);
    ProbeLimits limits{Clock::now() + kProbeTimeLimit, cancelled};
    AVFormatContext* context = avformat_alloc_context();
    if (!context) {
        av_dict_free(&options);
        *reason = QStringLiteral("out of memory");
        return false;
    }
    context->interrupt_callback = {ProbeInterrupted, &limits};
    const QByteArray fileName = QFile::encodeName(input);
    int error = avformat_open_input(&context, fileName.constData(), format, &options);
    av_dict_free(&options);
    bool reported = false;
    if (error >= 0) {
        error = avformat_find_stream_info(context, nullptr);
        // Like the engine, report what was found unless nothing was.
        reported = (error >= 0 || context->nb_streams > 0) && !limits.timedOut;
        if (reported) {
            GuessChannelLayouts(context);
            av_dump_format(context, 0, fileName.constData(), 0);
        }
        avformat_close_input(&context);
    }
    if (limits.timedOut) {
        *reason = QStringLiteral("reading it took longer than %1 seconds")
                      .arg(std::chrono::seconds(kProbeTimeLimit).count());
    } else if (!reported) {
        *reason = ErrorText(error);
    }
    return reported;
}

} // namespace

QString InProcessProbeVersion() {
    return QString::fromLatin1(av_version_info());
}

bool ProbeInProcess(SourceMedia& media, const QString& input, const QString& forcedFormat,
                    const std::atomic<bool>* cancelled, QString* reason) {
    QString why;
    QByteArray report;
    bool seen = false;
    if (IsRegularSourceFile(input, &why) &&
        WriteReport(input, forcedFormat, cancelled, &report, &why)) {
        report.append('\n'); // the report's last line is complete
        MediaReportParser parser(media);
        LineSplitter().Feed(report, [&parser](QByteArrayView line) {
            if (!line.isEmpty())
                parser.ParseLine(line);
        });
        seen = parser.StreamSeen();
        if (!seen)
            why = QStringLiteral("it holds no video or audio stream");
    }
    if (!seen && reason)
        *reason = why;
    return seen;
}
