#include "media/voice/acelp_decoder.h"

#include "media/voice/acelp_math.h"
#include "media/voice/g729_tables.h"

#include <algorithm>
#include <cmath>

namespace {

// Line spectral frequencies are held at 256 times their Q13 values.
constexpr std::int64_t kLsfScale = 256;
constexpr std::int64_t kLsfLowest = 40 * kLsfScale;
constexpr std::int64_t kLsfDistance = 321 * kLsfScale;
constexpr std::int64_t kLsfHighest = 25681 * kLsfScale;

constexpr double kSharpeningMin = 3277 / 16384.0;
constexpr double kSharpeningMax = 13017 / 16384.0;
constexpr double kPulsePlus = 8191 / 8192.0;
constexpr double kPulseMinus = -1.0;
constexpr double kMeanEnergy = 30.0; // dB
constexpr double kSampleMax = 32767;

// cos() of a frequency held as above, through the standard's table and slopes.
double LsfToLsp(std::int64_t lsf) {
    const std::int64_t normalised = (lsf * 20861) >> 15; // times 1/(2 pi): cycles per sample, Q23
    const auto index = std::min<std::int64_t>(normalised >> 16, 63);
    const double offset = static_cast<double>(normalised - (index << 16));
    const double q15 = g729::kCosine[index] + g729::kCosineSlope[index] * offset / (4096.0 * 256);
    return q15 / 32768.0;
}

struct Delay {
    int integer;
    int fraction; // thirds: -1, 0 or 1
};

Delay FirstDelay(int index) {
    if (index > 196)
        return {index - 112, 0};
    return {(index + 59) / 3, (index + 59) % 3 - 1};
}

Delay SecondDelay(int index, int firstDelay) {
    const int t = std::clamp(firstDelay, 25, 139);
    const int low = t - 5;
    if (index <= 3)
        return {low + index, 0};
    if (index <= 11)
        return {low + (index + 7) / 3, (index + 1) % 3 - 1};
    return {t + index - 11, 0};
}

} // namespace

AcelpDecoder::Parameters AcelpDecoder::Unpack(std::span<const std::uint8_t> frame) {
    int bit = 0;
    // Bytes are read from their most significant bit; a parameter's first bit is
    // its least significant one.
    const auto take = [&](int width) {
        int value = 0;
        for (int i = 0; i < width; ++i, ++bit)
            value |= ((frame[bit / 8] >> (7 - bit % 8)) & 1) << i;
        return value;
    };
    Parameters p;
    p.lspFirst = take(8);
    p.lspSecond = take(10);
    p.pitch1 = take(8);
    p.codebook1 = take(6);
    p.signs1 = take(2);
    p.gains1 = take(5);
    p.pitch2 = take(4);
    p.codebook2 = take(6);
    p.signs2 = take(2);
    p.gains2 = take(5);
    return p;
}

void AcelpDecoder::Reset() {
    for (auto& row : pastResiduals_)
        for (int i = 0; i < kOrder; ++i)
            row[i] = g729::kLspResidualStart[i] * kLsfScale;
    for (int i = 0; i < kOrder; ++i)
        previousLsp_[i] = g729::kLspStart[i] / 32768.0;
    excitation_ = {};
    for (std::size_t k = 0; k < pastEnergies_.size(); ++k)
        pastEnergies_[k] = g729::kGainEnergyStart[k] / 1024.0;
    firstDelay_ = 0;
    sharpening_ = kSharpeningMin;
    pastPitchGains_ = {};
    previousCodeGain_ = 0;
    onset_ = 0;
    dispersionMode_ = 0;
    synthesis_ = {};
    postFilter_ = AcelpPostFilter();
}

void AcelpDecoder::Decode(std::span<const std::uint8_t> frame, Samples& samples) {
    const Parameters p = Unpack(frame);
    const Lsp lsp = DecodeLsp(p.lspFirst, p.lspSecond);
    Lsp halfway;
    for (int i = 0; i < kOrder; ++i)
        halfway[i] = (previousLsp_[i] + lsp[i]) / 2;
    previousLsp_ = lsp;

    std::array<double, 2 * kSubframe> out;
    DecodeSubframe(0, p.pitch1, p.codebook1, p.signs1, p.gains1, acelp::LspToLpc(halfway),
                   std::span<double, kSubframe>(out.data(), kSubframe));
    DecodeSubframe(1, p.pitch2, p.codebook2, p.signs2, p.gains2, acelp::LspToLpc(lsp),
                   std::span<double, kSubframe>(out.data() + kSubframe, kSubframe));
    for (std::size_t n = 0; n < samples.size(); ++n)
        samples[n] = static_cast<std::int16_t>(std::lround(out[n]));
    std::copy(excitation_.end() - kExcitationHistory, excitation_.end(), excitation_.begin());
}

