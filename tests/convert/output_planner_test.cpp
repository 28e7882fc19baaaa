#include "convert/output_planner.h"

#include "platform/file_dates.h"
#include "platform/file_system.h"
#include "platform/folders.h"

#include "support/qstring_printer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class OutputPlannerTest : public ::testing::Test {
protected:
    QString Path(const QString& relative) const { return dir_.path() + u'/' + relative; }

    // Makes the file with its folders, with some content.
    QString Touch(const QString& relative) const {
        const QString path = Path(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("data");
        return path;
    }

    void UseFolder(const QString& folder) {
        settings_.DestOutputFolderOpt = kOutputToSpecifiedFolder;
        settings_.DestSpecifiedFolder = folder;
    }

    // The planned path, or the failure message prefixed with "!". *claim, when
    // given, gets what was claimed.
    QString Plan(const QString& source, const QString& extension = "mp4",
                 const OutputPlanner::FileOnDisk& fileOnDisk = {}, OutputClaim* claim = nullptr) {
        OutputClaim planned;
        QString message;
        if (!planner_.Plan(source, extension, false, fileOnDisk, &planned, &message)) {
            EXPECT_TRUE(planned.path.isEmpty());
            return u'!' + message;
        }
        if (claim)
            *claim = planned;
        return planned.path;
    }

    static QByteArray Contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }

    QTemporaryDir dir_;
    ConvertSettings settings_ = BesideTheSource();
    OutputPlanner planner_{settings_};

private:
    static ConvertSettings BesideTheSource() {
        ConvertSettings settings;
        settings.DestOutputFolderOpt = kOutputNextToSource;
        return settings;
    }
};

TEST_F(OutputPlannerTest, RenameSkipsNamesOnDiskAndThoseOfTheBatch) {
    Touch("clip.mp4");
    Touch("clip_1.mp4");
    EXPECT_EQ(Plan(Touch("clip.avi")), Path("clip_2.mp4"));
    // Handed out in this batch, though the run has not made it yet.
    EXPECT_EQ(Plan(Touch("clip.mkv")), Path("clip_3.mp4"));
    // Each name is claimed on disk at once, as an empty file.
    EXPECT_EQ(QFileInfo(Path("clip_3.mp4")).size(), 0);
    // A new batch forgets what the last one handed out (its runs removed what
    // they did not write).
    QFile::remove(Path("clip_2.mp4"));
    QFile::remove(Path("clip_3.mp4"));
    planner_.Clear();
    EXPECT_EQ(Plan(Path("clip.mkv")), Path("clip_2.mp4"));
}

// Many outputs of one name (a group holding one format many times) are numbered
// without trying each lower number again, yet never skip a free one.
TEST_F(OutputPlannerTest, ManyOutputsOfOneNameTakeEachFreeNumberInTurn) {
    Touch("clip.mp4");
    Touch("clip_2.mp4");
    Touch("clip_5.mp4");
    const QString source = Touch("clip.avi");
    QStringList planned;
    for (int i = 0; i < 5; ++i)
        planned << QFileInfo(Plan(source)).fileName();
    EXPECT_EQ(planned,
              QStringList({"clip_1.mp4", "clip_3.mp4", "clip_4.mp4", "clip_6.mp4", "clip_7.mp4"}));

    // Overwrite replaces files on disk: the numbers Rename stepped over are free to it.
    settings_.TargetExistsOpt = kTargetExistsOverwrite;
    EXPECT_EQ(Plan(source), Path("clip.mp4"));
    EXPECT_EQ(Plan(source), Path("clip_2.mp4"));
    EXPECT_EQ(Plan(source), Path("clip_5.mp4"));
}

