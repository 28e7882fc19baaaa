#pragma once

#include <QString>

// The channel layout a count of channels stands for: "Mono", "Stereo", "5.1"
// and so on; other counts as the number.
QString ChannelLayoutName(unsigned channels);

// A length in whole seconds as "h:mm:ss" from one hour on, else as "mm:ss".
QString DurationText(qint64 seconds);
