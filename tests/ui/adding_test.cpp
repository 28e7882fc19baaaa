// Adding sources from the main window: its dialogs answered with real files,
// the real probe, the busy dialog and the warning a person sees.
#include "desktop_doubles.h"
#include "support/make_clip.h"
#include "support/qstring_printer.h"
#include "support/shell_link.h"
#include "support/source_fixtures.h"
#include "ui/busy_dlg.h"
#include "ui/main_dlg.h"

#include <QDir>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

constexpr int kAddingMilliseconds = 120000;

// The open dialog and the folder browser answered with the test's paths;
// what they were asked is kept.
class AnsweringDialogs final : public FileDialogs {
public:
    QStringList ChooseFiles(QWidget*, const QStringList& filters, const QString& folder) override {
        offeredFilters = filters;
        startFolder = folder;
        return files;
    }
    QString BrowseForFolder(QWidget*, const QString& title, const QString& start) override {
        browserTitle = title;
        startFolder = start;
        return folder;
    }
    QStringList files;
    QString folder;
    QStringList offeredFilters;
    QString startFolder;
    QString browserTitle;
};

struct Box {
    QString title;
    QMessageBox::Icon icon;
    QString text;
};

class WindowAddingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        clips_ = new QTemporaryDir;
        QString error;
        ASSERT_TRUE(MakeClip(
            clips_->path(), "clip.mp4",
            {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=10", "-t", "0.5", "-c:v", "mpeg4"},
            &error))
            << error.toStdString();
    }
    static void TearDownTestSuite() {
        delete clips_;
        clips_ = nullptr;
    }

    void SetUp() override {
        QSettings(QStringLiteral("Quillmore 3"), QStringLiteral("Quillmore")).clear();
        ASSERT_TRUE(dir_.isValid());
        window_ = std::make_unique<CMainDlg>(shell_, dialogs_);
        window_->show();
    }

    // Copies of the clip at the paths, made with their folders.
    static void Clips(const QStringList& paths) {
        for (const QString& path : paths) {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
            ASSERT_TRUE(QFile::copy(clips_->filePath("clip.mp4"), path)) << path.toStdString();
        }
    }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QStringList Paths(const QString& folder, const QStringList& names) const {
        QStringList paths;
        for (const QString& name : names)
            paths.append(Path(folder + '/' + name));
        return paths;
    }

    QPushButton& AddFilesButton() const {
        return *window_->findChild<QPushButton*>(QString::number(CMainDlg::CmdAddFiles));
    }
    CBusyDlg* Busy() const {
        CBusyDlg* busy = window_->findChild<CBusyDlg*>();
        return busy && busy->isVisible() ? busy : nullptr;
    }
    // Runs the action, waits until the window takes commands again and answers
    // every message box on the way; what the boxes said.
    std::vector<Box> Add(const std::function<void()>& action) {
        std::vector<Box> boxes;
        QTimer answer;
        answer.setInterval(5);
        QObject::connect(&answer, &QTimer::timeout, [&boxes] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes.push_back({box->windowTitle(), box->icon(), box->text()});
                box->done(QMessageBox::Ok);
            }
        });
        answer.start();
        action();
        EXPECT_TRUE(QTest::qWaitFor([this] { return AddFilesButton().isEnabled() && !Busy(); },
                                    kAddingMilliseconds));
        return boxes;
    }
    std::vector<Box> Command(int command) {
        return Add([this, command] { window_->RunCommand(command); });
    }
    QStringList RowPaths() const {
        QStringList paths;
        for (int row = 0; row < window_->model().rowCount(); ++row)
            paths.append(window_->model().Item(row)->path);
        return paths;
    }
    static QStringList Sorted(QStringList paths) {
        paths.sort();
        return paths;
    }

    static QTemporaryDir* clips_;
    RecordingShell shell_;
    AnsweringDialogs dialogs_;
    QTemporaryDir dir_;
    std::unique_ptr<CMainDlg> window_;
};

QTemporaryDir* WindowAddingTest::clips_ = nullptr;

