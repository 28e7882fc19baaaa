#pragma once

#include "convert/conversion_front_end.h"
#include "convert/conversion_job.h"

#include <QObject>
#include <QString>
#include <QTextStream>

class ConversionController;
class SourceListModel;

// Paths and names as a terminal may show them: a control character (an escape
// sequence, a tab or line feed that would break the columns) is written as an
// escape instead.
QString Printable(const QString& text);

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

    // Shows what the controller's batches do.
    void Follow(const ConversionController& controller);

    // The file Convert to One writes, given on the command line.
    void SetJoinedTarget(const QString& path) { joinedTarget_ = path; }
    // A message was shown: the command was refused or its batch stopped.
    bool MessageShown() const { return messageShown_; }

    void ShowMessage(const QString& text, Icon icon) override;
    std::vector<int> SelectedRows() override { return {}; }
    void SelectRow(int) override {}
    void ScrollRowIntoView(int) override {}
    void SetStatusColumnWidth(int) override {}
    void SetMainWindowEnabled(bool) override {}
    bool ChooseJoinedTarget(const QString& extension, QString* path) override;
    // Nobody was asked: the settings decide.
    bool JoinedTargetReplaceConfirmed() const override { return false; }
    // Staging shows on the rows' lines; Ctrl+C is the busy dialog's Cancel.
    void OpenBusyDialog(const QString&) override {}
    void SetBusyProgress(int) override {}
    void CloseBusyDialog() override {}
    bool ShutDownChecked() override { return false; }
    // A terminal program opens no windows at the end of a batch.
    void ShowInFileManager(const QString&) override {}
    void RunShutdownCountdown() override {}
    void CommandPlanned(const QString& commandText) override;

private:
    void OnJobChanged(const ConversionJob& job);
    void OnOverallProgress(qint64 done, qint64 total);
    void ShowLine(const QString& text);
    void EndLine();

    SourceListModel& model_;
    const Display display_;
    QTextStream out_;
    QTextStream err_;
    QString joinedTarget_;
    QString percent_;
    QString lastText_; // what the live line shows after the percent
    bool lineOpen_ = false;
    bool messageShown_ = false;
};
