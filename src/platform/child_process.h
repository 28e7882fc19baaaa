#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace platform {

// Priority classes are the numbers the settings store (HIGH 128,
// ABOVE_NORMAL 32768, NORMAL 32, BELOW_NORMAL 16384, IDLE 64). This one is none
// of them: the child runs at its starter's priority.
inline constexpr int kInheritedPriority = 0;

// How a child ended: the status it exited with, or the signal that killed it.
struct ChildExit {
    int exitStatus = 0;
    int signal = 0; // 0 when it exited on its own
    bool Succeeded() const { return signal == 0 && exitStatus == 0; }
};

// A hidden child program whose standard output and standard error come back
// through one pipe. Its standard input is at its end from the start and it has
// no terminal. The child stays ours (not reaped) for the life of this object, so
// its process id cannot be reused while anyone holds it: waiting, terminating and
// setting the priority stay safe even after the child has ended.
class ChildProcess {
public:
    // Starts arguments[0] (searched on PATH when it holds no "/") with the other
    // arguments, in workingDir (the current folder when empty), at the given
    // priority class. Null, with *error set, when it cannot be started.
    static std::unique_ptr<ChildProcess> Start(const QStringList& arguments,
                                               const QString& workingDir, int priorityClass,
                                               QString* error);

    // Ends a child that still runs (and waits for it to go), and releases it.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Waits until output is there or the child has ended, and reads up to size
    // bytes of it. 0 when nothing more will come: the output is closed, or the
    // child has ended and everything it wrote has been read.
    qint64 ReadOutput(char* buffer, qint64 size);

    // Reads up to size bytes of output that is there now, without waiting: 0 once
    // nothing more will come, -1 when nothing is there yet.
    qint64 ReadAvailableOutput(char* buffer, qint64 size);

    // Descriptors to watch on an event loop: the output becomes readable when
    // output is there or closed, the end one when the child has ended. They stay
    // open for the life of this object.
    int outputDescriptor() const { return outputFd_; }
    int endDescriptor() const { return pidFd_; }

    // True when the child has ended within timeoutMs (a negative limit waits as
    // long as it takes).
    bool WaitForExit(int timeoutMs);

    // How the child ended; nullopt while it still runs. The child stays
    // unreaped, so this can be asked again.
    std::optional<ChildExit> Exit() const;

    // Ends the child and whatever it started in its own group, at once.
    void Terminate();

    // Applies a priority class to every thread of the child. A class the system
    // refuses (raising needs privileges) keeps the current priority.
    void SetPriorityClass(int priorityClass);

    qint64 processId() const { return pid_; }

private:
    ChildProcess(int pid, int pidFd, int outputFd)
        : pid_(pid), pidFd_(pidFd), outputFd_(outputFd) {}

    const int pid_;
    const int pidFd_;
    const int outputFd_;
};

} // namespace platform
