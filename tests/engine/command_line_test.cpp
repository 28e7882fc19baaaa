#include "engine/command_line.h"
#include "engine/source_media.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLineTest, KeepsQuotedAndValueArgumentsWholeWhateverTheyHold) {
    CommandLine line;
    line.AppendQuoted("/opt/q/mervane")
        .Append(" -f mulaw -ar 8k -ac 1")
        .Append(" -i ")
        .AppendQuoted("/in/it's a \"clip\" -y.mp4")
        .Append(" -dn -sn -aspect ")
        .AppendValue("16:9 -y /etc/passwd")
        .Append(" -vf ")
        .AppendQuoted("scale=640:360,pad=640:480:0:60")
        .Append(" -y ")
        .AppendQuoted("/out/clip_%03d.jpg");

    EXPECT_EQ(line.text(), "\"/opt/q/mervane\" -f mulaw -ar 8k -ac 1 -i \"/in/it's a \"clip\" "
                           "-y.mp4\" -dn -sn -aspect 16:9 -y /etc/passwd -vf "
                           "\"scale=640:360,pad=640:480:0:60\" -y \"/out/clip_%03d.jpg\"");
    EXPECT_EQ(
        line.arguments(),
        (QStringList{"/opt/q/mervane", "-f", "mulaw", "-ar", "8k", "-ac", "1", "-i",
                     "/in/it's a \"clip\" -y.mp4", "-dn", "-sn", "-aspect", "16:9 -y /etc/passwd",
                     "-vf", "scale=640:360,pad=640:480:0:60", "-y", "/out/clip_%03d.jpg"}));
}

TEST(CommandLineTest, EmptyQuotedValueIsStillAnArgumentAndTouchingPiecesJoin) {
    CommandLine line;
    line.AppendQuoted("prog").Append(" --x ").AppendQuoted("").Append(" -b:v ");
    line.AppendValue("1536").Append("k ");
    EXPECT_EQ(line.text(), "\"prog\" --x \"\" -b:v 1536k ");
    EXPECT_EQ(line.arguments(), (QStringList{"prog", "--x", "", "-b:v", "1536k"}));
}

TEST(ForcedInputFormatTest, NamesRawStreamsOnly) {
    EXPECT_EQ(ForcedInputFormat("h264"), "h264");
    EXPECT_EQ(ForcedInputFormat("265"), "hevc");
    EXPECT_EQ(ForcedInputFormat("ulaw"), "mulaw -ar 8k -ac 1");
    EXPECT_EQ(ForcedInputFormat("723_1"), "g723_1 -ar 8k -ac 1");
    EXPECT_EQ(ForcedInputFormat("mp4"), "");
    EXPECT_EQ(ForcedInputFormat("H264"), ""); // extensions arrive lower-cased
    EXPECT_EQ(ForcedInputFormat(""), "");
}

} // namespace
