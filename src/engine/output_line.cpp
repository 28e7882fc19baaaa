#include "engine/output_line.h"

#include "app/text_numbers.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

qint64 SecondsToMilliseconds(double seconds) {
    const double ms = std::trunc(seconds * 1000.0);
    if (std::isnan(ms))
        return 0;
    // Beyond any real position: kept in range instead of overflowing.
    return static_cast<qint64>(std::clamp(ms, -9.0e18, 9.0e18));
}

} // namespace

OutputLineKind ReadOutputLine(QByteArrayView line, qint64* position) {
    if (line.isEmpty())
        return OutputLineKind::Ignored;
    if (line.startsWith("frame=") || line.startsWith("size=")) {
        const qsizetype time = line.indexOf("time=");
        if (time < 0)
            return OutputLineKind::Ignored;
        QByteArrayView field = line.sliced(time + 5);
        const qsizetype blank = field.indexOf(' ');
        if (blank >= 0)
            field = field.first(blank);
        *position = ClockMilliseconds(field);
        return OutputLineKind::Progress;
    }
    if (line.size() >= 2 && line[0] == '{' && line[1] == '"') {
        static constexpr QByteArrayView kPosition = "\"position\":";
        const qsizetype found = line.indexOf(kPosition);
        if (found < 0)
            return OutputLineKind::Ignored;
        *position = SecondsToMilliseconds(LeadingDouble(line.sliced(found + kPosition.size())));
        return OutputLineKind::Progress;
    }
    return OutputLineKind::Text;
}

int ProgressPercent(qint64 position, unsigned durationSeconds) {
    if (durationSeconds == 0)
        return -1;
    const qint64 percent = position / (qint64(durationSeconds) * 10);
    return static_cast<int>(std::clamp<qint64>(percent, 0, 100));
}

bool IsErrorLine(QStringView line) {
    static constexpr QStringView kWords[] = {
        u"error",  u"invalid",   u"failed", u"unknown",  u"no such file", u"denied",  u"not found",
        u"cannot", u"could not", u"unable", u"no space", u"too large",    u"refused", u"corrupt",
    };
    return std::any_of(std::begin(kWords), std::end(kWords), [line](QStringView word) {
        return line.contains(word, Qt::CaseInsensitive);
    });
}
