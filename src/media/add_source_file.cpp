#include "media/add_source_file.h"

#include "media/media_probe.h"
#include "media/source_list_model.h"
#include "platform/file_system.h"

#include <QFileInfo>

std::unique_ptr<SourceItem> NewSourceItem(const QString& path) {
    auto item = std::make_unique<SourceItem>();
    // The engine runs in the program folder: a relative path would name another file.
    const QFileInfo file(path);
    item->path = file.absoluteFilePath();
    item->extension = file.suffix().toLower();
    return item;
}

int AddSourceFile(SourceListModel& list, const QString& path, const MediaProbe& probe,
                  int requestAudioIndex, bool* cdAudioFailed) {
    const QString key = platform::FileKey(path);
    if (list.paths().Contains(key))
        return 0;
    std::unique_ptr<SourceItem> item = NewSourceItem(path);
    const MediaProbe::Outcome outcome = probe.Probe(*item);
    if (outcome == MediaProbe::Outcome::Loaded)
        return list.AppendSourceRow(std::move(item), requestAudioIndex, key);
    if (outcome == MediaProbe::Outcome::CdAudioFailed && cdAudioFailed)
        *cdAudioFailed = true;
    return -1;
}
