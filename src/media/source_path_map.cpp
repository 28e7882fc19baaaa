#include "media/source_path_map.h"

#include "platform/file_system.h"

QString SourcePathMap::DvdTitleKey(const QString& dvdFolder, int titleSet) {
    return QStringLiteral("DVD:%1%2").arg(platform::PathKey(dvdFolder)).arg(titleSet);
}
