#pragma once

#include <cstdint>
#include <functional>

// Decodes DWVW (Delta Word Variable Width) sound data: each sample is the last
// one plus a delta whose bit width changes by a unary-coded step. Bits are read
// most significant first from bytes fetched 256 at a time.
class DwvwDecoder {
public:
    // Fills up to most bytes and returns how many it filled; 0 at the end of the
    // data or on a read error.
    using Fetch = std::function<int(std::uint8_t* bytes, int most)>;

    // bitWidth is the sample size of the stream, 8 to 24.
    DwvwDecoder(int bitWidth, Fetch fetch);

    // Decodes up to count samples into samples, each left-justified in 32 bits.
    // Returns how many; fewer than count only at the end of the data, after which
    // it returns 0. Only samples made wholly of the data's bits count.
    int Decode(std::int32_t* samples, int count);

private:
    static constexpr int kEndOfData = -1;

    // The next n bits (n below 25) as a number, or kEndOfData when the data has
    // ended and fewer than 8 bits were asked.
    int LoadBits(int n);
    // The number of 0 bits before the next 1 bit, at most maxWidthChange_.
    int LoadWidthChange();
    // Makes at least needed bits held, with zero bits after the end of the data;
    // false when the data has ended and fewer than 8 bits are needed.
    bool Hold(int needed);

    const int bitWidth_;
    const int maxWidthChange_;
    const std::int32_t maxDelta_;
    const std::int32_t span_;
    Fetch fetch_;

    std::uint32_t bits_ = 0; // only the low bitsHeld_ bits are unread
    int bitsHeld_ = 0;
    int paddingBits_ = 0; // the lowest bits held that are zeros after the data
    bool ended_ = false;
    int lastDeltaWidth_ = 0;
    std::int32_t lastSample_ = 0;

    std::uint8_t buffer_[256];
    int index_ = 0;
    int end_ = 0;
};
