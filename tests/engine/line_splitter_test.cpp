#include "engine/line_splitter.h"

#include <QByteArray>
#include <QList>
#include <gtest/gtest.h>

namespace {

QList<QByteArray> Split(const QList<QByteArray>& reads) {
    LineSplitter splitter;
    QList<QByteArray> lines;
    for (const QByteArray& read : reads)
        splitter.Feed(read, [&](QByteArrayView line) { lines.append(line.toByteArray()); });
    return lines;
}

TEST(LineSplitterTest, CutsReadsIntoLines) {
    const struct {
        const char* what;
        QList<QByteArray> reads;
        QList<QByteArray> lines;
    } cases[] = {
        {"every kind of line end, runs as one",
         {"a\nb\r\nc\rd\r\r\n\ne\n"},
         {"a", "b", "c", "d", "e"}},
        {"a line split across reads is delivered once, whole",
         {"fra", "me=1 ti", "me=2\nnext\n"},
         {"frame=1 time=2", "next"}},
        {"a CR LF pair split across reads gives one empty line",
         {"abc\r", "\ndef\n"},
         {"abc", "", "def"}},
        {"a read that starts with a line end completes the carried line",
         {"abc", "\r\ndef\r\n"},
         {"abc", "def"}},
        {"a last line without its line end is never delivered", {"one\ntwo"}, {"one"}},
        {"nothing but line ends gives one empty line", {"\r\n\r\n"}, {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Split(c.reads), c.lines) << c.what;
}

TEST(LineSplitterTest, JoinsALineLongerThanAReadAndThanTheCarry) {
    // As long as a line may be: longer than a read and than the carry's first size.
    const QByteArray longLine(LineSplitter::kMaxLineSize, 'x');
    QList<QByteArray> reads;
    for (qsizetype at = 0; at < longLine.size(); at += LineSplitter::kReadSize)
        reads.append(longLine.mid(at, LineSplitter::kReadSize));
    reads.append("\nshort\nthen another long one " + longLine.left(LineSplitter::kCarrySize + 1));
    reads.append("\n");
    EXPECT_EQ(Split(reads), (QList<QByteArray>{longLine, "short",
                                               "then another long one " +
                                                   longLine.left(LineSplitter::kCarrySize + 1)}));
}

// An engine printing without line ends must not grow the carry without bound:
// whatever arrives, a line is cut at the limit and the next one starts clean.
TEST(LineSplitterTest, CutsOverlongLinesAtTheLimit) {
    const qsizetype limit = LineSplitter::kMaxLineSize;
    const QByteArray endless(40 * limit, 'x');
    QList<QByteArray> reads;
    for (qsizetype at = 0; at < endless.size(); at += LineSplitter::kReadSize)
        reads.append(endless.mid(at, LineSplitter::kReadSize));
    reads.append("y\nnext\n");
    reads.append(endless + "\nlast\n"); // one read holding a whole overlong line
    reads.append(QByteArray(limit, 'z') + "\n");
    EXPECT_EQ(Split(reads), (QList<QByteArray>{endless.left(limit), "next", endless.left(limit),
                                               "last", QByteArray(limit, 'z')}));
}

} // namespace
