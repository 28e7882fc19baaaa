#include "ui/source_adder.h"

#include "media/add_source_batch.h"
#include "media/dvd_titles.h"
#include "media/search_folder.h"
#include "platform/folders.h"
#include "ui/busy_dlg.h"
#include "ui/file_dialogs.h"
#include "ui/main_dlg.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QtConcurrent/QtConcurrentRun>

namespace {

const char* const kOpenFilters[] = {
    QT_TRANSLATE_NOOP("SourceAdder", "All Files (*.*)"),
    QT_TRANSLATE_NOOP("SourceAdder", "3GPP Files (*.3gp;*.3gpp)"),
    QT_TRANSLATE_NOOP("SourceAdder", "3GPP2 Files (*.3g2;*.3gp2)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Adobe Flash Files (*.swf)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Advanced Audio Coding (*.aac)"),
    QT_TRANSLATE_NOOP("SourceAdder", "AIFF Files (*.aiff;*.aif;*.aifc;*.afc)"),
    QT_TRANSLATE_NOOP("SourceAdder", "AMR Files (*.amr;*.awb)"),
    QT_TRANSLATE_NOOP("SourceAdder", "AU Files (*.au;*.snd)"),
    QT_TRANSLATE_NOOP("SourceAdder", "AVI Files (*.avi)"),
    QT_TRANSLATE_NOOP("SourceAdder", "CD Audio Files (*.cda)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Creative Voice Files (*.voc)"),
    QT_TRANSLATE_NOOP("SourceAdder", "CRI ADX Files (*.adx)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Dolby Digital AC-3 (*.ac3)"),
    QT_TRANSLATE_NOOP("SourceAdder", "DTS Files (*.dts)"),
    QT_TRANSLATE_NOOP("SourceAdder", "DV Video Files (*.dv;*.dif)"),
    QT_TRANSLATE_NOOP("SourceAdder", "DVD Video Files (*.vob;*.dvd)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Electronic Arts CDATA Files (*.cdata)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Flash Video Files (*.flv)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Free Lossless Audio Codec (*.flac;*.fla)"),
    QT_TRANSLATE_NOOP("SourceAdder", "H.264/MPEG4 AVC Video (*.m2ts;*.mts)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Matroska Files (*.mkv;*.mka)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Microsoft Digital Video Recording (*.dvr-ms)"),
    QT_TRANSLATE_NOOP("SourceAdder", "MJPEG Video Files (*.mjpg;*.mjpeg)"),
    QT_TRANSLATE_NOOP("SourceAdder", "MMF Files (*.mmf)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Monkey's Audio (*.ape;*.mac)"),
    QT_TRANSLATE_NOOP("SourceAdder", "MP3 Files (*.mp3)"),
    QT_TRANSLATE_NOOP("SourceAdder", "MPEG Audio Files (*.mpa;*.mpga;*.m2a)"),
    QT_TRANSLATE_NOOP("SourceAdder",
                      "MPEG Video Files (*.mpg;*.mpe;*.mpeg;*.m1v;*.mp2;*.m2v;*.mp1;*.mlv)"),
    QT_TRANSLATE_NOOP("SourceAdder", "MPEG-4 Audio Files (*.m4a;*.m4b;*.mp4)"),
    QT_TRANSLATE_NOOP("SourceAdder", "MPEG4 TS HD Video (*.ts)"),
    QT_TRANSLATE_NOOP("SourceAdder", "MPEG-4 Video Files (*.mp4;*.m4v;*.mpv;*.psp)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Musepack (*.mpc;*.mp+;*.mpp)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Nullsoft Audio/Video Files (*.nsv;*.nsa)"),
    QT_TRANSLATE_NOOP("SourceAdder", "NUT Files (*.nut)"),
    QT_TRANSLATE_NOOP("SourceAdder", "OGG Files (*.ogg;*.oga;*.ogm;*.ogv;*.ogx)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Opus Files (*.opus)"),
    QT_TRANSLATE_NOOP("SourceAdder", "QuickTime Files (*.mov;*.qt)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Raw h261 Files (*.h261)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Raw h263 Files (*.h263)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Raw h264 Video Files (*.h264;*.264)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Real Audio Files (*.ra;*.ram)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Real Media Files (*.rm;*.rmvb)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Speex (*.spx)"),
    QT_TRANSLATE_NOOP("SourceAdder", "The True Audio (*.tta)"),
    QT_TRANSLATE_NOOP("SourceAdder", "VCD Video Files (*.dat)"),
    QT_TRANSLATE_NOOP("SourceAdder", "WAV Files (*.wav;*.wave)"),
    QT_TRANSLATE_NOOP("SourceAdder", "WavPack Files (*.wv)"),
    QT_TRANSLATE_NOOP("SourceAdder", "WebM Files (*.webm)"),
    QT_TRANSLATE_NOOP("SourceAdder", "Windows Media Files (*.wma;*.asf;*.wmv;*.wm;*.wmd;*.xwmv)"),
    QT_TRANSLATE_NOOP("SourceAdder", "YUV Video Files (*.yuv)"),
};

// Remembered folders end in '/', as the texts that show them expect.
QString WithClosingSlash(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

} // namespace

SourceAdder::SourceAdder(CMainDlg& window, FileDialogs& dialogs, QObject* parent)
    : QObject(parent), window_(window), dialogs_(dialogs),
      probe_(MediaProbe::Choose(window.tools())) {
    connect(&search_, &QFutureWatcher<QStringList>::finished, this, &SourceAdder::SearchFinished);
}

const QStringList& SourceAdder::OpenFilters() {
    static const QStringList filters = [] {
        QStringList texts;
        for (const char* filter : kOpenFilters)
            texts.append(tr(filter));
        return texts;
    }();
    return filters;
}

// Files chosen by hand are taken as they are: no extension filter here.
void SourceAdder::AddFiles() {
    ConvertSettings& settings = window_.settings();
    if (!settings.LastAddFileDir.isEmpty() && !QFileInfo(settings.LastAddFileDir).isDir()) {
        QString documents;
        settings.LastAddFileDir =
            platform::GetDocumentsFolder(&documents) ? WithClosingSlash(documents) : QString();
    }
    const QStringList files =
        dialogs_.ChooseFiles(&window_, OpenFilters(), settings.LastAddFileDir);
    if (files.isEmpty())
        return;
    settings.LastAddFileDir = WithClosingSlash(QFileInfo(files.first()).absolutePath());
    OpenBusyDialog();
    StartBatch(files);
}

void SourceAdder::AddFolder() {
    ConvertSettings& settings = window_.settings();
    const QString folder =
        dialogs_.BrowseForFolder(&window_, tr("Please choose a folder:"), settings.Folder);
    if (folder.isEmpty())
        return;
    settings.Folder = WithClosingSlash(folder);
    StartSearch(QtConcurrent::run([folder, filter = settings.extensionFilter] {
        QStringList paths;
        SearchFolder(paths, folder, filter);
        return paths;
    }));
}

void SourceAdder::AddDropped(const QStringList& paths) {
    StartSearch(QtConcurrent::run(CollectDroppedPaths, paths, window_.settings().extensionFilter));
}

// The title sets are few and each is probed on this thread, as the list takes
// their rows: the wait cursor says the window is working.
void SourceAdder::AddDvd() {
    ConvertSettings& settings = window_.settings();
    const QString chosen = dialogs_.BrowseForFolder(
        &window_, tr("Please choose a DVD drive or folder:"), settings.DVDFolder);
    if (chosen.isEmpty())
        return;
    settings.DVDFolder = WithClosingSlash(chosen);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString warning;
    const bool added = AddDvdFolder(window_.model(), settings.DVDFolder, window_.tools(),
                                    settings.RequestAudioIndex, &warning);
    QApplication::restoreOverrideCursor();
    if (!added)
        ShowWarning(warning);
}

// A large or slow tree is searched off the event loop's thread, under the busy
// dialog; its Cancel then drops what the search finds.
void SourceAdder::StartSearch(const QFuture<QStringList>& search) {
    OpenBusyDialog();
    busy_->SetText(tr("Searching files..."));
    searchCancelled_ = false;
    search_.setFuture(search);
}

void SourceAdder::SearchFinished() {
    const QStringList paths = search_.result();
    if (searchCancelled_ || paths.isEmpty())
        CloseBusyDialog();
    else
        StartBatch(paths);
}

void SourceAdder::StartBatch(const QStringList& paths) {
    batch_ =
        new AddSourceBatch(window_.model(), probe_, window_.settings().RequestAudioIndex, this);
    CBusyDlg* busy = busy_;
    busy->SetRange(static_cast<int>(paths.size()));
    busy->SetPosition(0);
    connect(batch_, &AddSourceBatch::Progress, busy, [busy](int number, int, const QString& text) {
        busy->SetText(text);
        busy->SetPosition(number);
    });
    connect(batch_, &AddSourceBatch::Finished, this, &SourceAdder::BatchFinished);
    batch_->Start(paths);
}

void SourceAdder::BatchFinished() {
    const QString failure = batch_->FailureMessage();
    batch_->deleteLater(); // it is still emitting
    batch_ = nullptr;
    CloseBusyDialog();
    if (!failure.isEmpty())
        ShowWarning(failure);
}

void SourceAdder::OpenBusyDialog() {
    window_.SetControlsEnabled(false);
    busy_ = new CBusyDlg(&window_);
    connect(busy_, &CBusyDlg::CancelRequested, this, [this] {
        if (batch_)
            batch_->Cancel();
        else
            searchCancelled_ = true;
    });
    busy_->show();
}

void SourceAdder::CloseBusyDialog() {
    busy_->Finish();
    window_.SetControlsEnabled(true);
}

void SourceAdder::ShowWarning(const QString& text) {
    QMessageBox::warning(&window_, QStringLiteral("Quillmore"), text);
}
