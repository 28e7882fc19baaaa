#pragma once

#include "platform/shell.h"

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <functional>

// The desktop's edge: whether it opens something is the test's choice, and
// what was asked of it is kept.
class RecordingShell final : public platform::Shell {
public:
    explicit RecordingShell(bool opens = true) : opens_(opens) {}
    bool Open(const QString& target) override {
        opened.append(target);
        return opens_;
    }
    bool ShowInFileManager(const QString& path) override {
        shown.append(path);
        return opens_;
    }
    QStringList opened;
    QStringList shown;

private:
    bool opens_;
};

// Runs action and answers the message boxes it opens with their default
// button; returns their texts, one line each.
inline QStringList MessagesOf(const std::function<void()>& action) {
    QStringList shown;
    QTimer answer;
    answer.setInterval(5);
    QObject::connect(&answer, &QTimer::timeout, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown.append(box->text());
            box->done(QMessageBox::Ok);
        }
    });
    answer.start();
    action();
    return shown;
}
