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
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

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

class SpawnSetup {
public:
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions_);
        posix_spawnattr_init(&attributes_);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    // Standard input at its end, output and errors into the pipe, a session of its
    // own (no terminal, and one group to end on cancel), default signal handling.
    int Prepare(int outputWriteFd, const QByteArray& workingDir) {
        int rc =
            posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        if (rc == 0)
            rc = posix_spawn_file_actions_adddup2(&actions_, outputWriteFd, STDOUT_FILENO);
        if (rc == 0)
            rc = posix_spawn_file_actions_adddup2(&actions_, outputWriteFd, STDERR_FILENO);
        if (rc == 0 && !workingDir.isEmpty())
            rc = posix_spawn_file_actions_addchdir_np(&actions_, workingDir.constData());
        sigset_t noSignals;
        sigset_t allSignals;
        sigemptyset(&noSignals);
        sigfillset(&allSignals);
        if (rc == 0)
            rc = posix_spawnattr_setsigmask(&attributes_, &noSignals);
        if (rc == 0)
            rc = posix_spawnattr_setsigdefault(&attributes_, &allSignals);
        if (rc == 0)
            rc = posix_spawnattr_setflags(
                &attributes_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        return rc;
    }

    int Spawn(pid_t* pid, const std::vector<std::string>& arguments) {
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        return posix_spawnp(pid, argv[0], &actions_, &attributes_, argv.data(), environ);
    }

private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

// Linux keeps a nice value per thread and a new thread or child takes its
// creator's. Spawning from a helper thread that carries the wanted value gives the
// child its priority before it can make a thread of its own, without touching the
// caller's priority (which an unprivileged caller could not restore).
int SpawnAtPriority(SpawnSetup& setup, pid_t* pid, const std::vector<std::string>& arguments,
                    int priorityClass) {
    const std::optional<int> nice = NiceValue(priorityClass);
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, 0);
    if (!nice || (errno == 0 && *nice == current))
        return setup.Spawn(pid, arguments);
    int rc = 0;
    std::thread helper([&] {
        setpriority(PRIO_PROCESS, 0, *nice); // a refused raise keeps the current value
        rc = setup.Spawn(pid, arguments);
    });
    helper.join();
    return rc;
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

    SpawnSetup setup;
    pid_t pid = 0;
    int rc = setup.Prepare(writeFd, QFile::encodeName(workingDir));
    if (rc == 0)
        rc = SpawnAtPriority(setup, &pid, encoded, priorityClass);
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