TEST_F(WindowAddingTest, AddFolderTakesWhatTheExtensionFilterTakes) {
    Clips(Paths("found", {"a.MP4", "b.avi", "c.mkv"}) + Paths("elsewhere", {"e.avi"}));
    ASSERT_TRUE(WriteFile(Path("found/d.lnk"), ShellLink{Path("elsewhere/e.avi")}.Bytes()));
    struct Case {
        bool filterOn;
        QStringList rows;
        QStringList failed;
    };
    const Case cases[] = {
        {true, Paths("found", {"a.MP4", "b.avi"}) + Paths("elsewhere", {"e.avi"}), {}},
        // Every file as it is: the shortcut too, which the probe refuses.
        {false, Paths("found", {"a.MP4", "b.avi", "c.mkv"}), Paths("found", {"d.lnk"})},
    };
    dialogs_.folder = Path("found");
    for (const Case& each : cases) {
        SCOPED_TRACE(each.filterOn);
        window_->model().RemoveAllRows();
        window_->settings().EnableExtFilter = each.filterOn;
        window_->settings().FilterExts = "mp4,avi";
        window_->settings().RebuildExtensionFilter();

        const std::vector<Box> boxes = Command(CMainDlg::CmdAddFolder);
        EXPECT_EQ(Sorted(RowPaths()), Sorted(each.rows));
        ASSERT_EQ(boxes.size(), each.failed.isEmpty() ? 0u : 1u);
        for (const QString& failed : each.failed)
            EXPECT_TRUE(boxes[0].text.contains("\n\n" + failed + "\n"))
                << boxes[0].text.toStdString();
    }
    EXPECT_EQ(dialogs_.browserTitle, "Please choose a folder:");
    EXPECT_EQ(dialogs_.startFolder, Path("found/")) << "the folder is remembered";
    EXPECT_EQ(window_->settings().Folder, Path("found/"));
}

TEST_F(WindowAddingTest, AddFilesTakesTheChosenFilesInTheDialogsOrder) {
    const QStringList chosen = Paths("chosen", {"c.mp4", "a.mp4", "b.mp4"});
    Clips(chosen);
    window_->settings().LastAddFileDir = Path("gone/");
    // A cancelled dialog adds nothing and leaves the window as it was.
    Command(CMainDlg::CmdAddFiles);
    EXPECT_EQ(window_->model().rowCount(), 0);
    EXPECT_EQ(dialogs_.startFolder,
              QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + '/')
        << "a remembered folder that has gone gives way to the documents folder";
    ASSERT_EQ(dialogs_.offeredFilters.size(), 50);
    EXPECT_EQ(dialogs_.offeredFilters.front(), "All Files (*.*)");
    EXPECT_EQ(dialogs_.offeredFilters[27],
              "MPEG Video Files (*.mpg;*.mpe;*.mpeg;*.m1v;*.mp2;*.m2v;*.mp1;*.mlv)");
    EXPECT_EQ(dialogs_.offeredFilters.back(), "YUV Video Files (*.yuv)");

    dialogs_.files = chosen;
    // No filter applies to files chosen by hand.
    window_->settings().EnableExtFilter = 1;
    window_->settings().FilterExts = "avi";
    window_->settings().RebuildExtensionFilter();
    EXPECT_TRUE(Command(CMainDlg::CmdAddFiles).empty());
    EXPECT_EQ(RowPaths(), chosen);
    EXPECT_EQ(window_->settings().LastAddFileDir, Path("chosen/"));
    dialogs_.files.clear();
    Command(CMainDlg::CmdAddFiles);
    EXPECT_EQ(dialogs_.startFolder, Path("chosen/"));
}

