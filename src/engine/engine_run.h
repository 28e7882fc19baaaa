#pragma once

#include "engine/line_splitter.h"
#include "platform/child_process.h"

#include <QObject>
#include <QString>
#include <memory>

class CommandLine;
class QSocketNotifier;

// How a run ended: how its program ended and the last thing it said.
struct RunEnd {
    // A run that could not start: the reason stands as its error line.
    static RunEnd StartFailure(const QString& error);

    platform::ChildExit exit;
    QString lastText; // the last line that was no progress line; "" when none
    bool lastTextIsError = false;

    bool Succeeded() const { return exit.Succeeded(); }
    // Why the run failed: its error line, else how program (such as "the
    // engine") ended, else whatever it said last.
    QString FailureReason(const QString& program) const;
};

// One running converter, followed on the event loop of the thread that starts it:
// its console is read as it arrives and its end is noticed as it happens, with no
// thread of its own and no wait. It tells what it learns through its two signals.
class EngineRun : public QObject {
    Q_OBJECT

public:
    // Starts the command in workingDir at the priority class. durationSeconds (0
    // when unknown) turns positions into percents. Null, with *error set, when the
    // child cannot be started.
    static std::unique_ptr<EngineRun> Start(const CommandLine& command, const QString& workingDir,
                                            unsigned durationSeconds, int priorityClass,
                                            QString* error);

    // A child that still runs is ended here; its end is no longer told.
    ~EngineRun() override;

    // Ends the child and whatever it started. Returns at once: Finished follows
    // once the child is gone.
    void Terminate();
    void SetPriorityClass(int priorityClass);

signals:
    // A progress line: percent is 0 to 100, or -1 when the duration is unknown;
    // position is the milliseconds of output done.
    void Progress(int percent, qint64 position);
    // The child has ended and is released. Nothing is told after it.
    void Finished(const RunEnd& end);

private:
    EngineRun(std::unique_ptr<platform::ChildProcess> process, unsigned durationSeconds);
    // Reads what is there now; false once the output is closed.
    bool ReadAvailable();
    void HandleLine(QByteArrayView line);
    void OnChildEnded();

    std::unique_ptr<platform::ChildProcess> process_;
    std::unique_ptr<QSocketNotifier> outputNotifier_;
    std::unique_ptr<QSocketNotifier> endNotifier_;
    LineSplitter splitter_;
    const unsigned duration_;
    RunEnd end_;
};
