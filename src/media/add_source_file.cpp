#include "media/add_source_file.h"

#include "engine/command_line.h"
#include "engine/launch_engine.h"
#include "engine/tool_paths.h"
#include "media/audio_readers.h"
#include "media/media_report_parser.h"
#include "media/source_list_model.h"

#include <QFileInfo>
#include <memory>

bool ProbeWithEngine(SourceMedia& media, const QString& input, const QString& forcedFormat,
                     const ToolPaths& tools) {
    CommandLine probe;
    probe.AppendQuoted(tools.enginePath).Append(" ");
    if (!forcedFormat.isEmpty())
        probe.Append("-f ").Append(forcedFormat);
    probe.Append(" -i ").AppendQuoted(input);

    MediaReportParser parser(media);
    const bool started = LaunchEngine(
        probe, tools.programDir, [&parser](const QByteArray& line) { parser.ParseLine(line); });
    return started && parser.StreamSeen();
}

int AddSourceFile(SourceListModel& list, const QString& path, const ToolPaths& tools,
                  int requestAudioIndex, bool* cdAudioFailed) {
    const QString key = SourcePathMap::FileKey(path);
    if (list.paths().Contains(key))
        return 0;

    auto item = std::make_unique<SourceItem>();
    // The engine runs in the program folder: a relative path would name another file.
    const QFileInfo file(path);
    item->path = file.absoluteFilePath();
    item->extension = file.suffix().toLower();

    // A built-in reader takes the kinds the engine cannot read; a file it refuses
    // is the engine's, save a CD track, which holds no sound of its own.
    const SourceKind readerKind = ReaderKindForExtension(item->extension);
    if (readerKind != KindFile && ProbeWithAudioReader(*item, readerKind))
        return list.AppendSourceRow(std::move(item), requestAudioIndex, key);
    if (readerKind == KindCdAudio) {
        if (cdAudioFailed)
            *cdAudioFailed = true;
        return -1;
    }
    if (!ProbeWithEngine(*item, item->path, ForcedInputFormat(item->extension), tools))
        return -1;
    return list.AppendSourceRow(std::move(item), requestAudioIndex, key);
}
