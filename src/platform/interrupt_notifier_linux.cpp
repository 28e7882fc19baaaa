#include "platform/interrupt_notifier.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

// The handler may only write to a pipe; the event loop reads the other end.
int interruptPipe[2] = {-1, -1};

constexpr int kEndRequests[] = {SIGINT, SIGHUP, SIGTERM};

void OnInterrupt(int signalNumber) {
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(interruptPipe[1], &byte, 1);
}

} // namespace

InterruptNotifier::InterruptNotifier(QObject* parent) : QObject(parent) {
    if (interruptPipe[0] < 0 && ::pipe2(interruptPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(interruptPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &InterruptNotifier::Drain);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : kEndRequests)
        ::sigaction(signalNumber, &action, nullptr);
}

InterruptNotifier::~InterruptNotifier() {
    for (int signalNumber : kEndRequests)
        ::signal(signalNumber, SIG_DFL);
}

void InterruptNotifier::Drain() {
    char bytes[16];
    int first = 0;
    for (ssize_t count; (count = ::read(interruptPipe[0], bytes, sizeof bytes)) > 0;) {
        if (first == 0)
            first = bytes[0];
    }
    if (first != 0)
        emit Interrupted(first);
}

bool StandardOutputIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

} // namespace platform
