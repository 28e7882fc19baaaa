#pragma once

#include <QObject>

class QSocketNotifier;

namespace platform {

// Turns the terminal's interrupt (Ctrl+C) into a signal of the event loop, so a
// console program can end its work in order instead of being killed. While one
// exists, the interrupt no longer ends the process.
class InterruptNotifier : public QObject {
    Q_OBJECT

public:
    explicit InterruptNotifier(QObject* parent = nullptr);
    ~InterruptNotifier() override;

signals:
    void Interrupted();

private:
    void Drain();

    QSocketNotifier* notifier_ = nullptr;
};

// True when the standard output is a terminal a person watches.
bool StandardOutputIsTerminal();

} // namespace platform
