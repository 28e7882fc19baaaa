#pragma once

namespace platform {

// True where the file system takes names that differ only in letter case for the
// same file, so that such names must compare equal.
bool FileNamesIgnoreCase();

} // namespace platform
