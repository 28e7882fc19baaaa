#pragma once

#include "ui/work_window.h"

class QLabel;
class QProgressBar;

// A plain progress box with Cancel for a long piece of work its owner does in
// steps: the owner writes the text, the percent and the bar and asks between
// steps whether Cancel (or Escape, or a close by hand) asked it to stop.
class CBusyDlg : public WorkWindow {
    Q_OBJECT

public:
    explicit CBusyDlg(QWidget* parent = nullptr);

    void SetText(const QString& text);
    void SetPercent(const QString& text);
    void SetRange(int maximum);
    void SetPosition(int position);

    QString Text() const;
    bool IsCancelled() const { return cancelled_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* text_;
    QLabel* percent_;
    QProgressBar* bar_;
    bool cancelled_ = false;
};
