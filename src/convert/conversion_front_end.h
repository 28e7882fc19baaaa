#pragma once

#include <QString>
#include <vector>

// What the conversion controller must ask of its front end, or have it do: the
// windows of the graphical one, or the terminal of the command-line one.
// Everything a progress window shows comes from the controller's signals
// instead; this holds only questions and services.
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
    // True when the person has already agreed to replace the chosen joined file
    // (a save dialog asks); else an existing one follows TargetExistsOpt.
    virtual bool JoinedTargetReplaceConfirmed() const { return true; }

    // The busy dialog of the staging pass: opened, or given a new line when it is
    // open already, for each source staged. Its Cancel calls the controller's
    // Cancel slot.
    virtual void OpenBusyDialog(const QString& text) = 0;
    virtual void SetBusyProgress(int percent) = 0;
    virtual void CloseBusyDialog() = 0;

    // The state of the progress window's "&Shut down Windows after converting",
    // read when a batch ends.
    virtual bool ShutDownChecked() = 0;

    // The end of a batch: its first output shown selected in the file manager,
    // and the countdown to shutting down when it was asked for.
    virtual void ShowInFileManager(const QString& path) = 0;
    virtual void RunShutdownCountdown() = 0;

    // A dry run's command, exactly as the run would have started it.
    virtual void CommandPlanned(const QString& commandText) = 0;
};
