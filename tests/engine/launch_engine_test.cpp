#include "app/convert_settings.h"
#include "engine/command_line.h"
#include "engine/engine_run.h"
#include "engine/launch_engine.h"
#include "engine/tool_paths.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Collects what a run tells, checking on the way that nothing comes after its end.
struct Receiver {
    struct Report {
        int percent;
        qint64 position;
    };
    std::vector<Report> progress;
    bool finished = false;
    bool progressAfterEnd = false;
    QString endText;
    RunEnd end;

    void Follow(EngineRun& run) {
        QObject::connect(&run, &EngineRun::Progress, [this](int percent, qint64 position) {
            progressAfterEnd = progressAfterEnd || finished;
            progress.push_back({percent, position});
        });
        QObject::connect(&run, &EngineRun::Finished, [this](const RunEnd& runEnd) {
            finished = true;
            end = runEnd;
            endText = runEnd.lastText;
        });
    }

    // Generous: a safety net against a hang, not a measurement.
    bool WaitForEnd() {
        const QDeadlineTimer deadline(30000);
        while (!finished && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return finished;
    }
};

class LaunchEngineTest : public ::testing::Test {
protected:
    // A console program made for the test: a shell script.
    CommandLine Script(const QByteArray& body) {
        const QString path = dir_.filePath(QStringLiteral("child %1.sh").arg(++scripts_));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + body);
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        CommandLine command;
        command.AppendQuoted(path);
        return command;
    }

    QTemporaryDir dir_;
    int scripts_ = 0;
};

constexpr char kChattyChild[] =
    "echo \"in $(pwd)\"\n"
    "if read -r line; then echo \"stdin gave $line\"; else echo 'stdin at its end'; fi\n"
    "printf 'frame=   10 fps=0.0 q=-1.0 size=0kB time=00:00:01.00 bitrate=N/A\\r'\n"
    "printf 'frame=   20 fps=0.0 q=-1.0 size=0kB time=00:00:02.50 bitrate=N/A\\r\\n'\n"
    "printf '{\"position\": 3.5}\\n{\"state\": \"running\"}\\n'\n"
    "sleep 0.3\n"
    // Written in its last moments: still read.
    "echo 'last words'\n"
    "printf 'size=  188kB time=00:00:04.00 bitrate= 1.5kbits/s\\n'\n"
    "printf 'without a line end'\n";

TEST_F(LaunchEngineTest, SynchronousRunHandsEveryLineToTheEndInTheGivenFolder) {
    std::vector<QByteArray> lines;
    QString error;
    ASSERT_TRUE(LaunchEngine(
        Script(kChattyChild), dir_.path(), [&](const QByteArray& line) { lines.push_back(line); },
        &error))
        << error.toStdString();
    const std::vector<QByteArray> expected = {
        "in " + QFile::encodeName(dir_.path()),
        "stdin at its end",
        "frame=   10 fps=0.0 q=-1.0 size=0kB time=00:00:01.00 bitrate=N/A",
        "frame=   20 fps=0.0 q=-1.0 size=0kB time=00:00:02.50 bitrate=N/A",
        "{\"position\": 3.5}",
        "{\"state\": \"running\"}",
        "last words",
        "size=  188kB time=00:00:04.00 bitrate= 1.5kbits/s",
    };
    EXPECT_EQ(lines, expected);
}

// A child that closes its console and then hangs is ended, not waited for: the
// probe of a file must never hold its caller for good.
TEST_F(LaunchEngineTest, SynchronousRunEndsAChildThatLingersAfterItsOutput) {
    std::vector<QByteArray> lines;
    ASSERT_TRUE(LaunchEngine(Script("echo 'last words'\nexec >&- 2>&-\nsleep 600\n"), dir_.path(),
                             [&](const QByteArray& line) { lines.push_back(line); }));
    EXPECT_EQ(lines, std::vector<QByteArray>{"last words"});
}

TEST_F(LaunchEngineTest, FollowedRunTellsProgressThenItsEndWithTheLastText) {
    Receiver receiver;
    QString error;
    const auto run =
        EngineRun::Start(Script(kChattyChild), dir_.path(), 5, kPriorityNormal, &error);
    ASSERT_TRUE(run) << error.toStdString();
    receiver.Follow(*run);
    ASSERT_TRUE(receiver.WaitForEnd());

    ASSERT_EQ(receiver.progress.size(), 4u);
    const qint64 positions[] = {1000, 2500, 3500, 4000};
    const int percents[] = {20, 50, 70, 80};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(receiver.progress[i].position, positions[i]);
        EXPECT_EQ(receiver.progress[i].percent, percents[i]);
    }
    EXPECT_EQ(receiver.endText, "last words");
    QCoreApplication::processEvents();
    EXPECT_FALSE(receiver.progressAfterEnd);
}

TEST_F(LaunchEngineTest, FollowedRunWithoutDurationOrTextReportsUnknownPercentAndEmptyEnd) {
    Receiver receiver;
    QString error;
    const auto run = EngineRun::Start(Script("echo 'frame=1 time=00:00:01.00'\n"), dir_.path(), 0,
                                      kPriorityIdle, &error);
    ASSERT_TRUE(run) << error.toStdString();
    receiver.Follow(*run);
    ASSERT_TRUE(receiver.WaitForEnd());
    ASSERT_EQ(receiver.progress.size(), 1u);
    EXPECT_EQ(receiver.progress[0].percent, -1);
    EXPECT_EQ(receiver.progress[0].position, 1000);
    EXPECT_EQ(receiver.endText, "");

    Receiver niceness;
    const auto idle =
        EngineRun::Start(Script("echo \"nice=$(nice)\"\n"), dir_.path(), 0, kPriorityIdle, &error);
    ASSERT_TRUE(idle);
    niceness.Follow(*idle);
    ASSERT_TRUE(niceness.WaitForEnd());
    EXPECT_EQ(niceness.endText, "nice=19");
}

