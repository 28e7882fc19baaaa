#pragma once

#include <QByteArrayView>
#include <QString>
#include <functional>
#include <memory>

class QObject;
struct SourceMedia;

namespace platform {
class ChildProcess;
}

// The reader loop of both modes: hands every line of the child's console to
// onLine, in order, and returns once the child has ended.
void ReadConsoleLines(platform::ChildProcess& process,
                      const std::function<void(QByteArrayView line)>& onLine);

// What a reader thread is given: all it uses of the run, its own from the start.
struct EngineRun {
    QObject* receiver = nullptr; // must outlive the run (it receives its end)
    std::shared_ptr<platform::ChildProcess> process;
    SourceMedia* item = nullptr; // passed back in every event, never followed
    unsigned duration = 0;       // whole seconds at the start; 0 when unknown
};

// Reads a running child's console on its own thread and posts what it learns to
// the receiver: WM_ENGINE_PROGRESS for each progress line, and, once the child
// has ended and its share of the child is dropped, WM_ENGINE_FINISHED with the
// last other line. It shares nothing mutable with the receiver.
class PipeReader {
public:
    explicit PipeReader(EngineRun run) : run_(std::move(run)) {}

    // Starts the reader thread, which owns the run from then on. False when the
    // system gives no thread: the run is dropped and nothing will be posted.
    static bool StartThread(EngineRun run);

    // Reads until the child has ended, then posts the end. Blocks.
    void Run();

private:
    void HandleLine(QByteArrayView line);

    EngineRun run_;
    QString lastText_;
};
