#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <functional>

// Cuts a child's console output, arriving in reads of any size, into lines. A
// run of CR and LF characters ends one line; a line cut by the reads is joined
// through the carry and delivered once. A run cut by the reads gives one empty
// line. Text after the last line end is never delivered.
class LineSplitter {
public:
    static constexpr qsizetype kReadSize = 51196;
    static constexpr qsizetype kCarrySize = 10240;

    LineSplitter() { carry_.reserve(kCarrySize); }

    // Hands each line completed by this chunk, without its line end, to onLine.
    void Feed(QByteArrayView chunk, const std::function<void(QByteArrayView line)>& onLine);

private:
    QByteArray carry_;
};
