#include "platform/folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(FoldersTest, ProgramFolderEndsWithASlashAndHoldsTheProgram) {
    QString dir;
    ASSERT_TRUE(platform::GetModuleDir(&dir));
    EXPECT_TRUE(dir.endsWith('/'));
    EXPECT_TRUE(QFile::exists(dir + "platform_tests"));
}

TEST(FoldersTest, FileExistsCountsFoldersAndRefusesMissingOrEmptyPaths) {
    QTemporaryDir temp;
    const QString folderNamedLikeAProgram = temp.filePath("mervane");
    ASSERT_TRUE(QDir().mkdir(folderNamedLikeAProgram));
    EXPECT_TRUE(platform::FileExists(folderNamedLikeAProgram));
    EXPECT_FALSE(platform::FileExists(temp.filePath("absent")));
    EXPECT_FALSE(platform::FileExists(""));
}

TEST(FoldersTest, DocumentsFolderIsNamedButNeverMadeByAsking) {
    QString documents;
    ASSERT_TRUE(platform::GetDocumentsFolder(&documents));
    ASSERT_TRUE(QDir(documents).removeRecursively());
    ASSERT_TRUE(platform::GetDocumentsFolder(&documents));
    EXPECT_FALSE(documents.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(documents));
}

} // namespace
