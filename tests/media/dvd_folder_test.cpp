// A DVD-Video folder authored by dvdauthor from clips the engine made: found,
// probed by the engine, joined and read again by the engine.
#include "engine/tool_paths.h"
#include "media/dvd_titles.h"
#include "media/media_probe.h"
#include "media/source_list_model.h"
#include "support/qstring_printer.h"
#include "support/source_fixtures.h"
#include "support/temporary_folder.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class DvdFolderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new QTemporaryDir;
        QString error;
        // A title set under 1 MiB (skipped as a menu would be), then two titles.
        ASSERT_TRUE(MakeDvdFolder(dir_->path(), {0.4, 1.5, 1.5}, &error)) << error.toStdString();
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static QString Dvd() { return dir_->filePath("dvd"); }
    static QString VideoTs() { return dir_->filePath("dvd/VIDEO_TS") + '/'; }

    static QTemporaryDir* dir_;
    ToolPaths tools_ = ToolPaths::Locate();
    SourceListModel list_;
};

QTemporaryDir* DvdFolderTest::dir_ = nullptr;

TEST_F(DvdFolderTest, AddsOneRowPerTitleSetFromTheDiscOrItsVideoFolder) {
    ASSERT_LT(QFile(VideoTs() + "VTS_01_1.VOB").size(), 1048576);
    ASSERT_GE(QFile(VideoTs() + "VTS_02_1.VOB").size(), 1048576);
    QString warning;
    ASSERT_TRUE(AddDvdFolder(list_, Dvd(), tools_, 1, &warning)) << warning.toStdString();
    ASSERT_EQ(list_.rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        const SourceItem& item = *list_.Item(row);
        EXPECT_EQ(item.kind, KindDvdTitle);
        EXPECT_EQ(item.titleNumber, row + 1);
        EXPECT_EQ(item.titleSet, row + 2);
        EXPECT_EQ(item.dvdFolder, VideoTs());
        EXPECT_EQ(item.path, QStringLiteral("DVD Title %1").arg(row + 1));
        EXPECT_TRUE(item.needsStaging);
        EXPECT_EQ(item.duration, 0u);
        EXPECT_EQ(item.width, 352);
        EXPECT_EQ(item.AudioStreamCount(), 1);
        EXPECT_EQ(list_.CellText(row, SourceListModel::ColumnFile), item.path);
        EXPECT_EQ(list_.CellText(row, SourceListModel::ColumnDuration), "");
    }
    // The same titles through the video folder itself are in the list already.
    EXPECT_TRUE(AddDvdFolder(list_, VideoTs(), tools_, 1, &warning));
    EXPECT_EQ(list_.rowCount(), 2);
}

TEST_F(DvdFolderTest, TellsWhatCouldNotBeAdded) {
    QString warning;
    EXPECT_FALSE(AddDvdFolder(list_, dir_->path(), tools_, 1, &warning));
    EXPECT_EQ(warning, "Quillmore doesn't find any DVD video files at " + dir_->path() + ".");
    EXPECT_EQ(list_.rowCount(), 0);

    // A title set whose video the engine cannot read.
    QTemporaryDir broken;
    ASSERT_TRUE(broken.isValid());
    QFile vob(broken.filePath("VTS_01_1.VOB"));
    ASSERT_TRUE(vob.open(QIODevice::WriteOnly));
    vob.write(QByteArray(1048576, 'x'));
    vob.close();
    EXPECT_FALSE(AddDvdFolder(list_, broken.path(), tools_, 1, &warning));
    EXPECT_EQ(warning, "Failed to load the following DVD Titles.\n\nDVD Title 1\n");
    EXPECT_EQ(list_.rowCount(), 0);
}

TEST_F(DvdFolderTest, StagesATitleTheEngineReads) {
    QString warning;
    ASSERT_TRUE(AddDvdFolder(list_, Dvd(), tools_, 1, &warning));
    TemporaryFolderScope temp;
    QString staged;
    QString message;
    ASSERT_EQ(StageDvdTitle(*list_.Item(1), &staged, &message, [](int) { return true; }),
              StageOutcome::Staged)
        << message.toStdString();
    EXPECT_EQ(QFile(staged).size(), QFile(VideoTs() + "VTS_03_1.VOB").size());
    SourceMedia media;
    EXPECT_TRUE(ProbeWithEngine(media, staged, {}, tools_));
    EXPECT_EQ(media.width, 352);
    EXPECT_EQ(media.AudioStreamCount(), 1);
}

} // namespace
