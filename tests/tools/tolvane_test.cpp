#include "engine/output_line.h"
#include "theora_tool_options.h"

#include <gtest/gtest.h>

namespace {

const QString kEngine = QStringLiteral("/opt/quillmore/mervane");

TEST(TolvaneOptionsTest, TurnsEveryOptionIntoTheEngineCommand) {
    const struct {
        QStringList arguments;
        QString expected;
    } cases[] = {
        {{"--frontend", "--nosubtitles", "-x", "640", "-y", "480", "-v", "6", "-o", "/out/talk.ogg",
          "/videos/talk.avi"},
         "\"/opt/quillmore/mervane\" -hide_banner -nostdin -y -i \"/videos/talk.avi\" -dn -sn -vf "
         "\"scale=640:480\" -c:v libtheora -q:v 6 -c:a libvorbis -q:a 1 -af aresample=async=1 -f "
         "ogg \"/out/talk.ogg\""},
        {{"--frontend",
          "--nosubtitles",
          "-s",
          "30",
          "-e",
          "120",
          "--cropleft",
          "8",
          "--cropright",
          "8",
          "--croptop",
          "4",
          "--cropbottom",
          "2",
          "--deinterlace",
          "--aspect",
          "16:9",
          "-v",
          "26",
          "-F",
          "23.970",
          "--audiostream",
          "2",
          "-H",
          "44100",
          "-c",
          "6",
          "-A",
          "128",
          "--nosync",
          "--nometadata",
          "-o",
          "/out/a b.ogv",
          "/in/a b.avi"},
         "\"/opt/quillmore/mervane\" -hide_banner -nostdin -y -ss 30.000 -i \"/in/a b.avi\" -dn -t "
         "90.000 -sn -map 0:v:0? -map 0:2 -vf \"yadif,crop=in_w-16:in_h-6:8:4\" -c:v libtheora "
         "-q:v 10 -aspect 16:9 -r 23.970 -c:a libvorbis -b:a 128k -ar 44100 -ac 6 -map_metadata "
         "-1 -f ogg \"/out/a b.ogv\""},
        {{"-s", "1", "-e", "1", "-x", "320", "--novideo", "-a", "4", "-o", "o.ogg", "i.wav"},
         "\"/opt/quillmore/mervane\" -hide_banner -nostdin -y -ss 1.000 -i \"i.wav\" -dn -t 0.000 "
         "-vn -c:a libvorbis -q:a 4 -af aresample=async=1 -f ogg \"o.ogg\""},
        {{"--noaudio", "--audiostream", "1", "-y", "240", "-e", "5", "-o", "o.ogg", "i.avi"},
         "\"/opt/quillmore/mervane\" -hide_banner -nostdin -y -i \"i.avi\" -dn -t 5.000 -vf "
         "\"scale=-2:240\" -c:v libtheora -q:v 6 -an -f ogg \"o.ogg\""},
        {{"--cropleft", "2147483647", "--cropright", "2147483647", "--noaudio", "-o", "o.ogg",
          "i.avi"},
         "\"/opt/quillmore/mervane\" -hide_banner -nostdin -y -i \"i.avi\" -dn -vf "
         "\"crop=in_w-4294967294:in_h-0:2147483647:0\" -c:v libtheora -q:v 6 -an -f ogg \"o.ogg\""},
    };
    for (const auto& c : cases) {
        TheoraToolOptions options;
        QString error;
        ASSERT_TRUE(ParseTheoraToolOptions(c.arguments, &options, &error)) << error.toStdString();
        EXPECT_EQ(TheoraEngineCommand(options, kEngine).text().toStdString(),
                  c.expected.toStdString());
    }
}

TEST(TolvaneOptionsTest, RefusesWhatItCannotDo) {
    const struct {
        QStringList arguments;
        const char* error;
    } cases[] = {
        {{"--bogus", "-o", "o.ogg", "i.avi"}, "unknown option: --bogus"},
        {{"-o", "o.ogg", "i.avi", "-x"}, "option -x needs a value"},
        {{"-o", "o.ogg"}, "no input file given"},
        {{"i.avi"}, "no output file given (-o)"},
        {{"-o", "o.ogg", "i.avi", "j.avi"}, "more than one input file: j.avi"},
    };
    for (const auto& c : cases) {
        TheoraToolOptions options;
        QString error;
        EXPECT_FALSE(ParseTheoraToolOptions(c.arguments, &options, &error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(TolvaneOptionsTest, ReadsTheSourceDurationAndWritesStatusTheReaderUnderstands) {
    double seconds = 0;
    EXPECT_TRUE(
        ReadReportDuration("  Duration: 01:02:03.50, start: 0.000000, bitrate: 5 kb/s", &seconds));
    EXPECT_DOUBLE_EQ(seconds, 3723.5);
    EXPECT_FALSE(ReadReportDuration("  Duration: N/A, bitrate: N/A", &seconds));
    EXPECT_FALSE(ReadReportDuration("Stream #0:0: Video: h264", &seconds));

    const QByteArray status = FrontendStatusLine(12.5, 30.0);
    EXPECT_EQ(status, "{\"duration\": 30.000, \"position\": 12.500}");
    qint64 position = 0;
    EXPECT_EQ(ReadOutputLine(status, &position), OutputLineKind::Progress);
    EXPECT_EQ(position, 12500);
}

} // namespace