TEST_F(LaunchEngineTest, TerminatedRunReturnsAtOnceAndItsEndStillComes) {
    // The sleep is the script's own child: ending the run ends it too, so nothing
    // keeps the output open.
    Receiver receiver;
    QString error;
    const auto run = EngineRun::Start(Script("echo working\ntouch started\nsleep 60\necho never\n"),
                                      dir_.path(), 0, kPriorityNormal, &error);
    ASSERT_TRUE(run) << error.toStdString();
    receiver.Follow(*run);
    const QDeadlineTimer deadline(10000);
    while (!QFile::exists(dir_.filePath("started")) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    run->Terminate();
    EXPECT_FALSE(receiver.finished); // told on the event loop, never from inside Terminate
    ASSERT_TRUE(receiver.WaitForEnd());
    EXPECT_EQ(receiver.endText, "working");
    EXPECT_FALSE(receiver.end.Succeeded());
    EXPECT_EQ(receiver.end.FailureReason("the engine"), "the engine was killed by signal 9");

    // A run dropped while its child runs ends the child with it.
    const auto dropped =
        EngineRun::Start(Script("sleep 60\n"), dir_.path(), 0, kPriorityNormal, &error);
    ASSERT_TRUE(dropped);
}

// Only status 0 is success; a failure's reason is its error line, else how it ended.
TEST_F(LaunchEngineTest, RunEndTellsTheExitStatusAndTheReasonOfAFailure) {
    struct Case {
        const char* body;
        bool succeeded;
        const char* reason;
    };
    const Case cases[] = {
        {"echo 'Output #0, mp4'\n", true, "Output #0, mp4"},
        {"echo '  encoder : Lavf59'\nexit 1\n", false, "exit status 1"},
        {"echo 'Error writing trailer: No space left on device'\nexit 1\n", false,
         "Error writing trailer: No space left on device"},
        {"echo '  title : clip'\nkill -9 $$\n", false, "the engine was killed by signal 9"},
        {"kill -TERM $$\n", false, "the engine was killed by signal 15"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        Receiver receiver;
        QString error;
        const auto run = EngineRun::Start(Script(c.body), dir_.path(), 0, kPriorityNormal, &error);
        ASSERT_TRUE(run) << error.toStdString();
        receiver.Follow(*run);
        ASSERT_TRUE(receiver.WaitForEnd());
        EXPECT_EQ(receiver.end.Succeeded(), c.succeeded);
        EXPECT_EQ(receiver.end.FailureReason("the engine"), c.reason);
    }
}

// The engine's own console, as this system's engine prints it.
TEST_F(LaunchEngineTest, EngineConversionReportsProgressToTheEndAndItsReasonOnFailure) {
    const ToolPaths tools = ToolPaths::Locate();
    CommandLine convert;
    convert.AppendQuoted(tools.enginePath)
        .Append(" -f lavfi -i testsrc=size=160x120:rate=25 -t 2 -c:v mpeg4 -y ")
        .AppendQuoted(dir_.filePath("clip.avi"));
    Receiver converted;
    QString error;
    const auto run = EngineRun::Start(convert, tools.programDir, 2, kPriorityNormal, &error);
    ASSERT_TRUE(run) << error.toStdString();
    converted.Follow(*run);
    ASSERT_TRUE(converted.WaitForEnd());
    ASSERT_FALSE(converted.progress.empty());
    EXPECT_EQ(converted.progress.back().position, 2000);
    EXPECT_EQ(converted.progress.back().percent, 100);
    EXPECT_FALSE(converted.endText.isEmpty());
    EXPECT_TRUE(converted.end.Succeeded());

    CommandLine missingInput;
    missingInput.AppendQuoted(tools.enginePath)
        .Append(" -i ")
        .AppendQuoted(dir_.filePath("nope.mp4"))
        .Append(" -y ")
        .AppendQuoted(dir_.filePath("out.avi"));
    Receiver failed;
    const auto failing =
        EngineRun::Start(missingInput, tools.programDir, 0, kPriorityNormal, &error);
    ASSERT_TRUE(failing);
    failed.Follow(*failing);
    ASSERT_TRUE(failed.WaitForEnd());
    EXPECT_TRUE(failed.progress.empty());
    EXPECT_EQ(failed.endText, dir_.filePath("nope.mp4") + ": No such file or directory");
    EXPECT_FALSE(failed.end.Succeeded());
    EXPECT_EQ(failed.end.FailureReason("the engine"), failed.endText);
}

TEST_F(LaunchEngineTest, MissingProgramIsRefusedWithAReasonInBothModes) {
    CommandLine command;
    command.AppendQuoted(dir_.filePath("mervane")).Append(" -i ").AppendQuoted("x.mp4");
    QString error;
    bool called = false;
    EXPECT_FALSE(LaunchEngine(
        command, dir_.path(), [&](const QByteArray&) { called = true; }, &error));
    EXPECT_FALSE(called);
    EXPECT_TRUE(error.contains("mervane")) << error.toStdString();
    EXPECT_TRUE(error.contains("No such file or directory")) << error.toStdString();

    error.clear();
    EXPECT_FALSE(EngineRun::Start(command, dir_.path(), 0, kPriorityNormal, &error));
    EXPECT_TRUE(error.contains("No such file or directory")) << error.toStdString();
}

} // namespace
