#include "media/add_source_file.h"

#include "engine/command_line.h"
#include "engine/launch_engine.h"
#include "engine/tool_paths.h"
#include "media/media_report_parser.h"
#include "media/source_list_model.h"
#include "platform/file_system.h"

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
    const QString key = platform::FileKey(path);
    if (list.paths().Contains(key))
        return 0;

    auto item = std::make_unique<SourceItem>();
    // The engine runs in the program folder: a relative path would name another file.
    const QFileInfo file(path);
    item->path = file.absoluteFilePath();
    item->extension = file.suffix().toLower();

    // A CD track file holds no audio; only reading the drive gives the track.
    if (item->extension == QLatin1String("cda")) {
        if (cdAudioFailed)
            *cdAudioFailed = true;
        return -1;
    }
    if (!ProbeWithEngine(*item, item->path, ForcedInputFormat(item->extension), tools))
        return -1;
    return list.AppendSourceRow(std::move(item), requestAudioIndex, key);
}
