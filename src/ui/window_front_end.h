#pragma once

#include "convert/conversion_front_end.h"

#include <QObject>
#include <QPointer>

class CBusyDlg;
class CMainDlg;
class CProgressDlg;
class ConversionController;
struct BatchStart;
namespace platform {
class Power;
class Shell;
} // namespace platform

// The glue between the conversion controller and the windows: it answers the
// controller's questions with the main window's list and dialogs, opens and
// feeds the progress and busy windows from the controller's signals, and hands
// their Cancel, priority and thread choices to its slots. No window knows the
// controller, and the controller knows no window.
class WindowFrontEnd : public QObject, public ConversionFrontEnd {
    Q_OBJECT

public:
    WindowFrontEnd(CMainDlg& window, platform::Shell& shell, platform::Power& power,
                   QObject* parent = nullptr);
    ~WindowFrontEnd() override;

    // Follows the batches of the controller, which must outlive this.
    void Follow(ConversionController& controller);

    // The open windows of a batch or a staging pass; null when none is open.
    CProgressDlg* progressWindow() const;
    CBusyDlg* busyDialog() const;

    void ShowMessage(const QString& text, Icon icon) override;
    std::vector<int> SelectedRows() override;
    void SelectRow(int row) override;
    void ScrollRowIntoView(int row) override;
    void SetStatusColumnWidth(int pixels) override;
    void SetMainWindowEnabled(bool enabled) override;
    bool ChooseJoinedTarget(const QString& extension, QString* path) override;
    void OpenBusyDialog(const QString& text) override;
    void SetBusyProgress(int percent) override;
    void CloseBusyDialog() override;
    bool ShutDownChecked() override;
    void ShowInFileManager(const QString& path) override;
    void RunShutdownCountdown() override;
    // The window starts no dry runs.
    void CommandPlanned(const QString&) override {}

private:
    void OpenProgressWindow(const BatchStart& start);
    void ShowOverallProgress(qint64 done, qint64 total);
    void CloseProgressWindow();

    CMainDlg& window_;
    platform::Shell& shell_;
    platform::Power& power_;
    ConversionController* controller_ = nullptr;
    QPointer<CProgressDlg> progress_;
    QPointer<CBusyDlg> busy_;
};
