#include "engine/output_line.h"

#include <gtest/gtest.h>

namespace {

TEST(ReadOutputLineTest, ReadsPositionsFromEngineAndTheoraToolLines) {
    const struct {
        const char* line;
        OutputLineKind kind;
        qint64 position;
    } cases[] = {
        {"frame=   25 fps=0.0 q=-1.0 size=      44kB time=00:01:02.50 bitrate= 360.5kbits/s "
         "speed=28.7x",
         OutputLineKind::Progress, 62500},
        {"size=     188kB time=01:00:00.99 bitrate= 128.0kbits/s speed= 300x",
         OutputLineKind::Progress, 3600990},
        {"frame=   10 fps=0.0 q=0.0 size=0kB time=00:00:01.5 bitrate=N/A", OutputLineKind::Progress,
         1050},
        {"frame=    0 fps=0.0 q=0.0 size=       0kB time=N/A bitrate=N/A speed=N/A",
         OutputLineKind::Progress, 0},
        // A bit rate or speed after the field never adds to the time.
        {"frame=    1 time=00:00:03 bitrate=1.5kbits/s", OutputLineKind::Progress, 3000},
        {"{\"duration\": 10.0, \"position\": 12.5, \"audio_kbps\": 128}", OutputLineKind::Progress,
         12500},
        {"{\"position\":3.0004}", OutputLineKind::Progress, 3000},
        {"{\"position\": 1e400}", OutputLineKind::Progress, 9000000000000000000},
        // Progress and status lines without a position are passed over.
        {"frame=   25 fps=0.0 q=-1.0 Lsize=      44kB", OutputLineKind::Ignored, 0},
        {"size=N/A", OutputLineKind::Ignored, 0},
        {"{\"result\": \"ok\"}", OutputLineKind::Ignored, 0},
        {"", OutputLineKind::Ignored, 0},
        // Everything else is text, compared from the first character, case and all.
        {"  frame=   25 time=00:00:01.00", OutputLineKind::Text, 0},
        {"Frame=   25 time=00:00:01.00", OutputLineKind::Text, 0},
        {"{ \"position\": 4}", OutputLineKind::Text, 0},
        {"{", OutputLineKind::Text, 0},
        {"clip.mp4: No such file or directory", OutputLineKind::Text, 0},
    };
    for (const auto& c : cases) {
        qint64 position = 0;
        EXPECT_EQ(ReadOutputLine(c.line, &position), c.kind) << c.line;
        EXPECT_EQ(position, c.position) << c.line;
    }
}

TEST(ProgressPercentTest, IsAShareOfTheDurationWithinZeroToHundred) {
    const struct {
        qint64 position;
        unsigned duration;
        int percent;
    } cases[] = {
        {62500, 125, 50},   {0, 125, 0},    {124999, 125, 99}, {125000, 125, 100},
        {900000, 125, 100}, {62500, 0, -1}, {0, 0, -1},        {-20, 125, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgressPercent(c.position, c.duration), c.percent)
            << c.position << " ms of " << c.duration << " s";
}

} // namespace
