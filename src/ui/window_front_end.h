#pragma once

#include "convert/conversion_front_end.h"

#include <QObject>
#include <QPointer>

class CBusyDlg;
class CMainDlg;
class CProgressDlg;
namespace platform {
class Shell;
}

// The glue between the conversion controller and the windows: it answers the
// controller's questions with the main window's list and dialogs, opens and
// feeds the progress and busy windows, and turns the progress window's
// Cancel, priority and thread choices into the controller's requests. No
// window knows the controller, and the controller knows no window.
class WindowFrontEnd : public QObject, public ConversionFrontEnd {
    Q_OBJECT

public:
    WindowFrontEnd(CMainDlg& window, platform::Shell& shell, QObject* parent = nullptr);
    ~WindowFrontEnd() override;

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
    void OpenBusyDialog() override;
    bool BusyDialogCancelled() override;
    void CloseBusyDialog() override;
    void OpenProgressWindow(const ProgressSetup& setup) override;
    int ProgressBarWidth() override;
    void SetProgressRange(int maximum) override;
    void SetProgressPosition(int position) override;
    void SetProgressStep(int step) override;
    void StepProgress() override;
    void SetProgressStatus(const QString& text) override;
    void SetProgressPercent(const QString& text) override;
    bool ShutDownChecked() override;
    void CloseProgressWindow() override;
    void ShowInFileManager(const QString& path) override;
    // The countdown window arrives with shutting down after a batch.
    void RunShutdownCountdown() override {}

private:
    CMainDlg& window_;
    platform::Shell& shell_;
    QPointer<CProgressDlg> progress_;
    QPointer<CBusyDlg> busy_;
};
