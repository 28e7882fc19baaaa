#include "app/format_catalog.h"
#include "engine/engine_command_builder.h"
#include "support/probed_video.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {

const QString kEngine = QStringLiteral("/opt/quillmore/mervane");
const QString kHead = QStringLiteral("\"/opt/quillmore/mervane\" -i \"/videos/clip.mp4\" -dn -sn ");
const QString kAac =
    QStringLiteral("-c:a aac -strict -2 -cutoff 21000 -ar 44100 -ac 2 -b:a 128000 ");

SourceMedia VideoSource() {
    return ProbedVideo("/videos/clip.mp4", 640, 480, 10);
}

SourceMedia AudioSource() {
    SourceMedia item;
    item.path = "/music/song.wav";
    item.extension = "wav";
    item.audioStreamIds = {"0:0"};
    item.audioChannels = {2};
    item.audioSampleRates = {48000};
    item.duration = 10;
    return item;
}

using Setup = std::function<void(SourceMedia&, OutputFormat&, ConvertSettings&)>;

struct Case {
    Case(const char* name, int formatId, SourceMedia item, Setup setup, QString expected,
         QString expectedOutputPath = {})
        : name(name), formatId(formatId), item(std::move(item)), setup(std::move(setup)),
          expected(std::move(expected)), expectedOutputPath(std::move(expectedOutputPath)) {}

    const char* name;
    int formatId;
    SourceMedia item;
    Setup setup;
    QString expected;
    QString expectedOutputPath; // empty: the planned path stays
};

void NoSetup(SourceMedia&, OutputFormat&, ConvertSettings&) {}

