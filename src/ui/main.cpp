// Quillmore: checks that the engine is in place and the CD audio layer starts,
// then runs the main window until it is closed. Its arguments are files and
// folders the desktop hands over ("Open with"); they are added as a drop is.

#include "app/web_addresses.h"
#include "engine/tool_paths.h"
#include "platform/cd_audio_track.h"
#include "platform/shell.h"
#include "ui/main_dlg.h"
#include "ui/open_target.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

namespace {

const char kName[] = "Quillmore";

// A missing engine: the program can only offer to download itself again.
void ReportMissingFiles(platform::Shell& shell) {
    const QString text = QApplication::translate(
                             "main", "%1 could not start up. Some files of the program are missing "
                                     "or corrupted.\n\nPlease re-download the program and then "
                                     "install it again. Do you want to download it now?")
                             .arg(QLatin1String(kName));
    if (QMessageBox::critical(nullptr, QLatin1String(kName), text,
                              QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        OpenTarget(shell, QString::fromLatin1(kDownloadPage));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QLatin1String(kName));
    platform::Shell& shell = platform::SystemShell();

    if (!QFileInfo::exists(ToolPaths::Locate().enginePath)) {
        ReportMissingFiles(shell);
        return 1;
    }
    if (!platform::StartCdAudio()) {
        QMessageBox::critical(
            nullptr, QLatin1String(kName),
            QApplication::translate("main", "Failed to initialize the software (0x0002020)."));
        return 1;
    }
    CMainDlg window(shell);
    QStringList handedOver;
    for (const QString& argument : app.arguments().mid(1))
        handedOver.append(QFileInfo(argument).absoluteFilePath());
    if (!handedOver.isEmpty()) // once the window shows
        QTimer::singleShot(0, &window, [&window, handedOver] { window.AddDropped(handedOver); });
    window.exec();
    return 0;
}
