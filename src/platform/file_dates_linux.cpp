#include "platform/file_dates.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

bool CopyFileDates(const QString& from, const QString& to, bool creationTime, bool lastWriteTime) {
    Q_UNUSED(creationTime); // the file system keeps a birth time but lets nobody set it
    if (!lastWriteTime)
        return false;
    struct stat source {};
    if (::stat(QFile::encodeName(from).constData(), &source) != 0)
        return false;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1] = source.st_mtim;
    return ::utimensat(AT_FDCWD, QFile::encodeName(to).constData(), times, 0) == 0;
}

} // namespace platform
