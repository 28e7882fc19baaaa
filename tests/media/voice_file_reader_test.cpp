// The voice recorder file reader on files the tests write byte by byte: the
// header, the frame and gap rules, and the speech decoder's bit layout.
#include "media/voice/acelp_decoder.h"
#include "media/voice/g726_decoder.h"
#include "media/voice_file_reader.h"
#include "voice_fixture.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr int kShortHeaderBlock = 511;

QByteArray Fill(int size, char value) {
    return QByteArray(size, value);
}
QByteArray G726Frame(char value) {
    return Fill(40, value);
}
QByteArray Zeros(int size) {
    return Fill(size, '\0');
}
// A gap's second block: the distance to the speech, counted from this block.
QByteArray GapBlock(qint32 distance) {
    QByteArray block = Fill(40, char(0xEE));
    for (int i = 0; i < 4; ++i)
        block[i] = char((quint32(distance) >> (8 * i)) & 0xFF);
    return block;
}

template <typename Decoder>
std::vector<std::int16_t> Decoded(const std::vector<QByteArray>& frames) {
    Decoder decoder;
    std::vector<std::int16_t> samples;
    for (const QByteArray& frame : frames) {
        VoiceFrameDecoder::Samples block;
        decoder.Decode(std::span(reinterpret_cast<const std::uint8_t*>(frame.constData()),
                                 std::size_t(frame.size())),
                       block);
        samples.insert(samples.end(), block.begin(), block.end());
    }
    return samples;
}

std::vector<QByteArray> RandomAcelpFrames(int count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<QByteArray> frames;
    for (int i = 0; i < count; ++i) {
        QByteArray frame(7, '\0');
        for (char& byte : frame)
            byte = char(random() & 0xFF);
        frame[0] = char(frame[0] | 1); // never an all-zero frame
        frames.push_back(frame);
    }
    return frames;
}

class VoiceFileReaderTest : public ::testing::Test {
protected:
    QString Write(const VoiceHeader& header, const QByteArray& payload) {
        const QString path = dir_.filePath(QString("voice%1.voc").arg(++files_));
        EXPECT_TRUE(WriteBytes(path, VoiceFile(header, payload)));
        return path;
    }

    QTemporaryDir dir_;
    int files_ = 0;
};

