#pragma once

#include <QObject>

class QSocketNotifier;

namespace platform {

// Turns the requests to end a console program (the terminal's Ctrl+C, a closed
// terminal, a polite kill: SIGINT, SIGHUP, SIGTERM) into a signal of the event
// loop, so it can end its work in order instead of being killed. While one
// exists, these no longer end the process.
class InterruptNotifier : public QObject {
    Q_OBJECT

public:
    explicit InterruptNotifier(QObject* parent = nullptr);
    ~InterruptNotifier() override;

signals:
    // signalNumber is the system's number of the request: a program ended by it
    // exits with 128 + signalNumber.
    void Interrupted(int signalNumber);

private:
    void Drain();

    QSocketNotifier* notifier_ = nullptr;
};

// True when the standard output is a terminal a person watches.
bool StandardOutputIsTerminal();

} // namespace platform