std::vector<Case> EngineCases() {
    return {
        {"worked example: video to JPG pictures", 710, VideoSource(),
         [](SourceMedia& item, OutputFormat&, ConvertSettings&) {
             item.width = 1280;
             item.height = 720;
         },
         kHead + "-f image2 -c:v mjpeg -s 1280x720 -aspect 1280:720 -q:v 2 -r 25.000 -an "
                 "-y \"/out/clip_%03d.jpg\"",
         "/out/clip_001.jpg"},
        {"worked example: video to H.264 MP4", 80, VideoSource(),
         [](SourceMedia& item, OutputFormat&, ConvertSettings&) {
             item.path = "/videos/trip.avi";
             item.frameRate = 29.97;
         },
         "\"/opt/quillmore/mervane\" -i \"/videos/trip.avi\" -dn -sn -movflags faststart -c:v "
         "libx264 -preset medium -s 640x480 -aspect 640:480 -crf 26 -r 29.970 " +
             kAac + "-y \"/out/clip.mp4\""},
        {"worked example: audio to MP3 keeps the cover", 1160, AudioSource(), NoSetup,
         "\"/opt/quillmore/mervane\" -i \"/music/song.wav\" -dn -sn -c:v mjpeg -q:v 2 -c:a "
         "libmp3lame -id3v2_version 3 -ar 48000 -ac 2 -b:a 192000 -y \"/out/clip.mp3\""},
        {"worked example: joined list to AVI", 40, VideoSource(),
         [](SourceMedia& item, OutputFormat&, ConvertSettings& settings) {
             item.kind = KindJoinedList;
             item.path = "/tmp/list.txt";
             item.frameRate = 29.97;
             settings.VideoDeinterlace = 1; // not for the joined run
             settings.FixAudioUnsync = 1;
         },
         "\"/opt/quillmore/mervane\" -f concat -safe 0 -i \"/tmp/list.txt\" -dn -sn -c:v "
         "msmpeg4v2 -s 640x480 -aspect 640:480 -q:v 5 -r 29.970 -c:a libmp3lame -ar 44100 -ac 2 "
         "-b:a 128000 -y \"/out/clip.avi\""},
        {"odd source size is evened first", 80, VideoSource(),
         [](SourceMedia& item, OutputFormat&, ConvertSettings&) {
             item.width = 719;
             item.height = 405;
         },
         kHead +
             "-movflags faststart -c:v libx264 -preset medium -s 720x406 -aspect 720:406 "
             "-crf 26 -r 25.000 " +
             kAac + "-y \"/out/clip.mp4\""},
        {"DV at 576 lines stays PAL at its own rate, padded to its frame", 60, VideoSource(),
         [](SourceMedia&, OutputFormat& format, ConvertSettings&) { format.VideoHeight = 576; },
         kHead + "-c:v dvvideo -target pal-dv -vf \"scale=720:540,pad=720:576:0:18\" -aspect "
                 "720:576 -c:a pcm_s16le -ar 48000 -ac 2 -y \"/out/clip.dv\""},
        {"DV at any other height becomes NTSC", 60, VideoSource(),
         [](SourceMedia&, OutputFormat& format, ConvertSettings&) {
             format.VideoWidth = 100;
             format.VideoHeight = 1000;
         },
         kHead + "-c:v dvvideo -target ntsc-dv -vf \"pad=720:480:40:0\" -aspect 720:480 -r "
                 "29.970 -c:a pcm_s16le -ar 48000 -ac 2 -y \"/out/clip.dv\""},
        {"keep aspect with padding frames a wide picture", 80, VideoSource(),
         [](SourceMedia& item, OutputFormat& format, ConvertSettings&) {
             item.width = 1920;
             item.height = 1080;
             format.VideoWidth = 640;
             format.VideoHeight = 480;
             format.AddPadding = 1;
         },
         kHead +
             "-movflags faststart -c:v libx264 -preset medium -vf "
             "\"scale=640:360,pad=640:480:0:60\" -aspect 640:480 -crf 26 -r 25.000 " +
             kAac + "-y \"/out/clip.mp4\""},
        {"keep aspect without padding lowers the frame", 80, VideoSource(),
         [](SourceMedia& item, OutputFormat& format, ConvertSettings&) {
             item.width = 1920;
             item.height = 1080;
             format.VideoWidth = 640;
             format.VideoHeight = 480;
         },
         kHead +
             "-movflags faststart -c:v libx264 -preset medium -s 640x360 -aspect 640:360 "
             "-crf 26 -r 25.000 " +
             kAac + "-y \"/out/clip.mp4\""},
        {"rotation with paired crop swaps the aspect", 80, VideoSource(),
         [](SourceMedia&, OutputFormat&, ConvertSettings& settings) {
             settings.CropPictures = 1;
             settings.CropLeft = 10;
             settings.CropTop = 10;
             settings.CropRight = 99; // the pairing flags win
             settings.RotateFlip = 1;
         },
         kHead +
             "-movflags faststart -c:v libx264 -preset medium -vf "
             "\"crop=in_w-20:in_h-20:10:10,transpose=1\" -aspect 460:620 -crf 26 -r 25.000 " +
             kAac + "-y \"/out/clip.mp4\""},
        {"automatic x264 bit rate is half of 2.4 per pixel of width", 80, VideoSource(),
         [](SourceMedia& item, OutputFormat& format, ConvertSettings&) {
             item.width = 1280;
             item.height = 720;
             format.VideoVBREnabled = 0;
         },
         kHead +
             "-movflags faststart -c:v libx264 -preset medium -s 1280x720 -aspect 1280:720 "
             "-b:v 1536k -r 25.000 " +
             kAac + "-y \"/out/clip.mp4\""},
        {"automatic x264 bit rate of a wide picture", 80, VideoSource(),
         [](SourceMedia& item, OutputFormat& format, ConvertSettings&) {
             item.width = 1920;
             item.height = 800;
             format.VideoVBREnabled = 0;
         },
         kHead +
             "-movflags faststart -c:v libx264 -preset medium -s 1920x800 -aspect 1920:800 "
             "-b:v 1920k -r 25.000 " +
             kAac + "-y \"/out/clip.mp4\""},
        {"automatic MPEG-4 bit rate is not halved", 110, VideoSource(),
         [](SourceMedia& item, OutputFormat& format, ConvertSettings&) {
             item.width = 1920;
             item.height = 800;
             format.VideoVBREnabled = 0;
         },
         kHead +
             "-movflags faststart -c:v mpeg4 -s 1920x800 -aspect 1920:800 -b:v 3840k -r "
             "25.000 " +
             kAac + "-y \"/out/clip.mp4\""},
        {"ignoring more than remains converts nothing", 80, VideoSource(),
         [](SourceMedia&, OutputFormat&, ConvertSettings& settings) {
             settings.EnableIgnoreTheLast = 1;
             settings.IgnoreLength = 20000;
             settings.KeepID3Tag = 0;
         },
         kHead +
             "-movflags faststart -c:v libx264 -preset medium -s 640x480 -aspect 640:480 "
             "-crf 26 -r 25.000 " +
             kAac + "-t 0 -map_metadata -1 -y \"/out/clip.mp4\""},
        {"start and ignored end with milliseconds", 80, VideoSource(),
         [](SourceMedia&, OutputFormat&, ConvertSettings& settings) {
             settings.EnableSkipLength = 1;
             settings.SkipLength = 1500;
             settings.EnableIgnoreTheLast = 1;
             settings.IgnoreLength = 2000;
         },
         kHead +
             "-movflags faststart -c:v libx264 -preset medium -s 640x480 -aspect 640:480 "
             "-crf 26 -r 25.000 " +
             kAac + "-ss 00:00:01.500 -t 00:00:06.500 -y \"/out/clip.mp4\""},
        {"lengths in whole seconds and beyond 99 hours", 80, VideoSource(),
         [](SourceMedia&, OutputFormat&, ConvertSettings& settings) {
             settings.EnableSkipLength = 1;
             settings.SkipLength = 360000000; // 100 h, whole seconds
             settings.EnableConvertLength = 1;
             settings.ConvertLength = 360000001;
             settings.EnableIgnoreTheLast = 1; // a length to convert wins
             settings.IgnoreLength = 5000;
         },
         kHead +
             "-movflags faststart -c:v libx264 -preset medium -s 640x480 -aspect 640:480 "
             "-crf 26 -r 25.000 " +
             kAac + "-ss 360000 -t 100:00:00.001 -y \"/out/clip.mp4\""},
        {"PNG pictures of a source without duration", 755, VideoSource(),
         [](SourceMedia& item, OutputFormat&, ConvertSettings&) { item.duration = 0; },
         kHead + "-f image2 -c:v png -s 640x480 -aspect 640:480 -r 25.000 -an "
                 "-y \"/out/clip_%d.png\"",
         "/out/clip_1.png"},
        {"percent signs of the path are doubled in the pattern only", 755, VideoSource(),
         [](SourceMedia& item, OutputFormat&, ConvertSettings&) {
             item.outputPath = "/out/50%/pct%d.png";
             item.duration = 0;
         },
         kHead + "-f image2 -c:v png -s 640x480 -aspect 640:480 -r 25.000 -an "
                 "-y \"/out/50%%/pct%%d_%d.png\"",
         "/out/50%/pct%d_1.png"},
        {"picture rate filter and the numbering it implies", 755, VideoSource(),
         [](SourceMedia& item, OutputFormat& format, ConvertSettings&) {
             item.outputPath = "/out/my.dir/clip";
             format.VideoFrameRate = 0.5;
         },
         kHead + "-f image2 -c:v png -vf \"fps=fps=0.500\" -aspect 640:480 -an "
                 "-y \"/out/my.dir/clip_%01d\"",
         "/out/my.dir/clip_1"},
        {"six channels for MP3 become two", 1160, AudioSource(),
         [](SourceMedia&, OutputFormat& format, ConvertSettings&) { format.AudioChannels = 6; },
         "\"/opt/quillmore/mervane\" -i \"/music/song.wav\" -dn -sn -c:v mjpeg -q:v 2 -c:a "
         "libmp3lame -id3v2_version 3 -ar 48000 -ac 2 -b:a 192000 -y \"/out/clip.mp3\""},
        {"one channel for ALAC becomes two; compression level", 1050, AudioSource(),
         [](SourceMedia&, OutputFormat& format, ConvertSettings&) { format.AudioChannels = 1; },
         "\"/opt/quillmore/mervane\" -i \"/music/song.wav\" -dn -sn -f ipod -movflags faststart "
         "-vn -c:a alac -ar 48000 -ac 2 -compression_level 2 -y \"/out/clip.m4a\""},
        {"G.726 bit rate is bits per sample times the rate", 1200, AudioSource(),
         [](SourceMedia&, OutputFormat& format, ConvertSettings&) {
             format.AudioCodec = "g726";
             format.AudioBitRate = 4;
         },
         "\"/opt/quillmore/mervane\" -i \"/music/song.wav\" -dn -sn -vn -c:a g726 -ar 8000 -ac 1 "
         "-b:a 32000 -y \"/out/clip.wav\""},
        {"chosen stream of several, six-channel default bit rate", 80, VideoSource(),
         [](SourceMedia& item, OutputFormat&, ConvertSettings&) {
             item.audioStreamIds = {"0:1", "0:2"};
             item.audioChannels = {2, 6};
             item.audioSampleRates = {44100, 32000};
             item.chosenAudioStream = 1;
         },
         kHead + "-movflags faststart -map 0:0 -c:v libx264 -preset medium -s 640x480 -aspect "
                 "640:480 -crf 26 -r 25.000 -map 0:2 -c:a aac -strict -2 -cutoff 21000 -ar 32000 "
                 "-ac 6 -b:a 256000 -y \"/out/clip.mp4\""},
        {"deinterlacing is the first filter", 80, VideoSource(),
         [](SourceMedia& item, OutputFormat& format, ConvertSettings& settings) {
             item.width = 1920;
             item.height = 1080;
             format.VideoWidth = 640;
             format.VideoHeight = 480;
             format.AddPadding = 1;
             settings.VideoDeinterlace = 1;
         },
         kHead +
             "-movflags faststart -c:v libx264 -preset medium -vf "
             "\"yadif,scale=640:360,pad=640:480:0:60\" -aspect 640:480 -crf 26 -r 25.000 " +
             kAac + "-y \"/out/clip.mp4\""},
        {"deinterlacing alone still takes the filter form", 80, VideoSource(),
         [](SourceMedia&, OutputFormat&, ConvertSettings& settings) {
             settings.VideoDeinterlace = 1;
         },
         kHead +
             "-movflags faststart -c:v libx264 -preset medium -vf \"yadif\" -aspect 640:480 "
             "-crf 26 -r 25.000 " +
             kAac + "-y \"/out/clip.mp4\""},
        {"volume and resync are audio filters", 1160, AudioSource(),
         [](SourceMedia& item, OutputFormat& format, ConvertSettings& settings) {
             item.path = "/music/voice.ulw";
             item.extension = "ulw";
             format.AudioVolume = 50;
             settings.FixAudioUnsync = 1;
         },
         "\"/opt/quillmore/mervane\" -f mulaw -ar 8k -ac 1 -i \"/music/voice.ulw\" -dn -sn -c:v "
         "mjpeg -q:v 2 -c:a libmp3lame -id3v2_version 3 -ar 48000 -ac 2 -b:a 192000 -af "
         "\"volume=0.50,aresample=async=1\" -y \"/out/clip.mp3\""},
        {"baseline profile is 4:2:0 and keeps the aspect", 516, VideoSource(), NoSetup,
         kHead +
             "-movflags faststart -c:v libx264 -profile:v baseline -pix_fmt yuv420p -preset "
             "medium -s 426x320 -aspect 426:320 -crf 26 -r 23.970 " +
             kAac + "-y \"/out/clip.mp4\""},
        {"VP8 quality mode pins the encoder's own level as well", 195, VideoSource(),
         [](SourceMedia&, OutputFormat& format, ConvertSettings&) { format.VideoVBREnabled = 1; },
         kHead + "-f webm -c:v libvpx -s 640x480 -aspect 640:480 -qmin 30 -qmax 30 -crf 30 -r "
                 "25.000 -c:a libvorbis -ar 44100 -ac 2 -b:a 128000 -y \"/out/clip.webm\""},
        {"explicit aspect text is passed on; a source without size gets none", 30, VideoSource(),
         [](SourceMedia& item, OutputFormat& format, ConvertSettings&) {
             item.width = item.height = 0;
             item.frameRate = 0;
             format.VideoAspect = "16:9";
             format.VideoVBREnabled = 0;
         },
         kHead + "-c:v msmpeg4 -aspect 16:9 -r 30 -c:a wmav2 -ar 44100 -ac 2 -b:a 128000 "
                 "-y \"/out/clip.asf\""},
        {"unknown codecs and silent sources drop their parts", 80, VideoSource(),
         [](SourceMedia& item, OutputFormat& format, ConvertSettings&) {
             item.audioSampleRates.clear();
             format.VideoCodec = "libx265"; // not offered by this format
         },
         kHead + "-movflags faststart -vn -an -y \"/out/clip.mp4\""},
        {"staged source and VCD size", 180, VideoSource(),
         [](SourceMedia& item, OutputFormat&, ConvertSettings&) {
             item.needsStaging = item.staged = true;
             item.stagedFile = "/tmp/qm/title 1.vob";
         },
         "\"/opt/quillmore/mervane\" -i \"/tmp/qm/title 1.vob\" -dn -sn -f vcd -c:v mpeg1video "
         "-target ntsc-vcd -vf \"scale=320:240,pad=352:240:16:0\" -aspect 352:240 -b:v 1150000 -r "
         "29.970 -c:a "
         "mp2 -ar 44100 -ac 2 -b:a 224000 -y \"/out/clip.mpg\""},
    };
}

