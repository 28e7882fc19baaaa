#pragma once

#include "ui/work_window.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
namespace platform {
class Shell;
}

// The window of a running batch: a status line, the percent and the overall
// bar, written by its owner; the number of parallel runs, the priority of the
// runs, shutting down at the end and Cancel, told to its owner by signals. It
// knows nothing of conversions. Controls carry their numbers as object names.
class CProgressDlg : public WorkWindow {
    Q_OBJECT

public:
    struct Setup {
        int priorityClass = 32; // a priority class value of the priority list
        int threads = 2;        // parallel runs, 1 to 32
        QString outputFolder;   // empty: outputs go beside their sources
    };

    CProgressDlg(const Setup& setup, platform::Shell& shell, QWidget* parent = nullptr);

    void SetStatus(const QString& text);
    void SetPercent(const QString& text);
    void SetRange(int maximum);
    void SetPosition(int position);
    void SetStep(int step);
    void StepIt();
    // The bar fills pixel by pixel when its range is this width.
    int ProgressBarWidth() const;

    QString Status() const;
    QString Percent() const;
    int Position() const;
    bool ShutDownChecked() const;
    int PriorityClass() const { return priorityClass_; }
    int Threads() const { return threads_; }

signals:
    void PriorityChosen(int priorityClass);
    void ThreadsChosen(int threads);
    void ShutDownToggled(bool checked);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void BuildControls();
    void FillLists(const Setup& setup);
    void OpenOutputFolder();

    platform::Shell& shell_;
    QString outputFolder_;
    int priorityClass_;
    int threads_;
    int step_ = 10; // what StepIt adds, as on the system's own bar

    QLabel* status_;
    QLabel* percent_;
    QProgressBar* bar_;
    QPushButton* folderButton_;
    QLabel* folderText_;
    QComboBox* threadList_;
    QComboBox* priorityList_;
    QCheckBox* shutDown_;
    QTimer* repaint_;
};
