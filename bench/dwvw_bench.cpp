// DWVW decoding: AiffReader against libsndfile's own decoder, both reading the
// same file from disk and delivering 16-bit samples. libsndfile writes the file
// (ten seconds of noise over a tone, 16 bits, one channel, as it writes DWVW).
// Target: AiffReader at least as fast.
//
// Usage: dwvw_bench [Google Benchmark options]
#include "media/aiff_reader.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <sndfile.h>
#include <vector>

namespace {

constexpr int kSampleRate = 44100;
constexpr int kSeconds = 10;

QString WriteFixture(const QTemporaryDir& dir) {
    const QString path = dir.filePath("noise.aifc");
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_AIFF | SF_FORMAT_DWVW_16;
    SNDFILE* file = sf_open(path.toLocal8Bit().constData(), SFM_WRITE, &info);
    if (!file)
        return {};
    std::vector<short> samples(kSampleRate * kSeconds);
    unsigned noise = 1;
    for (size_t i = 0; i < samples.size(); ++i) {
        noise = noise * 1664525u + 1013904223u;
        samples[i] = static_cast<short>(12000 * std::sin(i * 0.03) +
                                        (static_cast<int>(noise >> 20) - 2048) * 4);
    }
    sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
    return path;
}

const QString& Fixture() {
    static QTemporaryDir dir;
    static const QString path = WriteFixture(dir);
    return path;
}

void BM_AiffReader(benchmark::State& state) {
    std::vector<std::uint8_t> buffer(AudioReader::kMinReadBytes);
    std::int64_t samples = 0;
    for (auto _ : state) {
        AiffReader reader;
        if (!reader.Open(Fixture())) {
            state.SkipWithError("the reader refused the file");
            return;
        }
        while (const std::size_t bytes = reader.Read(buffer.data(), buffer.size()))
            samples += static_cast<std::int64_t>(bytes / 2);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetItemsProcessed(samples);
}

void BM_Libsndfile(benchmark::State& state) {
    std::vector<short> buffer(AiffReader::kFramesPerRead);
    std::int64_t samples = 0;
    for (auto _ : state) {
        SF_INFO info{};
        SNDFILE* file = sf_open(Fixture().toLocal8Bit().constData(), SFM_READ, &info);
        if (!file) {
            state.SkipWithError("libsndfile refused the file");
            return;
        }
        sf_count_t read = 0;
        while ((read = sf_read_short(file, buffer.data(), static_cast<sf_count_t>(buffer.size()))) >
               0)
            samples += read;
        benchmark::DoNotOptimize(buffer.data());
        sf_close(file);
    }
    state.SetItemsProcessed(samples);
}

BENCHMARK(BM_AiffReader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libsndfile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
