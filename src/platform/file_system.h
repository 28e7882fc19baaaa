#pragma once

#include <QString>

namespace platform {

// A full path in the folder (the system's temporary folder when empty) that no
// file has yet: prefix, then process, thread, clock and random numbers and a
// counter, then suffix (such as ".wav"). Nothing is created; the caller creates it.
QString TemporaryFileName(const QString& folder = {}, const QString& prefix = {},
                          const QString& suffix = {});

// True when the folder exists afterwards. With create, the missing folders of the
// chain are made one by one; those made before a failing step stay.
bool MakeFolderChain(const QString& folder, bool create);

// True when the path names a file (not a folder); its size in bytes then.
bool GetFileSize(const QString& path, qint64* size);

// True when both paths name one file: equal as the file system compares names
// (with their letter case on Linux), or leading to the same file through links
// and dots.
bool IsSameFile(const QString& a, const QString& b);

} // namespace platform
