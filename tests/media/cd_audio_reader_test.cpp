// CD tracks read through the disc library from a CUE/BIN image standing for the
// disc, as a drive would give them.
#include "media/cd_audio_reader.h"
#include "support/source_fixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int kSectorBytes = 2352;

QByteArray ReadAll(AudioReader& reader, std::size_t bufferSize) {
    QByteArray pcm;
    std::vector<std::uint8_t> buffer(bufferSize);
    while (const std::size_t bytes = reader.Read(buffer.data(), buffer.size()))
        pcm.append(reinterpret_cast<const char*>(buffer.data()), static_cast<qsizetype>(bytes));
    return pcm;
}

class CdAudioReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QString error;
        ASSERT_TRUE(MakeCdImage(dir_.path(), tracks_, &error)) << error.toStdString();
    }
    QString Path(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
    // 3 s, then 1 s and a part: a track need not end on a whole second.
    const std::vector<QByteArray> tracks_ = {DistinctPcm(225, 1), DistinctPcm(80, 2),
                                             DistinctPcm(30, 3)};
};

TEST_F(CdAudioReaderTest, DecodesEachTrackToExactlyItsSamples) {
    for (int track = 1; track <= 3; ++track) {
        SCOPED_TRACE(track);
        CdAudioReader reader;
        ASSERT_TRUE(reader.Open(Path(QString::asprintf("Track%02d.cda", track))));
        const QByteArray& expected = tracks_[track - 1];
        EXPECT_EQ(reader.GetLength(), static_cast<std::uint64_t>(expected.size()));
        EXPECT_EQ(reader.GetDuration(), expected.size() / 176400);
        EXPECT_EQ(reader.GetSampleRate(), 44100);
        EXPECT_EQ(reader.GetChannels(), 2);
        EXPECT_EQ(reader.GetBitRate(), 1411);
        // A buffer that is no multiple of a sector splits sectors across reads.
        EXPECT_TRUE(ReadAll(reader, AudioReader::kMinReadBytes) == expected);
        EXPECT_EQ(reader.GetPosition(), reader.GetLength());
    }
}

TEST_F(CdAudioReaderTest, RefusesTrackFilesThatDoNotMatchTheDisc) {
    const struct {
        const char* what;
        QByteArray record;
    } cases[] = {
        {"no such track", CdaRecord(4, 335, 10)},
        {"another disc: the track lies elsewhere", CdaRecord(2, 226, 80)},
        {"not a track file", QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16).leftJustified(44, '\0')},
        {"cut short", CdaRecord(1, 0, 225).left(40)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile file(Path("Other.cda"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.record);
        file.close();
        CdAudioReader reader;
        EXPECT_FALSE(reader.Open(file.fileName()));
        EXPECT_EQ(reader.Read(std::vector<std::uint8_t>(4608).data(), 4608), 0u);
    }
}

TEST(CdaTrackFileTest, ChoosesTheImageBesideTheTrackFileOrTheSystemDrive) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(CdAudioReader::DriveFor(dir.filePath("Track01.cda")), QString());
    QFile(dir.filePath("disc.cue")).open(QIODevice::WriteOnly);
    EXPECT_EQ(CdAudioReader::DriveFor(dir.filePath("Track01.cda")), dir.filePath("disc.cue"));
    // Two images leave it open which disc is meant.
    QFile(dir.filePath("other.cue")).open(QIODevice::WriteOnly);
    EXPECT_EQ(CdAudioReader::DriveFor(dir.filePath("Track01.cda")), QString());
}

} // namespace
