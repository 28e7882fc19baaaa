// Whole batches with the real engine on tiny clips made at test time: what a
// person sees in the Status column and on disk afterwards.
#include "convert/conversion_controller.h"
#include "convert/conversion_front_end.h"
#include "convert/custom_group_entry.h"
#include "engine/tool_paths.h"
#include "media/add_source_file.h"
#include "media/media_probe.h"
#include "media/source_list_model.h"
#include "support/make_clip.h"
#include "support/qstring_printer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Stands in for the windows: remembers what the controller asked of them.
class RecordingFrontEnd final : public ConversionFrontEnd {
public:
    void ShowMessage(const QString& text, Icon icon) override { messages.append({text, icon}); }
    std::vector<int> SelectedRows() override { return selected; }
    void SelectRow(int row) override { selected.push_back(row); }
    void ScrollRowIntoView(int) override {}
    void SetStatusColumnWidth(int pixels) override { statusWidth = pixels; }
    void SetMainWindowEnabled(bool enabled) override { mainWindowEnabled = enabled; }
    bool ChooseJoinedTarget(const QString&, QString* path) override {
        *path = joinedTarget;
        return !joinedTarget.isEmpty();
    }
    void OpenBusyDialog(const QString& text) override {
        busyTexts.append(text);
        if (onBusy)
            onBusy();
    }
    void SetBusyProgress(int percent) override { busyPercents.append(percent); }
    void CloseBusyDialog() override { ++busyClosed; }
    bool ShutDownChecked() override { return shutDownChecked; }
    void ShowInFileManager(const QString& path) override { shownInFileManager = path; }
    void RunShutdownCountdown() override {
        if (onCountdown)
            onCountdown();
    }
    void CommandPlanned(const QString& command) override { commands.append(command); }

    struct Message {
        QString text;
        Icon icon;
    };
    QList<Message> messages;
    std::vector<int> selected;
    QString joinedTarget;
    int statusWidth = 0;
    bool mainWindowEnabled = true;
    QStringList busyTexts;
    QList<int> busyPercents;
    int busyClosed = 0;
    std::function<void()> onBusy;
    QString shownInFileManager;
    bool shutDownChecked = false;
    std::function<void()> onCountdown;
    QStringList commands;
};

// One second of picture and sound, made once for the whole test program.
QString SharedClip() {
    static QTemporaryDir dir;
    static const bool made = [] {
        QString error;
        const bool ok =
            MakeClip(dir.path(), "clip.mp4",
                     {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25", "-f", "lavfi", "-i",
                      "sine=sample_rate=22050", "-t", "1", "-c:v", "mpeg4", "-c:a", "aac"},
                     &error);
        EXPECT_TRUE(ok) << error.toStdString();
        return ok;
    }();
    return made ? dir.filePath("clip.mp4") : QString();
}

class ConversionControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(SharedClip().isEmpty());
        UseTools(tools_);
        settings_.DestOutputFolderOpt = kOutputNextToSource;
        settings_.BrowseOutputFolder = 1;
        QObject::connect(
            &model_, &QAbstractItemModel::dataChanged,
            [this](const QModelIndex& from, const QModelIndex& to, const QList<int>& roles) {
                if (!roles.contains(Qt::DisplayRole))
                    return; // a job state
                for (int row = from.row(); row <= to.row(); ++row)
                    statusLog_.append({row, Status(row)});
            });
    }

    QString Path(const QString& name) const { return dir_.filePath(name); }
    QString Status(int row) const { return model_.CellText(row, SourceListModel::ColumnStatus); }

    // Copies the shared clip under this name and adds it as the main window does.
    void AddClip(const QString& name) {
        ASSERT_TRUE(QFile::copy(SharedClip(), Path(name)));
        ASSERT_GE(AddSourceFile(model_, Path(name), probe_, 1), 0);
    }
    // A source that looks like the clip to the list but holds no media at all.
    void AddCorrupt(const QString& name) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, '\x5a'));
        file.close();
        auto item = std::make_unique<SourceItem>(*model_.Item(0));
        item->path = Path(name);
        model_.AppendRow(std::move(item), name);
    }

    // Starts a command and waits for its batch to end.
    void Run(OutputFormat* format, bool convertToOne = false,
             const std::function<void()>& afterStart = {}) {
        controller_->Start(format, false, convertToOne);
        if (afterStart)
            afterStart();
        WaitForTheEnd();
    }

    void WaitForTheEnd() {
        if (controller_->IsBusy()) {
            QEventLoop loop;
            QObject::connect(controller_.get(), &ConversionController::BatchEnded, &loop,
                             &QEventLoop::quit);
            QTimer::singleShot(60000, &loop, &QEventLoop::quit);
            loop.exec();
        }
        ASSERT_FALSE(controller_->IsBusy()) << "the batch did not end";
    }

    void UseTools(const ToolPaths& tools) {
        controller_ =
            std::make_unique<ConversionController>(model_, catalog_, settings_, tools, frontEnd_);
        Follow();
    }

    // What a progress window would show.
    void Follow() {
        ConversionController* controller = controller_.get();
        QObject::connect(controller, &ConversionController::BatchStarted,
                         [this](const BatchStart& start) {
                             ++started_;
                             progressStatus_ = start.statusText;
                         });
        QObject::connect(controller, &ConversionController::PhaseStarted,
                         [this](const QString& text) { progressStatus_ = text; });
        QObject::connect(controller, &ConversionController::OverallProgressChanged,
                         [this](qint64 done, qint64 total) {
                             progress_ = {done, total};
                         });
        QObject::connect(controller, &ConversionController::BatchEnded,
                         [this](const BatchSummary& summary) {
                             ++ended_;
                             summary_ = summary;
                         });
    }

    // The output of the row's job in the last batch; "" when it has none.
    QString OutputOf(int row) const {
        for (const ConversionJob& job : summary_.jobs) {
            if (job.row.isValid() && job.row.row() == row)
                return job.outputPath;
        }
        return {};
    }
    JobState StateOf(int row) const { return model_.RowJobState(row); }

    // The duration of a file as the probe reads it.
    unsigned ProbedDuration(const QString& name) {
        SourceListModel probed;
        EXPECT_GE(AddSourceFile(probed, Path(name), probe_, 1), 0) << name.toStdString();
        return probed.rowCount() > 0 ? probed.Item(0)->duration : 0;
    }

    // A converter standing in for the engine or the Theora tool: it writes part
    // of its output (the engine's last argument, the tool's -o) and exits 1.
    QString FailingConverter() const {
        const QString path = Path("stand-in.sh");
        QFile script(path);
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "out=''; prev=''\n"
                     "for a; do [ \"$prev\" = -o ] && out=$a; prev=$a; last=$a; done\n"
                     "printf partial > \"${out:-$last}\"\n"
                     "echo '  encoder : stand-in'\n"
                     "exit 1\n");
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        return path;
    }

    static QByteArray Contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }

    QStringList FilesMatching(const QString& pattern) const {
        return QDir(dir_.path()).entryList({pattern}, QDir::Files, QDir::Name);
    }

    QTemporaryDir dir_;
    ToolPaths tools_ = ToolPaths::Locate();
    MediaProbe probe_ = MediaProbe::Choose(tools_);
    FormatCatalog catalog_;
    ConvertSettings settings_;
    SourceListModel model_;
    RecordingFrontEnd frontEnd_;
    std::unique_ptr<ConversionController> controller_;
    QList<std::pair<int, QString>> statusLog_;
    int started_ = 0;
    int ended_ = 0;
    QString progressStatus_;
    std::pair<qint64, qint64> progress_;
    BatchSummary summary_;
};

bool IsRunningStatus(const QString& status) {
    return status == "Initialize..." || status.startsWith('[') || status.contains("% [");
}

TEST_F(ConversionControllerTest, ThreeSourcesToPicturesWithTwoRunsAtATime) {
    for (const QString name : {"a.mp4", "b.mp4", "c.mp4"})
        ASSERT_NO_FATAL_FAILURE(AddClip(name));
    settings_.ConversionThreads = 2;
    int mostRunning = 0;
    QObject::connect(&model_, &QAbstractItemModel::dataChanged, [&] {
        int running = 0;
        for (int row = 0; row < model_.rowCount(); ++row)
            running += IsRunningStatus(Status(row)) ? 1 : 0;
        mostRunning = std::max(mostRunning, running);
    });

    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(710)));

    EXPECT_EQ(mostRunning, 2);
    for (int row = 0; row < 3; ++row) {
        const QString stem = QString(QChar(u'a' + row));
        // 25 pictures: two digits.
        EXPECT_EQ(Status(row), stem + "_01.jpg");
        EXPECT_EQ(OutputOf(row), Path(stem + "_01.jpg"));
        EXPECT_EQ(StateOf(row), JobState::Succeeded);
        EXPECT_GE(FilesMatching(stem + "_??.jpg").size(), 20);
    }
    EXPECT_EQ(started_, 1);
    EXPECT_EQ(ended_, 1);
    EXPECT_TRUE(frontEnd_.mainWindowEnabled);
    EXPECT_EQ(progressStatus_, "Converting 3 file(s) to JPG (image sequence)...");
    EXPECT_EQ(progress_, (std::pair<qint64, qint64>{300, 300}));
    EXPECT_TRUE(frontEnd_.shownInFileManager.endsWith("_01.jpg"));
    EXPECT_TRUE(frontEnd_.messages.isEmpty());
}

