#pragma once

#include <QString>

namespace platform {

// Copies the chosen dates of one file onto another, leaving the last-access time
// alone. Linux keeps no settable creation time, so asking for it alone copies
// nothing and reports false. False, with the target's dates untouched, on any
// failure.
bool CopyFileDates(const QString& from, const QString& to, bool creationTime, bool lastWriteTime);

} // namespace platform
