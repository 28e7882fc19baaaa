#include "platform/file_system.h"

#include <QFile>
#include <sys/stat.h>

namespace platform {

// Judged by the file itself, not by its name: whether "clip.MKV" and "clip.mkv"
// are one file depends on the mount (ext4 tells them apart, vfat and CIFS do
// not), and a hard link has no name in common with its file at all. The key
// holds no slash first, so it never equals a path's.
QString FileKey(const QString& path) {
    struct stat status {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0)
        return PathKey(path);
    return QStringLiteral("%1:%2").arg(quint64(status.st_dev)).arg(quint64(status.st_ino));
}

} // namespace platform