TEST(EngineCommandBuilderTest, BuildsTheExactCommandForEachCase) {
    FormatCatalog catalog;
    for (Case& c : EngineCases()) {
        SCOPED_TRACE(c.name);
        OutputFormat format = *catalog.FindById(c.formatId);
        ConvertSettings settings;
        c.item.outputPath = "/out/clip." + format.extension;
        c.setup(c.item, format, settings);
        const QString planned = c.item.outputPath;
        const CommandLine line = BuildEngineCommand(c.item, format, settings, kEngine);
        EXPECT_EQ(line.text().toStdString(), c.expected.toStdString());
        const QString outputPath = c.expectedOutputPath.isEmpty() ? planned : c.expectedOutputPath;
        EXPECT_EQ(c.item.outputPath.toStdString(), outputPath.toStdString());
    }
}

TEST(EngineCommandBuilderTest, MakesItsChangesInPlace) {
    FormatCatalog catalog;
    OutputFormat& dv = *catalog.FindById(60);
    dv.VideoWidth = 100;
    dv.VideoHeight = 1000;
    SourceMedia item = VideoSource();
    item.width = 719;
    item.height = 405;
    item.outputPath = "/out/clip.dv";
    ConvertSettings settings;
    settings.CropLeft = 4;
    settings.CropTop = 6;
    BuildEngineCommand(item, dv, settings, kEngine);
    EXPECT_EQ(item.width, 720);
    EXPECT_EQ(item.height, 406);
    EXPECT_EQ(dv.VideoWidth, 720);
    EXPECT_EQ(dv.VideoHeight, 480);
    EXPECT_EQ(settings.CropRight, 4);
    EXPECT_EQ(settings.CropBottom, 6);
}

