// A voice recorder file on the road of every source: added with the reader's
// properties, staged into a WAV file the engine reads; a ".voc" file of another
// kind goes to the engine.
#include "engine/tool_paths.h"
#include "media/add_source_file.h"
#include "media/media_probe.h"
#include "media/source_list_model.h"
#include "media/stage_source.h"
#include "voice_fixture.h"

#include <gtest/gtest.h>

namespace {

class VoiceFileSourceTest : public VoiceEngineTest {
protected:
    // The row of the file once added; null when it was not.
    SourceItem* Add(const QString& name) {
        AddSourceFile(list_, Path(name), MediaProbe::Choose(tools_), 1);
        for (int row = 0; row < list_.rowCount(); ++row) {
            if (list_.Item(row)->path == Path(name))
                return list_.Item(row);
        }
        return nullptr;
    }

    SourceListModel list_;
    ToolPaths tools_ = ToolPaths::Locate();
};

TEST_F(VoiceFileSourceTest, IsAddedByItsReaderAndStagedIntoWhatTheEngineReads) {
    Engine("codes.g726", {"-f", "lavfi", "-i", "sine=frequency=300:sample_rate=8000:duration=3",
                          "-c:a", "g726le", "-b:a", "32k", "-f", "g726le"});
    VoiceHeader header;
    header.seconds = 2;
    header.fraction = 1;
    ASSERT_TRUE(WriteBytes(Path("memo.voc"), VoiceFile(header, ReadBytes(Path("codes.g726")))));

    SourceItem* item = Add("memo.voc");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->kind, KindVoiceFile);
    EXPECT_EQ(item->duration, 3u);
    EXPECT_EQ(item->audioSampleRates, std::vector<unsigned>{8000});
    EXPECT_EQ(item->audioChannels, std::vector<unsigned>{1});

    QString staged;
    QString message;
    ASSERT_EQ(StageSource(*item, &staged, &message, [](int) { return true; }), StageOutcome::Staged)
        << message.toStdString();
    VoiceFileReader reader;
    ASSERT_TRUE(reader.Open(Path("memo.voc")));
    const std::vector<std::int16_t> samples = ReadAll(reader).samples;
    const QByteArray wav = ReadBytes(staged);
    ASSERT_EQ(wav.size(), 44 + 2 * qsizetype(samples.size()));
    EXPECT_EQ(wav.mid(44), QByteArray(reinterpret_cast<const char*>(samples.data()),
                                      2 * qsizetype(samples.size())));
    // The engine reads the staged file back to the same samples.
    Engine("back.raw", {"-i", staged, "-f", "s16le"});
    EXPECT_EQ(ReadBytes(Path("back.raw")), wav.mid(44));
    QFile::remove(staged);
}

TEST_F(VoiceFileSourceTest, AnotherVocFileIsTheEngines) {
    Engine("creative.voc", {"-f", "lavfi", "-i", "sine=sample_rate=8000:duration=1", "-c:a",
                            "pcm_u8", "-f", "voc"});
    SourceItem* item = Add("creative.voc");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->kind, KindFile);
    EXPECT_EQ(item->duration, 1u);
}

} // namespace
