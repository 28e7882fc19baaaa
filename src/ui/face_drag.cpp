#include "ui/face_drag.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>
#include <utility>

FaceDrag::FaceDrag(QWidget& window) : QObject(&window), window_(window) {
    window_.installEventFilter(this);
}

bool FaceDrag::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() != Qt::LeftButton)
            return false;
        QWindow* handle = window_.windowHandle();
        if (handle && handle->startSystemMove())
            return true;
        dragging_ = true;
        grabOffset_ = press->globalPosition().toPoint() - window_.pos();
        return true;
    }
    case QEvent::MouseMove:
        if (!dragging_)
            return false;
        window_.move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - grabOffset_);
        return true;
    case QEvent::MouseButtonRelease:
        if (!std::exchange(dragging_, false))
            return false;
        return true;
    default:
        return false;
    }
}
