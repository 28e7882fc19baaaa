#pragma once

#include <QDialog>

class QLabel;
class QTimer;
namespace platform {
class Power;
}

// The last chance to keep the machine running after a batch that asked to shut
// it down: counts 30 seconds down, once a second, then ends with OK.
class CShutdownDlg : public QDialog {
    Q_OBJECT

public:
    enum { IDD = 220, IDC_WARNING = 1157, IDC_COUNTDOWN = 1158 };

    // tickMilliseconds is one second but for tests.
    explicit CShutdownDlg(QWidget* parent = nullptr, int tickMilliseconds = 1000);

private:
    void Tick();

    QLabel* warning_;
    QLabel* countdown_;
    QTimer* timer_;
    int secondsRemaining_ = 30;
};

// Shows the countdown over owner; when nobody cancels it, powers the machine off
// and reports a refusal with the system's reason.
void RunShutdownAfterConversion(QWidget* owner, platform::Power& power,
                                int tickMilliseconds = 1000);
