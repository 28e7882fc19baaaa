#include "engine/line_splitter.h"

#include <algorithm>

namespace {

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

} // namespace

void LineSplitter::Carry(QByteArrayView piece) {
    carry_.append(piece.first(std::min(piece.size(), kMaxLineSize - carry_.size())));
}

void LineSplitter::Feed(QByteArrayView chunk,
                        const std::function<void(QByteArrayView line)>& onLine) {
    qsizetype start = 0;
    while (start < chunk.size()) {
        qsizetype end = start;
        while (end < chunk.size() && !IsLineEnd(chunk[end]))
            ++end;
        const QByteArrayView piece = chunk.sliced(start, end - start);
        if (end == chunk.size()) {
            Carry(piece);
            return;
        }
        if (carry_.isEmpty()) {
            onLine(piece.first(std::min(piece.size(), kMaxLineSize)));
        } else {
            Carry(piece);
            onLine(carry_);
            carry_.resize(0); // keeps its capacity for the next long line
        }
        start = end;
        while (start < chunk.size() && IsLineEnd(chunk[start]))
            ++start;
    }
}
