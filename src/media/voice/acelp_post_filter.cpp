#include "media/voice/acelp_post_filter.h"

#include "media/voice/g729_tables.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSubframe = AcelpPostFilter::kSubframe;
constexpr int kOrder = AcelpPostFilter::kOrder;
constexpr int kMinPitch = AcelpPostFilter::kMinPitch;
constexpr int kMaxPitch = AcelpPostFilter::kMaxPitch;
constexpr int kPhases = 8; // the harmonic filter's delay resolution, 1/8 sample
constexpr double kNumeratorWeight = 0.55;
constexpr double kDenominatorWeight = 0.70;
constexpr double kHarmonicWeight = 0.5;
constexpr double kGainSmoothing = 32358 / 32768.0;
constexpr int kImpulseLength = 20;
constexpr double kSampleMax = 32767;

AcelpPostFilter::Lpc Weighted(const AcelpPostFilter::Lpc& lpc, double factor) {
    AcelpPostFilter::Lpc weighted;
    double power = 1;
    for (int i = 0; i <= kOrder; ++i, power *= factor)
        weighted[i] = lpc[i] * power;
    return weighted;
}

// A candidate of the harmonic filter: the residual delayed by integer + phase / 8.
struct Candidate {
    int integer = 0;
    int phase = 0;
    std::array<double, kSubframe> delayed{};
    double cross = 0;  // with the current residual
    double energy = 0; // of the delayed residual

    double Score() const { return cross > 0 && energy > 0 ? cross * cross / energy : 0; }
};

// Delays x (the current subframe, with its history before it) by integer +
// phase / 8 samples, with interpolation filters of taps taps each.
Candidate Delayed(const double* x, int integer, int phase, const std::int16_t* filter, int taps) {
    Candidate c;
    c.integer = integer;
    c.phase = phase;
    for (int n = 0; n < kSubframe; ++n) {
        double value = x[n - integer];
        if (phase != 0) {
            const double* first = x + n - integer - taps / 2;
            const std::int16_t* row = filter + (phase - 1) * taps;
            value = 0;
            for (int k = 0; k < taps; ++k)
                value += first[k] * row[k] / 32768.0;
        }
        c.delayed[n] = value;
        c.cross += x[n] * value;
        c.energy += value * value;
    }
    return c;
}

} // namespace

void AcelpPostFilter::Filter(std::span<const double> synthesis, const Lpc& lpc, int pitchDelay,
                             std::span<double, kSubframe> out) {
    const Lpc numerator = Weighted(lpc, kNumeratorWeight);
    const Lpc denominator = Weighted(lpc, kDenominatorWeight);
    const double* speech = synthesis.data() + kOrder;
    double* residual = residual_.data() + kResidualHistory;
    for (int n = 0; n < kSubframe; ++n) {
        double sum = speech[n];
        for (int k = 1; k <= kOrder; ++k)
            sum += numerator[k] * speech[n - k];
        residual[n] = sum;
    }
    std::array<double, kSubframe> harmonic;
    HarmonicFilter(pitchDelay, harmonic);
    std::copy(residual_.begin() + kSubframe, residual_.end(), residual_.begin());

    double gain = 1;
    const double tilt = TiltFactor(numerator, denominator, &gain);
    double previous = tiltMemory_;
    double speechSum = 0;
    double filteredSum = 0;
    for (int n = 0; n < kSubframe; ++n) {
        // 1/A(z/0.70), its input scaled so its gain stays at most 1
        double formant = harmonic[n] / gain;
        for (int k = 1; k <= kOrder; ++k)
            formant -= denominator[k] * formantMemory_[k - 1];
        std::copy_backward(formantMemory_.begin(), formantMemory_.end() - 1, formantMemory_.end());
        formantMemory_[0] = formant;
        out[n] = (formant + tilt * previous) / (1 - std::abs(tilt));
        previous = formant;
        speechSum += std::abs(speech[n]);
        filteredSum += std::abs(out[n]);
    }
    tiltMemory_ = previous;

    // Smoothed gain control: the output keeps the loudness of the synthesis.
    const double target = filteredSum > 0 ? speechSum / filteredSum : 0;
    for (double& sample : out) {
        gainControl_ = kGainSmoothing * gainControl_ + (1 - kGainSmoothing) * target;
        sample *= gainControl_;
    }
    HighPass(out);
}