TEST_F(WindowAddingTest, DroppingAFolderAndAFileAddsTheFoldersFilesFirst) {
    const QStringList inFolder = Paths("dropped", {"one.mp4", "two.mp4"});
    Clips(inFolder + QStringList{Path("lone.mp4")});
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Path("dropped")), QUrl::fromLocalFile(Path("lone.mp4")),
                  QUrl("https://example.org/not-a-file.mp4")});
    const QPoint at = window_->rect().center();
    const auto enter = [&] {
        QDragEnterEvent event(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &event);
        return event.isAccepted();
    };
    bool refusedWhileAdding = false;
    Add([&] {
        ASSERT_TRUE(enter());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &drop);
        EXPECT_TRUE(drop.isAccepted());
        refusedWhileAdding = !enter();
    });
    EXPECT_TRUE(refusedWhileAdding) << "a second drop waits for the batch to end";
    const QStringList rows = RowPaths();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(Sorted(rows.first(2)), inFolder);
    EXPECT_EQ(rows.last(), Path("lone.mp4"));
}

TEST_F(WindowAddingTest, FortyUnreadableFilesAreNamedThirtyInTheWarning) {
    QString listed;
    for (int i = 0; i < 40; ++i) {
        const QString path = Path(QStringLiteral("bad%1.mp4").arg(i, 2, 10, QChar('0')));
        ASSERT_TRUE(WriteFile(path, "not a medium\n"));
        dialogs_.files.append(path);
        if (i < 30)
            listed += path + '\n';
    }
    const std::vector<Box> boxes = Command(CMainDlg::CmdAddFiles);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Quillmore");
    EXPECT_EQ(boxes[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(boxes[0].text.startsWith("Failed to load the following files.\n\n" + listed +
                                         "<more files>...\n\n"))
        << boxes[0].text.toStdString();
    EXPECT_EQ(window_->model().rowCount(), 0);
}

TEST_F(WindowAddingTest, CancelStopsTheBatchAfterTheCurrentFile) {
    for (int i = 0; i < 100; ++i)
        dialogs_.files.append(Path(QStringLiteral("%1.mp4").arg(i, 3, 10, QChar('0'))));
    Clips(dialogs_.files);
    // A person's click while the third file is being added.
    QString shownAtCancel;
    bool controlsRested = false;
    QObject::connect(&window_->model(), &QAbstractItemModel::rowsInserted, window_.get(), [&] {
        CBusyDlg* busy = Busy();
        if (window_->model().rowCount() != 3 || !busy)
            return;
        shownAtCancel = busy->Text();
        controlsRested = !AddFilesButton().isEnabled();
        QTest::mouseClick(busy->findChild<QPushButton*>("1033"), Qt::LeftButton);
    });
    EXPECT_TRUE(Command(CMainDlg::CmdAddFiles).empty());
    EXPECT_EQ(shownAtCancel, "[3/100] Adding file 002.mp4...");
    EXPECT_TRUE(controlsRested);
    EXPECT_EQ(RowPaths(), dialogs_.files.first(3));
}

TEST_F(WindowAddingTest, AddDvdAddsTheTitlesOrSaysThereAreNone) {
    QString error;
    ASSERT_TRUE(MakeDvdFolder(dir_.path(), {1.5, 1.5}, &error)) << error.toStdString();
    dialogs_.folder = Path("dvd");
    EXPECT_TRUE(Command(CMainDlg::CmdAddDvd).empty());
    ASSERT_EQ(window_->model().rowCount(), 2);
    for (const int row : {0, 1}) {
        EXPECT_EQ(window_->model().CellText(row, SourceListModel::ColumnFile),
                  QStringLiteral("DVD Title %1").arg(row + 1));
    }
    EXPECT_EQ(dialogs_.browserTitle, "Please choose a DVD drive or folder:");
    EXPECT_EQ(window_->settings().DVDFolder, Path("dvd/"));

    dialogs_.folder = dir_.path();
    const std::vector<Box> boxes = Command(CMainDlg::CmdAddDvd);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Quillmore");
    EXPECT_EQ(boxes[0].icon, QMessageBox::Warning);
    EXPECT_EQ(boxes[0].text, "Quillmore doesn't find any DVD video files at " + dir_.path() + "/.");
    EXPECT_EQ(window_->model().rowCount(), 2);
}

} // namespace
