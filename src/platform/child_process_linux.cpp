#include "platform/child_process.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

// The stored priority classes as nice values; anything else leaves the priority as it is.
std::optional<int> NiceValue(int priorityClass) {
    switch (priorityClass) {
    case 128: // high
        return -10;
    case 32768: // above normal
        return -5;
    case 32: // normal
        return 0;
    case 16384: // below normal
        return 10;
    case 64: // idle
        return 19;
    default:
        return std::nullopt;
    }
}

QString SystemMessage(int error) {
    return QString::fromStdString(std::generic_category().message(error));
}

// What the child does between fork and exec, with only calls that are safe in a
// copy of a process with threads. Standard input at its end, output and errors
// into the pipe, a session of its own (no terminal, and one group to end on
// cancel), default signal handling, its priority, and its life tied to its
// starter's: when the thread that started it goes, so does the child, even
// when the program is killed. A failure is told through errorFd as an errno.
[[noreturn]] void BecomeChild(char* const* argv, const char* workingDir, int outputWriteFd,
                              int errorFd, pid_t parent, std::optional<int> nice) {
    setsid();
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent)
        _exit(127); // the starter is gone already
    const int input = open("/dev/null", O_RDONLY);
    if (input < 0 || dup2(input, STDIN_FILENO) < 0 || dup2(outputWriteFd, STDOUT_FILENO) < 0 ||
        dup2(outputWriteFd, STDERR_FILENO) < 0 || (*workingDir != 0 && chdir(workingDir) != 0)) {
        const int error = errno;
        [[maybe_unused]] const ssize_t told = write(errorFd, &error, sizeof error);
        _exit(127);
    }
    if (input != STDIN_FILENO)
        close(input); // the program gets it as its standard input only
    for (int signal = 1; signal < NSIG; ++signal)
        ::signal(signal, SIG_DFL);
    sigset_t noSignals;
    sigemptyset(&noSignals);
    sigprocmask(SIG_SETMASK, &noSignals, nullptr);
    if (nice)
        setpriority(PRIO_PROCESS, 0, *nice); // a refused raise keeps the current value
    execvp(argv[0], argv);
    const int error = errno;
    [[maybe_unused]] const ssize_t told = write(errorFd, &error, sizeof error);
    _exit(127);
}

// Starts the child and waits only for its exec: 0, or the errno that stopped it.
int Spawn(pid_t* pid, const std::vector<std::string>& arguments, const QByteArray& workingDir,
          int outputWriteFd, int priorityClass) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::optional<int> nice = NiceValue(priorityClass);
    errno = 0;
    if (nice && getpriority(PRIO_PROCESS, 0) == *nice && errno == 0)
        nice.reset();
    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0)
        return errno;
    const pid_t parent = getpid();
    *pid = fork();
    if (*pid == 0)
        BecomeChild(argv.data(), workingDir.constData(), outputWriteFd, errorPipe[1], parent, nice);
    const int forkError = errno;
    close(errorPipe[1]);
    if (*pid < 0) {
        close(errorPipe[0]);
        return forkError;
    }
    // The pipe closes at the exec; an errno comes first when the child failed.
    int childError = 0;
    ssize_t count;
    while ((count = read(errorPipe[0], &childError, sizeof childError)) < 0 && errno == EINTR) {
    }
    close(errorPipe[0]);
    if (count != sizeof childError)
        return 0;
    while (waitpid(*pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    return childError;
}

// Called through syscall(): the C library's own wrappers lack C linkage here.
int OpenPidFd(pid_t pid) {
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

int SendSignal(int pidFd, int signal) {
    return static_cast<int>(syscall(SYS_pidfd_send_signal, pidFd, signal, nullptr, 0));
}

void CloseFd(int fd) {
    if (fd >= 0)
        close(fd);
}

} // namespace

std::unique_ptr<ChildProcess> ChildProcess::Start(const QStringList& arguments,
                                                  const QString& workingDir, int priorityClass,
                                                  QString* error) {
    if (arguments.isEmpty() || arguments.first().isEmpty()) {
        *error = QStringLiteral("No program to start");
        return nullptr;
    }
    std::vector<std::string> encoded;
    for (const QString& argument : arguments)
        encoded.push_back(QFile::encodeName(argument).toStdString());

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        *error = QStringLiteral("Cannot create the output pipe: %1").arg(SystemMessage(errno));
        return nullptr;
    }
    const int readFd = pipeFds[0];
    const int writeFd = pipeFds[1];
    // The reader waits in poll, never in read, so it can also notice the child's end.
    fcntl(readFd, F_SETFL, fcntl(readFd, F_GETFL) | O_NONBLOCK);

    pid_t pid = 0;
    const int rc = Spawn(&pid, encoded, QFile::encodeName(workingDir), writeFd, priorityClass);
    CloseFd(writeFd); // only the child writes; the pipe ends when it (and its own) are gone
    if (rc != 0) {
        CloseFd(readFd);
        *error =
            QStringLiteral("Cannot start \"%1\": %2").arg(arguments.first(), SystemMessage(rc));
        return nullptr;
    }

    const int pidFd = OpenPidFd(pid);
    if (pidFd < 0) {
        const int openError = errno;
        kill(pid, SIGKILL);
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        CloseFd(readFd);
        *error = QStringLiteral("Cannot watch \"%1\": %2")
                     .arg(arguments.first(), SystemMessage(openError));
        return nullptr;
    }
    return std::unique_ptr<ChildProcess>(new ChildProcess(pid, pidFd, readFd));
}

