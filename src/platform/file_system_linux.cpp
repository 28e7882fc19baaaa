#include "platform/file_system.h"

#include <QFile>
#include <sys/stat.h>

namespace platform {

// Judged by the file itself, not by its name: whether "clip.MKV" and "clip.mkv"
// are one file depends on the mount (ext4 tells them apart, vfat and CIFS do
// not), and a hard link has no name in common with its file at all.
bool IsSameFile(const QString& a, const QString& b) {
    if (a == b)
        return true;
    struct stat first {};
    struct stat second {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace platform
