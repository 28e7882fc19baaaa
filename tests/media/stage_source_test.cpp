// Staging the files of the built-in readers into temporary WAV files, with
// progress, Cancel and failures.
#include "media/source_item.h"
#include "media/stage_source.h"
#include "media/wav_writer.h"
#include "support/qstring_printer.h"
#include "support/source_fixtures.h"
#include "support/temporary_folder.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

QByteArray Load(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 Le32(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}
quint16 Le16(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

TEST(WavWriterTest, WritesTheHeaderOfThePcmItIsGiven) {
    const struct {
        bool stereo;
        int sampleRate;
        quint32 dataBytes;
        quint32 bytesPerSecond;
        quint16 blockAlign;
    } cases[] = {
        {true, 44100, 31752000, 176400, 4}, // three minutes of a CD track
        {false, 8000, 16001, 16000, 2},     // an odd count is what was written
    };
    TemporaryFolderScope temp;
    for (const auto& c : cases) {
        const QString path = temp.path() + QStringLiteral("/%1.wav").arg(c.sampleRate);
        WavWriter wav;
        ASSERT_TRUE(wav.Open(path, c.stereo, 16, c.sampleRate));
        const std::vector<std::uint8_t> block(1 << 20, 0x5A);
        for (quint32 left = c.dataBytes; left > 0;) {
            const quint32 part = std::min<quint32>(left, block.size());
            ASSERT_TRUE(wav.Write(block.data(), part));
            left -= part;
        }
        ASSERT_TRUE(wav.Close());

        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.size(), 44 + qint64{c.dataBytes});
        const QByteArray header = file.read(44);
        EXPECT_EQ(header.left(4), "RIFF");
        EXPECT_EQ(Le32(header, 4), c.dataBytes + 36);
        EXPECT_EQ(header.mid(8, 8), "WAVEfmt ");
        EXPECT_EQ(Le32(header, 16), 16u);
        EXPECT_EQ(Le16(header, 20), 1u);
        EXPECT_EQ(Le16(header, 22), c.stereo ? 2u : 1u);
        EXPECT_EQ(Le32(header, 24), static_cast<quint32>(c.sampleRate));
        EXPECT_EQ(Le32(header, 28), c.bytesPerSecond);
        EXPECT_EQ(Le16(header, 32), c.blockAlign);
        EXPECT_EQ(Le16(header, 34), 16u);
        EXPECT_EQ(header.mid(36, 4), "data");
        EXPECT_EQ(Le32(header, 40), c.dataBytes);
    }
    // A name that is taken is never written through.
    WavWriter wav;
    EXPECT_FALSE(wav.Open(temp.path() + "/8000.wav", false, 16, 8000));
    EXPECT_EQ(QFileInfo(temp.path() + "/8000.wav").size(), 44 + 16001);
}

class StageAudioFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(disc_.isValid());
        QString error;
        ASSERT_TRUE(MakeCdImage(disc_.path(), {pcm_}, &error)) << error.toStdString();
        item_.kind = KindCdAudio;
        item_.path = disc_.filePath("Track01.cda");
        item_.needsStaging = true;
    }

    QTemporaryDir disc_;
    const QByteArray pcm_ = DistinctPcm(300, 9);
    SourceItem item_;
    TemporaryFolderScope temp_;
};

TEST_F(StageAudioFileTest, DecodesTheTrackIntoATemporaryWavFile) {
    std::vector<int> percents;
    QString staged;
    QString message;
    ASSERT_EQ(StageSource(item_, &staged, &message,
                          [&](int percent) {
                              percents.push_back(percent);
                              return true;
                          }),
              StageOutcome::Staged)
        << message.toStdString();
    EXPECT_EQ(QFileInfo(staged).dir().path(), temp_.path());
    EXPECT_TRUE(staged.endsWith(".wav"));
    const QByteArray wav = Load(staged);
    EXPECT_EQ(Le16(wav, 22), 2u);
    EXPECT_EQ(Le32(wav, 24), 44100u);
    EXPECT_TRUE(WavSamples(staged) == pcm_);
    ASSERT_FALSE(percents.empty());
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(percents.back(), 100);

    // Each staging has a file of its own.
    QString again;
    ASSERT_EQ(StageSource(item_, &again, &message, [](int) { return true; }), StageOutcome::Staged);
    EXPECT_NE(again, staged);
}

TEST_F(StageAudioFileTest, LeavesNoFileWhenCancelledOrFailing) {
    QString staged = "stale";
    QString message;
    EXPECT_EQ(StageSource(item_, &staged, &message, [](int percent) { return percent < 50; }),
              StageOutcome::Cancelled);
    EXPECT_EQ(message, "Cancelled");
    EXPECT_EQ(staged, "");
    EXPECT_EQ(temp_.Files(), QStringList());

    const struct {
        const char* what;
        int kind;
        QString path;
        const char* message;
    } cases[] = {
        {"unreadable", KindCdAudio, disc_.filePath("Track02.cda"), "Failed to open file"},
        {"refused by its reader", KindAiff, disc_.filePath("disc.bin"), "Failed to open file"},
        {"no reader", KindFile, item_.path, "This kind of source cannot be loaded"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SourceItem item = item_;
        item.kind = c.kind;
        item.path = c.path;
        EXPECT_EQ(StageSource(item, &staged, &message, [](int) { return true; }),
                  StageOutcome::Failed);
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(temp_.Files(), QStringList());
    }

    // A temporary folder no one can write in.
    qputenv("TMPDIR", "/proc");
    EXPECT_EQ(StageSource(item_, &staged, &message, [](int) { return true; }),
              StageOutcome::Failed);
    EXPECT_EQ(message, "Failed to create temporary file");
}

} // namespace
