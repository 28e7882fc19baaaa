#include "media/dwvw_decoder.h"

#include <utility>

DwvwDecoder::DwvwDecoder(int bitWidth, Fetch fetch)
    : bitWidth_(bitWidth), maxWidthChange_(bitWidth / 2),
      maxDelta_(std::int32_t{1} << (bitWidth - 1)), span_(std::int32_t{1} << bitWidth),
      fetch_(std::move(fetch)) {}

bool DwvwDecoder::Hold(int needed) {
    while (bitsHeld_ < needed) {
        if (index_ >= end_) {
            end_ = fetch_(buffer_, static_cast<int>(sizeof buffer_));
            index_ = 0;
        }
        // Past the end, zero bits make up a wide read, so the last samples whose
        // bits are held still come out.
        if (needed < 8 && end_ == 0) {
            ended_ = true;
            return false;
        }
        bits_ <<= 8;
        if (index_ < end_)
            bits_ |= buffer_[index_++];
        else
            paddingBits_ += 8;
        bitsHeld_ += 8;
    }
    return true;
}

int DwvwDecoder::LoadBits(int n) {
    if (!Hold(n))
        return kEndOfData;
    bitsHeld_ -= n;
    return static_cast<int>((bits_ >> bitsHeld_) & ((std::uint32_t{1} << n) - 1));
}

int DwvwDecoder::LoadWidthChange() {
    if (!Hold(maxWidthChange_))
        return kEndOfData;
    int zeros = 0;
    while (zeros < maxWidthChange_) {
        --bitsHeld_;
        if (bits_ & (std::uint32_t{1} << bitsHeld_))
            break;
        ++zeros;
    }
    return zeros;
}

int DwvwDecoder::Decode(std::int32_t* samples, int count) {
    int width = lastDeltaWidth_;
    std::int32_t sample = lastSample_;
    int decoded = 0;
    while (decoded < count && !ended_) {
        int change = LoadWidthChange();
        if (change == kEndOfData)
            break;
        if (change != 0 && LoadBits(1) != 0)
            change = -change;
        width = (width + change + bitWidth_) % bitWidth_;

        std::int32_t delta = 0;
        if (width > 0) {
            delta = LoadBits(width - 1) | (1 << (width - 1));
            const bool negative = LoadBits(1) != 0;
            if (delta == maxDelta_ - 1)
                delta += LoadBits(1);
            if (negative)
                delta = -delta;
        }
        sample += delta;
        if (sample >= maxDelta_)
            sample -= span_;
        else if (sample < -maxDelta_)
            sample += span_;

        // A sample that took bits from the padding after the data is none: the
        // data has ended, also where a damaged stream ends in the middle of one.
        if (ended_ || bitsHeld_ < paddingBits_) {
            ended_ = true;
            break;
        }
        samples[decoded++] =
            static_cast<std::int32_t>(static_cast<std::uint32_t>(sample) << (32 - bitWidth_));
    }
    lastDeltaWidth_ = width;
    lastSample_ = sample;
    return decoded;
}
