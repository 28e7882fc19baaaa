// Sources made by the engine at test time, probed by the same engine and by its
// libraries inside the program: the report lines the parser reads are the
// engine's own, and both probes must give the same rows.
#include "engine/tool_paths.h"
#include "media/add_source_file.h"
#include "media/media_probe.h"
#include "media/source_list_model.h"
#include "support/make_clip.h"
#include "support/probe_row.h"
#include "support/qstring_printer.h"
#include "support/shell_link.h"
#include "support/source_fixtures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList kTestVideo = {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25"};
const QStringList kTone = {"-f", "lavfi", "-i", "sine=sample_rate=22050"};

constexpr MediaProbe::Method kMethods[] = {MediaProbe::Method::InProcess,
                                           MediaProbe::Method::Engine};

const char* MethodName(MediaProbe::Method method) {
    return method == MediaProbe::Method::InProcess ? "in-process probe" : "engine probe";
}

class MediaProbeTest : public ::testing::Test {
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
    MediaProbe Probe(MediaProbe::Method method) const { return MediaProbe(tools_, method); }
    // The item of the file, probed; null when it cannot be loaded.
    std::unique_ptr<SourceItem> Probed(const QString& name, MediaProbe::Method method) {
        std::unique_ptr<SourceItem> item = NewSourceItem(Path(name));
        if (Probe(method).Probe(*item) != MediaProbe::Outcome::Loaded)
            return nullptr;
        return item;
    }

    QTemporaryDir dir_;
    ToolPaths tools_ = ToolPaths::Locate();
};

TEST_F(MediaProbeTest, BothProbesReadWhatTheEngineReportsOfRealFiles) {
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
    for (const MediaProbe::Method method : kMethods) {
        for (const auto& c : cases) {
            SCOPED_TRACE(QStringLiteral("%1, %2").arg(c.name, MethodName(method)).toStdString());
            std::unique_ptr<SourceItem> item = Probed(c.name, method);
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
                SourceListModel list;
                const int row = list.AppendSourceRow(std::move(item), 2, QString());
                QStringList columns;
                for (int column = 0; column < SourceListModel::ColumnCount; ++column)
                    columns.append(list.CellText(row, column));
                EXPECT_EQ(columns, c.columns);
            }
        }
        EXPECT_EQ(Probed("multi.mkv", method)->audioStreamIds, (QStringList{"0:1", "0:2", "0:3"}));
        EXPECT_EQ(Probed("tone.aif", method)->extension, "aif");
        EXPECT_GT(Probed("tone.ulaw", method)->audioBitRates.at(0), 0u);
    }
    // Every row the same, whichever probe read it.
    for (const QString& name : QDir(dir_.path()).entryList(QDir::Files)) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(ProbeRow(Path(name), Probe(MediaProbe::Method::InProcess), 2),
                  ProbeRow(Path(name), Probe(MediaProbe::Method::Engine), 2));
    }
}

TEST_F(MediaProbeTest, RefusesWhatCannotBeReadWithoutWaiting) {
    ASSERT_NO_FATAL_FAILURE(MakeClips({
        {"clip.mp4", kTestVideo + kTone + QStringList{"-t", "2", "-c:v", "mpeg4", "-c:a", "aac"}},
        {"clip.wav", kTone + QStringList{"-t", "1"}},
    }));
    QFile clip(Path("clip.mp4"));
    ASSERT_TRUE(clip.open(QIODevice::ReadOnly));
    const QByteArray whole = clip.readAll();
    // The index of an MP4 file comes last: half of it has none.
    ASSERT_TRUE(WriteFile(Path("truncated.mp4"), whole.first(whole.size() / 2)));
    QByteArray scrambled = whole;
    for (qsizetype i = 0; i < scrambled.size(); i += 7)
        scrambled[i] = static_cast<char>(scrambled[i] * 31 + 17);
    ASSERT_TRUE(WriteFile(Path("scrambled.mp4"), scrambled));
    ASSERT_TRUE(WriteFile(Path("empty.mp4"), {}));
    ASSERT_TRUE(WriteFile(Path("notes.mp4"), "not a video\n"));
    ASSERT_TRUE(QDir().mkdir(Path("folder.mp4")));
    ASSERT_EQ(QProcess::execute("mkfifo", {Path("pipe.mp4")}), 0);
    // A CD track file that happens to hold audio the engine could read.
    ASSERT_TRUE(QFile::copy(Path("clip.wav"), Path("Track01.cda")));

    const struct {
        const char* name;
        MediaProbe::Outcome outcome;
        const char* reason; // part of it; "" when any reason will do
    } cases[] = {
        {"truncated.mp4", MediaProbe::Outcome::Failed, ""},
        {"empty.mp4", MediaProbe::Outcome::Failed, ""},
        {"notes.mp4", MediaProbe::Outcome::Failed, ""},
        {"folder.mp4", MediaProbe::Outcome::Failed, "folder"},
        {"pipe.mp4", MediaProbe::Outcome::Failed, "not a regular file"},
        {"missing.mp4", MediaProbe::Outcome::Failed, "does not exist"},
        {"Track01.cda", MediaProbe::Outcome::CdAudioFailed, "CD"},
    };
    for (const MediaProbe::Method method : kMethods) {
        for (const auto& c : cases) {
            SCOPED_TRACE(QStringLiteral("%1, %2").arg(c.name, MethodName(method)).toStdString());
            std::unique_ptr<SourceItem> item = NewSourceItem(Path(c.name));
            QString reason;
            EXPECT_EQ(Probe(method).Probe(*item, nullptr, &reason), c.outcome);
            EXPECT_FALSE(reason.isEmpty());
            EXPECT_TRUE(reason.contains(QLatin1String(c.reason))) << reason.toStdString();
        }
        // Damage inside the data may leave it readable or not; it never crashes.
        std::unique_ptr<SourceItem> item = NewSourceItem(Path("scrambled.mp4"));
        Probe(method).Probe(*item);
    }

    // Without its engine, the engine probe reads nothing; that is not a CD track's fault.
    ToolPaths missing = tools_;
    missing.enginePath = dir_.filePath("no-engine/mervane");
    std::unique_ptr<SourceItem> item = NewSourceItem(Path("clip.wav"));
    EXPECT_EQ(MediaProbe(missing, MediaProbe::Method::Engine).Probe(*item),
              MediaProbe::Outcome::Failed);
}

