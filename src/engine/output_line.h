#pragma once

#include <QByteArrayView>
#include <QStringView>
#include <QtGlobal>

// What one console line of a converter means to a run.
enum class OutputLineKind {
    Ignored,  // empty, or a progress or status line that carries no position
    Progress, // carries a position
    Text,     // anything else: a candidate for the reason shown on failure
};

// Reads one line of the engine ("frame=" or "size=" with "time=") or of the
// Theora tool (a JSON status line with "position":). For a progress line the
// position reached, in milliseconds, goes to *position.
OutputLineKind ReadOutputLine(QByteArrayView line, qint64* position);

// The percent a position stands for in a source of durationSeconds: -1 when the
// duration is unknown (0), else 0 to 100.
int ProgressPercent(qint64 position, unsigned durationSeconds);

// True for a line that tells of a failure ("Error opening...", "No such file or
// directory", "Invalid data found..."): a reason worth more than how the run ended.
bool IsErrorLine(QStringView line);
