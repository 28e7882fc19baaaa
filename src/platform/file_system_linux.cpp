#include "platform/file_system.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool NameTaken(const QString& path) {
    struct stat status {};
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

ClaimResult ClaimNewFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        return errno == EEXIST ? ClaimResult::Taken : ClaimResult::Failed;
    ::close(fd);
    return ClaimResult::Claimed;
}

QString MoveAside(const QString& path) {
    const QFileInfo file(path);
    struct stat status {};
    const QByteArray from = QFile::encodeName(path);
    if (::lstat(from.constData(), &status) != 0 || S_ISDIR(status.st_mode))
        return {};
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString aside =
            TemporaryFileName(file.absolutePath(), u'.' + file.fileName() + u'.', ".kept");
        // Never onto a name someone else took meanwhile.
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, QFile::encodeName(aside).constData(),
                        RENAME_NOREPLACE) == 0)
            return aside;
        if (errno != EEXIST)
            return {};
    }
    return {};
}

bool PutBack(const QString& aside, const QString& path) {
    return ::rename(QFile::encodeName(aside).constData(), QFile::encodeName(path).constData()) == 0;
}

} // namespace platform