AcelpDecoder::Lsp AcelpDecoder::DecodeLsp(int first, int second) {
    const int predictor = first >> 7;
    std::array<std::int64_t, kOrder> residual;
    for (int i = 0; i < kOrder; ++i) {
        const int row = i < 5 ? second >> 5 : second & 31;
        residual[i] = kLsfScale * (g729::kLspCodebook1[(first & 127) * kOrder + i] +
                                   g729::kLspCodebook2[row * kOrder + i]);
    }
    for (const std::int64_t gap : {10 * kLsfScale, 5 * kLsfScale}) {
        for (int i = 1; i < kOrder; ++i) {
            const std::int64_t half = (residual[i - 1] - residual[i] + gap) >> 1;
            if (half > 0) {
                residual[i - 1] -= half;
                residual[i] += half;
            }
        }
    }
    std::array<std::int64_t, kOrder> lsf;
    for (int i = 0; i < kOrder; ++i) {
        std::int64_t sum = residual[i] * g729::kLspPredictorSum[predictor * kOrder + i];
        for (int k = 0; k < 4; ++k)
            sum += pastResiduals_[k][i] * g729::kLspPredictor[(predictor * 4 + k) * kOrder + i];
        lsf[i] = sum >> 15;
    }
    std::copy_backward(pastResiduals_.begin(), pastResiduals_.end() - 1, pastResiduals_.end());
    pastResiduals_[0] = residual;

    // Keep the filter stable: ordered, apart, and inside the band.
    for (int i = 0; i + 1 < kOrder; ++i)
        if (lsf[i + 1] < lsf[i])
            std::swap(lsf[i], lsf[i + 1]);
    lsf[0] = std::max(lsf[0], kLsfLowest);
    for (int i = 0; i + 1 < kOrder; ++i)
        lsf[i + 1] = std::max(lsf[i + 1], lsf[i] + kLsfDistance);
    lsf[kOrder - 1] = std::min(lsf[kOrder - 1], kLsfHighest);

    Lsp lsp;
    for (int i = 0; i < kOrder; ++i)
        lsp[i] = LsfToLsp(lsf[i]);
    return lsp;
}

void AcelpDecoder::DecodeSubframe(int subframe, int pitchIndex, int codebook, int signs, int gains,
                                  const AcelpPostFilter::Lpc& lpc,
                                  std::span<double, kSubframe> out) {
    const Delay delay =
        subframe == 0 ? FirstDelay(pitchIndex) : SecondDelay(pitchIndex, firstDelay_);
    if (subframe == 0)
        firstDelay_ = delay.integer;
    double* excitation = excitation_.data() + kExcitationHistory + subframe * kSubframe;
    AdaptiveVector(excitation, delay.integer, delay.fraction);
    const Vector code = FixedVector(codebook, signs, delay.integer);

    // The 5-bit index doubled selects a row of each gain table.
    const int row = 2 * gains;
    const int rowA = 2 * (row >> 3);
    const int rowB = 2 * (row & 7);
    const int pitchGainQ14 = g729::kGainTableA[rowA] + g729::kGainTableB[rowB];
    const int factorQ13 = (g729::kGainTableA[rowA + 1] + g729::kGainTableB[rowB + 1]) >> 1;
    const double pitchGain = pitchGainQ14 / 16384.0;
    const double codeGain = factorQ13 / 8192.0 * PredictedCodeGain(code);
    UpdateEnergy(factorQ13);

    for (int n = 0; n < kSubframe; ++n)
        excitation[n] =
            std::clamp(pitchGain * excitation[n] + codeGain * code[n], -kSampleMax - 1, kSampleMax);
    const Vector dispersed = Disperse(code, pitchGainQ14, codeGain);
    Vector synthesisInput;
    for (int n = 0; n < kSubframe; ++n)
        synthesisInput[n] = excitation[n] + codeGain * (dispersed[n] - code[n]);
    Synthesize(synthesisInput, lpc);
    sharpening_ = std::clamp(pitchGain, kSharpeningMin, kSharpeningMax);
    // Both subframes are post-filtered around the first one's pitch, as in G.729.
    postFilter_.Filter(synthesis_, lpc, firstDelay_, out);
}

