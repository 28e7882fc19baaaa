#pragma once

#include "media/voice/acelp_post_filter.h"
#include "media/voice/voice_frame_decoder.h"

#include <array>
#include <cstdint>

// The voice recorder's speech codec: a CS-ACELP coder of the ITU-T G.729 family
// at 5.6 kbit/s. A 7-byte frame holds two 40-sample subframes with a two-pulse
// fixed codebook; line spectral pairs, pitch and gain prediction are G.729's.
class AcelpDecoder final : public VoiceFrameDecoder {
public:
    static constexpr std::size_t kFrameSize = 7;

    // The ten parameters of a frame, in bitstream order.
    struct Parameters {
        int lspFirst = 0;  // bit 7: predictor, bits 0-6: first-stage entry
        int lspSecond = 0; // bits 5-9: entry for coefficients 1-5, bits 0-4: 6-10
        int pitch1 = 0;
        int codebook1 = 0;
        int signs1 = 0;
        int gains1 = 0;
        int pitch2 = 0;
        int codebook2 = 0;
        int signs2 = 0;
        int gains2 = 0;
    };
    static Parameters Unpack(std::span<const std::uint8_t> frame);

    AcelpDecoder() { Reset(); }

    std::size_t FrameSize() const override { return kFrameSize; }
    void Decode(std::span<const std::uint8_t> frame, Samples& samples) override;

private:
    static constexpr int kSubframe = AcelpPostFilter::kSubframe;
    static constexpr int kOrder = AcelpPostFilter::kOrder;
    // the longest pitch delay plus the interpolation filter's reach
    static constexpr int kExcitationHistory = AcelpPostFilter::kMaxPitch + 11;
    using Lsp = std::array<double, kOrder>; // cosine domain
    using Vector = std::array<double, kSubframe>;

    void Reset();
    Lsp DecodeLsp(int first, int second);
    void DecodeSubframe(int subframe, int pitchIndex, int codebook, int signs, int gains,
                        const AcelpPostFilter::Lpc& lpc, std::span<double, kSubframe> out);
    void AdaptiveVector(double* excitation, int delay, int fraction) const;
    Vector FixedVector(int codebook, int signs, int delay) const;
    double PredictedCodeGain(const Vector& code) const;
    void UpdateEnergy(int factorQ13);
    Vector Disperse(const Vector& code, int pitchGainQ14, double codeGain);
    void Synthesize(std::span<double, kSubframe> input, const AcelpPostFilter::Lpc& lpc);

    std::array<std::array<std::int64_t, kOrder>, 4> pastResiduals_{}; // Q13 x 256
    Lsp previousLsp_{};
    std::array<double, kExcitationHistory + 2 * kSubframe> excitation_{};
    std::array<double, 4> pastEnergies_{}; // quantised energies of the last subframes, dB
    int firstDelay_ = 0;                   // integer pitch delay of the first subframe
    double sharpening_ = 0;                // previous pitch gain, held for the codebook filter
    std::array<int, 6> pastPitchGains_{};  // Q14
    double previousCodeGain_ = 0;
    int onset_ = 0;
    int dispersionMode_ = 0;
    std::array<double, kOrder + kSubframe> synthesis_{}; // 10 past samples, then the subframe
    AcelpPostFilter postFilter_;
};