TEST(EngineCommandBuilderTest, PathsAndValuesStayWholeArguments) {
    FormatCatalog catalog;
    OutputFormat format = *catalog.FindById(80);
    format.VideoAspect = "4:3 -y /etc/passwd";
    SourceMedia item = VideoSource();
    item.path = "/videos/a \"b\" -i c.mp4";
    item.outputPath = "/out/x y.mp4";
    ConvertSettings settings;
    const QStringList arguments = BuildEngineCommand(item, format, settings, kEngine).arguments();
    EXPECT_EQ(arguments.first(), kEngine);
    EXPECT_EQ(arguments[1], "-i");
    EXPECT_EQ(arguments[2], item.path);
    EXPECT_TRUE(arguments.contains("4:3 -y /etc/passwd"));
    EXPECT_EQ(arguments.last(), "/out/x y.mp4");
    EXPECT_EQ(arguments[arguments.size() - 2], "-y");
}

// Hand-edited settings can hold any number; the command for them must still be
// computed without overflowing (the sanitizer build stops at the first).
TEST(EngineCommandBuilderTest, AbsurdStoredNumbersStillGiveACommand) {
    constexpr int kMax = std::numeric_limits<int>::max();
    const struct {
        const char* name;
        int formatId;
        ::Setup setup;
    } cases[] = {
        {"huge aspect", 90,
         [](SourceMedia&, OutputFormat& format, ConvertSettings&) {
             format.VideoAspect = "1e300";
             format.VideoVBREnabled = 0;
         }},
        {"tiny aspect at a fixed size", 90,
         [](SourceMedia&, OutputFormat& format, ConvertSettings&) {
             format.VideoAspect = "0.0000001";
             format.VideoWidth = 640;
             format.VideoHeight = 480;
             format.VideoKeepAspect = 1;
         }},
        {"largest size", 90,
         [](SourceMedia&, OutputFormat& format, ConvertSettings&) {
             format.VideoWidth = kMax;
             format.VideoHeight = kMax;
             format.VideoVBREnabled = 0;
         }},
        {"largest crop", 90,
         [](SourceMedia&, OutputFormat&, ConvertSettings& settings) {
             settings.CropPictures = 1;
             settings.CropLeft = kMax - 1;
             settings.CropTop = kMax - 1;
         }},
        {"endless frame rate for pictures", 710,
         [](SourceMedia&, OutputFormat& format, ConvertSettings&) {
             format.VideoFrameRate = std::numeric_limits<double>::infinity();
         }},
        {"largest frame rate for pictures", 710,
         [](SourceMedia&, OutputFormat& format, ConvertSettings&) {
             format.VideoFrameRate = std::numeric_limits<double>::max();
         }},
    };
    FormatCatalog catalog;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OutputFormat format = *catalog.FindById(c.formatId);
        SourceMedia item = VideoSource();
        item.outputPath = "/out/clip." + format.extension;
        ConvertSettings settings;
        c.setup(item, format, settings);
        const CommandLine line = BuildEngineCommand(item, format, settings, kEngine);
        EXPECT_TRUE(line.text().endsWith(u'"'));
    }
}

