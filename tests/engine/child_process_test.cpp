#include "app/convert_settings.h"
#include "engine/tool_paths.h"
#include "platform/child_process.h"
#include "platform/folders.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// The nice value of every thread of a process, from /proc.
QList<int> ThreadNiceValues(qint64 pid) {
    QList<int> values;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks + "/" + tid + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        // Fields after the command name, which may hold blanks: state is the first,
        // the nice value the seventeenth.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        values.append(fields.value(16).toInt());
    }
    return values;
}

TEST(ToolPathsTest, BothToolsLieInTheProgramFolder) {
    const ToolPaths paths = ToolPaths::Locate();
    EXPECT_EQ(paths.programDir, QCoreApplication::applicationDirPath() + "/");
    EXPECT_EQ(paths.enginePath, paths.programDir + "mervane");
    EXPECT_EQ(paths.theoraToolPath, paths.programDir + "tolvane");
    EXPECT_TRUE(platform::FileExists(paths.enginePath));
}

// The engine makes its threads at once; each must run at the class given at the
// start, and take a change made while it runs.
TEST(ChildProcessTest, PriorityClassReachesEveryThreadOfTheEngine) {
    QString error;
    const std::unique_ptr<platform::ChildProcess> engine = platform::ChildProcess::Start(
        {ToolPaths::Locate().enginePath, "-hide_banner", "-nostats", "-re", "-f", "lavfi", "-i",
         "testsrc=size=160x120:rate=25", "-t", "20", "-c:v", "mpeg4", "-threads", "2", "-f", "null",
         "-"},
        QString(), kPriorityBelowNormal, &error);
    ASSERT_TRUE(engine) << error.toStdString();

    const QDeadlineTimer deadline(15000);
    while (ThreadNiceValues(engine->processId()).size() < 3 && !deadline.hasExpired())
        QThread::msleep(20);
    const QList<int> atStart = ThreadNiceValues(engine->processId());
    ASSERT_GE(atStart.size(), 3);
    EXPECT_EQ(atStart, QList<int>(atStart.size(), 10));

    engine->SetPriorityClass(kPriorityIdle);
    const QList<int> changed = ThreadNiceValues(engine->processId());
    EXPECT_EQ(changed, QList<int>(changed.size(), 19));

    EXPECT_FALSE(engine->WaitForExit(50));
    engine->Terminate();
    EXPECT_TRUE(engine->WaitForExit(-1));
    char buffer[256];
    while (engine->ReadOutput(buffer, sizeof buffer) > 0) {
    }
}

TEST(ChildProcessTest, StandardInputIsAtItsEndAndOutputEndsWithTheChild) {
    QString error;
    const std::unique_ptr<platform::ChildProcess> child =
        platform::ChildProcess::Start({"sh", "-c", "cat; echo \"cat done\" >&2"}, QDir::tempPath(),
                                      platform::kInheritedPriority, &error);
    ASSERT_TRUE(child) << error.toStdString();
    QByteArray output;
    char buffer[4];
    qint64 count = 0;
    while ((count = child->ReadOutput(buffer, sizeof buffer)) > 0)
        output.append(buffer, count);
    EXPECT_EQ(output, "cat done\n");
    EXPECT_TRUE(child->WaitForExit(-1));
}

} // namespace