TEST_F(ConversionControllerTest, FailuresShowTheEnginesReasonAndLeaveNoOutput) {
    ASSERT_NO_FATAL_FAILURE(AddClip("good.mp4"));
    ASSERT_NO_FATAL_FAILURE(AddCorrupt("corrupt.mp4"));
    const QDateTime old = QDateTime::fromSecsSinceEpoch(1000000000);
    QFile source(Path("good.mp4"));
    ASSERT_TRUE(source.open(QIODevice::ReadWrite));
    ASSERT_TRUE(source.setFileTime(old, QFileDevice::FileModificationTime));
    source.close();
    settings_.KeepDateModified = 1;
    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(110))); // MP4, beside the source

    EXPECT_EQ(Status(0), "good_1.mp4");
    EXPECT_EQ(QFileInfo(Path("good_1.mp4")).lastModified(), old); // the source's date kept
    EXPECT_TRUE(Status(1).startsWith("Conversion failure (")) << Status(1).toStdString();
    EXPECT_TRUE(Status(1).endsWith(")"));
    EXPECT_GT(Status(1).size(), QString("Conversion failure ()").size());
    EXPECT_EQ(frontEnd_.statusWidth, 500);
    EXPECT_EQ(StateOf(0), JobState::Succeeded);
    EXPECT_EQ(StateOf(1), JobState::Failed);
    EXPECT_TRUE(OutputOf(1).isEmpty());
    EXPECT_EQ(FilesMatching("corrupt*"), QStringList{"corrupt.mp4"});
    EXPECT_EQ(QFileInfo(Path("corrupt.mp4")).size(), 4096);
}

TEST_F(ConversionControllerTest, OverwriteNeverReplacesASourceOfTheBatch) {
    // x.avi's output would be x.mp4, which the batch still has to read.
    ASSERT_NO_FATAL_FAILURE(AddClip("x.avi"));
    ASSERT_NO_FATAL_FAILURE(AddClip("x.mp4"));
    settings_.TargetExistsOpt = kTargetExistsOverwrite;
    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(110))); // MP4, beside the source

    EXPECT_EQ(Status(0), "x_1.mp4");
    EXPECT_TRUE(Status(1).startsWith("Target file name is same")) << Status(1).toStdString();
    EXPECT_EQ(StateOf(1), JobState::Skipped);
    EXPECT_EQ(QFileInfo(Path("x.mp4")).size(), QFileInfo(SharedClip()).size());
}

TEST_F(ConversionControllerTest, AnEmptyOutputIsAFailureAndIsDeleted) {
    ASSERT_NO_FATAL_FAILURE(AddClip("clip.mp4"));
    // Starting beyond the end: the engine succeeds and writes no byte.
    settings_.EnableSkipLength = 1;
    settings_.SkipLength = 100000;
    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(1030))); // AC3
    EXPECT_TRUE(Status(0).startsWith("Conversion failure")) << Status(0).toStdString();
    EXPECT_TRUE(FilesMatching("*.ac3").isEmpty());
}

TEST_F(ConversionControllerTest, CancelStopsTheRunsAndRemovesTheirOutput) {
    for (const QString name : {"a.mp4", "b.mp4", "c.mp4"})
        ASSERT_NO_FATAL_FAILURE(AddClip(name));
    // A picture of an earlier batch that this one's numbering does not reach.
    QFile earlier(Path("a_42.jpg"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("kept");
    earlier.flush(); // the time set below must be the last change
    ASSERT_TRUE(earlier.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                    QFileDevice::FileModificationTime));
    earlier.close();
    settings_.ConversionThreads = 2;
    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(710), false, [&] { controller_->Cancel(); }));

    EXPECT_EQ(Status(0), "Cancelled");
    EXPECT_EQ(Status(1), "Cancelled");
    EXPECT_EQ(Status(2), ""); // still queued
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(StateOf(row), JobState::Cancelled);
    EXPECT_TRUE(summary_.cancelled);
    // The outputs go once the killed runs are gone.
    QElapsedTimer waited;
    waited.start();
    while (FilesMatching("*.jpg").size() > 1 && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(FilesMatching("*.jpg"), QStringList{"a_42.jpg"});
    EXPECT_EQ(FilesMatching("*.mp4"), (QStringList{"a.mp4", "b.mp4", "c.mp4"}));
    EXPECT_EQ(ended_, 1);
    EXPECT_TRUE(frontEnd_.mainWindowEnabled);
    EXPECT_TRUE(frontEnd_.shownInFileManager.isEmpty()); // no end-of-batch action

    // The cancelled runs' last reports belong to no later batch.
    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(710)));
    for (int row = 0; row < 3; ++row)
        EXPECT_TRUE(Status(row).endsWith("_01.jpg")) << Status(row).toStdString();
}

