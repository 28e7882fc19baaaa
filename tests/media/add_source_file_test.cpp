// Sources made by the engine at test time, probed by the same engine: the
// report lines the parser reads are the engine's own.
#include "engine/tool_paths.h"
#include "media/add_source_file.h"
#include "media/source_list_model.h"
#include "support/make_clip.h"
#include "support/source_fixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList kTestVideo = {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25"};
const QStringList kTone = {"-f", "lavfi", "-i", "sine=sample_rate=22050"};

class AddSourceFileTest : public ::testing::Test {
protected:
    void MakeClips(const std::vector<std::pair<QString, QStringList>>& clips) {
        ASSERT_TRUE(dir_.isValid());
        for (const auto& [name, args] : clips) {
            QString error;
            ASSERT_TRUE(MakeClip(dir_.path(), name, args, &error))
                << name.toStdString() << ": " << error.toStdString();
        }
    }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    int Add(const QString& name, int requestAudioIndex = 1, bool* cdAudioFailed = nullptr) {
        return AddSourceFile(list_, Path(name), tools_, requestAudioIndex, cdAudioFailed);
    }
    // The row of the file just added; null when it has none.
    const SourceItem* Added(const QString& name) {
        for (int row = 0; row < list_.rowCount(); ++row) {
            if (list_.Item(row)->path == Path(name))
                return list_.Item(row);
        }
        return nullptr;
    }

    QTemporaryDir dir_;
    ToolPaths tools_ = ToolPaths::Locate();
    SourceListModel list_;
};

TEST_F(AddSourceFileTest, ReadsWhatTheEngineReportsOfRealFiles) {
    ASSERT_NO_FATAL_FAILURE(MakeClips({
        // Odd width, a display aspect and three audio streams.
        {"multi.mkv", {"-f",      "lavfi", "-i",   "testsrc=size=161x120:rate=25",
                       "-f",      "lavfi", "-i",   "sine=sample_rate=44100",
                       "-f",      "lavfi", "-i",   "sine=sample_rate=22050",
                       "-f",      "lavfi", "-i",   "anullsrc=channel_layout=5.1:sample_rate=48000",
                       "-map",    "0",     "-map", "1",
                       "-map",    "2",     "-map", "3",
                       "-t",      "1",     "-c:v", "mpeg4",
                       "-aspect", "16:9",  "-c:a", "aac"}},
        // Frames at uneven times: a base rate but no "fps".
        {"uneven.nut",
         kTestVideo + QStringList{"-t", "1", "-vf", "setpts=(N/25+if(gte(N\\,10)\\,0.3\\,0))/TB",
                                  "-fps_mode", "passthrough", "-c:v", "mpeg4"}},
        {"two videos.mkv",
         kTestVideo + QStringList{"-f", "lavfi", "-i", "testsrc2=size=80x60:rate=10", "-t", "1",
                                  "-map", "0", "-map", "1", "-c:v", "mpeg4"}},
        {"tone.wav", kTone + QStringList{"-t", "1"}},
        // A raw stream has no duration ("N/A") and needs its format named.
        {"raw.264", kTestVideo + QStringList{"-t", "1", "-c:v", "libx264", "-f", "h264"}},
        {"tone.ulaw", kTone + QStringList{"-t", "1", "-ar", "8000", "-f", "mulaw"}},
        {"long.flac",
         {"-f", "lavfi", "-i", "anullsrc=r=8000:cl=mono", "-t", "3723.99", "-c:a", "flac"}},
        // A plain AIFF file is the engine's to read.
        {"tone.aif", kTone + QStringList{"-t", "1"}},
    }));

    const struct {
        const char* name;
        int width;
        int height;
        double frameRate;
        double displayAspect;
        unsigned duration;
        std::vector<unsigned> sampleRates;
        std::vector<unsigned> channels;
        QStringList columns;
    } cases[] = {
        {"multi.mkv",
         162,
         120,
         25.0,
         16.0 / 9.0,
         1,
         {44100, 22050, 48000},
         {1, 1, 6},
         {"multi.mkv (3 audios)", "00:01", "162", "120", "25.00", "", "22050 Hz*3", "", "Mono",
          ""}},
        {"uneven.nut", 160, 120, 25.0, 4.0 / 3.0, 0, {}, {}, {}},
        {"two videos.mkv", 160, 120, 25.0, 4.0 / 3.0, 1, {}, {}, {}},
        {"tone.wav",
         0,
         0,
         -1.0,
         -1.0,
         1,
         {22050},
         {1},
         {"tone.wav", "00:01", "", "", "", "", "22050 Hz", "352 kbps", "Mono", ""}},
        {"raw.264", 160, 120, 25.0, 4.0 / 3.0, 0, {}, {}, {}},
        {"tone.ulaw", 0, 0, -1.0, -1.0, 1, {8000}, {1}, {}},
        {"long.flac",
         0,
         0,
         -1.0,
         -1.0,
         3723,
         {8000},
         {1},
         {"long.flac", "1:02:03", "", "", "", "", "8000 Hz", "", "Mono", ""}},
        {"tone.aif", 0, 0, -1.0, -1.0, 1, {22050}, {1}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int row = Add(c.name, 2);
        ASSERT_GE(row, 0);
        const SourceItem* item = list_.Item(row);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->path, Path(c.name));
        EXPECT_EQ(item->kind, KindFile);
        EXPECT_EQ(item->width, c.width);
        EXPECT_EQ(item->height, c.height);
        EXPECT_NEAR(item->frameRate, c.frameRate, 1e-9);
        EXPECT_NEAR(item->displayAspect, c.displayAspect, 1e-9);
        EXPECT_EQ(item->videoStream, c.width > 0 ? "0:0" : "");
        EXPECT_EQ(item->duration, c.duration);
        EXPECT_EQ(item->audioSampleRates, c.sampleRates);
        EXPECT_EQ(item->audioChannels, c.channels);
        if (!c.columns.isEmpty()) {
            QStringList columns;
            for (int column = 0; column < SourceListModel::ColumnCount; ++column)
                columns.append(list_.CellText(row, column));
            EXPECT_EQ(columns, c.columns);
        }
    }
    EXPECT_EQ(Added("multi.mkv")->audioStreamIds, (QStringList{"0:1", "0:2", "0:3"}));
    EXPECT_EQ(Added("tone.aif")->extension, "aif");
    EXPECT_GT(Added("tone.ulaw")->audioBitRates.at(0), 0u);
}

