#include "platform/interrupt_notifier.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

// The handler may only write to a pipe; the event loop reads the other end.
int interruptPipe[2] = {-1, -1};

void OnInterrupt(int) {
    const char byte = 1;
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
    ::sigaction(SIGINT, &action, nullptr);
}

InterruptNotifier::~InterruptNotifier() {
    ::signal(SIGINT, SIG_DFL);
}

void InterruptNotifier::Drain() {
    char bytes[16];
    while (::read(interruptPipe[0], bytes, sizeof bytes) > 0) {
    }
    emit Interrupted();
}

bool StandardOutputIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

} // namespace platform
