#include "engine/line_splitter.h"

namespace {

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

} // namespace

void LineSplitter::Feed(QByteArrayView chunk,
                        const std::function<void(QByteArrayView line)>& onLine) {
    qsizetype start = 0;
    while (start < chunk.size()) {
        qsizetype end = start;
        while (end < chunk.size() && !IsLineEnd(chunk[end]))
            ++end;
        if (end == chunk.size()) {
            carry_.append(chunk.sliced(start));
            return;
        }
        const QByteArrayView line = chunk.sliced(start, end - start);
        if (carry_.isEmpty()) {
            onLine(line);
        } else {
            carry_.append(line);
            onLine(carry_);
            carry_.resize(0); // keeps its capacity for the next long line
        }
        start = end;
        while (start < chunk.size() && IsLineEnd(chunk[start]))
            ++start;
    }
}