ChildProcess::~ChildProcess() {
    CloseFd(outputFd_);
    siginfo_t info{};
    if (waitid(static_cast<idtype_t>(P_PIDFD), pidFd_, &info, WEXITED | WNOHANG) == 0 &&
        info.si_pid == 0) {
        Terminate();
        while (waitid(static_cast<idtype_t>(P_PIDFD), pidFd_, &info, WEXITED) < 0 &&
               errno == EINTR) {
        }
    }
    CloseFd(pidFd_);
}

qint64 ChildProcess::ReadOutput(char* buffer, qint64 size) {
    for (;;) {
        const qint64 count = ReadAvailableOutput(buffer, size);
        if (count >= 0)
            return count;
        pollfd watched[2] = {{outputFd_, POLLIN, 0}, {pidFd_, POLLIN, 0}};
        if (poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return 0;
        }
        if (watched[0].revents != 0)
            continue;
        // The child has ended. What it wrote before is in the pipe already; a
        // program it left running may hold the pipe open, so take only that.
        return std::max<qint64>(0, ReadAvailableOutput(buffer, size));
    }
}

qint64 ChildProcess::ReadAvailableOutput(char* buffer, qint64 size) {
    for (;;) {
        const ssize_t count = read(outputFd_, buffer, static_cast<size_t>(size));
        if (count >= 0)
            return count;
        if (errno != EINTR)
            return errno == EAGAIN ? -1 : 0;
    }
}

bool ChildProcess::WaitForExit(int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int wait = -1;
        if (timeoutMs >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            wait = static_cast<int>(std::max<qint64>(0, left.count()));
        }
        pollfd watched = {pidFd_, POLLIN, 0};
        const int ready = poll(&watched, 1, wait);
        if (ready >= 0)
            return ready > 0;
        if (errno != EINTR)
            return true; // not waitable any more: nothing to wait for
    }
}

std::optional<ChildExit> ChildProcess::Exit() const {
    siginfo_t info{};
    if (waitid(static_cast<idtype_t>(P_PIDFD), pidFd_, &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
        info.si_pid == 0)
        return std::nullopt;
    ChildExit end;
    if (info.si_code == CLD_EXITED)
        end.exitStatus = info.si_status;
    else
        end.signal = info.si_status;
    return end;
}

void ChildProcess::Terminate() {
    SendSignal(pidFd_, SIGKILL);
    // The child leads its own group; its id is still reserved (not reaped), so the
    // group is its own and nobody else's.
    kill(-pid_, SIGKILL);
}

void ChildProcess::SetPriorityClass(int priorityClass) {
    const std::optional<int> nice = NiceValue(priorityClass);
    if (!nice)
        return;
    std::error_code ignored;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid_) + "/task";
    for (const auto& task : std::filesystem::directory_iterator(tasks, ignored)) {
        const int tid = std::atoi(task.path().filename().c_str());
        if (tid > 0)
            setpriority(PRIO_PROCESS, static_cast<id_t>(tid), *nice);
    }
}

} // namespace platform
