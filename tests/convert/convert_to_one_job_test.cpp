#include "convert/convert_to_one_job.h"

#include "app/format_catalog.h"

#include "support/qstring_printer.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

SourceItem Source(int width, int height, double frameRate, std::vector<unsigned> sampleRates,
                  std::vector<unsigned> channels, unsigned duration = 10) {
    SourceItem item;
    item.width = width;
    item.height = height;
    item.frameRate = frameRate;
    item.audioSampleRates = std::move(sampleRates);
    item.audioChannels = std::move(channels);
    item.duration = duration;
    return item;
}

TEST(ConvertToOneJobTest, NormalisesToTheTargetOrToTheLargestSource) {
    const FormatCatalog catalog;
    const OutputFormat& ts = *catalog.FindById(170);
    SourceItem small = Source(640, 480, 25.0, {22050, 48000}, {1, 6});
    small.chosenAudioStream = 5; // beyond the streams: the first one counts
    SourceItem large = Source(1280, 720, 29.97, {44100}, {2});
    SourceItem silent = Source(320, 240, 50.0, {}, {});
    const std::vector<const SourceMedia*> items{&small, &large, &silent};

    OutputFormat open = *catalog.FindById(110); // MP4 without a size of its own
    open.VideoFrameRate = -1.0;
    const auto fromSources = ConvertToOneJob::BuildNormalisationFormat(open, items, ts);
    EXPECT_EQ(fromSources->id, 170);
    EXPECT_EQ(fromSources->extension, "ts");
    EXPECT_EQ(fromSources->VideoCodec, "mpeg4");
    EXPECT_EQ(fromSources->VideoWidth, 1280);
    EXPECT_EQ(fromSources->VideoHeight, 720);
    EXPECT_EQ(fromSources->VideoKeepAspect, 1);
    EXPECT_EQ(fromSources->AddPadding, 1);
    EXPECT_DOUBLE_EQ(fromSources->VideoFrameRate, 50.0);
    EXPECT_EQ(fromSources->AudioCodec, "ac3");
    EXPECT_EQ(fromSources->AudioSampleRate, 44100);
    EXPECT_EQ(fromSources->AudioChannels, 2);
    EXPECT_EQ(fromSources->AudioBitRate, 192000); // 3/2 of the automatic 128000
    EXPECT_EQ(fromSources->videoCodecs, ts.videoCodecs);

    OutputFormat sized = open;
    sized.VideoWidth = 320;
    sized.VideoHeight = 200;
    sized.VideoKeepAspect = 0;
    sized.VideoFrameRate = 15.0;
    sized.AudioEnable = 0;
    const auto fromTarget = ConvertToOneJob::BuildNormalisationFormat(sized, items, ts);
    EXPECT_EQ(fromTarget->VideoWidth, 320);
    EXPECT_EQ(fromTarget->VideoHeight, 200);
    EXPECT_EQ(fromTarget->VideoKeepAspect, 0);
    EXPECT_DOUBLE_EQ(fromTarget->VideoFrameRate, 15.0);
    EXPECT_EQ(fromTarget->AudioEnable, 0);
    EXPECT_EQ(fromTarget->AudioCodec, "");
    EXPECT_EQ(fromTarget->AudioBitRate, 0);
}

TEST(ConvertToOneJobTest, TheListNamesEachFileOnceAndLeavesOutWhatItCannotCarry) {
    SourceItem plain = Source(0, 0, -1.0, {44100}, {2}, 3);
    plain.path = "/media/it's here.mp4";
    SourceItem staged = plain;
    staged.path = "DVD Title 1";
    staged.needsStaging = true;
    staged.staged = true;
    staged.stagedFile = "/tmp/title.vob";
    SourceItem broken = plain;
    broken.path = "/media/line\nbreak.mp4";
    SourceItem returned = plain;
    returned.path = "/media/carriage\rreturn.mp4";

    ConvertSettings settings;
    ConvertToOneJob job("/out/joined.mkv", settings);
    job.parts = {{1, plain, {}}, {2, broken, {}}, {3, staged, {}}, {4, returned, {}}};
    std::vector<int> leftOut;
    ASSERT_TRUE(job.WriteListFile(false, &leftOut));
    EXPECT_EQ(leftOut, (std::vector<int>{2, 4}));
    QFile list(job.listFilePath);
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    EXPECT_EQ(list.readAll(), "file '/media/it'\\''s here.mp4'\nfile '/tmp/title.vob'\n");
    list.close();

    job.CreateJoinedItem(false);
    EXPECT_EQ(job.joinedItem->kind, KindJoinedList);
    EXPECT_EQ(job.joinedItem->path, job.listFilePath);
    EXPECT_EQ(job.joinedItem->outputPath, "/out/joined.mkv");
    EXPECT_EQ(job.joinedItem->duration, 6u);
    job.FindPart(3)->source.duration = 0; // one unknown duration makes the whole one unknown
    job.CreateJoinedItem(false);
    EXPECT_EQ(job.joinedItem->duration, 0u);

    // Only intermediates go with the list, never a source.
    QTemporaryDir dir;
    QFile intermediate(dir.filePath("1.ts"));
    ASSERT_TRUE(intermediate.open(QIODevice::WriteOnly));
    intermediate.close();
    job.FindPart(1)->intermediate = intermediate.fileName();
    job.DeleteTemporaryFiles();
    EXPECT_FALSE(QFile::exists(list.fileName()));
    EXPECT_FALSE(intermediate.exists());
    EXPECT_TRUE(job.FindPart(1)->intermediate.isEmpty());
    EXPECT_EQ(job.FindPart(1)->source.path, "/media/it's here.mp4");

    ConvertToOneJob nothing("/out/joined.mkv", settings);
    nothing.parts = {{2, broken, {}}};
    leftOut.clear();
    EXPECT_FALSE(nothing.WriteListFile(false, &leftOut));
    EXPECT_TRUE(nothing.listFilePath.isEmpty());
}

TEST(ConvertToOneJobTest, SuspendedSettingsComeBackOnce) {
    ConvertSettings settings;
    settings.CropPictures = 1;
    settings.RotateFlip = 3;
    settings.EnableSkipLength = 1;
    settings.EnableConvertLength = 1;
    settings.EnableIgnoreTheLast = 1;
    ConvertToOneJob job("/out/joined.mkv", settings);
    job.RestoreSettings(settings); // nothing suspended yet: nothing changes
    job.SuspendSettings(settings);
    EXPECT_EQ(settings.CropPictures + settings.RotateFlip + settings.EnableSkipLength +
                  settings.EnableConvertLength + settings.EnableIgnoreTheLast,
              0);
    job.RestoreSettings(settings);
    EXPECT_EQ(settings.RotateFlip, 3);
    EXPECT_EQ(settings.EnableIgnoreTheLast, 1);
    settings.RotateFlip = 2; // changed afterwards: a second restore keeps it
    job.RestoreSettings(settings);
    EXPECT_EQ(settings.RotateFlip, 2);
}

} // namespace
