#include "theora_tool_options.h"

#include "app/text_numbers.h"

#include <QStringList>
#include <algorithm>

namespace {

enum class Kind { Flag, Int, Double, Text };

struct Option {
    const char* shortName; // may be null
    const char* longName;
    Kind kind;
    bool TheoraToolOptions::*flag;
    int TheoraToolOptions::*intValue;
    double TheoraToolOptions::*doubleValue;
    QString TheoraToolOptions::*textValue;
};

using O = TheoraToolOptions;
const Option kOptions[] = {
    {nullptr, "--frontend", Kind::Flag, &O::frontend, nullptr, nullptr, nullptr},
    {nullptr, "--nosubtitles", Kind::Flag, &O::noSubtitles, nullptr, nullptr, nullptr},
    {nullptr, "--novideo", Kind::Flag, &O::noVideo, nullptr, nullptr, nullptr},
    {nullptr, "--noaudio", Kind::Flag, &O::noAudio, nullptr, nullptr, nullptr},
    {nullptr, "--nosync", Kind::Flag, &O::noSync, nullptr, nullptr, nullptr},
    {nullptr, "--nometadata", Kind::Flag, &O::noMetadata, nullptr, nullptr, nullptr},
    {nullptr, "--deinterlace", Kind::Flag, &O::deinterlace, nullptr, nullptr, nullptr},
    {"-s", "--starttime", Kind::Double, nullptr, nullptr, &O::start, nullptr},
    {"-e", "--endtime", Kind::Double, nullptr, nullptr, &O::end, nullptr},
    {"-x", "--width", Kind::Int, nullptr, &O::width, nullptr, nullptr},
    {"-y", "--height", Kind::Int, nullptr, &O::height, nullptr, nullptr},
    {nullptr, "--cropleft", Kind::Int, nullptr, &O::cropLeft, nullptr, nullptr},
    {nullptr, "--cropright", Kind::Int, nullptr, &O::cropRight, nullptr, nullptr},
    {nullptr, "--croptop", Kind::Int, nullptr, &O::cropTop, nullptr, nullptr},
    {nullptr, "--cropbottom", Kind::Int, nullptr, &O::cropBottom, nullptr, nullptr},
    {nullptr, "--aspect", Kind::Text, nullptr, nullptr, nullptr, &O::aspect},
    {"-v", "--videoquality", Kind::Int, nullptr, &O::videoQuality, nullptr, nullptr},
    {"-F", "--framerate", Kind::Double, nullptr, nullptr, &O::frameRate, nullptr},
    {nullptr, "--audiostream", Kind::Int, nullptr, &O::audioStream, nullptr, nullptr},
    {"-H", "--samplerate", Kind::Int, nullptr, &O::sampleRate, nullptr, nullptr},
    {"-c", "--channels", Kind::Int, nullptr, &O::channels, nullptr, nullptr},
    {"-a", "--audioquality", Kind::Int, nullptr, &O::audioQuality, nullptr, nullptr},
    {"-A", "--audiobitrate", Kind::Int, nullptr, &O::audioBitRate, nullptr, nullptr},
    {"-o", "--output", Kind::Text, nullptr, nullptr, nullptr, &O::output},
};

const Option* FindOption(const QString& name) {
    for (const Option& option : kOptions)
        if ((option.shortName && name == QLatin1StringView(option.shortName)) ||
            name == QLatin1StringView(option.longName))
            return &option;
    return nullptr;
}

QString Number(double value) {
    return QString::number(value, 'f', 3);
}

} // namespace

bool ParseTheoraToolOptions(const QStringList& arguments, TheoraToolOptions* options,
                            QString* error) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(u'-') || argument == u"-") {
            if (!options->input.isEmpty()) {
                *error = QStringLiteral("more than one input file: %1").arg(argument);
                return false;
            }
            options->input = argument;
            continue;
        }
        const Option* option = FindOption(argument);
        if (!option) {
            *error = QStringLiteral("unknown option: %1").arg(argument);
            return false;
        }
        if (option->kind == Kind::Flag) {
            options->*option->flag = true;
            continue;
        }
        if (++i == arguments.size()) {
            *error = QStringLiteral("option %1 needs a value").arg(argument);
            return false;
        }
        const QString& value = arguments[i];
        if (option->kind == Kind::Int)
            options->*option->intValue = LeadingInt(value);
        else if (option->kind == Kind::Double)
            options->*option->doubleValue = LeadingDouble(QByteArrayView(value.toUtf8()));
        else
            options->*option->textValue = value;
    }
    if (options->input.isEmpty() || options->output.isEmpty()) {
        *error = options->input.isEmpty() ? QStringLiteral("no input file given")
                                          : QStringLiteral("no output file given (-o)");
        return false;
    }
    return true;
}