TEST_F(ConversionControllerTest, CancelWithFourRunsReturnsAtOnceAndANewBatchTakesNoOldEnd) {
    for (const QString name : {"a.mp4", "b.mp4", "c.mp4", "d.mp4"})
        ASSERT_NO_FATAL_FAILURE(AddClip(name));
    settings_.ConversionThreads = 4;
    controller_->Start(catalog_.FindById(710), false, false);
    ASSERT_TRUE(controller_->IsBusy());
    controller_->Cancel();
    // Over at once: the killed runs are reaped as their ends come.
    EXPECT_FALSE(controller_->IsBusy());
    EXPECT_EQ(ended_, 1);
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(Status(row), "Cancelled");

    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(710)));
    EXPECT_FALSE(summary_.cancelled);
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(StateOf(row), JobState::Succeeded) << Status(row).toStdString();
        EXPECT_TRUE(OutputOf(row).endsWith("_01.jpg")) << OutputOf(row).toStdString();
        EXPECT_TRUE(QFileInfo::exists(OutputOf(row)));
    }
    EXPECT_EQ(progress_, (std::pair<qint64, qint64>{400, 400}));
}

TEST_F(ConversionControllerTest, ClosingDuringABatchEndsItsRunsAndRemovesTheirOutput) {
    for (const QString name : {"a.mp4", "b.mp4"})
        ASSERT_NO_FATAL_FAILURE(AddClip(name));
    settings_.ConversionThreads = 1;
    controller_->Start(catalog_.FindById(710), false, false);
    ASSERT_TRUE(controller_->IsBusy());
    // More threads asked for just before the window closes: b must not start.
    QMetaObject::invokeMethod(controller_.get(), "SetThreads", Qt::QueuedConnection, Q_ARG(int, 2));
    controller_.reset();
    EXPECT_TRUE(FilesMatching("*.jpg").isEmpty());
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 1000 && FilesMatching("*.jpg").isEmpty())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(FilesMatching("*.jpg").isEmpty());
}

TEST_F(ConversionControllerTest, FewerThreadsHoldBackNewRunsUntilTheActiveOnesEnd) {
    for (const QString name : {"a.mp4", "b.mp4", "c.mp4", "d.mp4", "e.mp4"})
        ASSERT_NO_FATAL_FAILURE(AddClip(name));
    settings_.ConversionThreads = 4;
    ASSERT_NO_FATAL_FAILURE(
        Run(catalog_.FindById(710), false, [&] { controller_->SetThreads(1); }));

    EXPECT_EQ(settings_.ConversionThreads, 1);
    int ended = 0;
    for (const auto& [row, status] : statusLog_) {
        if (row < 4 && status.endsWith(".jpg"))
            ++ended;
        if (row == 4 && status == "Initialize...") {
            EXPECT_EQ(ended, 4) << "the fifth job started while others ran";
        }
    }
    EXPECT_EQ(Status(4), "e_01.jpg");
}

TEST_F(ConversionControllerTest, ACustomGroupRunsItsFormatsBelowEachSource) {
    ASSERT_NO_FATAL_FAILURE(AddClip("clip.mp4"));
    settings_.ConversionThreads = 1;
    const CustomFormat group{"Sound", {1160, 1090, 1070, 99999}}; // MP3, FLAC, AU, none
    OutputFormat entry = CustomGroupEntry(group, 0);

    for (int batch = 0; batch < 2; ++batch) {
        statusLog_.clear();
        ASSERT_NO_FATAL_FAILURE(Run(&entry));
        // The rows of an earlier batch's group go before new ones come.
        ASSERT_EQ(model_.rowCount(), 4);
        EXPECT_EQ(model_.CellText(1, SourceListModel::ColumnFile), "   to AU");
        EXPECT_EQ(model_.CellText(2, SourceListModel::ColumnFile), "   to FLAC");
        EXPECT_EQ(model_.CellText(3, SourceListModel::ColumnFile), "   to MP3");
        QList<int> startOrder;
        for (const auto& [row, status] : statusLog_) {
            if (status == "Initialize...")
                startOrder.append(row);
        }
        EXPECT_EQ(startOrder, (QList<int>{1, 2, 3}));
    }
    EXPECT_EQ(Status(0), "");
    EXPECT_EQ(Status(1), "clip_1.au");
    EXPECT_EQ(Status(2), "clip_1.flac");
    EXPECT_EQ(Status(3), "clip_1.mp3");
}

