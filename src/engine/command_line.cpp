#include "engine/command_line.h"

CommandLine& CommandLine::Append(const QString& fixedText) {
    text_ += fixedText;
    for (const QChar c : fixedText) {
        if (c == u' ') {
            if (hasPending_)
                arguments_.append(pending_);
            pending_.clear();
            hasPending_ = false;
        } else {
            pending_ += c;
            hasPending_ = true;
        }
    }
    return *this;
}

CommandLine& CommandLine::AppendQuoted(const QString& value) {
    text_ += u'"' + value + u'"';
    AppendAtom(value);
    return *this;
}

CommandLine& CommandLine::AppendValue(const QString& value) {
    text_ += value;
    AppendAtom(value);
    return *this;
}

void CommandLine::AppendAtom(const QString& value) {
    pending_ += value;
    hasPending_ = true;
}

QStringList CommandLine::arguments() const {
    QStringList all = arguments_;
    if (hasPending_)
        all.append(pending_);
    return all;
}
