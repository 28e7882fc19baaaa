#include "support/dwvw_writer.h"

#include <QtEndian>
#include <cmath>
#include <cstdlib>

namespace {

// Bits most significant first, the last byte filled with zeros.
class BitWriter {
public:
    void Put(std::uint32_t value, int count) {
        for (int bit = count - 1; bit >= 0; --bit) {
            current_ = static_cast<std::uint8_t>((current_ << 1) | ((value >> bit) & 1));
            if (++used_ == 8) {
                bytes_.append(static_cast<char>(current_));
                current_ = 0;
                used_ = 0;
            }
        }
    }
    QByteArray Finish() {
        if (used_ > 0)
            Put(0, 8 - used_);
        return bytes_;
    }

private:
    QByteArray bytes_;
    std::uint8_t current_ = 0;
    int used_ = 0;
};

int BitLength(std::int32_t value) {
    int length = 0;
    for (; value > 0; value >>= 1)
        ++length;
    return length;
}

QByteArray Encode(const std::vector<std::int32_t>& samples, int bits) {
    const std::int32_t maxDelta = std::int32_t{1} << (bits - 1);
    const std::int32_t span = std::int32_t{1} << bits;
    const int maxWidthChange = bits / 2;
    BitWriter out;
    std::int32_t last = 0;
    int lastWidth = 0;
    for (std::int32_t sample : samples) {
        std::int32_t delta = sample - last;
        if (delta >= maxDelta)
            delta -= span;
        else if (delta < -maxDelta)
            delta += span;
        last = sample;
        const std::int32_t magnitude = std::abs(delta);
        // The largest magnitude is sent as the next smaller one and an extra bit.
        const int width = magnitude >= maxDelta - 1 ? bits - 1 : BitLength(magnitude);

        int change = width - lastWidth;
        if (change > maxWidthChange)
            change -= bits;
        else if (change < -maxWidthChange)
            change += bits;
        lastWidth = width;
        const int steps = std::abs(change);
        out.Put(0, steps);
        if (steps < maxWidthChange)
            out.Put(1, 1);
        if (steps != 0)
            out.Put(change < 0 ? 1 : 0, 1);
        if (width == 0)
            continue;
        const std::int32_t sent = std::min(magnitude, maxDelta - 1);
        out.Put(static_cast<std::uint32_t>(sent) & ((1u << (width - 1)) - 1), width - 1);
        out.Put(delta < 0 ? 1 : 0, 1);
        if (sent == maxDelta - 1)
            out.Put(magnitude == maxDelta ? 1 : 0, 1);
    }
    return out.Finish();
}

void Append16(QByteArray& bytes, quint16 value) {
    char field[2];
    qToBigEndian(value, field);
    bytes.append(field, 2);
}

void Append32(QByteArray& bytes, quint32 value) {
    char field[4];
    qToBigEndian(value, field);
    bytes.append(field, 4);
}

// The sample rate as an 80-bit extended-precision number.
void AppendRate(QByteArray& bytes, int rate) {
    int exponent = 16383 + 31;
    std::uint32_t mantissa = static_cast<std::uint32_t>(rate);
    while (!(mantissa & 0x80000000u)) {
        mantissa <<= 1;
        --exponent;
    }
    Append16(bytes, static_cast<quint16>(exponent));
    Append32(bytes, mantissa);
    Append32(bytes, 0);
}

} // namespace

QByteArray DwvwAifcFile(const std::vector<std::int32_t>& samples, int bits, int channels,
                        int sampleRate) {
    QByteArray comm;
    Append16(comm, static_cast<quint16>(channels));
    Append32(comm, static_cast<quint32>(samples.size() / channels));
    Append16(comm, static_cast<quint16>(bits));
    AppendRate(comm, sampleRate);
    comm.append("DWVW");
    comm.append("\x04"
                "DWVW\0",
                6); // a Pascal string padded to an even length

    const QByteArray sound = Encode(samples, bits);
    QByteArray body("AIFC");
    body.append("COMM");
    Append32(body, static_cast<quint32>(comm.size()));
    body.append(comm);
    body.append("SSND");
    Append32(body, static_cast<quint32>(sound.size() + 8));
    Append32(body, 0);
    Append32(body, 0);
    body.append(sound);
    if (sound.size() % 2 != 0)
        body.append('\0');

    QByteArray file("FORM");
    Append32(file, static_cast<quint32>(body.size()));
    return file + body;
}
