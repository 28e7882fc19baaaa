#include "engine/tool_paths.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The built tool itself: its exit codes and what it prints on failure.
TEST(TolvaneProgramTest, ExitsWithTwoOnAnUnknownOptionAndReportsTheEnginesReason) {
    const QString tool = ToolPaths::Locate().theoraToolPath;
    QTemporaryDir dir;

    QProcess unknown;
    unknown.setProcessChannelMode(QProcess::MergedChannels);
    unknown.start(tool, {"--frontend", "--sharpness", "2", "-o", dir.filePath("o.ogg"), "i.avi"});
    ASSERT_TRUE(unknown.waitForFinished(10000));
    EXPECT_EQ(unknown.exitCode(), 2);
    EXPECT_EQ(unknown.readAll(), "tolvane: unknown option: --sharpness\n");

    QProcess missing;
    missing.setProcessChannelMode(QProcess::MergedChannels);
    missing.start(tool, {"--frontend", "-o", dir.filePath("o.ogg"), dir.filePath("none.avi")});
    ASSERT_TRUE(missing.waitForFinished(10000));
    EXPECT_NE(missing.exitCode(), 0);
    const QByteArray output = missing.readAll();
    EXPECT_TRUE(output.endsWith("none.avi: No such file or directory\n")) << output.constData();
}

} // namespace