TEST_F(ConversionControllerTest, ACommandDuringTheShutdownCountdownRunsABatchOfItsOwn) {
    ASSERT_NO_FATAL_FAILURE(AddClip("a.mp4"));
    frontEnd_.shutDownChecked = true;
    // The countdown lets events in: "Convert All to One" is given there.
    frontEnd_.onCountdown = [&] {
        frontEnd_.shutDownChecked = false;
        frontEnd_.onCountdown = nullptr;
        settings_.NormalizeFile = 1;
        settings_.RotateFlip = 1;
        frontEnd_.joinedTarget = Path("joined.mp4");
        controller_->Start(catalog_.FindById(110), false, true);
    };
    QEventLoop loop;
    int ended = 0;
    QObject::connect(controller_.get(), &ConversionController::BatchEnded, [&] {
        if (++ended == 2)
            loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    controller_->Start(catalog_.FindById(40), false, false); // AVI
    loop.exec();

    EXPECT_EQ(ended, 2);
    EXPECT_FALSE(controller_->IsBusy());
    EXPECT_EQ(Status(0), "joined.mp4");
    EXPECT_TRUE(QFileInfo::exists(Path("joined.mp4")));
    EXPECT_EQ(settings_.RotateFlip, 1);
    EXPECT_EQ(FilesMatching("*.ts"), QStringList()); // no intermediate left
}

TEST_F(ConversionControllerTest, ConvertToOneJoinsWhatNormalisedAndRestoresTheSettings) {
    ASSERT_NO_FATAL_FAILURE(AddClip("a.mp4"));
    ASSERT_NO_FATAL_FAILURE(AddCorrupt("bad.mp4"));
    ASSERT_NO_FATAL_FAILURE(AddClip("b.mp4"));
    settings_.DestOutputFolderOpt = kOutputToSpecifiedFolder;
    settings_.DestSpecifiedFolder = Path("work");
    settings_.NormalizeFile = 1;
    settings_.RotateFlip = 1;
    settings_.CropPictures = 1;
    frontEnd_.joinedTarget = Path("joined.mp4");
    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(110), true));

    EXPECT_EQ(Status(0), "joined.mp4");
    EXPECT_TRUE(Status(1).startsWith("Conversion failure")) << Status(1).toStdString();
    EXPECT_EQ(Status(2), "joined.mp4");
    EXPECT_EQ(OutputOf(0), Path("joined.mp4"));
    EXPECT_EQ(OutputOf(2), Path("joined.mp4"));
    EXPECT_TRUE(OutputOf(1).isEmpty());
    EXPECT_EQ(StateOf(1), JobState::Failed);
    EXPECT_EQ(StateOf(2), JobState::Succeeded);
    // Rotation and crop were off for the intermediates and are back for the join.
    EXPECT_EQ(settings_.RotateFlip, 1);
    EXPECT_EQ(settings_.CropPictures, 1);
    EXPECT_TRUE(QDir(Path("work")).entryList(QDir::Files).isEmpty()); // intermediates gone

    EXPECT_EQ(ProbedDuration("joined.mp4"), 2u);
}

TEST_F(ConversionControllerTest, ConvertToOneWithoutNormalisingListsTheSourcesThemselves) {
    ASSERT_NO_FATAL_FAILURE(AddClip("it's.mp4"));
    ASSERT_NO_FATAL_FAILURE(AddClip("line\nbreak.mp4"));
    ASSERT_NO_FATAL_FAILURE(AddClip("b.mp4"));
    settings_.NormalizeFile = 0;
    frontEnd_.joinedTarget = Path("joined.mkv");
    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(90), true)); // MKV

    EXPECT_EQ(Status(0), "joined.mkv");
    EXPECT_TRUE(Status(1).startsWith("Left out")) << Status(1).toStdString();
    EXPECT_EQ(Status(2), "joined.mkv");
    EXPECT_TRUE(OutputOf(1).isEmpty());
    EXPECT_EQ(StateOf(1), JobState::Skipped);
    EXPECT_EQ(FilesMatching("*.mp4").size(), 3); // sources untouched

    EXPECT_EQ(ProbedDuration("joined.mkv"), 2u);
}

