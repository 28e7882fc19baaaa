#pragma once

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>

// Points the system's temporary folder at a fresh folder for the life of the
// object, so a test sees every temporary file the code leaves.
class TemporaryFolderScope {
public:
    TemporaryFolderScope() : saved_(qgetenv("TMPDIR")) {
        qputenv("TMPDIR", dir_.path().toLocal8Bit());
    }
    ~TemporaryFolderScope() {
        if (saved_.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", saved_);
    }
    TemporaryFolderScope(const TemporaryFolderScope&) = delete;
    TemporaryFolderScope& operator=(const TemporaryFolderScope&) = delete;

    QString path() const { return dir_.path(); }
    QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files); }

private:
    QTemporaryDir dir_;
    QByteArray saved_;
};
