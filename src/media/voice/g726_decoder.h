#pragma once

#include "media/voice/voice_frame_decoder.h"

#include <array>

// ITU-T G.726 ADPCM at 32 kbit/s: 40-byte frames of 80 four-bit codes, code 2k in
// the low nibble of byte k and code 2k+1 in its high nibble.
class G726Decoder final : public VoiceFrameDecoder {
public:
    static constexpr std::size_t kFrameSize = 40;

    G726Decoder() { Reset(); }

    std::size_t FrameSize() const override { return kFrameSize; }
    void Decode(std::span<const std::uint8_t> frame, Samples& samples) override;

private:
    // The standard's 11-bit floating-point numbers of the predictor's delay lines.
    struct Float11 {
        bool negative = false;
        int exponent = 0;
        int mantissa = 32;
    };
    static Float11 ToFloat11(int value);
    static int Multiply(int coefficient, const Float11& value);

    void Reset();
    // One 4-bit code to one 16-bit sample.
    std::int16_t DecodeCode(int code);

    int DequantizedMagnitude(int code) const;
    void UpdatePredictor(int difference, int code, bool transition);
    void UpdateScale(int code, bool transition);
    void PredictNext();

    std::array<Float11, 2> reconstructed_; // past reconstructed signal
    std::array<Float11, 6> differences_;   // past quantised differences
    std::array<int, 2> poles_{};           // A1, A2 (Q14)
    std::array<int, 6> zeros_{};           // B1..B6 (Q14)
    std::array<int, 2> partialSigns_{};    // signs of the last two partial signals
    int speedControl_ = 0;                 // AP (Q8)
    int fastScale_ = 0;                    // YU (Q9)
    int slowScale_ = 0;                    // YL (Q15)
    int shortAverage_ = 0;                 // DMS
    int longAverage_ = 0;                  // DML
    bool toneDetected_ = false;            // TD
    int estimate_ = 0;                     // SE, the signal estimate
    int zeroEstimate_ = 0;                 // SEZ, its six-zero part
    int scale_ = 0;                        // Y (Q9)
};