TEST_F(OutputPlannerTest, TwoSourcesOfOneNameIntoOneFolderFollowThePolicy) {
    const struct {
        int policy;
        QString second;
    } cases[] = {
        {kTargetExistsRename, "out/clip_1.mp4"},
        {kTargetExistsOverwrite, "out/clip_1.mp4"},
        {kTargetExistsSkip, "!Target exists and skipped"},
        {0, "out/clip_1.mp4"}, // unknown values rename
    };
    const QString a = Touch("a/clip.avi");
    // Names differ in case only: outputs not written yet compare regardless of case.
    const QString b = Touch("b/CLIP.avi");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.policy);
        planner_.Clear();
        QDir(Path("out")).removeRecursively();
        settings_.TargetExistsOpt = c.policy;
        UseFolder(Path("out"));
        EXPECT_EQ(Plan(a), Path("out/clip.mp4"));
        const QString second = Plan(b);
        EXPECT_EQ(second, c.second.startsWith(u'!') ? c.second
                                                    : Path(c.second).replace("clip_1", "CLIP_1"));
    }
}

TEST_F(OutputPlannerTest, OverwriteReplacesAnOldOutputButNeverTheSource) {
    settings_.TargetExistsOpt = kTargetExistsOverwrite;
    const QString old = Touch("clip.mp4");
    OutputClaim claim;
    EXPECT_EQ(Plan(Touch("clip.avi"), "mp4", {}, &claim), old);
    // The old output waits aside, whole, until the run's end decides.
    EXPECT_EQ(QFileInfo(old).size(), 0);
    EXPECT_EQ(Contents(claim.keptAside), "data");

    const QString source = Touch("movie.mp4");
    EXPECT_TRUE(Plan(source).startsWith("!Target file name is same as original file"));
    EXPECT_TRUE(QFileInfo::exists(source));
    // Nor when the source is reached through a link to its folder.
    ASSERT_TRUE(QFile::link(dir_.path(), Path("linked")));
    EXPECT_TRUE(Plan(Path("linked/movie.mp4")).startsWith("!Target file name is same"));
    EXPECT_EQ(QFileInfo(source).size(), 4);

    settings_.TargetExistsOpt = kTargetExistsRename;
    EXPECT_EQ(Plan(source), Path("movie_1.mp4"));

    // Another source of the batch is numbered around, as an output of the batch is.
    settings_.TargetExistsOpt = kTargetExistsOverwrite;
    const QString laterSource = Touch("song.mp3");
    planner_.KeepSource(laterSource);
    EXPECT_EQ(Plan(Touch("song.wav"), "mp3"), Path("song_1.mp3"));
    EXPECT_EQ(QFileInfo(laterSource).size(), 4);
}

TEST_F(OutputPlannerTest, NamesAndFoldersFollowTheSourceAndTheOptions) {
    const QString source = Touch("videos/clip.avi");
    EXPECT_EQ(Plan(Touch("videos/noext")), Path("videos/noext.mp4"));
    EXPECT_EQ(Plan(Touch("videos/a.b.c"), "jpg"), Path("videos/a.b.jpg"));

    // The tree option means nothing beside the source.
    settings_.CreateDirs = 1;
    EXPECT_EQ(Plan(source, "mkv"), Path("videos/clip.mkv"));

    UseFolder(Path("out/"));
    EXPECT_EQ(Plan(source, "webm"), Path("out") + Path("videos/clip.webm"));
    settings_.CreateDirs = 0;
    settings_.CreateFolderForEachSource = 1;
    EXPECT_EQ(Plan(source, "webm"), Path("out/clip/clip.webm"));
    EXPECT_TRUE(QFileInfo(Path("out/clip")).isDir());
}

