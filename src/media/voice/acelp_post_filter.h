#pragma once

#include <array>
#include <span>

// The output stage of the speech decoder, per 40-sample subframe: the adaptive
// post-filter (harmonic filter around the pitch delay, short-term formant filter,
// tilt compensation and gain control), then the output high-pass filter.
class AcelpPostFilter {
public:
    static constexpr int kSubframe = 40;
    static constexpr int kOrder = 10;
    static constexpr int kMinPitch = 20; // pitch delays in samples
    static constexpr int kMaxPitch = 143;
    using Lpc = std::array<double, kOrder + 1>; // a[0] = 1

    // synthesis holds the 10 samples before the subframe, then its 40; out gets
    // the 40 filtered samples, already saturated to the 16-bit range.
    void Filter(std::span<const double> synthesis, const Lpc& lpc, int pitchDelay,
                std::span<double, kSubframe> out);

private:
    static constexpr int kResidualHistory = 152; // longest delay, one sample and half a filter

    void HarmonicFilter(int pitchDelay, std::span<double, kSubframe> out) const;
    double TiltFactor(const Lpc& numerator, const Lpc& denominator, double* gain) const;
    void HighPass(std::span<double, kSubframe> samples);

    std::array<double, kResidualHistory + kSubframe> residual_{};
    std::array<double, kOrder> formantMemory_{};
    double tiltMemory_ = 0;
    double gainControl_ = 1;
    std::array<double, 2> highPassIn_{};
    std::array<double, 2> highPassOut_{};
};
