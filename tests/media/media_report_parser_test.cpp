// The report lines below are the engine's own, printed for clips it made; where a
// case needs a value no tiny clip gives, the real line is adjusted and the change
// named next to it.
#include "media/media_report_parser.h"

#include <QByteArrayList>
#include <gtest/gtest.h>

namespace {

SourceMedia Parse(const QByteArrayList& lines, bool* streamSeen = nullptr) {
    SourceMedia media;
    MediaReportParser parser(media);
    for (const QByteArray& line : lines)
        parser.ParseLine(line);
    if (streamSeen)
        *streamSeen = parser.StreamSeen();
    return media;
}

TEST(MediaReportParserTest, ReadsAWholeReportWithSeveralAudioStreams) {
    bool streamSeen = false;
    const SourceMedia media = Parse(
        {
            "Input #0, matroska,webm, from 'multi.mkv':",
            "  Metadata:",
            "    ENCODER         : Lavf59.27.100",
            "  Duration: 00:00:01.05, start: 0.000000, bitrate: 419 kb/s",
            "  Stream #0:0: Video: mpeg4 (Simple Profile), yuv420p(tv, progressive), 161x120 "
            "[SAR 53:40 DAR 8533:4800], SAR 640:483 DAR 16:9, 25 fps, 25 tbr, 1k tbn",
            "    Metadata:",
            "      ENCODER         : Lavc59.37.100 mpeg4",
            "      DURATION        : 00:00:01.046000000",
            "  Stream #0:1: Audio: aac (LC), 44100 Hz, mono, fltp (default)",
            "  Stream #0:2: Audio: aac (LC), 22050 Hz, mono, fltp",
            "  Stream #0:3: Audio: aac (LC), 48000 Hz, 5.1, fltp",
            "At least one output file must be specified",
        },
        &streamSeen);
    EXPECT_TRUE(streamSeen);
    EXPECT_EQ(media.duration, 1u);
    EXPECT_EQ(media.videoStream, "0:0");
    EXPECT_EQ(media.width, 162); // odd widths are made even
    EXPECT_EQ(media.height, 120);
    EXPECT_NEAR(media.displayAspect, 16.0 / 9.0, 1e-9);
    EXPECT_DOUBLE_EQ(media.frameRate, 25.0);
    EXPECT_EQ(media.videoBitRate, 0);
    EXPECT_EQ(media.audioStreamIds, (QStringList{"0:1", "0:2", "0:3"}));
    EXPECT_EQ(media.audioSampleRates, (std::vector<unsigned>{44100, 22050, 48000}));
    EXPECT_EQ(media.audioChannels, (std::vector<unsigned>{1, 1, 6}));
    EXPECT_EQ(media.audioBitRates, (std::vector<unsigned>{0, 0, 0}));
}

TEST(MediaReportParserTest, ReadsVideoDescriptions) {
    const struct {
        const char* line;
        int width;
        int height;
        double frameRate;
        double displayAspect;
        int videoBitRate;
    } cases[] = {
        {"  Stream #0:0[0x1](und): Video: mpeg4 (Simple Profile) (mp4v / 0x7634706D), yuv420p, "
         "160x120 [SAR 1:1 DAR 4:3], 229 kb/s, 25 fps, 25 tbr, 12800 tbn (default)",
         160, 120, 25.0, 4.0 / 3.0, 229},
        // The same line with its size adjusted to 1279x720 and 16:9.
        {"  Stream #0:0[0x1](und): Video: mpeg4 (Simple Profile) (mp4v / 0x7634706D), yuv420p, "
         "1279x720 [SAR 1:1 DAR 16:9], 229 kb/s, 25 fps, 25 tbr, 12800 tbn (default)",
         1280, 720, 25.0, 16.0 / 9.0, 229},
        // No fps item: the tbr stands in.
        {"  Stream #0:0: Video: mpeg4 (Simple Profile) (FMP4 / 0x34504D46), yuv420p, 160x120 "
         "[SAR 1:1 DAR 4:3], 25 tbr, 51200 tbn",
         160, 120, 25.0, 4.0 / 3.0, 0},
        // That line with the tbr adjusted to 90k and to 60.1: time bases, no frame rates.
        {"  Stream #0:0: Video: mpeg4 (Simple Profile) (FMP4 / 0x34504D46), yuv420p, 160x120 "
         "[SAR 1:1 DAR 4:3], 90k tbr, 51200 tbn",
         160, 120, -1.0, 4.0 / 3.0, 0},
        {"  Stream #0:0: Video: mpeg4 (Simple Profile) (FMP4 / 0x34504D46), yuv420p, 160x120 "
         "[SAR 1:1 DAR 4:3], 60.1 tbr, 51200 tbn",
         160, 120, -1.0, 4.0 / 3.0, 0},
        // "1k" is a thousand, not one frame per second; the aspect stands on its own.
        {"  Stream #0:0: Video: msmpeg4v3 (MP43 / 0x3334504D), yuv420p, 160x120, SAR 1:1 DAR "
         "4:3, 1k tbr, 1k tbn",
         160, 120, -1.0, 4.0 / 3.0, 0},
        {"  Stream #0:0: Video: flv1, yuv420p, 160x120, 200 kb/s, 25 fps, 1k tbr, 1k tbn", 160, 120,
         25.0, -1.0, 200},
        {"  Stream #0:0: Video: h264 (High 4:4:4 Predictive), yuv444p(progressive), 160x120 "
         "[SAR 1:1 DAR 4:3], 25 fps, 25 tbr, 1200k tbn",
         160, 120, 25.0, 4.0 / 3.0, 0},
    };
    for (const auto& c : cases) {
        const SourceMedia media = Parse({c.line});
        EXPECT_EQ(media.videoStream, "0:0") << c.line;
        EXPECT_EQ(media.width, c.width) << c.line;
        EXPECT_EQ(media.height, c.height) << c.line;
        EXPECT_DOUBLE_EQ(media.frameRate, c.frameRate) << c.line;
        EXPECT_NEAR(media.displayAspect, c.displayAspect, 1e-9) << c.line;
        EXPECT_EQ(media.videoBitRate, c.videoBitRate) << c.line;
        EXPECT_EQ(media.AudioStreamCount(), 0) << c.line;
    }
}

TEST(MediaReportParserTest, ReadsAudioDescriptions) {
    const struct {
        const char* line;
        const char* id;
        unsigned sampleRate;
        unsigned channels;
        unsigned bitRate;
    } cases[] = {
        {"  Stream #0:1[0x2](eng): Audio: aac (LC) (mp4a / 0x6134706D), 44100 Hz, mono, fltp, "
         "66 kb/s (default)",
         "0:1", 44100, 1, 66},
        {"  Stream #0:0: Audio: pcm_s16le ([1][0][0][0] / 0x0001), 8000 Hz, 2.1, s16, 384 kb/s",
         "0:0", 8000, 3, 384},
        {"  Stream #0:0: Audio: pcm_s16le ([1][0][0][0] / 0x0001), 8000 Hz, 4.0, s16, 512 kb/s",
         "0:0", 8000, 4, 512},
        {"  Stream #0:0: Audio: pcm_s16le ([1][0][0][0] / 0x0001), 8000 Hz, 4.1, s16, 640 kb/s",
         "0:0", 8000, 5, 640},
        {"  Stream #0:0: Audio: pcm_s16le ([1][0][0][0] / 0x0001), 8000 Hz, 5.0, s16, 640 kb/s",
         "0:0", 8000, 5, 640},
        {"  Stream #0:0: Audio: pcm_s16le ([1][0][0][0] / 0x0001), 8000 Hz, 5.1(side), s16, "
         "768 kb/s",
         "0:0", 8000, 6, 768},
        {"  Stream #0:0: Audio: pcm_s16le ([1][0][0][0] / 0x0001), 8000 Hz, 6.1, s16, 896 kb/s",
         "0:0", 8000, 7, 896},
        {"  Stream #0:0: Audio: pcm_s16le ([1][0][0][0] / 0x0001), 8000 Hz, 7.1, s16, 1024 kb/s",
         "0:0", 8000, 8, 1024},
        {"  Stream #0:0: Audio: pcm_s16le, 8000 Hz, 9 channels, s16, 1152 kb/s", "0:0", 8000, 9,
         1152},
        // A layout without a count of its own leaves the channels unknown.
        {"  Stream #0:0: Audio: pcm_s16le ([1][0][0][0] / 0x0001), 8000 Hz, quad, s16, 512 kb/s",
         "0:0", 8000, 0, 512},
    };
    for (const auto& c : cases) {
        bool streamSeen = false;
        const SourceMedia media = Parse({c.line}, &streamSeen);
        EXPECT_TRUE(streamSeen) << c.line;
        EXPECT_EQ(media.audioStreamIds, QStringList{c.id}) << c.line;
        EXPECT_EQ(media.audioSampleRates, std::vector<unsigned>{c.sampleRate}) << c.line;
        EXPECT_EQ(media.audioChannels, std::vector<unsigned>{c.channels}) << c.line;
        EXPECT_EQ(media.audioBitRates, std::vector<unsigned>{c.bitRate}) << c.line;
        EXPECT_TRUE(media.videoStream.isEmpty()) << c.line;
    }
}

TEST(MediaReportParserTest, ReadsOnlyTheFirstDurationInWholeSeconds) {
    const struct {
        const char* line;
        unsigned seconds;
    } cases[] = {
        {"  Duration: 00:00:01.05, start: 0.000000, bitrate: 419 kb/s", 1},
        {"  Duration: 01:02:03.99, start: 0.000000, bitrate: 1 kb/s", 3723},
        {"  Duration: N/A, bitrate: N/A", 0},
        // Adjusted to a negative hour: no wrap to a huge unsigned length.
        {"  Duration: -01:00:00.00, start: 0.000000, bitrate: 1 kb/s", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Parse({c.line}).duration, c.seconds) << c.line;

    const SourceMedia media = Parse({"  Duration: N/A, bitrate: N/A",
                                     "  Duration: 01:02:03.99, start: 0.000000, bitrate: 1 kb/s"});
    EXPECT_EQ(media.duration, 0u);
}

TEST(MediaReportParserTest, KeepsTheFirstVideoStreamAndSkipsOtherLines) {
    bool streamSeen = true;
    const SourceMedia nothing =
        Parse({"  Duration: 00:00:01.00, start: 0.000000, bitrate: 283 kb/s",
               "    Metadata:", "l.raw: Invalid data found when processing input"},
              &streamSeen);
    EXPECT_FALSE(streamSeen);
    EXPECT_DOUBLE_EQ(nothing.frameRate, -1.0);

    const SourceMedia media = Parse(
        {"  Stream #0:0: Video: mpeg4 (Simple Profile), yuv420p(tv, progressive), 160x120 [SAR "
         "1:1 DAR 4:3], 25 fps, 25 tbr, 1k tbn (default)",
         "Guessed Channel Layout for Input Stream #0.0 : 5.1",
         "  Stream #0:1: Video: mpeg4 (Simple Profile), yuv420p(progressive), 80x60 [SAR 1:1 "
         "DAR 4:3], 10 fps, 10 tbr, 1k tbn"},
        &streamSeen);
    EXPECT_TRUE(streamSeen);
    EXPECT_EQ(media.videoStream, "0:0");
    EXPECT_EQ(media.width, 160);
    EXPECT_DOUBLE_EQ(media.frameRate, 25.0);
    EXPECT_EQ(media.AudioStreamCount(), 0);
}

} // namespace
