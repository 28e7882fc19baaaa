#include "app/text_numbers.h"

#include <QByteArray>
#include <algorithm>
#include <charconv>
#include <limits>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

QByteArrayView SkipBlanks(QByteArrayView text) {
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return text.sliced(i);
}

} // namespace

qint64 LeadingInt64(QByteArrayView text) {
    text = SkipBlanks(text);
    bool negative = false;
    if (!text.isEmpty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text = text.sliced(1);
    }
    constexpr qint64 kLimit = std::numeric_limits<qint64>::max();
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            break;
        const int digit = c - '0';
        value = value > (kLimit - digit) / 10 ? kLimit : value * 10 + digit;
    }
    return negative ? -value : value;
}

int LeadingInt(QByteArrayView text) {
    return static_cast<int>(std::clamp<qint64>(LeadingInt64(text), std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

int LeadingInt(QStringView text) {
    return LeadingInt(QByteArrayView(text.toLatin1()));
}

double LeadingDouble(QByteArrayView text) {
    text = SkipBlanks(text);
    if (!text.isEmpty() && text[0] == '+')
        text = text.sliced(1);
    double value = 0.0;
    const std::errc error = std::from_chars(text.begin(), text.end(), value).ec;
    if (error == std::errc::result_out_of_range)
        return text.startsWith('-') ? -std::numeric_limits<double>::max()
                                    : std::numeric_limits<double>::max();
    return error == std::errc() ? value : 0.0;
}

qint64 ClockMilliseconds(QByteArrayView text) {
    qint64 position = qint64(LeadingInt(text)) * 3600000;
    qsizetype colon = text.indexOf(':');
    if (colon < 0)
        return position;
    text = text.sliced(colon + 1);
    position += qint64(LeadingInt(text)) * 60000;
    colon = text.indexOf(':');
    if (colon < 0)
        return position;
    text = text.sliced(colon + 1);
    position += qint64(LeadingInt(text)) * 1000;
    const qsizetype point = text.indexOf('.');
    if (point >= 0)
        position += qint64(LeadingInt(text.sliced(point + 1))) * 10; // hundredths
    return position;
}
