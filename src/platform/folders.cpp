#include "platform/folders.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

bool GetModuleDir(QString* dir) {
    if (!QCoreApplication::instance())
        return false;
    const QString path = QCoreApplication::applicationDirPath();
    if (path.isEmpty())
        return false;
    *dir = path.endsWith(u'/') ? path : path + u'/';
    return true;
}

bool FileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool GetDocumentsFolder(QString* dir) {
    const QString path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (path.isEmpty())
        return false;
    *dir = path;
    return true;
}

} // namespace platform
