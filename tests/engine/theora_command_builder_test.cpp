#include "app/format_catalog.h"
#include "engine/theora_command_builder.h"
#include "support/probed_video.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kTool = QStringLiteral("/opt/quillmore/tolvane");
const QString kHead = QStringLiteral("\"/opt/quillmore/tolvane\" --frontend --nosubtitles ");
const QString kTail = QStringLiteral("-o \"/out/talk.ogg\" \"/videos/talk.avi\"");

SourceMedia Talk() {
    SourceMedia item = ProbedVideo("/videos/talk.avi", 640, 480, 30);
    item.outputPath = "/out/talk.ogg";
    return item;
}

struct Case {
    const char* name;
    std::function<void(SourceMedia&, OutputFormat&, ConvertSettings&)> setup;
    QString expected;
};

TEST(TheoraCommandBuilderTest, BuildsTheExactCommandForEachCase) {
    const Case cases[] = {
        {"worked example", [](SourceMedia&, OutputFormat&, ConvertSettings&) {},
         kHead + "-x 640 -y 480 -v 6 " + kTail},
        {"a start of 1500 ms is 1 s",
         [](SourceMedia&, OutputFormat&, ConvertSettings& settings) {
             settings.EnableSkipLength = 1;
             settings.SkipLength = 1500;
         },
         kHead + "-s 1 -x 640 -y 480 -v 6 " + kTail},
        {"a start of 800 ms is 0 s",
         [](SourceMedia&, OutputFormat&, ConvertSettings& settings) {
             settings.EnableSkipLength = 1;
             settings.SkipLength = 800;
         },
         kHead + "-s 0 -x 640 -y 480 -v 6 " + kTail},
        {"ignoring more than remains, without a start",
         [](SourceMedia&, OutputFormat&, ConvertSettings& settings) {
             settings.EnableIgnoreTheLast = 1;
             settings.IgnoreLength = 45000;
         },
         kHead + "-s 1 -e 1 -x 640 -y 480 -v 6 " + kTail},
        {"ignoring the last part after a start",
         [](SourceMedia&, OutputFormat&, ConvertSettings& settings) {
             settings.EnableSkipLength = 1;
             settings.SkipLength = 10000;
             settings.EnableIgnoreTheLast = 1;
             settings.IgnoreLength = 5500;
         },
         kHead + "-s 10 -e 25 -x 640 -y 480 -v 6 " + kTail},
        {"converting 90 s from 30 s ends at 120",
         [](SourceMedia&, OutputFormat&, ConvertSettings& settings) {
             settings.EnableSkipLength = 1;
             settings.SkipLength = 30000;
             settings.EnableConvertLength = 1;
             settings.ConvertLength = 90000;
         },
         kHead + "-s 30 -e 120 -x 640 -y 480 -v 6 " + kTail},
        {"quality is held to 10; picture options",
         [](SourceMedia&, OutputFormat& format, ConvertSettings& settings) {
             format.VideoVBRQuality = 26;
             format.VideoAspect = "16:9";
             format.VideoFrameRate = 23.97;
             settings.CropPictures = 1;
             settings.CropLeft = 8;
             settings.CropSameAsTop = 0;
             settings.CropBottom = 4;
             settings.VideoDeinterlace = 1;
         },
         kHead +
             "-x 854 -y 480 --cropleft 8 --cropright 8 --cropbottom 4 --deinterlace "
             "--aspect 16:9 -v 10 -F 23.970 " +
             kTail},
        {"six channels with Vorbis, snapped rate and bit rate, no sync, no metadata",
         [](SourceMedia&, OutputFormat& format, ConvertSettings& settings) {
             format.AudioChannels = 6;
             format.AudioSampleRate = 44000;
             format.AudioBitRate = 130000;
             settings.FixAudioUnsync = 1;
             settings.KeepID3Tag = 0;
         },
         kHead + "-x 640 -y 480 -v 6 -H 44100 -c 6 -A 128 --nosync --nometadata " + kTail},
        {"audio quality mode and the chosen stream of several",
         [](SourceMedia& item, OutputFormat& format, ConvertSettings&) {
             item.audioStreamIds = {"0:1", "0:2"};
             item.audioChannels = {2, 2};
             item.audioSampleRates = {44100, 48000};
             item.chosenAudioStream = 1;
             format.AudioVBREnabled = 1;
             format.AudioBitRate = 130000; // quality mode wins
         },
         kHead + "-x 640 -y 480 -v 6 --audiostream 2 -a 5 " + kTail},
        {"the chosen stream is named by its number in the file",
         [](SourceMedia& item, OutputFormat&, ConvertSettings&) {
             item.videoStream.clear(); // audio only: the streams are 0:0 and 0:1
             item.audioStreamIds = {"0:0", "0:1"};
             item.audioChannels = {2, 2};
             item.audioSampleRates = {44100, 48000};
             item.chosenAudioStream = 1;
         },
         kHead + "-x 640 -y 480 -v 6 --audiostream 1 " + kTail},
        {"no video, no audio, staged input, quality raised to 1",
         [](SourceMedia& item, OutputFormat& format, ConvertSettings&) {
             item.audioSampleRates.clear();
             item.needsStaging = item.staged = true;
             item.stagedFile = "/tmp/qm/staged.wav";
             format.VideoEnable = 0;
         },
         kHead + "--novideo --noaudio -o \"/out/talk.ogg\" \"/tmp/qm/staged.wav\""},
        {"unknown size without a format size gives no size; quality 0 becomes 1",
         [](SourceMedia& item, OutputFormat& format, ConvertSettings&) {
             item.width = item.height = 0;
             format.VideoVBRQuality = 0;
             format.AudioCodec = "flac"; // not offered by this format
         },
         kHead + "-v 1 --noaudio " + kTail},
        {"an aspect of none is not passed on",
         [](SourceMedia&, OutputFormat& format, ConvertSettings&) { format.VideoAspect = "N/A"; },
         kHead + "-x 640 -y 480 -v 6 " + kTail},
        {"the format's own size, kept in aspect",
         [](SourceMedia& item, OutputFormat& format, ConvertSettings&) {
             item.width = 1919;
             item.height = 1080;
             format.VideoWidth = 640;
             format.VideoHeight = 480;
             format.VideoKeepAspect = 1;
         },
         kHead + "-x 640 -y 360 -v 6 " + kTail},
    };
    FormatCatalog catalog;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OutputFormat format = *catalog.FindById(135);
        SourceMedia item = Talk();
        ConvertSettings settings;
        c.setup(item, format, settings);
        const CommandLine line = BuildTheoraCommand(item, format, settings, kTool);
        EXPECT_EQ(line.text().toStdString(), c.expected.toStdString());
    }
}

TEST(TheoraCommandBuilderTest, StoresTheLimitedQualityAndEvenSizes) {
    FormatCatalog catalog;
    OutputFormat& format = *catalog.FindById(155);
    format.VideoVBRQuality = 26;
    SourceMedia item = Talk();
    item.width = 641;
    ConvertSettings settings;
    settings.CropTop = 6;
    BuildTheoraCommand(item, format, settings, kTool);
    EXPECT_EQ(format.VideoVBRQuality, 10);
    EXPECT_EQ(item.width, 642);
    EXPECT_EQ(settings.CropBottom, 6);
}

} // namespace
