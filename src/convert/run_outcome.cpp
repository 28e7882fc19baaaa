#include "convert/run_outcome.h"

#include "media/dvd_titles.h"
#include "platform/file_dates.h"
#include "platform/file_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

bool OutputWritten(const QString& outputPath) {
    qint64 size = 0;
    return platform::GetFileSize(outputPath, &size) && size > 0;
}

QString FailureText(const QString& reason, bool engineMissing) {
    const QString text = QStringLiteral("Conversion failure");
    if (engineMissing) {
        return text + QStringLiteral(" (Some files of the program are missing or corrupted. "
                                     "Please reinstall the program)");
    }
    return reason.isEmpty() ? text : text + QStringLiteral(" (") + reason + u')';
}

void DeleteRunOutput(const SourceItem& source, const QString& outputPath, bool pictureSequence,
                     const QDateTime& batchStarted) {
    if (outputPath.isEmpty() || platform::IsSameFile(outputPath, source.path) ||
        platform::IsSameFile(outputPath, source.InputPath()))
        return;
    const QFileInfo first(outputPath);
    static const QRegularExpression numbered(QStringLiteral("^(.*_)(\\d+)(\\.[^.]*)$"));
    const QRegularExpressionMatch parts = numbered.match(first.fileName());
    if (!pictureSequence || !parts.hasMatch()) {
        QFile::remove(outputPath);
        return;
    }
    // Numbers have a fixed width, except for a source of unknown duration.
    const QString digits = source.duration > 0
                               ? QStringLiteral("{%1}").arg(parts.captured(2).size())
                               : QStringLiteral("+");
    const QRegularExpression frame(QStringLiteral("^%1\\d%2%3$")
                                       .arg(QRegularExpression::escape(parts.captured(1)), digits,
                                            QRegularExpression::escape(parts.captured(3))));
    // Pictures of an earlier batch that this run's numbering did not reach are the
    // person's own; only what this batch wrote goes. The first picture is the
    // run's own claim, however coarse the clock that dated it.
    QDir folder = first.dir();
    folder.remove(first.fileName());
    for (const QFileInfo& file : folder.entryInfoList(QDir::Files)) {
        if (frame.match(file.fileName()).hasMatch() && file.lastModified() >= batchStarted)
            folder.remove(file.fileName());
    }
}

void SettleReplacedFile(const QString& keptAside, const QString& path, bool succeeded) {
    if (keptAside.isEmpty())
        return;
    if (succeeded)
        QFile::remove(keptAside);
    else
        platform::PutBack(keptAside, path);
}

void CopyOutputDates(const SourceItem& dateSource, const QString& outputPath,
                     const ConvertSettings& settings) {
    if (!settings.KeepDateCreated && !settings.KeepDateModified)
        return;
    if (outputPath.isEmpty() || !QFileInfo(outputPath).isFile())
        return;
    // A DVD title's date is that of the first video file of its title set.
    const QString from = dateSource.kind == KindDvdTitle
                             ? DvdPartPath(dateSource.dvdFolder, dateSource.titleSet, 1)
                             : dateSource.path;
    platform::CopyFileDates(from, outputPath, settings.KeepDateCreated != 0,
                            settings.KeepDateModified != 0);
}
