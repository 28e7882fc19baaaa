#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

// Lets a window without a frame be moved by dragging its face: a left-button
// press on the window itself (not on one of its controls) moves the window
// with the mouse. The window system moves it where it can; elsewhere the
// window follows the mouse itself.
class FaceDrag : public QObject {
    Q_OBJECT

public:
    explicit FaceDrag(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    bool dragging_ = false;
    QPoint grabOffset_; // from the window's top-left corner to the mouse
};
