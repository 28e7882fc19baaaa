#include "platform/file_system.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace platform {

// Judged by the file itself, not by its name: whether "clip.MKV" and "clip.mkv"
// are one file depends on the mount (ext4 tells them apart, vfat and CIFS do
// not), and a hard link has no name in common with its file at all. The key
// holds no slash first, so it never equals a path's. The path is cleaned first,
// as a name is read everywhere here: "missing/../clip.mp4" is "clip.mp4".
QString FileKey(const QString& path) {
    struct stat status {};
    const QString clean = QFileInfo(path).absoluteFilePath();
    if (path.isEmpty() || ::stat(QFile::encodeName(clean).constData(), &status) != 0)
        return PathKey(path);
    return QStringLiteral("%1:%2").arg(quint64(status.st_dev)).arg(quint64(status.st_ino));
}

} // namespace platform
