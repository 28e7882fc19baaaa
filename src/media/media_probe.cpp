#include "media/media_probe.h"

#include "engine/command_line.h"
#include "engine/launch_engine.h"
#include "media/audio_readers.h"
#include "media/in_process_probe.h"
#include "media/media_report_parser.h"
#include "media/source_item.h"

#include <QFileInfo>

namespace {

// The engine's version, as the first line of "-version" gives it after
// "version"; empty when the engine cannot be started.
QString EngineVersion(const ToolPaths& tools) {
    CommandLine command;
    command.AppendQuoted(tools.enginePath).Append(" -version");
    QByteArray firstLine;
    LaunchEngine(command, tools.programDir, [&firstLine](const QByteArray& line) {
        if (firstLine.isEmpty())
            firstLine = line;
    });
    const QList<QByteArray> words = firstLine.split(' ');
    const qsizetype version = words.indexOf("version");
    return version >= 0 && version + 1 < words.size() ? QString::fromLatin1(words[version + 1])
                                                      : QString();
}

} // namespace

bool IsRegularSourceFile(const QString& path, QString* reason) {
    const QFileInfo file(path);
    QString why;
    if (!file.exists())
        why = QStringLiteral("it does not exist");
    else if (file.isDir())
        why = QStringLiteral("it is a folder");
    else if (!file.isFile())
        why = QStringLiteral("it is not a regular file (a pipe, a socket or a device)");
    if (reason && !why.isEmpty())
        *reason = why;
    return why.isEmpty();
}

bool ProbeWithEngine(SourceMedia& media, const QString& input, const QString& forcedFormat,
                     const ToolPaths& tools, QString* reason) {
    if (!IsRegularSourceFile(input, reason))
        return false;
    CommandLine probe;
    probe.AppendQuoted(tools.enginePath).Append(" ");
    if (!forcedFormat.isEmpty())
        probe.Append("-f ").Append(forcedFormat);
    probe.Append(" -i ").AppendQuoted(input);

    MediaReportParser parser(media);
    QString error;
    const bool started = LaunchEngine(
        probe, tools.programDir, [&parser](const QByteArray& line) { parser.ParseLine(line); },
        &error);
    if (started && parser.StreamSeen())
        return true;
    if (reason)
        *reason =
            started ? QStringLiteral("the engine finds no video or audio stream in it") : error;
    return false;
}

MediaProbe MediaProbe::Choose(const ToolPaths& tools) {
    const QString libraries = InProcessProbeVersion();
    const bool same = !libraries.isEmpty() && libraries == EngineVersion(tools);
    return MediaProbe(tools, same ? Method::InProcess : Method::Engine);
}

MediaProbe::Outcome MediaProbe::Probe(SourceItem& item, const std::atomic<bool>* cancelled,
                                      QString* reason) const {
    const SourceKind readerKind = ReaderKindForExtension(item.extension);
    if (!IsRegularSourceFile(item.path, reason))
        return readerKind == KindCdAudio ? Outcome::CdAudioFailed : Outcome::Failed;
    // The one place where a kind meets its built-in reader. A file the reader
    // refuses is the engine's to read, save a CD track, which holds no sound of
    // its own: only its drive or image has the track.
    if (readerKind != KindFile && ProbeWithAudioReader(item, readerKind))
        return Outcome::Loaded;
    if (readerKind == KindCdAudio) {
        if (reason)
            *reason = QStringLiteral("no CD drive or image in its folder holds this track");
        return Outcome::CdAudioFailed;
    }
    item.kind = KindFile;
    const QString forced = ForcedInputFormat(item.extension);
    const bool loaded = method_ == Method::InProcess
                            ? ProbeInProcess(item, item.path, forced, cancelled, reason)
                            : ProbeWithEngine(item, item.path, forced, tools_, reason);
    return loaded ? Outcome::Loaded : Outcome::Failed;
}
