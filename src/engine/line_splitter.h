#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <functional>

// Cuts a child's console output, arriving in reads of any size, into lines. A
// run of CR and LF characters ends one line; a line cut by the reads is joined
// through the carry and delivered once. A run cut by the reads gives one empty
// line. Text after the last line end is never delivered. A line longer than
// kMaxLineSize is cut to that size and the rest of it dropped, so a child that
// never ends a line cannot make the carry grow without bound.
class LineSplitter {
public:
    static constexpr qsizetype kReadSize = 51196;
    static constexpr qsizetype kCarrySize = 10240;
    static constexpr qsizetype kMaxLineSize = 64 * 1024;

    LineSplitter() { carry_.reserve(kCarrySize); }

    // Hands each line completed by this chunk, without its line end, to onLine.
    void Feed(QByteArrayView chunk, const std::function<void(QByteArrayView line)>& onLine);

private:
    // Adds a piece of the current line to the carry, up to the line size limit.
    void Carry(QByteArrayView piece);

    QByteArray carry_;
};