// An earlier sequence is found by its numbered pictures, never by the unnumbered
// name, which no sequence has.
TEST_F(OutputPlannerTest, ImageSequencesCollideOnTheirFirstPicture) {
    const auto firstPicture = [](const QString& path) {
        return path.left(path.size() - 4) + "_001.jpg";
    };
    Touch("clip_001.jpg");
    Touch("clip_002.jpg");
    const QString source = Touch("clip.avi");
    settings_.TargetExistsOpt = kTargetExistsSkip;
    EXPECT_EQ(Plan(source, "jpg", firstPicture), "!Target exists and skipped");
    settings_.TargetExistsOpt = kTargetExistsRename;
    EXPECT_EQ(Plan(source, "jpg", firstPicture), Path("clip_1.jpg"));
    EXPECT_TRUE(QFileInfo::exists(Path("clip_1_001.jpg"))); // claimed
    EXPECT_FALSE(QFileInfo::exists(Path("clip.jpg")));
    EXPECT_EQ(Contents(Path("clip_001.jpg")), "data");
    EXPECT_EQ(Contents(Path("clip_002.jpg")), "data");
}

// A link at the output's name is never written through: Rename numbers around
// it (a dangling one too), Overwrite moves the link itself aside.
TEST_F(OutputPlannerTest, LinksAtTheOutputNameAreReplacedNeverWrittenThrough) {
    const QString target = Touch("elsewhere/precious.mp4");
    ASSERT_TRUE(QFile::link(target, Path("clip.mp4")));
    ASSERT_TRUE(QFile::link(Path("elsewhere/gone.mp4"), Path("other.mp4")));
    settings_.TargetExistsOpt = kTargetExistsRename;
    EXPECT_EQ(Plan(Touch("other.avi")), Path("other_1.mp4"));
    EXPECT_FALSE(QFileInfo::exists(Path("elsewhere/gone.mp4")));

    settings_.TargetExistsOpt = kTargetExistsOverwrite;
    OutputClaim claim;
    EXPECT_EQ(Plan(Touch("clip.avi"), "mp4", {}, &claim), Path("clip.mp4"));
    EXPECT_FALSE(QFileInfo(Path("clip.mp4")).isSymLink());
    EXPECT_EQ(QFileInfo(claim.keptAside).symLinkTarget(), target);
    EXPECT_EQ(Contents(target), "data");
}

// Two planners, as two processes into one folder: never one name for both.
TEST_F(OutputPlannerTest, ANameClaimedElsewhereIsNeverSharedOrReplaced) {
    OutputPlanner other(settings_);
    const QString source = Touch("clip.avi");
    OutputClaim first, second;
    QString message;
    ASSERT_TRUE(other.Plan(source, "mp4", false, {}, &first, &message));
    EXPECT_EQ(Plan(source), Path("clip_1.mp4"));
    settings_.TargetExistsOpt = kTargetExistsSkip;
    EXPECT_EQ(Plan(source), "!Target exists and skipped");
}

