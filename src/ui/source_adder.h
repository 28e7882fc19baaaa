#pragma once

#include "media/media_probe.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QStringList>

class AddSourceBatch;
class CBusyDlg;
class CMainDlg;
class FileDialogs;

// The window's side of adding sources: the dialogs that choose them, and one
// adding batch at a time under the busy dialog, whose Cancel stops it after
// the current file. The window's controls rest from the search (or the
// batch's start) to the batch's end; files that failed to load are named in
// one warning afterwards. Nothing here waits: the search runs on a worker
// thread and the batch's signals drive the rest.
class SourceAdder : public QObject {
    Q_OBJECT

public:
    // The probe is chosen here, once: choosing runs the engine.
    SourceAdder(CMainDlg& window, FileDialogs& dialogs, QObject* parent = nullptr);

    // "&Add Files": the open dialog with every kind of source the program
    // reads; the files chosen are added as they are.
    void AddFiles();
    // "Add &Folder": the folder browser, then the files of its tree that pass
    // the extension filter.
    void AddFolder();
    // "Add &DVD": the folder browser, then the titles of the DVD there.
    void AddDvd();
    // Files and folders handed over at once, by a drop or by the desktop when
    // it starts the program: folders searched, files under the file rule.
    void AddDropped(const QStringList& paths);

    // The filters of the open dialog, in order, the first chosen.
    static const QStringList& OpenFilters();

private:
    void StartSearch(const QFuture<QStringList>& search);
    void SearchFinished();
    void StartBatch(const QStringList& paths);
    void BatchFinished();
    void OpenBusyDialog();
    void CloseBusyDialog();
    void ShowWarning(const QString& text);

    CMainDlg& window_;
    FileDialogs& dialogs_;
    const MediaProbe probe_;
    QPointer<CBusyDlg> busy_;
    QFutureWatcher<QStringList> search_;
    bool searchCancelled_ = false;
    AddSourceBatch* batch_ = nullptr;
};
