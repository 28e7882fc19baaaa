#pragma once

#include <QString>
#include <vector>

class QObject;

// What the conversion controller needs of its front end: the windows of the
// graphical one, or the terminal of the command-line one. The controller knows
// no widget; everything a person sees of a batch goes through here.
class ConversionFrontEnd {
public:
    virtual ~ConversionFrontEnd() = default;

    enum class Icon { Information, Warning };
    // A message box captioned "Quillmore".
    virtual void ShowMessage(const QString& text, Icon icon) = 0;

    // The rows chosen in the source list, in ascending order.
    virtual std::vector<int> SelectedRows() = 0;
    // Adds a row to the choice (rows a custom group added below a chosen one).
    virtual void SelectRow(int row) = 0;
    virtual void ScrollRowIntoView(int row) = 0;
    // The Status column is widened so a failure's reason can be read.
    virtual void SetStatusColumnWidth(int pixels) = 0;

    // The main window is disabled while a batch or a staging pass runs.
    virtual void SetMainWindowEnabled(bool enabled) = 0;

    // The file a Convert to One batch writes; false when the person cancels.
    virtual bool ChooseJoinedTarget(const QString& extension, QString* path) = 0;

    // The busy dialog of the staging pass.
    virtual void OpenBusyDialog() = 0;
    virtual bool BusyDialogCancelled() = 0;
    virtual void CloseBusyDialog() = 0;

    // The progress window of a batch. Its priority, threads and Cancel controls
    // post WM_CONV_PRIORITY, WM_CONV_THREADS and WM_CONV_CANCEL to the receiver;
    // a close request while the batch runs acts as Cancel.
    struct ProgressSetup {
        QObject* receiver = nullptr;
        int priorityClass = 0;
        int threads = 1;
        QString outputFolder; // empty when the outputs go beside their sources
    };
    virtual void OpenProgressWindow(const ProgressSetup& setup) = 0;
    // The bar's range is its width in pixels, so it fills pixel by pixel.
    virtual int ProgressBarWidth() = 0;
    virtual void SetProgressRange(int maximum) = 0;
    virtual void SetProgressPosition(int position) = 0;
    virtual void SetProgressStep(int step) = 0;
    virtual void StepProgress() = 0;
    virtual void SetProgressStatus(const QString& text) = 0;
    virtual void SetProgressPercent(const QString& text) = 0;
    // The state of "&Shut down Windows after converting".
    virtual bool ShutDownChecked() = 0;
    virtual void CloseProgressWindow() = 0;

    // The end of a batch: its first output shown selected in the file manager,
    // and the countdown to shutting down when it was asked for.
    virtual void ShowInFileManager(const QString& path) = 0;
    virtual void RunShutdownCountdown() = 0;

    // A dry run's command, exactly as the run would have started it.
    virtual void CommandPlanned(const QString& commandText) { (void)commandText; }
};
