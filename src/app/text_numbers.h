#pragma once

#include <QByteArrayView>
#include <QStringView>

// Numbers read the way the engine's reports and the stored texts have always been
// read: leading white space, an optional sign, then digits up to the first
// non-digit. No digits give 0. Values beyond the type's range saturate.
int LeadingInt(QByteArrayView text);
qint64 LeadingInt64(QByteArrayView text);
int LeadingInt(QStringView text);

// The same for a decimal number with an optional fraction and exponent, in the C
// locale whatever the user's locale is.
double LeadingDouble(QByteArrayView text);