TEST(FindNearestTest, SnapsToTheNearerEntryAndTheLowerOnATie) {
    static const int kList[] = {8000, 16000, 32000, -1};
    const struct {
        int value;
        int expected;
    } cases[] = {{100, 8000},    {8000, 8000},   {11999, 8000},  {12000, 8000},
                 {12001, 16000}, {24001, 32000}, {90000, 32000}, {-5, 8000}};
    for (const auto& c : cases)
        EXPECT_EQ(FindNearest(c.value, kList), c.expected) << c.value;
    EXPECT_EQ(FindNearest(1234, nullptr), 1234);
}

TEST(DefaultAudioBitRateTest, FollowsTheRateRowsAndScalesBeyondStereo) {
    const struct {
        int rate;
        int channels;
        int expected;
    } cases[] = {{8000, 1, 24000},   {12000, 2, 48000},  {12001, 1, 32000},  {22050, 2, 64000},
                 {32000, 1, 64000},  {44100, 2, 128000}, {48000, 1, 128000}, {96000, 2, 192000},
                 {48000, 6, 576000}, {44100, 5, 320000}, {16000, 0, 56000}};
    for (const auto& c : cases)
        EXPECT_EQ(DefaultAudioBitRate(c.rate, c.channels), c.expected)
            << c.rate << " Hz, " << c.channels;
}

