#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

// A plain progress box with Cancel for a long piece of work its owner does in
// steps: the owner writes the text, the percent and the bar and asks between
// steps whether Cancel (or Escape) was pressed. Enter does nothing; only the
// owner's Finish closes it.
class CBusyDlg : public QDialog {
    Q_OBJECT

public:
    explicit CBusyDlg(QWidget* parent = nullptr);

    void SetText(const QString& text);
    void SetPercent(const QString& text);
    void SetRange(int maximum);
    void SetPosition(int position);

    QString Text() const;
    bool IsCancelled() const { return cancelled_; }

    // The owner's close: the window goes and deletes itself.
    void Finish();

signals:
    void CancelRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Cancel();

    QLabel* text_;
    QLabel* percent_;
    QProgressBar* bar_;
    bool cancelled_ = false;
    bool finishing_ = false;
};
