#include "platform/file_system.h"

#include "platform/file_names.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

namespace platform {

QString TemporaryFileName(const QString& folder, const QString& prefix, const QString& suffix) {
    QString dir = folder.isEmpty() ? QDir::tempPath() : folder;
    if (!dir.endsWith(u'/'))
        dir += u'/';
    for (quint64 counter = 1;; ++counter) {
        const QString name =
            dir + prefix + QString::number(QCoreApplication::applicationPid()) +
            QString::number(reinterpret_cast<quintptr>(QThread::currentThreadId()) % 100000u) +
            QString::number(QDateTime::currentMSecsSinceEpoch() % 100000000) +
            QString::number(QRandomGenerator::global()->bounded(32768)) + QString::number(counter) +
            suffix;
        if (!QFileInfo::exists(name))
            return name;
    }
}

bool MakeFolderChain(const QString& folder, bool create) {
    if (folder.isEmpty())
        return false;
    if (QFileInfo(folder).isDir())
        return true;
    if (!create)
        return false;
    // mkpath stops at the first part it cannot make (a file in the way included)
    // and leaves the parts it made.
    return QDir().mkpath(folder) && QFileInfo(folder).isDir();
}

QString PathKey(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    return FileNamesIgnoreCase() ? absolute.toUpper() : absolute;
}

bool IsSameFile(const QString& a, const QString& b) {
    return FileKey(a) == FileKey(b);
}

bool GetFileSize(const QString& path, qint64* size) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return false;
    *size = info.size();
    return true;
}

} // namespace platform
