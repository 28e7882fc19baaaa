#include "platform/shell.h"

#include <QFileInfo>

namespace platform {

bool Shell::ShowInFileManager(const QString& path) {
    return Open(QFileInfo(path).absolutePath());
}

} // namespace platform
