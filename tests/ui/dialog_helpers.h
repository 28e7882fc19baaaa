#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>

// Answers every message box that shows while it lives: records its text and
// icon, then closes it, as a person pressing OK would.
class MessageCatcher {
public:
    MessageCatcher() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(top);
                if (!box || !box->isVisible())
                    continue;
                texts << box->text();
                captions << box->windowTitle();
                icons.push_back(box->icon());
                box->accept();
            }
        });
        timer_.start();
    }

    QStringList texts;
    QStringList captions;
    std::vector<QMessageBox::Icon> icons;

private:
    QTimer timer_;
};

// Runs act on the first visible top-level widget of type T, once, from inside
// the event loop of whatever modal dialog shows it.
template <typename T> void WhenShown(std::function<void(T*)> act) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* widget = qobject_cast<T*>(top);
            if (widget && widget->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(widget);
                return;
            }
        }
    });
    timer->start();
}

// A control of a dialog by its number.
template <typename T> T* Control(const QWidget* dialog, int id) {
    return dialog->findChild<T*>(QString::number(id));
}

// The number of the control holding the focus inside the window.
inline QString FocusedControl(QWidget* window) {
    QWidget* focused = window->focusWidget();
    while (focused && (focused->objectName().isEmpty() || focused->objectName().startsWith("qt_")))
        focused = focused->parentWidget();
    return focused ? focused->objectName() : QString();
}

// Every visible control gets at least the room it asks for and lies inside its
// window: nothing is cut off. Returns the names of the controls that fail.
QStringList CutOffControls(QWidget* window);

// The controls the Tab key visits from the first, by object name (unnamed ones
// by their text), once round.
QStringList TabOrder(QWidget* window);

// Presses Alt with each mnemonic letter that no other visible control of the
// window shares: a label's buddy must take the focus, a check box must change
// (and is changed back). Returns the controls that were not reached. Push
// buttons are left alone: pressing them opens other windows.
QStringList UnreachedByMnemonic(QWidget* window);
