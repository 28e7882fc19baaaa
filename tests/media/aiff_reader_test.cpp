// DWVW AIFF-C files written by libsndfile, decoded here and checked against the
// samples libsndfile itself decodes from them.
#include "media/aiff_reader.h"
#include "support/dwvw_writer.h"
#include "support/make_clip.h"
#include "support/source_fixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(AudioReader& reader) {
    QByteArray pcm;
    std::vector<std::uint8_t> buffer(AudioReader::kMinReadBytes);
    while (const std::size_t bytes = reader.Read(buffer.data(), buffer.size())) {
        EXPECT_LE(bytes, buffer.size());
        pcm.append(reinterpret_cast<const char*>(buffer.data()), static_cast<qsizetype>(bytes));
    }
    return pcm;
}

QByteArray Load(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class AiffReaderTest : public ::testing::Test {
protected:
    // name.aif in DWVW of the given width, and name.wav: libsndfile's own 16-bit
    // decoding of it.
    static void MakeDwvw(const QString& name, const QStringList& engineArgs, int bits) {
        QString error;
        const QString dir = dir_->path() + '/';
        ASSERT_TRUE(MakeClip(dir_->path(), name + "-source.wav", engineArgs, &error))
            << error.toStdString();
        ASSERT_TRUE(RunTool(
            "sndfile-convert",
            {QStringLiteral("-dwvw%1").arg(bits), dir + name + "-source.wav", dir + name + ".aif"},
            dir + name + ".aif", &error))
            << error.toStdString();
        ASSERT_TRUE(RunTool("sndfile-convert", {"-pcm16", dir + name + ".aif", dir + name + ".wav"},
                            dir + name + ".wav", &error))
            << error.toStdString();
    }
    static void SetUpTestSuite() {
        dir_ = new QTemporaryDir;
        // Full-scale noise reaches every delta width, the largest included.
        const QStringList noise = {"-f", "lavfi", "-i", "anoisesrc=a=1:c=white:r=44100:d=1:seed=7"};
        ASSERT_NO_FATAL_FAILURE(MakeDwvw("noise16", noise + QStringList{"-c:a", "pcm_s16le"}, 16));
        ASSERT_NO_FATAL_FAILURE(MakeDwvw("noise24", noise + QStringList{"-c:a", "pcm_s24le"}, 24));
        QString error;
        ASSERT_TRUE(RunTool("sndfile-convert",
                            {"-ulaw", Path("noise16-source.wav"), Path("ulaw.aif")},
                            Path("ulaw.aif"), &error));
        ASSERT_TRUE(RunTool("sndfile-convert",
                            {"-pcm16", Path("noise16-source.wav"), Path("plain.aif")},
                            Path("plain.aif"), &error));
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static QString Path(const QString& name) { return dir_->filePath(name); }

    // A copy of noise16.aif changed by edit, as a damaged or unusual file would be.
    static QString Edited(const QString& name, const std::function<void(QByteArray&)>& edit) {
        QByteArray bytes = Load(Path("noise16.aif"));
        edit(bytes);
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return file.fileName();
    }
    // The offset of a chunk's data.
    static qsizetype ChunkData(const QByteArray& bytes, const char* id) {
        return bytes.indexOf(id, 12) + 8;
    }
    static void SetComm16(QByteArray& bytes, int offset, quint16 value) {
        qToBigEndian(value, bytes.data() + ChunkData(bytes, "COMM") + offset);
    }
    static void SetComm32(QByteArray& bytes, int offset, quint32 value) {
        qToBigEndian(value, bytes.data() + ChunkData(bytes, "COMM") + offset);
    }

    static QTemporaryDir* dir_;
};

QTemporaryDir* AiffReaderTest::dir_ = nullptr;

TEST_F(AiffReaderTest, DecodesWhatLibsndfileWroteToTheSamplesItDecodes) {
    for (const char* name : {"noise16", "noise24"}) {
        SCOPED_TRACE(name);
        AiffReader reader;
        ASSERT_TRUE(reader.Open(Path(QString(name) + ".aif")));
        EXPECT_EQ(reader.GetSampleRate(), 44100);
        EXPECT_EQ(reader.GetChannels(), 1);
        EXPECT_EQ(reader.GetSourceChannels(), 1);
        EXPECT_EQ(reader.GetDuration(), 1);
        const qint64 size = QFile(Path(QString(name) + ".aif")).size();
        EXPECT_EQ(reader.GetLength(), static_cast<std::uint64_t>(size));
        EXPECT_EQ(reader.GetBitRate(), size / 125);

        const QByteArray expected = WavSamples(Path(QString(name) + ".wav"));
        ASSERT_EQ(expected.size(), 44100 * 2);
        EXPECT_TRUE(ReadAll(reader) == expected);
        EXPECT_EQ(reader.GetPosition(), reader.GetLength());
    }
}

// libsndfile writes neither two channels nor 12 bits (and reads 12 bits as
// silence), so these files are written here. libsndfile's reading of the 16-bit
// one vouches for the writer; the samples written are the reference.
TEST_F(AiffReaderTest, DecodesTwoChannelsAndTwelveBits) {
    const struct {
        const char* name;
        int bits;
        int channels;
    } cases[] = {{"stereo16", 16, 2}, {"mono12", 12, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A tone, noise and full-scale jumps; channels interleaved.
        const std::int32_t top = (1 << (c.bits - 1)) - 1;
        std::vector<std::int32_t> samples;
        QByteArray expected;
        std::uint32_t noise = 1;
        for (int i = 0; i < 6000; ++i) {
            noise = noise * 1664525u + 1013904223u;
            const int part = i / 2000;
            samples.push_back(part == 0   ? static_cast<std::int32_t>(top * std::sin(i * 0.05))
                              : part == 1 ? static_cast<std::int32_t>(noise >> (33 - c.bits)) -
                                                (top + 1) / 2
                              : (i % 3 == 0) ? -top - 1
                                             : top);
            char pcm[2];
            qToLittleEndian(static_cast<qint16>(samples.back() * (1 << (16 - c.bits))), pcm);
            expected.append(pcm, 2);
        }
        const QString path = Path(QString(c.name) + ".aif");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(DwvwAifcFile(samples, c.bits, c.channels, 8000));
        file.close();
        if (c.bits == 16) {
            QString error;
            ASSERT_TRUE(
                RunTool("sndfile-convert", {"-pcm16", path, path + ".wav"}, path + ".wav", &error))
                << error.toStdString();
            ASSERT_TRUE(WavSamples(path + ".wav") == expected);
        }

        AiffReader reader;
        ASSERT_TRUE(reader.Open(path));
        EXPECT_EQ(reader.GetChannels(), c.channels);
        EXPECT_EQ(reader.GetSourceChannels(), c.channels);
        std::vector<std::uint8_t> block(AudioReader::kMinReadBytes);
        EXPECT_EQ(reader.Read(block.data(), block.size()), 1152u * 2 * c.channels);
        reader.Close();
        ASSERT_TRUE(reader.Open(path));
        EXPECT_TRUE(ReadAll(reader) == expected);
    }
}

TEST_F(AiffReaderTest, AcceptsUnusualButSoundFiles) {
    const QByteArray expected = WavSamples(Path("noise16.wav"));
    // Lower-case compression type.
    AiffReader reader;
    ASSERT_TRUE(reader.Open(Edited("lower.aif", [](QByteArray& bytes) {
        bytes.replace(ChunkData(bytes, "COMM") + 18, 4, "dwvw");
    })));
    EXPECT_TRUE(ReadAll(reader) == expected);

    // No frame count: no duration, the bit rate from the format, and the data
    // decoded to its end, where libsndfile's closing flush comes out too.
    ASSERT_TRUE(
        reader.Open(Edited("noframes.aif", [](QByteArray& bytes) { SetComm32(bytes, 2, 0); })));
    EXPECT_EQ(reader.GetDuration(), 0);
    EXPECT_EQ(reader.GetBitRate(), 16 * 44100 / 1000);
    const QByteArray all = ReadAll(reader);
    EXPECT_GE(all.size(), expected.size());
    EXPECT_TRUE(all.left(expected.size()) == expected);
}

TEST_F(AiffReaderTest, RefusesEveryOtherAiffFile) {
    const QString cases[] = {
        Path("plain.aif"),
        Path("ulaw.aif"),
        // Beyond two channels a block overruns the buffer callers offer.
        Edited("three.aif", [](QByteArray& bytes) { SetComm16(bytes, 0, 3); }),
        Edited("wide.aif", [](QByteArray& bytes) { SetComm16(bytes, 6, 25); }),
        Edited("narrow.aif", [](QByteArray& bytes) { SetComm16(bytes, 6, 7); }),
        Edited("hugecomm.aif",
               [](QByteArray& bytes) {
                   qToBigEndian<quint32>(10242, bytes.data() + ChunkData(bytes, "COMM") - 4);
               }),
        Edited("nocomm.aif",
               [](QByteArray& bytes) { bytes.replace(ChunkData(bytes, "COMM") - 8, 4, "XXXX"); }),
        Edited("cutincomm.aif",
               [](QByteArray& bytes) { bytes.truncate(ChunkData(bytes, "COMM") + 10); }),
        Edited("nossnd.aif",
               [](QByteArray& bytes) { bytes.truncate(ChunkData(bytes, "SSND") - 8); }),
        Edited("shortssnd.aif",
               [](QByteArray& bytes) {
                   qToBigEndian<quint32>(6, bytes.data() + ChunkData(bytes, "SSND") - 4);
               }),
        Edited("notform.aif", [](QByteArray& bytes) { bytes.replace(0, 4, "RIFF"); }),
        Path("missing.aif"),
    };
    for (const QString& path : cases) {
        SCOPED_TRACE(path.toStdString());
        AiffReader reader;
        EXPECT_FALSE(reader.Open(path));
        std::vector<std::uint8_t> block(AudioReader::kMinReadBytes);
        EXPECT_EQ(reader.Read(block.data(), block.size()), 0u);
    }
}

TEST_F(AiffReaderTest, EndsDamagedDataWithoutReadingPastIt) {
    const QByteArray expected = WavSamples(Path("noise16.wav"));
    const struct {
        const char* name;
        std::function<void(QByteArray&)> edit;
    } cases[] = {
        {"cut.aif", [](QByteArray& bytes) { bytes.truncate(bytes.size() / 2); }},
        // The sound chunk claims far more than the file holds, and no frame count bounds it.
        {"hugessnd.aif",
         [](QByteArray& bytes) {
             qToBigEndian<quint32>(0xFFFFFFF0, bytes.data() + ChunkData(bytes, "SSND") - 4);
             SetComm32(bytes, 2, 0xFFFFFFFF);
         }},
        // An offset beyond the chunk leaves no sound at all.
        {"farssnd.aif",
         [](QByteArray& bytes) {
             qToBigEndian<quint32>(0x7FFFFFFF, bytes.data() + ChunkData(bytes, "SSND"));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AiffReader reader;
        ASSERT_TRUE(reader.Open(Edited(c.name, c.edit)));
        const QByteArray decoded = ReadAll(reader);
        // What comes before the damage is the file's own sound.
        const qsizetype common = std::min(decoded.size(), expected.size()) * 9 / 10;
        EXPECT_TRUE(decoded.left(common) == expected.left(common));
        EXPECT_LE(reader.GetPosition(), reader.GetLength());
    }
}

} // namespace
