#include "media/column_texts.h"
#include "media/source_list_model.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<SourceItem> MakeItem(const QString& path) {
    auto item = std::make_unique<SourceItem>();
    item->path = path;
    return item;
}

void AddAudio(SourceItem& item, unsigned sampleRate, unsigned bitRate, unsigned channels) {
    item.audioStreamIds.append(QStringLiteral("0:%1").arg(item.AudioStreamCount() + 1));
    item.audioSampleRates.push_back(sampleRate);
    item.audioBitRates.push_back(bitRate);
    item.audioChannels.push_back(channels);
}

QStringList RowTexts(const SourceListModel& list, int row) {
    QStringList texts;
    for (int column = 0; column < SourceListModel::ColumnCount; ++column)
        texts.append(list.CellText(row, column));
    return texts;
}

TEST(ColumnTextsTest, NamesChannelLayoutsAndDurations) {
    const char* const names[] = {"0",   "Mono", "Stereo", "2.1", "4.0",
                                 "4.1", "5.1",  "6.1",    "7.1", "9"};
    for (unsigned channels = 0; channels < std::size(names); ++channels)
        EXPECT_EQ(ChannelLayoutName(channels), names[channels]);

    EXPECT_EQ(DurationText(5), "00:05");
    EXPECT_EQ(DurationText(3599), "59:59");
    EXPECT_EQ(DurationText(3600), "1:00:00");
    EXPECT_EQ(DurationText(3723), "1:02:03");
    EXPECT_EQ(DurationText(100 * 3600 + 61), "100:01:01");
}

