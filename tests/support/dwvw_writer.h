#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

// A whole AIFF-C file with DWVW-compressed sound, for the cases libsndfile does
// not write (more than one channel, 12 bits). samples are interleaved values of
// the given width, each within its signed range.
QByteArray DwvwAifcFile(const std::vector<std::int32_t>& samples, int bits, int channels,
                        int sampleRate);