CommandLine TheoraEngineCommand(const TheoraToolOptions& options, const QString& enginePath) {
    CommandLine line;
    line.AppendQuoted(enginePath).Append(" -hide_banner -nostdin -y ");
    const double start = std::max(options.start, 0.0);
    if (options.start > 0)
        line.Append("-ss " + Number(start) + u' ');
    line.Append("-i ").AppendQuoted(options.input).Append(" -dn ");
    if (options.end >= 0)
        line.Append("-t " + Number(std::max(options.end - start, 0.0)) + u' ');
    if (options.noSubtitles)
        line.Append("-sn ");
    if (options.audioStream >= 0 && !options.noAudio) {
        if (!options.noVideo)
            line.Append("-map 0:v:0? ");
        line.Append(QStringLiteral("-map 0:%1 ").arg(options.audioStream));
    }

    if (options.noVideo) {
        line.Append("-vn ");
    } else {
        QStringList filters;
        if (options.deinterlace)
            filters << QStringLiteral("yadif");
        // Summed wide: each margin may be as large as an int.
        const qint64 cropWidth =
            qint64(std::max(options.cropLeft, 0)) + std::max(options.cropRight, 0);
        const qint64 cropHeight =
            qint64(std::max(options.cropTop, 0)) + std::max(options.cropBottom, 0);
        if (cropWidth > 0 || cropHeight > 0)
            filters << QStringLiteral("crop=in_w-%1:in_h-%2:%3:%4")
                           .arg(cropWidth)
                           .arg(cropHeight)
                           .arg(std::max(options.cropLeft, 0))
                           .arg(std::max(options.cropTop, 0));
        if (options.width > 0 || options.height > 0)
            // A missing side follows the picture's aspect, kept even.
            filters << QStringLiteral("scale=%1:%2")
                           .arg(options.width > 0 ? options.width : -2)
                           .arg(options.height > 0 ? options.height : -2);
        if (!filters.isEmpty())
            line.Append("-vf ").AppendQuoted(filters.join(u',')).Append(" ");
        line.Append(
            QStringLiteral("-c:v libtheora -q:v %1 ").arg(std::clamp(options.videoQuality, 0, 10)));
        if (!options.aspect.isEmpty())
            line.Append("-aspect ").AppendValue(options.aspect).Append(" ");
        if (options.frameRate > 0)
            line.Append("-r " + Number(options.frameRate) + u' ');
    }

    if (options.noAudio) {
        line.Append("-an ");
    } else {
        line.Append("-c:a libvorbis ");
        if (options.audioBitRate > 0)
            line.Append(QStringLiteral("-b:a %1k ").arg(options.audioBitRate));
        else
            line.Append(QStringLiteral("-q:a %1 ").arg(std::clamp(options.audioQuality, -2, 10)));
        if (options.sampleRate > 0)
            line.Append(QStringLiteral("-ar %1 ").arg(options.sampleRate));
        if (options.channels > 0)
            line.Append(QStringLiteral("-ac %1 ").arg(options.channels));
        if (!options.noSync)
            line.Append("-af aresample=async=1 ");
    }

    if (options.noMetadata)
        line.Append("-map_metadata -1 ");
    line.Append("-f ogg ").AppendQuoted(options.output);
    return line;
}

bool ReadReportDuration(QByteArrayView line, double* seconds) {
    line = line.trimmed();
    if (!line.startsWith("Duration:"))
        return false;
    const QByteArrayView time = line.sliced(9).trimmed();
    const QList<QByteArray> parts = time.toByteArray().split(':');
    if (parts.size() < 3 || time.startsWith("N/A"))
        return false;
    *seconds =
        LeadingInt64(parts[0]) * 3600.0 + LeadingInt64(parts[1]) * 60.0 + LeadingDouble(parts[2]);
    return true;
}

QByteArray FrontendStatusLine(double position, double duration) {
    return QStringLiteral("{\"duration\": %1, \"position\": %2}")
        .arg(Number(duration), Number(position))
        .toUtf8();
}