// A joined file replaces an existing one only once the join has succeeded.
TEST_F(ConversionControllerTest, AJoinThatFailsOrIsCancelledKeepsTheOldTarget) {
    ASSERT_NO_FATAL_FAILURE(AddClip("a.mp4"));
    ASSERT_NO_FATAL_FAILURE(AddClip("b.mp4"));
    settings_.NormalizeFile = 0;
    const QString target = Path("joined.mkv");
    frontEnd_.joinedTarget = target;
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();

    ToolPaths failing = tools_;
    failing.enginePath = FailingConverter();
    UseTools(failing);
    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(90), true));
    EXPECT_EQ(Status(0), "Conversion failure (exit status 1)");
    EXPECT_EQ(Contents(target), "old");

    UseTools(tools_);
    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(90), true, [&] { controller_->Cancel(); }));
    EXPECT_EQ(Status(0), "Cancelled");
    QElapsedTimer waited;
    waited.start();
    while (Contents(target) != "old" && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(Contents(target), "old");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Hidden | QDir::Files, QDir::Name),
              (QStringList{"a.mp4", "b.mp4", "joined.mkv", "stand-in.sh"}));
}

TEST_F(ConversionControllerTest, AMissingEngineIsNamedOnEveryRow) {
    ASSERT_NO_FATAL_FAILURE(AddClip("a.mp4"));
    ASSERT_NO_FATAL_FAILURE(AddClip("b.mp4"));
    ToolPaths missing = tools_;
    missing.enginePath = Path("gone/mervane");
    UseTools(missing);
    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(110)));
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(Status(row), "Conversion failure (Some files of the program are missing or "
                               "corrupted. Please reinstall the program)");
    }
    EXPECT_EQ(ended_, 1);
    EXPECT_TRUE(FilesMatching("*_1.mp4").isEmpty());
}

// A converter that writes part of its output and exits 1: the run failed, whatever
// it left on disk, and the partial file goes.
TEST_F(ConversionControllerTest, ANonZeroExitIsAFailureEvenWithAnOutputWritten) {
    const QString standIn = FailingConverter();
    ASSERT_NO_FATAL_FAILURE(AddClip("a.mp4"));

    struct Case {
        int formatId;
        bool theoraTool;
        const char* output;
    };
    for (const Case& c : {Case{110, false, "a_1.mp4"}, Case{155, true, "a.ogv"}}) {
        SCOPED_TRACE(c.output);
        ToolPaths tools = tools_;
        (c.theoraTool ? tools.theoraToolPath : tools.enginePath) = standIn;
        UseTools(tools);
        ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(c.formatId)));
        EXPECT_EQ(Status(0), "Conversion failure (exit status 1)");
        EXPECT_EQ(StateOf(0), JobState::Failed);
        EXPECT_FALSE(QFile::exists(Path(c.output)));
    }
}

// Overwrite keeps the old file until its replacement is complete: a failed or
// cancelled run puts it back, a run that succeeded replaces it.
TEST_F(ConversionControllerTest, OverwriteKeepsTheOldFileUntilItsReplacementIsComplete) {
    ASSERT_NO_FATAL_FAILURE(AddClip("a.mp4"));
    settings_.TargetExistsOpt = kTargetExistsOverwrite;
    settings_.DestOutputFolderOpt = kOutputToSpecifiedFolder;
    settings_.DestSpecifiedFolder = Path("out");
    ASSERT_TRUE(QDir().mkpath(Path("out")));
    const QString old = Path("out/a.mp4");
    const auto writeOld = [&] {
        QFile file(old);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old");
    };
    const auto leftInOut = [&] {
        return QDir(Path("out")).entryList(QDir::Files | QDir::Hidden | QDir::System);
    };

    ASSERT_NO_FATAL_FAILURE(writeOld());
    ToolPaths failing = tools_;
    failing.enginePath = FailingConverter();
    UseTools(failing);
    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(110)));
    EXPECT_EQ(StateOf(0), JobState::Failed);
    EXPECT_EQ(Contents(old), "old");
    EXPECT_EQ(leftInOut(), QStringList{"a.mp4"});

    UseTools(tools_);
    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(110), false, [&] { controller_->Cancel(); }));
    EXPECT_EQ(StateOf(0), JobState::Cancelled);
    QElapsedTimer waited;
    waited.start();
    while (leftInOut().size() > 1 && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(Contents(old), "old");
    EXPECT_EQ(leftInOut(), QStringList{"a.mp4"});

    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(110)));
    EXPECT_EQ(StateOf(0), JobState::Succeeded) << Status(0).toStdString();
    EXPECT_GT(QFileInfo(old).size(), 1000);
    EXPECT_EQ(leftInOut(), QStringList{"a.mp4"});
}

