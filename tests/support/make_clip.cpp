#include "support/make_clip.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

QString TestEnginePath() {
    return QCoreApplication::applicationDirPath() + "/mervane";
}

bool MakeClip(const QString& dir, const QString& name, const QStringList& engineArgs,
              QString* error) {
    const QString output = dir + '/' + name;
    QProcess engine;
    engine.setProcessChannelMode(QProcess::MergedChannels);
    engine.start(TestEnginePath(), QStringList{"-nostdin", "-hide_banner", "-v", "error", "-y"} +
                                       engineArgs + QStringList{output});
    if (!engine.waitForFinished(60000)) {
        *error = "the engine did not run: " + engine.errorString();
        return false;
    }
    if (engine.exitCode() != 0 || QFileInfo(output).size() <= 0) {
        *error = QString::fromLocal8Bit(engine.readAll());
        return false;
    }
    return true;
}
