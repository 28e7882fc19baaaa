#include "app/convert_settings.h"
#include "desktop_doubles.h"
#include "media/add_source_file.h"
#include "media/media_probe.h"
#include "support/make_clip.h"
#include "ui/main_dlg.h"
#include "ui/progress_dlg.h"

#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int kBatchMilliseconds = 120000;

class WindowConversionTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings(QStringLiteral("Quillmore 3"), QStringLiteral("Quillmore")).clear();
        ASSERT_TRUE(dir_.isValid());
        QString error;
        ASSERT_TRUE(
            MakeClip(dir_.path(), "first.mp4",
                     {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25", "-f", "lavfi", "-i",
                      "sine=sample_rate=22050", "-t", "1", "-c:v", "mpeg4", "-c:a", "aac"},
                     &error))
            << error.toStdString();
        ASSERT_TRUE(QFile::copy(dir_.filePath("first.mp4"), dir_.filePath("second.mp4")));
        window_ = std::make_unique<CMainDlg>(shell_);
        window_->settings().DestOutputFolderOpt = kOutputNextToSource;
        window_->settings().BrowseOutputFolder = 0;
        window_->show();
        const MediaProbe probe = MediaProbe::Choose(window_->tools());
        for (const char* name : {"first.mp4", "second.mp4"})
            ASSERT_GE(AddSourceFile(window_->model(), dir_.filePath(name), probe,
                                    window_->settings().RequestAudioIndex),
                      0);
    }

    QString Status(int row) const {
        return window_->model().CellText(row, SourceListModel::ColumnStatus);
    }
    QPushButton& ConvertButton() const { return *window_->findChild<QPushButton*>("32787"); }
    CProgressDlg* ProgressWindow() const { return window_->findChild<CProgressDlg*>(); }
    bool BatchEnded() const { return ConvertButton().isEnabled() && !ProgressWindow(); }

    RecordingShell shell_;
    QTemporaryDir dir_;
    std::unique_ptr<CMainDlg> window_;
};

TEST_F(WindowConversionTest, ConvertsTheListAndCancelsFromTheProgressWindow) {
    QTest::mouseClick(&ConvertButton(), Qt::LeftButton);
    ASSERT_NE(ProgressWindow(), nullptr);
    EXPECT_TRUE(ProgressWindow()->isVisible());
    EXPECT_FALSE(ConvertButton().isEnabled()) << "the window's controls rest during a batch";
    ASSERT_TRUE(QTest::qWaitFor([&] { return BatchEnded(); }, kBatchMilliseconds));
    for (int row = 0; row < 2; ++row) {
        const QString picture = window_->model().Item(row)->outputPath;
        EXPECT_TRUE(QFile::exists(picture)) << picture.toStdString();
        EXPECT_TRUE(Status(row).endsWith(QFileInfo(picture).fileName()))
            << Status(row).toStdString();
    }
    // The look of the window with its sources, kept beside the test's results.
    window_->grab().save(QStringLiteral("main-window.png"));

    QTemporaryDir elsewhere;
    window_->settings().DestOutputFolderOpt = kOutputToSpecifiedFolder;
    window_->settings().DestSpecifiedFolder = elsewhere.path();
    QTest::mouseClick(&ConvertButton(), Qt::LeftButton);
    ASSERT_NE(ProgressWindow(), nullptr);
    QTest::mouseClick(ProgressWindow()->findChild<QPushButton*>("1033"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return BatchEnded(); }, kBatchMilliseconds));
    EXPECT_EQ(Status(0), "Cancelled");
    EXPECT_EQ(Status(1), "Cancelled");
    // The names the cancelled runs claimed go once their children are gone.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QDir(elsewhere.path()).entryList({"*.jpg"}, QDir::Files).isEmpty(); },
        kBatchMilliseconds));
}

} // namespace
