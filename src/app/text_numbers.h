#pragma once

#include <QByteArrayView>
#include <QStringView>

// Numbers read as the engine's reports and the stored texts write them: leading
// white space, an optional sign, then digits up to the first non-digit. No digits
// give 0. Values beyond the type's range saturate.
int LeadingInt(QByteArrayView text);
qint64 LeadingInt64(QByteArrayView text);
int LeadingInt(QStringView text);

// The same for a decimal number with an optional fraction and exponent, in the C
// locale whatever the user's locale is.
double LeadingDouble(QByteArrayView text);

// A clock text "hours:minutes:seconds.hundredths" in milliseconds, each part read
// as LeadingInt reads it and a missing part counting 0 ("N/A" gives 0). Only the
// text given is read: a caller cuts it to its field, so that a '.' or ':' further
// on in a line is never taken for part of the time.
qint64 ClockMilliseconds(QByteArrayView text);