TEST(SourceListModelTest, WritesTheColumnsOfAProbedSource) {
    SourceListModel list;
    auto video = MakeItem("/clips/holiday.mp4");
    video->duration = 3723;
    video->width = 162;
    video->height = 120;
    video->frameRate = 29.97;
    video->videoBitRate = 229;
    AddAudio(*video, 44100, 66, 1);
    AddAudio(*video, 22050, 0, 6);
    AddAudio(*video, 0, 0, 0);

    EXPECT_EQ(list.AppendSourceRow(std::move(video), 1, "/clips/holiday.mp4"), 0);
    EXPECT_EQ(RowTexts(list, 0),
              (QStringList{"holiday.mp4 (3 audios)", "1:02:03", "162", "120", "29.97", "229 kbps",
                           "44100 Hz*3", "66 kbps", "Mono", ""}));

    // Audio only, nothing known of its length.
    auto audio = MakeItem("/clips/tone.wav");
    AddAudio(*audio, 22050, 352, 2);
    EXPECT_EQ(list.AppendSourceRow(std::move(audio), 1, "/clips/tone.wav"), 1);
    EXPECT_EQ(RowTexts(list, 1),
              (QStringList{"tone.wav", "", "", "", "", "", "22050 Hz", "352 kbps", "Stereo", ""}));

    // No stream at all: only the name.
    EXPECT_EQ(list.AppendSourceRow(MakeItem("DVD Title 2"), 1, QString()), 2);
    EXPECT_EQ(RowTexts(list, 2), (QStringList{"DVD Title 2", "", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(list.data(list.index(1, SourceListModel::ColumnAudioChannels)).toString(), "Stereo");
    EXPECT_EQ(list.headerData(SourceListModel::ColumnFrameRate, Qt::Horizontal).toString(),
              "V.Frame");
}

TEST(SourceListModelTest, ChoosesTheRequestedAudioStreamWhenTheSourceHasIt) {
    const struct {
        int requestAudioIndex;
        int chosen;
        const char* frequency;
    } cases[] = {{0, 0, "44100 Hz*3"}, {1, 0, "44100 Hz*3"}, {2, 1, "22050 Hz*3"},
                 {3, 2, "*3"},         {4, 0, "44100 Hz*3"}, {5, 0, "44100 Hz*3"}};
    for (const auto& c : cases) {
        SourceListModel list;
        auto item = MakeItem("/clips/multi.mkv");
        AddAudio(*item, 44100, 66, 1);
        AddAudio(*item, 22050, 0, 6);
        AddAudio(*item, 0, 0, 0);
        list.AppendSourceRow(std::move(item), c.requestAudioIndex, QString());
        EXPECT_EQ(list.Item(0)->chosenAudioStream, c.chosen) << c.requestAudioIndex;
        EXPECT_EQ(list.CellText(0, SourceListModel::ColumnAudioFrequency), c.frequency)
            << c.requestAudioIndex;
    }
}

TEST(SourceListModelTest, RefreshesTheAudioColumnsForAnotherStream) {
    SourceListModel list;
    auto item = MakeItem("/clips/multi.mkv");
    AddAudio(*item, 44100, 66, 1);
    AddAudio(*item, 48000, 0, 6);
    list.AppendSourceRow(std::move(item), 1, QString());
    list.SetCellText(0, SourceListModel::ColumnStatus, "50% 00:00:01.00");

    QSignalSpy changed(&list, &SourceListModel::dataChanged);
    list.Item(0)->chosenAudioStream = 1;
    list.RefreshAudioColumns(0);
    EXPECT_EQ(RowTexts(list, 0), (QStringList{"multi.mkv (2 audios)", "", "", "", "", "",
                                              "48000 Hz*2", "", "5.1", "50% 00:00:01.00"}));
    EXPECT_EQ(changed.count(), 1);

    // A choice beyond the streams shows no audio at all.
    list.Item(0)->chosenAudioStream = 2;
    list.RefreshAudioColumns(0);
    EXPECT_EQ(list.CellText(0, SourceListModel::ColumnAudioFrequency), "");
    EXPECT_EQ(list.CellText(0, SourceListModel::ColumnAudioChannels), "");
    list.RefreshAudioColumns(7); // no such row: nothing happens
}

TEST(SourceListModelTest, AChangedStreamRequestReachesEveryRowThatHasIt) {
    SourceListModel list;
    for (int streams : {3, 1, 2}) {
        auto item = MakeItem(QStringLiteral("/clips/%1.mkv").arg(streams));
        for (int i = 0; i < streams; ++i)
            AddAudio(*item, 8000 * (i + 1), 0, 2);
        list.AppendSourceRow(std::move(item), 1, QString());
    }
    QSignalSpy changed(&list, &SourceListModel::dataChanged);
    list.ApplyRequestedAudioStream(3);
    EXPECT_EQ(list.Item(0)->chosenAudioStream, 2);
    EXPECT_EQ(list.Item(1)->chosenAudioStream, 0);
    EXPECT_EQ(list.Item(2)->chosenAudioStream, 0);
    EXPECT_EQ(list.CellText(0, SourceListModel::ColumnAudioFrequency), "24000 Hz*3");
    // Only the row whose stream changed is redrawn.
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toModelIndex().row(), 0);

    list.ApplyRequestedAudioStream(2);
    EXPECT_EQ(list.Item(0)->chosenAudioStream, 1);
    EXPECT_EQ(list.Item(2)->chosenAudioStream, 1);
    EXPECT_EQ(list.CellText(2, SourceListModel::ColumnAudioFrequency), "16000 Hz*2");
}

TEST(SourceListModelTest, KeepsTheKeysOfItsRows) {
    SourceListModel list;
    list.AppendRow(MakeItem("/a.mp4"), "a.mp4", "/a.mp4");
    list.AppendRow(MakeItem("/c.mp4"), "c.mp4", "/c.mp4");
    list.InsertRow(1, MakeItem("/b.mp4"), "b.mp4", "/b.mp4");
    list.InsertCopyRow(2, MakeItem("/b.mp4"), "   to JPG");
    ASSERT_EQ(list.rowCount(), 4);
    EXPECT_EQ(list.Item(1)->path, "/b.mp4");
    EXPECT_EQ(list.CellText(2, SourceListModel::ColumnFile), "   to JPG");
    EXPECT_EQ(list.Item(4), nullptr);
    EXPECT_EQ(list.Item(-1), nullptr);

    // The copy shares its parent's key: removing the copy keeps it.
    list.RemoveRow(2);
    EXPECT_TRUE(list.paths().Contains("/b.mp4"));
    list.RemoveRow(1);
    EXPECT_FALSE(list.paths().Contains("/b.mp4"));
    EXPECT_EQ(list.Item(1)->path, "/c.mp4");

    // Moved rows take their keys and job states along.
    list.SetCellText(0, SourceListModel::ColumnStatus, "done");
    list.SetJobState(0, JobState::Succeeded);
    ASSERT_TRUE(list.moveRow(QModelIndex(), 1, QModelIndex(), 0));
    EXPECT_EQ(list.Item(0)->path, "/c.mp4");
    EXPECT_EQ(list.CellText(0, SourceListModel::ColumnFile), "c.mp4");
    EXPECT_EQ(list.CellText(1, SourceListModel::ColumnStatus), "done");
    EXPECT_EQ(list.index(1, SourceListModel::ColumnFile).data(SourceListModel::JobStateRole),
              static_cast<int>(JobState::Succeeded));
    EXPECT_EQ(list.RowJobState(0), JobState::None);
    list.RemoveRow(0);
    EXPECT_FALSE(list.paths().Contains("/c.mp4"));
    EXPECT_TRUE(list.paths().Contains("/a.mp4"));

    // A new item keeps the row's key and texts.
    list.SetItem(0, MakeItem("/a.mp4"));
    EXPECT_EQ(list.CellText(0, SourceListModel::ColumnStatus), "done");
    list.RemoveAllRows();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_FALSE(list.paths().Contains("/a.mp4"));
}

TEST(SourceListModelTest, RemovingASourceDeletesItsStagedFileButNotItsCopies) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString staged = dir.filePath("staged.wav");
    const auto makeStaged = [&] {
        QFile file(staged);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        auto item = MakeItem("/in.voc");
        item->needsStaging = true;
        item->staged = true;
        item->stagedFile = staged;
        return item;
    };

    SourceListModel list;
    list.AppendRow(makeStaged(), "in.voc", "/in.voc");
    list.InsertCopyRow(1, makeStaged(), "   to MP3");
    list.RemoveRow(1);
    EXPECT_TRUE(QFile::exists(staged));
    list.RemoveRow(0);
    EXPECT_FALSE(QFile::exists(staged));

    list.AppendRow(makeStaged(), "in.voc", "/in.voc");
    list.RemoveAllRows();
    EXPECT_FALSE(QFile::exists(staged));

    {
        SourceListModel closing;
        closing.AppendRow(makeStaged(), "in.voc", "/in.voc");
    }
    EXPECT_FALSE(QFile::exists(staged));
}

TEST(SourcePathMapTest, DvdTitlesAreKeyedByFolderAndTitleSet) {
    EXPECT_EQ(SourcePathMap::DvdTitleKey("/media/Dvd/VIDEO_TS/", 3), "DVD:/media/Dvd/VIDEO_TS/3");
}

TEST(SourceListModelTest, GivesSortValuesBesideTheTexts) {
    SourceListModel list;
    auto video = MakeItem("/clips/long.mp4");
    video->duration = 3600;
    video->width = 320;
    video->height = 240;
    video->frameRate = 29.97;
    video->videoBitRate = 1200;
    AddAudio(*video, 22050, 0, 1);
    AddAudio(*video, 48000, 192, 2);
    list.AppendSourceRow(std::move(video), 2, "/clips/long.mp4");
    list.AppendSourceRow(MakeItem("/clips/silent.gif"), 1, "/clips/silent.gif");

    const auto value = [&](int row, int column) {
        return list.index(row, column).data(SourceListModel::SortValueRole);
    };
    EXPECT_EQ(value(0, SourceListModel::ColumnDuration).toLongLong(), 3600000);
    EXPECT_EQ(value(0, SourceListModel::ColumnWidth).toInt(), 320);
    EXPECT_EQ(value(0, SourceListModel::ColumnHeight).toInt(), 240);
    EXPECT_DOUBLE_EQ(value(0, SourceListModel::ColumnFrameRate).toDouble(), 29.97);
    EXPECT_EQ(value(0, SourceListModel::ColumnVideoBitRate).toLongLong(), 1200000);
    // The chosen (second) audio stream's values, not the first's.
    EXPECT_EQ(value(0, SourceListModel::ColumnAudioFrequency).toLongLong(), 48000);
    EXPECT_EQ(value(0, SourceListModel::ColumnAudioBitRate).toLongLong(), 192000);
    // Unknown numbers sort as 0, as their empty texts would; text columns have none.
    EXPECT_EQ(value(1, SourceListModel::ColumnAudioFrequency).toLongLong(), 0);
    EXPECT_EQ(value(1, SourceListModel::ColumnFrameRate).toDouble(), 0.0);
    EXPECT_FALSE(value(0, SourceListModel::ColumnFile).isValid());
    EXPECT_FALSE(value(0, SourceListModel::ColumnStatus).isValid());

    EXPECT_TRUE(list.flags(list.index(0, 0)) & Qt::ItemIsSelectable);
    EXPECT_FALSE(list.flags(list.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_EQ(list.flags(list.index(5, 0)), Qt::NoItemFlags);
}

TEST(SourceListModelTest, MovesRowsSoPersistentIndexesFollow) {
    SourceListModel list;
    for (const char* path : {"/a.mp4", "/b.mp4", "/c.mp4", "/d.mp4"})
        list.AppendRow(MakeItem(path), QString(path).mid(1), path);
    const QPersistentModelIndex c = list.index(2, 0);
    const QPersistentModelIndex d = list.index(3, 0);

    ASSERT_TRUE(list.moveRows(QModelIndex(), 2, 2, QModelIndex(), 1)); // c, d above b
    EXPECT_EQ(c.row(), 1);
    EXPECT_EQ(d.row(), 2);
    EXPECT_EQ(list.Item(1)->path, "/c.mp4");
    EXPECT_EQ(list.CellText(3, SourceListModel::ColumnFile), "b.mp4");

    ASSERT_TRUE(list.moveRow(QModelIndex(), 0, QModelIndex(), 4)); // a to the bottom
    EXPECT_EQ(list.Item(3)->path, "/a.mp4");
    EXPECT_EQ(c.row(), 0);

    EXPECT_FALSE(list.moveRow(QModelIndex(), 1, QModelIndex(), 1));     // onto itself
    EXPECT_FALSE(list.moveRows(QModelIndex(), 3, 2, QModelIndex(), 0)); // past the end
    EXPECT_FALSE(list.moveRow(QModelIndex(), 0, QModelIndex(), 5));
}

} // namespace