// A sequence is known by its numbered pictures: an earlier one, a picture edited
// since among them, is never written over unless the person chose Overwrite.
TEST_F(ConversionControllerTest, AnEarlierPictureSequenceIsKeptUnderSkipAndRename) {
    ASSERT_NO_FATAL_FAILURE(AddClip("a.mp4"));
    for (const QString name : {"a_01.jpg", "a_02.jpg"}) {
        QFile picture(Path(name));
        ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
        picture.write("mine");
    }
    settings_.TargetExistsOpt = kTargetExistsSkip;
    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(710)));
    EXPECT_EQ(Status(0), "Target exists and skipped");

    settings_.TargetExistsOpt = kTargetExistsRename;
    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(710)));
    EXPECT_EQ(Status(0), "a_1_01.jpg");
    EXPECT_GT(FilesMatching("a_1_*.jpg").size(), 2);
    EXPECT_EQ(Contents(Path("a_01.jpg")), "mine");
    EXPECT_EQ(Contents(Path("a_02.jpg")), "mine");
}

TEST_F(ConversionControllerTest, RefusedCommandsOpenNoProgressWindow) {
    using Icon = ConversionFrontEnd::Icon;
    const CustomFormat group{"Group", {710}};
    OutputFormat groupEntry = CustomGroupEntry(group, 0);
    frontEnd_.joinedTarget = Path("joined.mp4");

    controller_->Start(catalog_.FindById(710), false, false);
    EXPECT_EQ(frontEnd_.messages.value(0).text, "There aren't files in list.");
    ASSERT_NO_FATAL_FAILURE(AddClip("a.mp4"));
    controller_->Start(catalog_.FindById(710), true, false);
    EXPECT_EQ(frontEnd_.messages.value(1).text, "You should select a file at least.");
    controller_->Start(catalog_.FindById(710), false, true);
    EXPECT_EQ(frontEnd_.messages.value(2).text,
              "Image Sequence Format is not supported for \"Convert to One\".\n\n");
    EXPECT_EQ(frontEnd_.messages.value(2).icon, Icon::Warning);
    controller_->Start(&groupEntry, false, true);
    EXPECT_TRUE(frontEnd_.messages.value(3).text.startsWith("Customized Output Format"));
    controller_->Start(catalog_.FindById(135), false, true);
    EXPECT_TRUE(frontEnd_.messages.value(4).text.startsWith("OGG/OGM/OGV (optimized)"));
    EXPECT_EQ(frontEnd_.messages.value(4).icon, Icon::Information);
    const CustomFormat empty{"Nothing", {99999}};
    groupEntry.customFormat = &empty;
    controller_->Start(&groupEntry, false, false);
    EXPECT_TRUE(frontEnd_.messages.value(5).text.contains("custom format \"Nothing\""));
    frontEnd_.joinedTarget = Path("a.mp4"); // a source itself
    controller_->Start(catalog_.FindById(110), false, true);
    EXPECT_TRUE(frontEnd_.messages.value(6).text.startsWith("Target file name is same"));
    EXPECT_EQ(QFileInfo(Path("a.mp4")).size(), QFileInfo(SharedClip()).size());
    frontEnd_.joinedTarget.clear(); // the save dialog cancelled
    controller_->Start(catalog_.FindById(110), false, true);
    EXPECT_EQ(frontEnd_.messages.size(), 7);
    EXPECT_EQ(started_, 0);
    EXPECT_EQ(StateOf(0), JobState::None);
    EXPECT_FALSE(QFileInfo::exists(Path("joined.mp4")));
}

