// Decoding speed of the two voice file codecs, as multiples of real time
// (counter "realtime": seconds of speech decoded per second).
#include "media/voice/acelp_decoder.h"
#include "media/voice/g726_decoder.h"

#include <benchmark/benchmark.h>
#include <random>
#include <vector>

namespace {

constexpr int kFrames = 1000; // 10 seconds of speech
constexpr double kFrameSeconds = 0.01;

std::vector<std::uint8_t> RandomFrames(std::size_t frameSize) {
    std::mt19937 random(1);
    std::vector<std::uint8_t> bytes(frameSize * kFrames);
    for (auto& byte : bytes)
        byte = std::uint8_t(random() | 0x11); // no zero code, no zero frame
    return bytes;
}

template <typename Decoder> void DecodeFrames(benchmark::State& state) {
    Decoder decoder;
    const std::size_t size = decoder.FrameSize();
    const std::vector<std::uint8_t> bytes = RandomFrames(size);
    VoiceFrameDecoder::Samples samples;
    for (auto _ : state) {
        for (std::size_t offset = 0; offset < bytes.size(); offset += size) {
            decoder.Decode(std::span(bytes.data() + offset, size), samples);
            benchmark::DoNotOptimize(samples);
        }
    }
    state.counters["realtime"] = benchmark::Counter(
        double(state.iterations()) * kFrames * kFrameSeconds, benchmark::Counter::kIsRate);
}

BENCHMARK_TEMPLATE(DecodeFrames, AcelpDecoder)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(DecodeFrames, G726Decoder)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
