#pragma once

#include <QString>

namespace platform {

// The folder of the running program, ending in "/". False (dir untouched) when
// it cannot be determined.
bool GetModuleDir(QString* dir);

// True when the path names anything on disk, a folder included.
bool FileExists(const QString& path);

// The user's documents folder, whether it exists yet or not: whoever writes an
// output there makes it. False when the system names none.
bool GetDocumentsFolder(QString* dir);

} // namespace platform