// The past excitation at a delay of integer + fraction / 3 samples, through the
// 1/3-resolution interpolation filter.
void AcelpDecoder::AdaptiveVector(double* excitation, int delay, int fraction) const {
    const auto& filter = g729::kPitchInterpolation;
    const double* base = excitation - delay;
    int phase = -fraction;
    if (phase < 0) {
        phase += 3;
        --base;
    }
    for (int n = 0; n < kSubframe; ++n) {
        const double* before = base + n;
        const double* after = before + 1;
        double sum = 0;
        for (int i = 0, k = 0; i < 10; ++i, k += 3)
            sum += before[-i] * filter[phase + k] + after[i] * filter[3 - phase + k];
        excitation[n] = sum / 32768.0;
    }
}

AcelpDecoder::Vector AcelpDecoder::FixedVector(int codebook, int signs, int delay) const {
    Vector code{};
    code[5 * (codebook & 7) + 3] = (signs & 1) != 0 ? kPulsePlus : kPulseMinus;
    code[5 * (codebook >> 3)] = (signs & 2) != 0 ? kPulsePlus : kPulseMinus;
    // Repeat the pulses at the pitch delay to sharpen the harmonics.
    for (int n = delay; n < kSubframe; ++n)
        code[n] += code[n - delay] * sharpening_;
    return code;
}

// The fixed-codebook gain that the past quantised energies predict for this vector.
double AcelpDecoder::PredictedCodeGain(const Vector& code) const {
    double energy = 0;
    for (const double c : code)
        energy += c * c;
    double predicted = kMeanEnergy;
    for (std::size_t k = 0; k < pastEnergies_.size(); ++k)
        predicted += g729::kGainPredictor[k] / 8192.0 * pastEnergies_[k];
    const double tenLog10Of2 = 10 * std::log10(2.0);
    predicted -= tenLog10Of2 * acelp::Log2(energy / kSubframe);
    return acelp::Pow2(predicted / (2 * tenLog10Of2)); // 10^(dB / 20)
}

void AcelpDecoder::UpdateEnergy(int factorQ13) {
    std::copy_backward(pastEnergies_.begin(), pastEnergies_.end() - 1, pastEnergies_.end());
    pastEnergies_[0] = 20 * std::log10(2.0) * acelp::Log2(factorQ13 / 8192.0);
}

// Spreads the pulses of weakly voiced subframes over the subframe, which makes
// the sparse two-pulse codebook sound less buzzy.
AcelpDecoder::Vector AcelpDecoder::Disperse(const Vector& code, int pitchGainQ14, double codeGain) {
    constexpr int kVoiced = 14745; // 0.9 in Q14
    constexpr int kWeak = 9830;    // 0.6 in Q14
    std::copy_backward(pastPitchGains_.begin(), pastPitchGains_.end() - 1, pastPitchGains_.end());
    pastPitchGains_[0] = pitchGainQ14;
    if (previousCodeGain_ < codeGain / 2)
        onset_ = 2;
    else if (onset_ > 0)
        --onset_;
    previousCodeGain_ = codeGain;

    int mode = pitchGainQ14 >= kVoiced ? 2 : pitchGainQ14 > kWeak ? 1 : 0;
    const auto weak = std::count_if(pastPitchGains_.begin(), pastPitchGains_.end(),
                                    [](int gain) { return gain < kWeak; });
    if (weak > 2 && onset_ == 0)
        mode = 0;
    mode = std::min(mode, dispersionMode_ + 1);
    if (onset_ > 0 && mode < 2)
        ++mode;
    dispersionMode_ = mode;
    if (mode == 2)
        return code;

    const auto& response = mode == 0 ? g729::kDispersionMode0 : g729::kDispersionMode1;
    Vector dispersed{};
    for (int i = 0; i < kSubframe; ++i) {
        if (code[i] == 0)
            continue;
        for (int n = 0; n < kSubframe; ++n)
            dispersed[n] += code[i] * response[(n - i + kSubframe) % kSubframe] / 32768.0;
    }
    return dispersed;
}

void AcelpDecoder::Synthesize(std::span<double, kSubframe> input, const AcelpPostFilter::Lpc& lpc) {
    std::copy(synthesis_.end() - kOrder, synthesis_.end(), synthesis_.begin());
    const auto run = [&] {
        bool overflow = false;
        for (int n = 0; n < kSubframe; ++n) {
            double sum = input[n];
            for (int k = 1; k <= kOrder; ++k)
                sum -= lpc[k] * synthesis_[kOrder + n - k];
            overflow = overflow || std::abs(sum) > kSampleMax;
            synthesis_[kOrder + n] = std::clamp(sum, -kSampleMax - 1, kSampleMax);
        }
        return overflow;
    };
    // On overflow the excitation has run away: scale it down and synthesise again.
    if (run()) {
        for (double& e : excitation_)
            e /= 4;
        for (double& e : input)
            e /= 4;
        run();
    }
}
