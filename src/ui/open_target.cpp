#include "ui/open_target.h"

#include "platform/shell.h"

#include <QFileInfo>
#include <QUrl>

int OpenTarget(platform::Shell& shell, const QString& target) {
    const QUrl url(target);
    const QString localPath = target.startsWith(u'/') ? target
                              : url.isLocalFile()     ? url.toLocalFile()
                                                      : QString();
    if (!localPath.isEmpty() && !QFileInfo::exists(localPath))
        return kOpenFileNotFound;
    // The desktop gives no reason for a refusal; the usual one is that nothing
    // is registered for this kind of address.
    return shell.Open(target) ? kOpenSucceeded : kOpenNoAssociation;
}
