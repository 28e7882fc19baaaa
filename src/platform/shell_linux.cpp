#include "platform/shell.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
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

    // The desktop's file manager selects the file; without one listening on the
    // session bus, or when it refuses, the folder opens instead. The answer is
    // awaited on the event loop, never by blocking it.
    bool ShowInFileManager(const QString& path) override {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return Shell::ShowInFileManager(path);
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"),
            QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [this, path, watcher] {
            if (watcher->isError())
                Shell::ShowInFileManager(path);
            watcher->deleteLater();
        });
        return true;
    }
};

} // namespace

Shell& SystemShell() {
    static DesktopShell shell;
    return shell;
}

} // namespace platform
