// DVD titles without the engine: finding the title sets of a folder, joining a
// title's parts, and the free-space check.
#include "media/dvd_titles.h"
#include "media/source_item.h"
#include "support/qstring_printer.h"
#include "support/temporary_folder.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QByteArray Load(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Save(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// A file of the given size that takes no room: the scan only looks at sizes.
void MakeSparse(const QString& path, qint64 size) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_TRUE(file.resize(size));
}

TEST(DvdScanTest, FindsTheVideoFolderAtOrInTheChosenFolder) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid() && QDir(root.path()).mkdir("VIDEO_TS"));
    QString folder;
    EXPECT_FALSE(FindDvdFolder(root.path(), &folder));
    EXPECT_FALSE(FindDvdFolder(root.filePath("VIDEO_TS"), &folder));

    MakeSparse(root.filePath("VIDEO_TS/VTS_01_1.VOB"), 10);
    ASSERT_TRUE(FindDvdFolder(root.path(), &folder));
    EXPECT_EQ(folder, root.filePath("VIDEO_TS") + '/');
    folder.clear();
    ASSERT_TRUE(FindDvdFolder(root.filePath("VIDEO_TS") + '/', &folder));
    EXPECT_EQ(folder, root.filePath("VIDEO_TS") + '/');
}

TEST(DvdScanTest, SkipsMenusAndStopsAtTheFirstGap) {
    QTemporaryDir dvd;
    ASSERT_TRUE(dvd.isValid());
    const QString folder = dvd.path() + '/';
    const qint64 kMiB = 1048576;
    MakeSparse(DvdPartPath(folder, 1, 1), kMiB - 1); // a menu
    MakeSparse(DvdPartPath(folder, 2, 1), kMiB);
    MakeSparse(DvdPartPath(folder, 3, 1), 1024 * kMiB);
    MakeSparse(DvdPartPath(folder, 5, 1), 1024 * kMiB); // after the gap
    EXPECT_EQ(ScanTitleSets(folder), (std::vector<int>{2, 3}));

    for (int titleSet = 4; titleSet <= 99; ++titleSet)
        MakeSparse(DvdPartPath(folder, titleSet, 1), kMiB);
    MakeSparse(folder + "VTS_100_1.VOB", kMiB);
    EXPECT_EQ(ScanTitleSets(folder).size(), 98u);
    EXPECT_EQ(ScanTitleSets(folder).back(), 99);
}

class StageDvdTitleTest : public ::testing::Test {
protected:
    // VTS_01_k.VOB for each k given, each a little different in size and content.
    QByteArray MakeParts(std::initializer_list<int> parts) {
        QByteArray joined;
        for (int k : parts) {
            const QByteArray part = QByteArray(5000 + 100 * k, static_cast<char>('a' + k));
            Save(DvdPartPath(folder(), 1, k), part);
            joined += part;
        }
        return joined;
    }
    QString folder() const { return dvd_.path() + '/'; }
    SourceItem Title() const {
        SourceItem item;
        item.kind = KindDvdTitle;
        item.titleSet = 1;
        item.titleNumber = 1;
        item.dvdFolder = folder();
        item.needsStaging = true;
        return item;
    }

    QTemporaryDir dvd_;
    TemporaryFolderScope temp_;
};

TEST_F(StageDvdTitleTest, JoinsThePartsUpToTheFirstMissingOneAndAtMostNine) {
    QString staged;
    QString message;
    const QByteArray five = MakeParts({1, 2, 3, 4, 5});
    MakeParts({7});
    ASSERT_EQ(StageSource(Title(), &staged, &message, [](int) { return true; }),
              StageOutcome::Staged)
        << message.toStdString();
    EXPECT_TRUE(staged.endsWith(".vob"));
    EXPECT_TRUE(Load(staged) == five);

    const QByteArray nine = MakeParts({1, 2, 3, 4, 5, 6, 7, 8, 9});
    MakeParts({10});
    ASSERT_EQ(StageSource(Title(), &staged, &message, [](int) { return true; }),
              StageOutcome::Staged);
    EXPECT_TRUE(Load(staged) == nine);
}

TEST_F(StageDvdTitleTest, LeavesNoFileWhenCancelledOrFailing) {
    QString staged;
    QString message;
    EXPECT_EQ(StageSource(Title(), &staged, &message, [](int) { return true; }),
              StageOutcome::Failed);
    EXPECT_EQ(message, "Failed to load from DVD");

    Save(DvdPartPath(folder(), 1, 1), {});
    EXPECT_EQ(StageSource(Title(), &staged, &message, [](int) { return true; }),
              StageOutcome::Failed);
    EXPECT_EQ(message, "Failed to load from DVD");

    MakeParts({1, 2});
    std::vector<int> percents;
    EXPECT_EQ(StageSource(Title(), &staged, &message,
                          [&](int percent) {
                              percents.push_back(percent);
                              return percent < 50;
                          }),
              StageOutcome::Cancelled);
    EXPECT_EQ(message, "Cancelled");
    EXPECT_EQ(staged, "");
    EXPECT_EQ(temp_.Files(), QStringList());
    // A report per 4096-byte block of each part, in hundredths of the sum.
    EXPECT_EQ(percents, (std::vector<int>{4096 / 103, 5100 / 103, 9196 / 103}));
}

TEST(DvdFreeSpaceTest, AsksForTheTitleAndAReserveOf100MiB) {
    const struct {
        qint64 parts;
        qint64 free;
        const char* message; // empty when there is enough
    } cases[] = {
        {2147483648, 2201170739, // 2.05 GiB
         "2.10 GB free space is required for converting. There isn't enough free space on drive "
         "/tmp."},
        {2147483648, 2147483648 + 104857600, ""},
        {1000, 104858599,
         "100.00 MB free space is required for converting. There isn't enough "
         "free space on drive /tmp."},
    };
    for (const auto& c : cases) {
        QString message;
        EXPECT_EQ(EnoughFreeSpace(c.parts, c.free, "/tmp", &message), *c.message == '\0');
        EXPECT_EQ(message, c.message);
    }
}

TEST(DvdFreeSpaceTest, FormatsByteSizesInTheirUnit) {
    const struct {
        qint64 bytes;
        const char* text;
    } cases[] = {
        {0, "0 B"},
        {999, "999 B"},
        {1000, "1.0 KB"},
        {1023999, "1000.0 KB"},
        {1024000, "0.98 MB"},
        {1048575999, "1000.00 MB"},
        {1048576000, "0.98 GB"},
        {2252341248, "2.10 GB"},
        {1073741824000, "0.98 TB"},
        {qint64{3} << 40, "3.00 TB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatByteSize(c.bytes), c.text) << c.bytes;
}

} // namespace
