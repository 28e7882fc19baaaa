#include "media/source_path_map.h"

#include "platform/file_names.h"

#include <QFileInfo>

namespace {

QString AsFileSystemCompares(const QString& key) {
    return platform::FileNamesIgnoreCase() ? key.toUpper() : key;
}

} // namespace

QString SourcePathMap::FileKey(const QString& path) {
    return AsFileSystemCompares(QFileInfo(path).absoluteFilePath());
}

QString SourcePathMap::DvdTitleKey(const QString& dvdFolder, int titleSet) {
    return AsFileSystemCompares(QStringLiteral("DVD:%1%2").arg(dvdFolder).arg(titleSet));
}
