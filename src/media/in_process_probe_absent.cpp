// Built when the engine's libraries are missing: the engine probes every source.
#include "media/in_process_probe.h"

QString InProcessProbeVersion() {
    return QString();
}

bool ProbeInProcess(SourceMedia&, const QString&, const QString&, const std::atomic<bool>*,
                    QString* reason) {
    if (reason)
        *reason = QStringLiteral("the program was built without the engine's libraries");
    return false;
}
