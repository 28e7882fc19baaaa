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

// True when both paths name one file: the same text, or two names (links, dots,
// another letter case on a file system that ignores it) of one existing file.
bool IsSameFile(const QString& a, const QString& b);

} // namespace platform