TEST_F(OutputPlannerTest, FailuresFallBackToDocumentsOnceWhenAllowed) {
    QString documents;
    ASSERT_TRUE(platform::GetDocumentsFolder(&documents));
    const QString source = Touch("clip.avi");
    Touch("blocker");
    const QString unusable = Path("blocker/out");
    const struct {
        QString folder;
        QString failure;
    } cases[] = {
        {unusable, "!Failed to create folder \"" + unusable + "\""},
        {"", "!Failed to create folder \"\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        planner_.Clear();
        UseFolder(c.folder);
        settings_.OutputFiles2MyDocuments = 0;
        EXPECT_EQ(Plan(source), c.failure);
        settings_.OutputFiles2MyDocuments = 1;
        EXPECT_EQ(Plan(source), documents + "/clip.mp4");
        QFile::remove(documents + "/clip.mp4"); // its claim
    }

    // Beside the source a folder is in the way of the file: Documents takes the
    // job, and the tree option stays off there as it was beside the source.
    planner_.Clear();
    settings_.DestOutputFolderOpt = kOutputNextToSource;
    settings_.TargetExistsOpt = kTargetExistsOverwrite;
    settings_.CreateDirs = 1;
    QDir().mkpath(Path("stuck.mp4"));
    const QString stuck = Touch("stuck.avi");
    EXPECT_EQ(Plan(stuck), documents + "/stuck.mp4");
    QFile::remove(documents + "/stuck.mp4");
    // When Documents has one in the way too, the last failure is the message.
    planner_.Clear();
    QDir().mkpath(documents + "/stuck.mp4");
    EXPECT_EQ(Plan(stuck), "!Failed to create file \"" + documents + "/stuck.mp4\"");
    QDir(documents + "/stuck.mp4").removeRecursively();
}

TEST_F(OutputPlannerTest, ConvertToOneIntermediatesGetFreshRandomNames) {
    settings_.TargetExistsOpt = kTargetExistsSkip; // not for intermediates
    settings_.CreateFolderForEachSource = 1;
    UseFolder(Path("out"));
    OutputClaim first, second;
    QString message;
    ASSERT_TRUE(planner_.Plan(Touch("clip.avi"), "ts", true, {}, &first, &message));
    ASSERT_TRUE(planner_.Plan(Path("clip.avi"), "ts", true, {}, &second, &message));
    EXPECT_NE(first.path, second.path);
    for (const QString& path : {first.path, second.path}) {
        EXPECT_EQ(QFileInfo(path).absolutePath(), Path("out"));
        EXPECT_TRUE(path.endsWith(".ts"));
        EXPECT_FALSE(path.contains("clip"));
    }
}

TEST(FileSystemTest, FolderChainsTemporaryNamesSizesAndDates) {
    QTemporaryDir dir;
    const QString deep = dir.path() + "/a/b/c/";
    EXPECT_FALSE(platform::MakeFolderChain(deep, false));
    EXPECT_TRUE(platform::MakeFolderChain(deep, true));
    EXPECT_TRUE(QFileInfo(deep).isDir());
    QFile file(dir.path() + "/a/file");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("12345");
    file.close();
    EXPECT_FALSE(platform::MakeFolderChain(dir.path() + "/a/file/d", true));
    EXPECT_TRUE(QFileInfo(dir.path() + "/a/b").isDir()); // made before the failure, kept

    qint64 size = -1;
    EXPECT_TRUE(platform::GetFileSize(file.fileName(), &size));
    EXPECT_EQ(size, 5);
    EXPECT_FALSE(platform::GetFileSize(deep, &size));
    EXPECT_FALSE(platform::GetFileSize(dir.path() + "/none", &size));

    const QString temporary = platform::TemporaryFileName({}, {}, ".txt");
    EXPECT_TRUE(temporary.startsWith(QDir::tempPath() + u'/'));
    EXPECT_TRUE(temporary.endsWith(".txt"));
    EXPECT_FALSE(QFileInfo::exists(temporary));
    EXPECT_TRUE(platform::TemporaryFileName(dir.path(), "q").startsWith(dir.path() + "/q"));

    // Only the last-write time can be set; the access time stays.
    const QDateTime old = QDateTime::fromSecsSinceEpoch(1000000000);
    QFile source(dir.path() + "/source");
    ASSERT_TRUE(source.open(QIODevice::ReadWrite));
    ASSERT_TRUE(source.setFileTime(old, QFileDevice::FileModificationTime));
    source.close();
    const QDateTime accessed = QFileInfo(file.fileName()).lastRead();
    EXPECT_FALSE(platform::CopyFileDates(source.fileName(), file.fileName(), true, false));
    EXPECT_NE(QFileInfo(file.fileName()).lastModified(), old);
    EXPECT_TRUE(platform::CopyFileDates(source.fileName(), file.fileName(), true, true));
    EXPECT_EQ(QFileInfo(file.fileName()).lastModified(), old);
    EXPECT_EQ(QFileInfo(file.fileName()).lastRead(), accessed);
    EXPECT_FALSE(platform::CopyFileDates(dir.path() + "/none", file.fileName(), false, true));
}

} // namespace