// A stager as the built-in readers are: a real copy made in small pieces, with
// progress, that removes what it wrote when asked to stop.
StageOutcome CopyStager(const SourceItem& item, QString* stagedFile, QString* message,
                        const std::function<bool(int)>& progress) {
    if (item.path.contains("unreadable")) {
        *message = "the file cannot be read";
        return StageOutcome::Failed;
    }
    QFile from(item.path);
    QFile to(item.path + ".staged.mp4");
    if (!from.open(QIODevice::ReadOnly) || !to.open(QIODevice::WriteOnly)) {
        *message = "cannot copy";
        return StageOutcome::Failed;
    }
    const qint64 size = std::max<qint64>(1, from.size());
    while (!from.atEnd()) {
        to.write(from.read(4096));
        if (!progress(int(to.pos() * 100 / size))) {
            to.remove();
            *message = "Cancelled";
            return StageOutcome::Cancelled;
        }
    }
    *stagedFile = to.fileName();
    return StageOutcome::Staged;
}

TEST_F(ConversionControllerTest, StagingRunsOffTheLoopAndTheBatchReadsTheStagedFiles) {
    for (const QString name : {"a.mp4", "unreadable.mp4", "c.mp4"})
        ASSERT_NO_FATAL_FAILURE(AddClip(name));
    for (int row = 0; row < 3; ++row)
        model_.Item(row)->needsStaging = true;
    controller_->SetStager(CopyStager);
    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(1030))); // AC3

    EXPECT_EQ(frontEnd_.busyTexts,
              (QStringList{"Loading a.mp4...", "Loading unreadable.mp4...", "Loading c.mp4..."}));
    EXPECT_EQ(frontEnd_.busyPercents.value(frontEnd_.busyPercents.size() - 1), 100);
    EXPECT_EQ(frontEnd_.busyClosed, 1);
    EXPECT_TRUE(statusLog_.contains({0, "Loading OK"}));
    EXPECT_EQ(Status(0), "a.ac3"); // named after the source, read from its staged copy
    EXPECT_EQ(Status(1), "Error: the file cannot be read");
    EXPECT_EQ(StateOf(1), JobState::Failed);
    EXPECT_EQ(Status(2), "c.ac3");
    EXPECT_TRUE(model_.Item(0)->staged);
    EXPECT_TRUE(QFileInfo::exists(model_.Item(0)->stagedFile));
    EXPECT_EQ(started_, 1);
    EXPECT_EQ(ended_, 1);
    EXPECT_EQ(progressStatus_, "Converting 2 file(s) to AC3...");

    // A batch whose jobs all end at their start still ends the command once.
    controller_->SetDryRun(true);
    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(1030)));
    EXPECT_EQ(frontEnd_.busyTexts.size(), 4); // only the unreadable one was tried again
    EXPECT_EQ(frontEnd_.commands.size(), 2);
    EXPECT_EQ(started_, 2);
    EXPECT_EQ(ended_, 2);
}

TEST_F(ConversionControllerTest, CancelWhileStagingAbandonsTheCommand) {
    for (const QString name : {"a.mp4", "b.mp4"})
        ASSERT_NO_FATAL_FAILURE(AddClip(name));
    for (int row = 0; row < 2; ++row)
        model_.Item(row)->needsStaging = true;
    controller_->SetStager(CopyStager);
    // Cancel as the second source starts loading.
    frontEnd_.onBusy = [&] {
        if (frontEnd_.busyTexts.size() == 2)
            controller_->Cancel();
    };
    ASSERT_NO_FATAL_FAILURE(Run(catalog_.FindById(1030)));

    EXPECT_EQ(Status(0), "Loading OK");
    EXPECT_EQ(Status(1), "Cancelled");
    EXPECT_EQ(StateOf(1), JobState::Cancelled);
    EXPECT_FALSE(model_.Item(1)->staged);
    EXPECT_FALSE(QFileInfo::exists(Path("b.mp4.staged.mp4"))); // the partial copy is gone
    EXPECT_TRUE(QFileInfo::exists(Path("a.mp4.staged.mp4")));  // kept for the next command
    EXPECT_EQ(started_, 0);
    EXPECT_EQ(ended_, 1);
    EXPECT_TRUE(summary_.cancelled);
    EXPECT_TRUE(frontEnd_.mainWindowEnabled);
    EXPECT_TRUE(FilesMatching("*.ac3").isEmpty());
}

TEST(FormatRunPositionTest, MinutesBelowAnHourAndHoursFromThen) {
    EXPECT_EQ(FormatRunPosition(0), "[00:00.000]");
    EXPECT_EQ(FormatRunPosition(65004), "[01:05.004]");
    EXPECT_EQ(FormatRunPosition(3599999), "[59:59.999]");
    EXPECT_EQ(FormatRunPosition(3725004), "[01:02:05.004]");
    EXPECT_EQ(FormatRunPosition(360000000), "[100:00:00.000]");
}

} // namespace
