#pragma once

#include "convert/conversion_front_end.h"

#include <QObject>
#include <QString>
#include <QTextStream>

class SourceListModel;

// The command-line companion's face of a batch: messages go to standard error,
// each job's status and the overall percent to standard output (one live line on
// a terminal, plain lines otherwise), and a dry run's commands one per line.
class CliFrontEnd : public QObject, public ConversionFrontEnd {
    Q_OBJECT

public:
    enum class Display {
        LiveLine,    // a terminal: one line rewritten in place
        PlainLines,  // a file or a pipe: one line per change of a job
        CommandsOnly // a dry run: nothing but the commands
    };
    CliFrontEnd(SourceListModel& model, Display display, QObject* parent = nullptr);

    // The file Convert to One writes, given on the command line.
    void SetJoinedTarget(const QString& path) { joinedTarget_ = path; }
    // Ctrl+C during a staging pass: the pass stops as the busy dialog's Cancel does.
    void SetInterrupted() { interrupted_ = true; }
    // A message was shown: the command was refused or its batch stopped.
    bool MessageShown() const { return messageShown_; }

    void ShowMessage(const QString& text, Icon icon) override;
    std::vector<int> SelectedRows() override { return {}; }
    void SelectRow(int) override {}
    void ScrollRowIntoView(int) override {}
    void SetStatusColumnWidth(int) override {}
    void SetMainWindowEnabled(bool) override {}
    bool ChooseJoinedTarget(const QString& extension, QString* path) override;
    void OpenBusyDialog() override {}
    bool BusyDialogCancelled() override { return interrupted_; }
    void CloseBusyDialog() override {}
    void OpenProgressWindow(const ProgressSetup&) override {}
    // One pixel per percent: the bar's position is the overall percent.
    int ProgressBarWidth() override { return 100; }
    void SetProgressRange(int) override {}
    void SetProgressPosition(int) override {}
    void SetProgressStep(int) override {}
    void StepProgress() override {}
    void SetProgressStatus(const QString& text) override;
    void SetProgressPercent(const QString& text) override;
    bool ShutDownChecked() override { return false; }
    void CloseProgressWindow() override;
    // A terminal program opens no windows at the end of a batch.
    void ShowInFileManager(const QString&) override {}
    void RunShutdownCountdown() override {}
    void CommandPlanned(const QString& commandText) override;

private:
    void OnStatusChanged(int row);
    void ShowLine(const QString& text);

    SourceListModel& model_;
    const Display display_;
    QTextStream out_;
    QTextStream err_;
    QString joinedTarget_;
    QString percent_;
    QString lastText_; // what the live line shows after the percent
    bool lineOpen_ = false;
    bool interrupted_ = false;
    bool messageShown_ = false;
};
