#include "platform/shell.h"

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
};

} // namespace

Shell& SystemShell() {
    static DesktopShell shell;
    return shell;
}

} // namespace platform
