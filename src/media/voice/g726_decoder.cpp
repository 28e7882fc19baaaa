#include "media/voice/g726_decoder.h"

#include "media/voice/g726_tables.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace {

constexpr int kScaleMin = 544;
constexpr int kScaleMax = 5120;
constexpr int kSlowScaleStart = kScaleMin << 6;

int SignOf(int value) {
    return value < 0 ? -1 : 1;
}

} // namespace

void G726Decoder::Reset() {
    reconstructed_ = {};
    differences_ = {};
    poles_ = {};
    zeros_ = {};
    partialSigns_ = {1, 1};
    speedControl_ = 0;
    fastScale_ = kScaleMin;
    slowScale_ = kSlowScaleStart;
    shortAverage_ = longAverage_ = 0;
    toneDetected_ = false;
    estimate_ = zeroEstimate_ = 0;
    scale_ = kScaleMin;
}

void G726Decoder::Decode(std::span<const std::uint8_t> frame, Samples& samples) {
    for (std::size_t k = 0; k < kFrameSize; ++k) {
        samples[2 * k] = DecodeCode(frame[k] & 0x0F);
        samples[2 * k + 1] = DecodeCode(frame[k] >> 4);
    }
}

G726Decoder::Float11 G726Decoder::ToFloat11(int value) {
    Float11 f;
    f.negative = value < 0;
    const int magnitude = std::abs(value);
    f.exponent = static_cast<int>(std::bit_width(static_cast<unsigned>(magnitude)));
    f.mantissa = magnitude != 0 ? (magnitude << 6) >> f.exponent : 32;
    return f;
}

// A predictor coefficient (Q14) times a delay-line value, in the standard's
// floating-point arithmetic.
int G726Decoder::Multiply(int coefficient, const Float11& value) {
    const Float11 c = ToFloat11(coefficient >> 2);
    const int exponent = c.exponent + value.exponent;
    int product = (c.mantissa * value.mantissa + 48) >> 4;
    product = exponent > 19 ? product << (exponent - 19) : product >> (19 - exponent);
    return c.negative != value.negative ? -product : product;
}

int G726Decoder::DequantizedMagnitude(int code) const {
    const int log = g726::kDequantLog[code] + (scale_ >> 2);
    if (log < 0)
        return 0;
    return ((128 + (log & 127)) << ((log >> 7) & 15)) >> 7;
}

std::int16_t G726Decoder::DecodeCode(int code) {
    const bool negative = (code & 8) != 0;
    int difference = DequantizedMagnitude(code);

    // A sudden large difference after a tone ends resets the predictor.
    const int slowInt = slowScale_ >> 15;
    const int slowFrac = (slowScale_ >> 10) & 31;
    const int threshold = slowInt > 9 ? 31 << 10 : (32 + slowFrac) << slowInt;
    const bool transition = toneDetected_ && difference > ((3 * threshold) >> 2);

    if (negative)
        difference = -difference;
    const int reconstructed = estimate_ + difference;

    UpdatePredictor(difference, code, transition);
    reconstructed_[1] = reconstructed_[0];
    reconstructed_[0] = ToFloat11(reconstructed);
    UpdateScale(code, transition);
    PredictNext();
    return static_cast<std::int16_t>(std::clamp(reconstructed * 4, -32768, 32767));
}

void G726Decoder::UpdatePredictor(int difference, int code, bool transition) {
    const int partial = zeroEstimate_ + difference;
    const int partialSign = partial == 0 ? 0 : SignOf(partial);
    if (transition) {
        poles_ = {};
        zeros_ = {};
    } else {
        const int a1Term =
            std::clamp((-poles_[0] * partialSigns_[0] * partialSign) >> 5, -256, 255);
        poles_[1] += 128 * partialSign * partialSigns_[1] + a1Term - (poles_[1] >> 7);
        poles_[1] = std::clamp(poles_[1], -12288, 12288);
        poles_[0] += 192 * partialSign * partialSigns_[0] - (poles_[0] >> 8);
        poles_[0] = std::clamp(poles_[0], -(15360 - poles_[1]), 15360 - poles_[1]);
        const int differenceSign = difference == 0 ? 0 : SignOf(difference);
        for (std::size_t i = 0; i < zeros_.size(); ++i) {
            const int pastSign = differences_[i].negative ? -1 : 1;
            zeros_[i] += 128 * differenceSign * pastSign - (zeros_[i] >> 8);
        }
    }
    partialSigns_[1] = partialSigns_[0];
    partialSigns_[0] = partialSign != 0 ? partialSign : 1;

    std::copy_backward(differences_.begin(), differences_.end() - 1, differences_.end());
    differences_[0] = ToFloat11(difference);
    // The sign comes from the code, so a zero difference of a negative code counts as negative.
    differences_[0].negative = (code & 8) != 0;
    toneDetected_ = poles_[1] < -11776;
}

void G726Decoder::UpdateScale(int code, bool transition) {
    const int speed = g726::kSpeedFunction[code];
    shortAverage_ += (speed << 4) + ((-shortAverage_) >> 5);
    longAverage_ += (speed << 4) + ((-longAverage_) >> 7);
    if (transition) {
        speedControl_ = 256;
    } else {
        speedControl_ += (-speedControl_) >> 4;
        const bool stationary = scale_ >= 1536 && !toneDetected_ &&
                                std::abs((shortAverage_ << 2) - longAverage_) < (longAverage_ >> 3);
        if (!stationary)
            speedControl_ += 32;
    }
    fastScale_ =
        std::clamp(scale_ + g726::kScaleMultiplier[code] + ((-scale_) >> 5), kScaleMin, kScaleMax);
    slowScale_ += fastScale_ + ((-slowScale_) >> 6);
    // Mixed over the whole sum and rounded down once, as the engine's decoder does,
    // so staged files match what it decodes.
    const int speedFactor = speedControl_ >= 256 ? 64 : speedControl_ >> 2;
    scale_ = (slowScale_ + (fastScale_ - (slowScale_ >> 6)) * speedFactor) >> 6;
}

void G726Decoder::PredictNext() {
    int sum = 0;
    for (std::size_t i = 0; i < zeros_.size(); ++i)
        sum += Multiply(zeros_[i], differences_[i]);
    zeroEstimate_ = sum >> 1;
    for (std::size_t i = 0; i < poles_.size(); ++i)
        sum += Multiply(poles_[i], reconstructed_[i]);
    estimate_ = sum >> 1;
}
