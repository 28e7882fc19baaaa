#include "platform/file_system.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

TEST(FileSystemTest, SameFileIsOneFileOnDiskWhateverItsNames) {
    QTemporaryDir temp;
    const QString lower = temp.filePath("clip.mkv");
    const QString upper = temp.filePath("clip.MKV");
    for (const QString& path : {lower, upper}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString link = temp.filePath("link.mkv");
    ASSERT_TRUE(QFile::link(lower, link));
    const QString hardLink = temp.filePath("hard.mkv");
    std::filesystem::create_hard_link(lower.toStdString(), hardLink.toStdString());

    EXPECT_TRUE(platform::IsSameFile(lower, lower));
    EXPECT_TRUE(platform::IsSameFile(lower, link));
    EXPECT_TRUE(platform::IsSameFile(hardLink, lower));
    EXPECT_TRUE(platform::IsSameFile(temp.path() + "/./clip.mkv", lower));
    EXPECT_FALSE(platform::IsSameFile(lower, upper));
    // Not made yet: only the very same name reaches it.
    EXPECT_FALSE(platform::IsSameFile(temp.filePath("out.mkv"), temp.filePath("OUT.mkv")));
    EXPECT_TRUE(platform::IsSameFile(temp.filePath("x/../out.mkv"), temp.filePath("out.mkv")));
    EXPECT_EQ(platform::FileKey("/clips/./x/../Clip.MP4"), "/clips/Clip.MP4");
    EXPECT_EQ(platform::FileKey(link), platform::FileKey(hardLink));
    EXPECT_NE(platform::FileKey(lower), platform::FileKey(upper));
}

} // namespace
