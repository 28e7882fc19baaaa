#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The system's dialogs that pick files and folders to work on. The program
// shows Qt's (the desktop's own where the platform offers them); a test
// answers with paths of its own.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;

    // The open dialog: existing files, several at once, with the filters
    // ("Description (*.a;*.b)") offered in order and the first one chosen,
    // starting in folder. Their full paths in the dialog's order; none when
    // the dialog is cancelled.
    virtual QStringList ChooseFiles(QWidget* owner, const QStringList& filters,
                                    const QString& folder) = 0;

    // The folder browser with its title, starting at folder. The chosen folder,
    // or an empty text when the browser is cancelled.
    virtual QString BrowseForFolder(QWidget* owner, const QString& title,
                                    const QString& folder) = 0;
};

// The dialogs of the desktop the program runs on.
FileDialogs& SystemFileDialogs();