TEST(SourceSizeWithAspectTest, WidensToTheAspectTextOrTheSourceRatio) {
    const struct {
        const char* text;
        double sourceAspect;
        int expectedWidth;
    } cases[] = {
        {"", -1.0, 640},          // no aspect anywhere: the source size
        {"", 16.0 / 9, 854},      // the source's display aspect
        {"16:9", -1.0, 854},      //
        {" 2.35abc", -1.0, 1128}, // a decimal, read up to what cannot continue it
        {"4:0", 16.0 / 9, 854},   // an unusable ratio falls back to the source's
        {"N", 16.0 / 9, 640},     // a text without a number means none
        {"4:3", 16.0 / 9, 640},   // within 2 pixels of the source width
    };
    SourceMedia item = VideoSource();
    for (const auto& c : cases) {
        item.displayAspect = c.sourceAspect;
        const OutputSize size = SourceSizeWithAspect(item, c.text);
        EXPECT_TRUE(size.hasSize);
        EXPECT_EQ(size.scaleWidth, c.expectedWidth) << c.text;
        EXPECT_EQ(size.scaleHeight, 480);
        EXPECT_EQ(size.sizeOption, QString::asprintf("-s %dx480 ", c.expectedWidth));
    }
    item.width = 0;
    EXPECT_FALSE(SourceSizeWithAspect(item, "16:9").hasSize);
}

} // namespace
