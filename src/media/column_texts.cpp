#include "media/column_texts.h"

QString ChannelLayoutName(unsigned channels) {
    static const char* const kNames[] = {"Mono", "Stereo", "2.1", "4.0",
                                         "4.1",  "5.1",    "6.1", "7.1"};
    if (channels >= 1 && channels <= std::size(kNames))
        return QString::fromLatin1(kNames[channels - 1]);
    return QString::number(channels);
}

QString DurationText(qint64 seconds) {
    const qint64 minutes = seconds / 60 % 60;
    if (seconds >= 3600)
        return QString::asprintf("%lld:%02lld:%02lld", seconds / 3600, minutes, seconds % 60);
    return QString::asprintf("%02lld:%02lld", minutes, seconds % 60);
}