TEST_F(VoiceFileReaderTest, HeaderGivesDurationAndRefusesOtherFiles) {
    struct Case {
        const char* name;
        VoiceHeader header;
        bool opens;
        int duration;
    };
    const Case cases[] = {
        {"fraction rounds up", {3, 12, 0, 2, 5, 1}, true, 126},
        {"whole seconds", {3, 12, 0, 2, 5, 0}, true, 125},
        {"hours count", {0, 12, 1, 0, 0, 0}, true, 3600},
        {"codec 1", {1, 12, 0, 2, 5, 0}, false, 0},
        {"codec 2", {2, 12, 0, 2, 5, 0}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = Write(c.header, G726Frame(0x11));
        VoiceFileReader reader;
        ASSERT_EQ(reader.Open(path), c.opens);
        EXPECT_EQ(reader.GetDuration(), c.duration);
        if (!c.opens)
            continue;
        EXPECT_EQ(reader.GetSampleRate(), 8000);
        EXPECT_EQ(reader.GetChannels(), 1);
        EXPECT_EQ(reader.GetSourceChannels(), 1);
        EXPECT_EQ(reader.GetBitsPerSample(), 16);
        EXPECT_EQ(reader.GetBitRate(), 0);
        EXPECT_EQ(reader.GetLength(), std::uint64_t(kShortHeaderBlock + 40));
        EXPECT_EQ(reader.GetPosition(), std::uint64_t(kShortHeaderBlock));
        reader.Close();
        EXPECT_EQ(reader.GetLength(), 0u);
        EXPECT_EQ(reader.GetDuration(), 0);
    }
}

TEST_F(VoiceFileReaderTest, RefusesFilesWithoutTheSignatureOrAWholeHeader) {
    QByteArray creative = VoiceFile({}, G726Frame(0x11));
    creative.replace(0, 20, "Creative Voice File\x1a");
    QByteArray truncated = VoiceFile({}, {}).left(30);
    for (const QByteArray& bytes : {creative, truncated, QByteArray()}) {
        const QString path = dir_.filePath("other.voc");
        ASSERT_TRUE(WriteBytes(path, bytes));
        VoiceFileReader reader;
        EXPECT_FALSE(reader.Open(path));
        EXPECT_EQ(reader.Read(nullptr, 0), 0u);
    }
    VoiceFileReader reader;
    EXPECT_FALSE(reader.Open(dir_.filePath("missing.voc")));
}

TEST_F(VoiceFileReaderTest, SpeechStartsAfterTheHeaderBlockOfTheLayout) {
    VoiceHeader longLayout;
    longLayout.layout = 0;
    VoiceFileReader reader;
    ASSERT_TRUE(reader.Open(Write(longLayout, G726Frame(0x21))));
    EXPECT_EQ(reader.GetPosition(), 4095u);
    EXPECT_EQ(ReadAll(reader).samples, Decoded<G726Decoder>({G726Frame(0x21)}));
}

// The frame rules, on 40-byte frames: which frames reach the decoder.
TEST_F(VoiceFileReaderTest, FramesStepBackSkipGapsAndEnd) {
    const QByteArray a = G726Frame(0x12);
    const QByteArray b = G726Frame(0x34);
    const QByteArray junk = G726Frame(0x77);
    struct Case {
        const char* name;
        QByteArray payload;
        std::vector<QByteArray> decoded;
    };
    const Case cases[] = {
        {"whole frames; a partial one ends the data", a + b + Fill(10, 0x55), {a, b}},
        {"last 20 zero bytes: read again from the middle",
         Fill(20, 0x56) + Zeros(20) + b,
         {Zeros(20) + b.left(20)}},
        {"last 39 zero bytes step back too",
         Fill(1, 0x56) + Zeros(39) + b,
         {Zeros(20) + b.left(20)}},
        {"19 zero bytes are speech",
         Fill(21, 0x56) + Zeros(19) + b,
         {Fill(21, 0x56) + Zeros(19), b}},
        {"a gap skips to the distance it gives",
         a + Zeros(40) + GapBlock(120) + junk + junk + b,
         {a, b}},
        {"a negative gap goes on after its block", a + Zeros(40) + GapBlock(-1) + b, {a, b}},
        {"two zero frames end the data", a + Zeros(40) + Zeros(40) + b, {a}},
        {"a gap leading out of the file ends the data", a + Zeros(40) + GapBlock(1000000) + b, {a}},
        {"a gap block cut short ends the data", a + Zeros(40) + Fill(10, 0x33), {a}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VoiceFileReader reader;
        ASSERT_TRUE(reader.Open(Write({}, c.payload)));
        EXPECT_EQ(ReadAll(reader).samples, Decoded<G726Decoder>(c.decoded));
    }
}

TEST_F(VoiceFileReaderTest, ReadsDeliverBlocksOf1152SamplesSplittingFrames) {
    const std::vector<QByteArray> frames = RandomAcelpFrames(45, 7);
    QByteArray payload;
    for (const QByteArray& frame : frames)
        payload += frame;
    VoiceHeader header;
    header.codec = 0;
    VoiceFileReader reader;
    ASSERT_TRUE(reader.Open(Write(header, payload)));

    std::vector<std::uint8_t> buffer(AudioReader::kMinReadBytes);
    ASSERT_EQ(reader.Read(buffer.data(), buffer.size()), 2304u);
    // 1152 samples are 14 frames and 32 samples of the 15th.
    EXPECT_EQ(reader.GetPosition(), std::uint64_t(kShortHeaderBlock + 15 * 7));
    reader.Close();

    ASSERT_TRUE(reader.Open(Write(header, payload)));
    const ReadResult all = ReadAll(reader);
    EXPECT_EQ(all.blocks, (std::vector<std::size_t>{1152, 1152, 1152, 144}));
    EXPECT_EQ(all.samples, Decoded<AcelpDecoder>(frames));
    EXPECT_EQ(reader.GetPosition(), reader.GetLength());
}

TEST_F(VoiceFileReaderTest, ReadNeverWritesPastASmallBuffer) {
    VoiceFileReader reader;
    ASSERT_TRUE(reader.Open(Write({}, G726Frame(0x12) + G726Frame(0x34))));
    std::vector<std::uint8_t> buffer(101, 0xAB);
    EXPECT_EQ(reader.Read(buffer.data(), 100), 100u);
    EXPECT_EQ(buffer[100], 0xAB);
    EXPECT_EQ(ReadAll(reader).samples.size(), 160u - 50u);
}

// A parameter's first bit in the stream is its least significant bit.
TEST(AcelpDecoderTest, UnpacksParametersLowBitFirst) {
    using P = AcelpDecoder::Parameters;
    struct Case {
        std::array<std::uint8_t, 7> frame;
        int P::*field;
        int value;
    };
    const Case cases[] = {
        {{0x80, 0, 0, 0, 0, 0, 0}, &P::lspFirst, 1},
        {{0x01, 0, 0, 0, 0, 0, 0}, &P::lspFirst, 128},
        {{0x00, 0x80, 0, 0, 0, 0, 0}, &P::lspSecond, 1},
        {{0x00, 0x00, 0x40, 0, 0, 0, 0}, &P::lspSecond, 512},
        {{0x00, 0x00, 0x20, 0, 0, 0, 0}, &P::pitch1, 1},
        {{0x00, 0x00, 0x00, 0x20, 0, 0, 0}, &P::codebook1, 1},
        {{0x00, 0x00, 0x00, 0x00, 0x80, 0, 0}, &P::signs1, 1},
        {{0x00, 0x00, 0x00, 0x00, 0x20, 0, 0}, &P::gains1, 1},
        {{0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0}, &P::pitch2, 8},
        {{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40}, &P::signs2, 1},
        {{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}, &P::gains2, 16},
    };
    for (const Case& c : cases) {
        const P p = AcelpDecoder::Unpack(c.frame);
        EXPECT_EQ(p.*c.field, c.value) << int(&c - cases);
        int others = p.lspFirst + p.lspSecond + p.pitch1 + p.codebook1 + p.signs1 + p.gains1 +
                     p.pitch2 + p.codebook2 + p.signs2 + p.gains2;
        EXPECT_EQ(others, c.value) << "only one parameter set, case " << int(&c - cases);
    }
}

TEST(AcelpDecoderTest, DecodingIsDeterministicAndStaysInRange) {
    const std::vector<QByteArray> frames = RandomAcelpFrames(3000, 11);
    const std::vector<std::int16_t> first = Decoded<AcelpDecoder>(frames);
    EXPECT_EQ(first, Decoded<AcelpDecoder>(frames));
    std::size_t clipped = 0;
    double energy = 0;
    for (const std::int16_t s : first) {
        clipped += s == 32767 || s == -32768;
        energy += double(s) * s;
    }
    EXPECT_GT(energy, 0);
    EXPECT_LT(clipped, first.size() / 100) << "the output sits at full scale";
}

} // namespace
