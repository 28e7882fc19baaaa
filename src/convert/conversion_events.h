#pragma once

#include <QEvent>

// What the progress window asks of the controller while a batch runs: a new
// priority class, a new number of parallel runs, or Cancel.
constexpr QEvent::Type WM_CONV_PRIORITY = static_cast<QEvent::Type>(1034);
constexpr QEvent::Type WM_CONV_CANCEL = static_cast<QEvent::Type>(1068);
constexpr QEvent::Type WM_CONV_THREADS = static_cast<QEvent::Type>(1072);

class ConversionRequestEvent : public QEvent {
public:
    explicit ConversionRequestEvent(QEvent::Type type, int value = 0)
        : QEvent(type), value_(value) {}
    int value() const { return value_; }

private:
    int value_;
};
