// The voice file decoders against the engine's own decoders of the same codecs.
#include "media/voice/acelp_decoder.h"
#include "voice_fixture.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <iostream>
#include <random>

namespace {

std::vector<std::int16_t> Samples(const QByteArray& pcm) {
    std::vector<std::int16_t> samples;
    for (int i = 0; i + 1 < pcm.size(); i += 2)
        samples.push_back(std::int16_t(quint8(pcm[i]) | quint8(pcm[i + 1]) << 8));
    return samples;
}

std::vector<std::int16_t> ReadVoiceFile(const QString& path) {
    VoiceFileReader reader;
    EXPECT_TRUE(reader.Open(path));
    return ReadAll(reader).samples;
}

using VoiceDecodersEngineTest = VoiceEngineTest;

// Codes from the engine's encoder decode to exactly the engine's own samples.
TEST_F(VoiceDecodersEngineTest, G726MatchesTheEngineSampleForSample) {
    const std::pair<const char*, const char*> sources[] = {
        {"tone", "sine=frequency=440:sample_rate=8000:duration=2"},
        {"sweep", "aevalsrc=0.8*sin(2*PI*(100+1800*t)*t):s=8000:d=2"},
        {"noise", "anoisesrc=color=pink:sample_rate=8000:amplitude=0.5:duration=2"},
    };
    for (const auto& [name, source] : sources) {
        SCOPED_TRACE(name);
        Engine("codes.g726", {"-f", "lavfi", "-i", source, "-ac", "1", "-ar", "8000", "-c:a",
                              "g726le", "-b:a", "32k", "-f", "g726le"});
        Engine("engine.raw", {"-f", "g726le", "-code_size", "4", "-ar", "8000", "-i",
                              Path("codes.g726"), "-f", "s16le"});
        const QByteArray codes = ReadBytes(Path("codes.g726"));
        VoiceHeader header;
        header.codec = 3;
        ASSERT_TRUE(WriteBytes(Path("g726.voc"), VoiceFile(header, codes)));

        const std::vector<std::int16_t> ours = ReadVoiceFile(Path("g726.voc"));
        std::vector<std::int16_t> engine = Samples(ReadBytes(Path("engine.raw")));
        // Only whole 40-byte frames are read; the engine decodes the tail as well.
        ASSERT_EQ(ours.size(), std::size_t(codes.size() / 40 * 80));
        ASSERT_GE(engine.size(), ours.size());
        engine.resize(ours.size());
        EXPECT_EQ(ours, engine);
    }
}

// The 56-bit frame is the 64-bit frame of G.729 Annex D with fewer codebook
// positions and every second gain row: write the same parameters as Annex D
// frames, which the engine's G.729 decoder reads.
QByteArray AnnexDFrame(const AcelpDecoder::Parameters& p) {
    static constexpr std::array<int, 8> kGainMapA = {0, 4, 6, 5, 2, 1, 7, 3};
    static constexpr std::array<int, 8> kGainMapB = {0, 4, 3, 7, 5, 1, 6, 2};
    static constexpr std::array<int, 32> kGray = {0,  1,  3,  2,  6,  7,  5,  4,  12, 13, 15,
                                                  14, 10, 11, 9,  8,  24, 25, 27, 26, 30, 31,
                                                  29, 28, 20, 21, 23, 22, 18, 19, 17, 16};
    // Pulse A at 5k + 3 is entry 2k + 1 of Annex D's first track, pulse B at 5k
    // entry 3k of its second.
    const auto codebook = [](int v) { return kGray[2 * (v & 7) + 1] | kGray[3 * (v >> 3)] << 4; };
    const auto gains = [](int v) {
        const int g = 2 * v;
        return kGainMapA[g >> 3] << 3 | kGainMapB[g & 7];
    };
    QByteArray frame(8, '\0');
    int bit = 0;
    const auto put = [&](int value, int width) {
        for (int i = width - 1; i >= 0; --i, ++bit)
            if ((value >> i) & 1)
                frame[bit / 8] = char(frame[bit / 8] | (0x80 >> (bit % 8)));
    };
    put(p.lspFirst, 8);
    put(p.lspSecond, 10);
    put(p.pitch1, 8);
    put(codebook(p.codebook1), 9);
    put(p.signs1, 2);
    put(gains(p.gains1), 6);
    put(p.pitch2, 4);
    put(codebook(p.codebook2), 9);
    put(p.signs2, 2);
    put(gains(p.gains2), 6);
    return frame;
}

double SignalToNoise(const std::vector<std::int16_t>& reference,
                     const std::vector<std::int16_t>& test) {
    double signal = 0;
    double noise = 0;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        signal += double(reference[i]) * reference[i];
        noise += (double(reference[i]) - test[i]) * (double(reference[i]) - test[i]);
    }
    return 10 * std::log10(signal / std::max(noise, 1.0));
}

TEST_F(VoiceDecodersEngineTest, AcelpComesCloseToTheEnginesAnnexDDecoder) {
    std::mt19937 random(5);
    QByteArray ours;
    QByteArray annexD;
    for (int i = 0; i < 2000; ++i) {
        std::array<std::uint8_t, 7> frame;
        for (auto& byte : frame)
            byte = std::uint8_t(random());
        frame[0] |= 1;
        ours.append(reinterpret_cast<const char*>(frame.data()), 7);
        annexD += AnnexDFrame(AcelpDecoder::Unpack(frame));
    }
    VoiceHeader header;
    header.codec = 0;
    ASSERT_TRUE(WriteBytes(Path("acelp.voc"), VoiceFile(header, ours)));
    ASSERT_TRUE(WriteBytes(Path("annexd.g729"), annexD));
    Engine("engine.raw",
           {"-f", "g729", "-bit_rate", "6400", "-i", Path("annexd.g729"), "-f", "s16le"});
    const std::vector<std::int16_t> decoded = ReadVoiceFile(Path("acelp.voc"));
    const std::vector<std::int16_t> engine = Samples(ReadBytes(Path("engine.raw")));
    ASSERT_EQ(decoded.size(), engine.size());
    const double snr = SignalToNoise(engine, decoded);
    std::cout << "signal to difference against the engine: " << snr << " dB\n";
    EXPECT_GT(snr, 25.0);
}

} // namespace