TEST_F(AddSourceFileTest, AddsEachFileOnceAndRefusesWhatCannotBeRead) {
    ASSERT_NO_FATAL_FAILURE(MakeClips({{"clip.wav", kTone + QStringList{"-t", "1"}}}));
    ASSERT_TRUE(QFile::copy(Path("clip.wav"), Path("Clip.wav")));
    // A CD track file that happens to hold audio the engine could read.
    ASSERT_TRUE(QFile::copy(Path("clip.wav"), Path("Track01.cda")));
    QFile text(Path("notes.mp4"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a video\n");
    text.close();

    EXPECT_EQ(Add("notes.mp4"), -1);
    EXPECT_EQ(list_.rowCount(), 0);
    EXPECT_EQ(Add("clip.wav"), 0); // the first row
    EXPECT_EQ(Add("clip.wav"), 0);
    EXPECT_EQ(AddSourceFile(list_, dir_.path() + "/./sub/../clip.wav", tools_, 1), 0);
    EXPECT_EQ(list_.rowCount(), 1);
    // Another file, whatever its name looks like.
    EXPECT_EQ(Add("Clip.wav"), 1);
    EXPECT_EQ(list_.rowCount(), 2);

    bool cdAudioFailed = false;
    EXPECT_EQ(Add("Track01.cda", 1, &cdAudioFailed), -1);
    EXPECT_TRUE(cdAudioFailed);
    EXPECT_EQ(list_.rowCount(), 2);

    // Without its engine nothing can be read; that is not a CD track's fault.
    list_.RemoveAllRows();
    ToolPaths missing = tools_;
    missing.enginePath = dir_.filePath("no-engine/mervane");
    cdAudioFailed = false;
    EXPECT_EQ(AddSourceFile(list_, Path("clip.wav"), missing, 1, &cdAudioFailed), -1);
    EXPECT_FALSE(cdAudioFailed);
    EXPECT_EQ(list_.rowCount(), 0);
    // A removed row's file can come back.
    EXPECT_EQ(Add("clip.wav"), 0);
    EXPECT_EQ(list_.rowCount(), 1);
}

TEST_F(AddSourceFileTest, ReadsCdTracksAndDwvwFilesWithoutTheEngine) {
    ASSERT_NO_FATAL_FAILURE(MakeClips({{"tone.wav", kTone + QStringList{"-t", "2"}}}));
    QString error;
    ASSERT_TRUE(MakeCdImage(dir_.path(), {DistinctPcm(75 * 62, 1)}, &error)) << error.toStdString();
    ASSERT_TRUE(RunTool("sndfile-convert", {"-dwvw16", Path("tone.wav"), Path("tone.aifc")},
                        Path("tone.aifc"), &error))
        << error.toStdString();
    ToolPaths noEngine = tools_;
    noEngine.enginePath = dir_.filePath("no-engine/mervane");

    const struct {
        const char* name;
        int kind;
        QStringList columns;
    } cases[] = {
        {"Track01.cda",
         KindCdAudio,
         {"Track01.cda", "01:02", "", "", "", "", "44100 Hz", "1411 kbps", "Stereo", ""}},
        {"tone.aifc",
         KindAiff,
         {"tone.aifc", "00:02", "", "", "", "", "22050 Hz",
          QStringLiteral("%1 kbps").arg(QFile(Path("tone.aifc")).size() / 250), "Mono", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int row = AddSourceFile(list_, Path(c.name), noEngine, 1);
        ASSERT_GE(row, 0);
        const SourceItem& item = *list_.Item(row);
        EXPECT_EQ(item.kind, c.kind);
        EXPECT_TRUE(item.needsStaging);
        EXPECT_TRUE(item.audioStreamIds.isEmpty());
        QStringList columns;
        for (int column = 0; column < SourceListModel::ColumnCount; ++column)
            columns.append(list_.CellText(row, column));
        EXPECT_EQ(columns, c.columns);
    }
}

} // namespace