TEST_F(MediaProbeTest, ACancelledProbeEndsAtOnce) {
    ASSERT_NO_FATAL_FAILURE(MakeClips({{"clip.mp4", kTestVideo + QStringList{"-t", "1"}}}));
    const std::atomic<bool> cancelled{true};
    std::unique_ptr<SourceItem> item = NewSourceItem(Path("clip.mp4"));
    EXPECT_EQ(Probe(MediaProbe::Method::InProcess).Probe(*item, &cancelled),
              MediaProbe::Outcome::Failed);
    EXPECT_EQ(Probe(MediaProbe::Method::InProcess).Probe(*item), MediaProbe::Outcome::Loaded);
}

TEST_F(MediaProbeTest, TheProbeInsideIsChosenOnlyWithTheEnginesOwnLibraries) {
    // The test build has the libraries of the installed engine.
    EXPECT_EQ(MediaProbe::Choose(tools_).method(), MediaProbe::Method::InProcess);
    ToolPaths missing = tools_;
    missing.enginePath = dir_.filePath("no-engine/mervane");
    EXPECT_EQ(MediaProbe::Choose(missing).method(), MediaProbe::Method::Engine);
    // An engine of another version: a script that answers as one would.
    ASSERT_TRUE(WriteFile(Path("mervane"), "#!/bin/sh\necho 'ffmpeg version 4.4.2 Copyright'\n"));
    ASSERT_TRUE(QFile::setPermissions(Path("mervane"), QFile::ReadOwner | QFile::ExeOwner));
    ToolPaths other = tools_;
    other.enginePath = Path("mervane");
    EXPECT_EQ(MediaProbe::Choose(other).method(), MediaProbe::Method::Engine);
}

TEST_F(MediaProbeTest, AddSourceFileAddsEachFileOnce) {
    ASSERT_NO_FATAL_FAILURE(MakeClips({{"clip.wav", kTone + QStringList{"-t", "1"}}}));
    ASSERT_TRUE(QFile::copy(Path("clip.wav"), Path("Clip.wav")));
    ASSERT_TRUE(QFile::copy(Path("clip.wav"), Path("Track01.cda")));
    const MediaProbe probe = MediaProbe::Choose(tools_);
    SourceListModel list;

    EXPECT_EQ(AddSourceFile(list, Path("clip.wav"), probe, 1), 0); // the first row
    EXPECT_EQ(AddSourceFile(list, Path("clip.wav"), probe, 1), 0);
    EXPECT_EQ(AddSourceFile(list, dir_.path() + "/./sub/../clip.wav", probe, 1), 0);
    EXPECT_EQ(list.rowCount(), 1);
    // Another file, whatever its name looks like.
    EXPECT_EQ(AddSourceFile(list, Path("Clip.wav"), probe, 1), 1);
    bool cdAudioFailed = false;
    EXPECT_EQ(AddSourceFile(list, Path("Track01.cda"), probe, 1, &cdAudioFailed), -1);
    EXPECT_TRUE(cdAudioFailed);
    EXPECT_EQ(list.rowCount(), 2);
    // A removed row's file can come back.
    list.RemoveAllRows();
    EXPECT_EQ(AddSourceFile(list, Path("clip.wav"), probe, 1), 0);
    EXPECT_EQ(list.rowCount(), 1);
}

TEST_F(MediaProbeTest, CdTracksAndDwvwFilesAreReadWithoutTheEngine) {
    ASSERT_NO_FATAL_FAILURE(MakeClips({{"tone.wav", kTone + QStringList{"-t", "2"}}}));
    QString error;
    ASSERT_TRUE(MakeCdImage(dir_.path(), {DistinctPcm(75 * 62, 1)}, &error)) << error.toStdString();
    ASSERT_TRUE(RunTool("sndfile-convert", {"-dwvw16", Path("tone.wav"), Path("tone.aifc")},
                        Path("tone.aifc"), &error))
        << error.toStdString();
    ToolPaths noEngine = tools_;
    noEngine.enginePath = dir_.filePath("no-engine/mervane");
    const MediaProbe probe(noEngine, MediaProbe::Method::Engine);
    SourceListModel list;

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
        const int row = AddSourceFile(list, Path(c.name), probe, 1);
        ASSERT_GE(row, 0);
        const SourceItem& item = *list.Item(row);
        EXPECT_EQ(item.kind, c.kind);
        EXPECT_TRUE(item.needsStaging);
        EXPECT_TRUE(item.audioStreamIds.isEmpty());
        QStringList columns;
        for (int column = 0; column < SourceListModel::ColumnCount; ++column)
            columns.append(list.CellText(row, column));
        EXPECT_EQ(columns, c.columns);
    }
}

} // namespace
