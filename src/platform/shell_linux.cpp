#include "platform/shell.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace platform {
namespace {

class DesktopShell final : public Shell {
public:
    bool Open(const QString& pathOrUrl) override {
        const QUrl url = pathOrUrl.startsWith(u'/') ? QUrl::fromLocalFile(pathOrUrl)
                                                    : QUrl::fromUserInput(pathOrUrl);
        return QDesktopServices::openUrl(url);
    }

    void ShowInFileManager(const QString& path) override {
        const QString folder = QFileInfo(path).absolutePath();
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            Open(folder);
            return;
        }
        QDBusMessage request = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"),
            QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        request << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
        // The answer comes later: the end of a batch does not wait for the file manager.
        auto* watcher =
            new QDBusPendingCallWatcher(bus.asyncCall(request), QCoreApplication::instance());
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished,
                         [this, folder](QDBusPendingCallWatcher* call) {
                             if (call->isError())
                                 Open(folder);
                             call->deleteLater();
                         });
    }
};

} // namespace

Shell& SystemShell() {
    static DesktopShell shell;
    return shell;
}

} // namespace platform
