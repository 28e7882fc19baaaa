#include "ui/work_window.h"

#include "ui/face_drag.h"

#include <QCloseEvent>
#include <QKeyEvent>

WorkWindow::WorkWindow(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    new FaceDrag(*this);
}

void WorkWindow::Finish() {
    finishing_ = true;
    close();
}

void WorkWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        emit CancelRequested();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

// Closed by hand (Alt+F4, the window manager) while the work goes on: that is
// a Cancel, and the window stays until its owner has stopped.
void WorkWindow::closeEvent(QCloseEvent* event) {
    if (finishing_) {
        event->accept();
        return;
    }
    event->ignore();
    emit CancelRequested();
}

void WorkWindow::showEvent(QShowEvent* event) {
    if (QWidget* owner = parentWidget())
        move(owner->window()->geometry().center() - rect().center());
    QDialog::showEvent(event);
}
