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

// A path as the file system names it: absolute and clean, upper-cased only where
// names that differ in letter case are one name.
QString PathKey(const QString& path);

// The file a path reaches, as a key: its device and inode when it exists, so that
// every name of one file (links, dots, another letter case on a mount that
// ignores it) gives one key; else the PathKey of the name. The one test of
// sameness for sources, outputs and joins.
QString FileKey(const QString& path);

// True when both paths reach one file: their FileKeys are equal.
bool IsSameFile(const QString& a, const QString& b);

// True when a file, folder or link (a dangling one too) has this name.
bool NameTaken(const QString& path);

enum class ClaimResult { Claimed, Taken, Failed };
// Creates path as a new, empty file, never through a name or link already there:
// of two processes claiming one name, one only gets it.
ClaimResult ClaimNewFile(const QString& path);

// Moves the file or link named path (never a folder; a link itself, not what it
// points at) to a free hidden name beside it. That name; "" when it cannot.
QString MoveAside(const QString& path);

// Puts a file moved aside back under its name, replacing whatever is there now.
bool PutBack(const QString& aside, const QString& path);

} // namespace platform
