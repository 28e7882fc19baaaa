#pragma once

#include <QDialog>

// A frameless window for work its owner does: moved by dragging its face,
// centred over its owner when shown. Cancel, Escape and a close by hand all
// ask for the work to stop through CancelRequested, and the window stays
// until its owner calls Finish; Enter does nothing. It deletes itself then.
class WorkWindow : public QDialog {
    Q_OBJECT

public:
    explicit WorkWindow(QWidget* parent = nullptr);

    // The owner's close: the window goes and deletes itself.
    void Finish();

signals:
    void CancelRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool finishing_ = false;
};
