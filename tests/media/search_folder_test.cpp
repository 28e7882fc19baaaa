#include "media/search_folder.h"

#include "support/qstring_printer.h"
#include "support/shell_link.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(SearchFolderTest, TakesTheTreeFolderByFolderThroughTheFilter) {
    QTemporaryDir dir;
    for (const QString name :
         {"a.MP4", "b.avi", "c.mkv", "noext", "sub/d.mp4", "sub/deep/e.avi", "sub/deep/f.txt"}) {
        QDir().mkpath(QFileInfo(dir.filePath(name)).path());
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    // A link back up the tree is not followed.
    ASSERT_TRUE(QFile::link(dir.path(), dir.filePath("sub/loop")));

    const auto relative = [&](const QStringList& paths) {
        QStringList names;
        for (const QString& path : paths)
            names.append(QDir(dir.path()).relativeFilePath(path));
        return names;
    };
    QStringList filtered;
    SearchFolder(filtered, dir.path(), {"mp4", "avi"});
    // The folder's own files first, then each subfolder's, deeper ones after.
    const QStringList top = relative(filtered).mid(0, 2);
    EXPECT_TRUE(top.contains("a.MP4") && top.contains("b.avi")) << filtered.join(' ').toStdString();
    EXPECT_EQ(relative(filtered).mid(2), (QStringList{"sub/d.mp4", "sub/deep/e.avi"}));

    QStringList all;
    SearchFolder(all, dir.path(), {});
    EXPECT_EQ(all.size(), 7);
    EXPECT_TRUE(relative(all).contains("noext"));

    EXPECT_FALSE(PassesExtensionFilter("/x/noext", {"mp4"}));
    EXPECT_FALSE(PassesExtensionFilter("/x.mp4/clip", {"mp4"})); // the name's own extension
    EXPECT_TRUE(PassesExtensionFilter("/x/clip.Mp4", {"mp4"}));
}

TEST(SearchFolderTest, TheFilterFollowsShortcutsToFilesItTakes) {
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    for (const QString name : {"a.MP4", "b.avi", "c.mkv"})
        ASSERT_TRUE(WriteFile(dir.filePath(name), {}));
    ASSERT_TRUE(WriteFile(elsewhere.filePath("e.avi"), {}));
    ASSERT_TRUE(WriteFile(elsewhere.filePath("f.mkv"), {}));
    ASSERT_TRUE(WriteFile(dir.filePath("d.lnk"), ShellLink{elsewhere.filePath("e.avi")}.Bytes()));
    // A shortcut to a shortcut to e.avi; one to a file the filter refuses; two
    // shortcuts pointing at each other; a damaged one.
    ASSERT_TRUE(WriteFile(dir.filePath("g.LNK"), ShellLink{dir.filePath("d.lnk")}.Bytes()));
    ASSERT_TRUE(WriteFile(dir.filePath("h.lnk"), ShellLink{elsewhere.filePath("f.mkv")}.Bytes()));
    ASSERT_TRUE(WriteFile(dir.filePath("i.lnk"), ShellLink{dir.filePath("j.lnk")}.Bytes()));
    ASSERT_TRUE(WriteFile(dir.filePath("j.lnk"), ShellLink{dir.filePath("i.lnk")}.Bytes()));
    ASSERT_TRUE(
        WriteFile(dir.filePath("k.lnk"), ShellLink{dir.filePath("b.avi")}.Bytes().first(90)));

    QStringList filtered;
    SearchFolder(filtered, dir.path(), {"mp4", "avi"});
    QStringList expected{dir.filePath("a.MP4"), dir.filePath("b.avi"), elsewhere.filePath("e.avi"),
                         elsewhere.filePath("e.avi")};
    filtered.sort();
    expected.sort();
    EXPECT_EQ(filtered, expected);

    // With the filter off every file is taken as it is, shortcuts too.
    QStringList all;
    SearchFolder(all, dir.path(), {});
    EXPECT_EQ(all.size(), 9);
    EXPECT_TRUE(all.contains(dir.filePath("d.lnk")));

    // A drop: the folder's files first, then the file under the same rule.
    const QStringList dropped =
        CollectDroppedPaths({elsewhere.path(), dir.filePath("d.lnk")}, {"avi"});
    EXPECT_EQ(dropped, (QStringList{elsewhere.filePath("e.avi"), elsewhere.filePath("e.avi")}));
}

} // namespace