// Harmonic (long-term) post-filter on the residual around the pitch delay.
void AcelpPostFilter::HarmonicFilter(int pitchDelay, std::span<double, kSubframe> out) const {
    const double* x = residual_.data() + kResidualHistory;
    const int low = std::clamp(pitchDelay - 1, kMinPitch, kMaxPitch);
    const int high = std::clamp(pitchDelay + 1, kMinPitch, kMaxPitch);
    Candidate best = Delayed(x, low, 0, nullptr, 0);
    for (int lag = low + 1; lag <= high; ++lag) {
        Candidate c = Delayed(x, lag, 0, nullptr, 0);
        if (c.cross > best.cross)
            best = c;
    }
    std::copy(x, x + kSubframe, out.begin());
    if (best.cross <= 0)
        return;
    // Refine to 1/8 sample around the best whole delay with the short filters.
    const int whole = best.integer;
    for (int integer = whole - 1; integer <= whole; ++integer) {
        for (int phase = 1; phase < kPhases; ++phase) {
            Candidate c = Delayed(x, integer, phase, g729::kPostShortInterpolation.data(), 4);
            if (c.Score() > best.Score())
                best = c;
        }
    }
    if (best.phase != 0) {
        Candidate longer =
            Delayed(x, best.integer, best.phase, g729::kPostLongInterpolation.data(), 16);
        if (longer.Score() >= best.Score())
            best = longer;
    }
    double inputEnergy = 0;
    for (int n = 0; n < kSubframe; ++n)
        inputEnergy += x[n] * x[n];
    // Too little periodicity: leave the residual alone.
    if (best.cross <= 0 || best.cross * best.cross < 0.5 * best.energy * inputEnergy)
        return;
    const double weight = best.cross >= best.energy
                              ? 1 / (1 + kHarmonicWeight)
                              : best.energy / (best.energy + kHarmonicWeight * best.cross);
    for (int n = 0; n < kSubframe; ++n)
        out[n] = weight * x[n] + (1 - weight) * best.delayed[n];
}

// Tilt compensation factor from the first reflection coefficient of the formant
// filter's impulse response; *gain gets that response's absolute sum, at least 1.
double AcelpPostFilter::TiltFactor(const Lpc& numerator, const Lpc& denominator,
                                   double* gain) const {
    std::array<double, kImpulseLength> h{};
    for (int n = 0; n < kImpulseLength; ++n) {
        double sum = n <= kOrder ? numerator[n] : 0;
        for (int k = 1; k <= kOrder && k <= n; ++k)
            sum -= denominator[k] * h[n - k];
        h[n] = sum;
    }
    double r0 = 0;
    double r1 = 0;
    double absolute = 0;
    for (int n = 0; n < kImpulseLength; ++n) {
        r0 += h[n] * h[n];
        absolute += std::abs(h[n]);
        if (n + 1 < kImpulseLength)
            r1 += h[n] * h[n + 1];
    }
    *gain = std::max(absolute, 1.0);
    const double reflection = r0 > 0 ? -r1 / r0 : 0;
    return reflection * (reflection > 0 ? 0.2 : 0.9);
}

// The output high-pass at 100 Hz, which also doubles the level back.
void AcelpPostFilter::HighPass(std::span<double, kSubframe> samples) {
    const auto& b = g729::kHighPassNumerator;
    const auto& a = g729::kHighPassDenominator;
    for (double& sample : samples) {
        const double x = sample;
        const double y = (b[0] * x + b[1] * highPassIn_[0] + b[2] * highPassIn_[1] +
                          a[1] * highPassOut_[0] + a[2] * highPassOut_[1]) /
                         8192.0;
        highPassIn_ = {x, highPassIn_[0]};
        highPassOut_ = {y, highPassOut_[0]};
        sample = std::clamp(2 * y, -kSampleMax - 1, kSampleMax);
    }
}
