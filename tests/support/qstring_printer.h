#pragma once

#include <QString>
#include <ostream>

// Failed expectations show texts as text, not as arrays of 16-bit units.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}
