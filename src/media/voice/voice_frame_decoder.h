#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// Decodes the fixed-size frames of one voice recorder codec into 8000 Hz mono
// samples, 80 per frame. A decoder keeps its state from frame to frame, so the
// frames of one file go through one decoder in order.
class VoiceFrameDecoder {
public:
    static constexpr std::size_t kSamplesPerFrame = 80;
    using Samples = std::array<std::int16_t, kSamplesPerFrame>;

    virtual ~VoiceFrameDecoder() = default;

    // Bytes of one coded frame.
    virtual std::size_t FrameSize() const = 0;
    // frame holds FrameSize() bytes.
    virtual void Decode(std::span<const std::uint8_t> frame, Samples& samples) = 0;
};
