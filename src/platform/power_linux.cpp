#include "platform/power.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>

namespace platform {
namespace {

// logind decides whether this user may power off.
class LogindPower final : public Power {
public:
    bool PowerOff(QString* reason) override {
        QDBusConnection bus = QDBusConnection::systemBus();
        if (!bus.isConnected()) {
            *reason = bus.lastError().message();
            return false;
        }
        QDBusMessage request = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
        // Not interactive: nobody may be at the machine to answer a password prompt
        // after a long batch, so a refusal is reported rather than waited for.
        request << false;
        const QDBusMessage reply = bus.call(request);
        if (reply.type() != QDBusMessage::ErrorMessage)
            return true;
        *reason = reply.errorMessage();
        return false;
    }
};

} // namespace

Power& SystemPower() {
    static LogindPower power;
    return power;
}

} // namespace platform
