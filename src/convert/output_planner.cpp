#include "convert/output_planner.h"

#include "platform/file_system.h"
#include "platform/folders.h"

#include <QFile>
#include <QFileInfo>

const QString kTargetIsSourceMessage =
    QStringLiteral("Target file name is same as original file that can't be overwritten. "
                   "Please output files to a custom folder.");

namespace {

// A fresh name for an intermediate file; it is renamed on a collision all the same.
QString RandomBaseName() {
    return QFileInfo(platform::TemporaryFileName()).fileName();
}

QString CreateFolderFailure(const QString& folder) {
    return QStringLiteral("Failed to create folder \"%1\"").arg(folder);
}

} // namespace

bool OutputPlanner::MakeFolder(const QString& folder) const {
    return dryRun_ ? !folder.isEmpty() : platform::MakeFolderChain(folder, true);
}

// Creating the file proves the folder takes it; an existing file of that name is
// replaced, which is what the policy asked for.
bool OutputPlanner::CanCreateFile(const QString& path) const {
    if (dryRun_)
        return true;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.close();
    return file.remove();
}

bool OutputPlanner::Plan(const QString& namingSource, const QString& extension, bool convertToOne,
                         QString* outputPath, QString* message) {
    const QString fileName = namingSource.mid(namingSource.lastIndexOf(u'/') + 1);
    const qsizetype dot = fileName.lastIndexOf(u'.');
    Choices choices;
    if (convertToOne) {
        choices = {RandomBaseName(), kTargetExistsRename, false, false};
    } else {
        choices = {dot < 0 ? fileName : fileName.left(dot), settings_.TargetExistsOpt,
                   settings_.CreateFolderForEachSource != 0,
                   settings_.CreateDirs != 0 &&
                       settings_.DestOutputFolderOpt == kOutputToSpecifiedFolder};
    }

    int mode = settings_.DestOutputFolderOpt;
    QString folder = settings_.DestSpecifiedFolder;
    bool fallbackUsed = false;
    for (;;) {
        switch (PlanInFolder(namingSource, extension, choices, mode, folder, outputPath, message)) {
        case Attempt::Planned:
            return true;
        case Attempt::Failed:
            outputPath->clear();
            return false;
        case Attempt::FailedMayFallBack:
            break;
        }
        QString documents;
        if (fallbackUsed || settings_.OutputFiles2MyDocuments == 0 ||
            !platform::GetDocumentsFolder(&documents)) {
            outputPath->clear();
            return false;
        }
        fallbackUsed = true;
        mode = kOutputToSpecifiedFolder;
        folder = documents;
    }
}

OutputPlanner::Attempt OutputPlanner::PlanInFolder(const QString& namingSource,
                                                   const QString& extension, const Choices& choices,
                                                   int mode, const QString& folder,
                                                   QString* outputPath, QString* message) {
    QString dir;
    if (mode != kOutputToSpecifiedFolder) {
        dir = namingSource.left(namingSource.lastIndexOf(u'/') + 1);
    } else {
        if (!MakeFolder(folder)) {
            *message = CreateFolderFailure(folder);
            return Attempt::FailedMayFallBack;
        }
        dir = folder.endsWith(u'/') ? folder : folder + u'/';
        if (choices.tree) {
            // The source's own folder path, recreated below the chosen folder.
            QString sourceFolder = namingSource.left(namingSource.lastIndexOf(u'/') + 1);
            while (sourceFolder.contains(QStringLiteral("//")))
                sourceFolder.replace(QStringLiteral("//"), QStringLiteral("/"));
            dir += sourceFolder.startsWith(u'/') ? sourceFolder.mid(1) : sourceFolder;
            if (!MakeFolder(dir)) {
                *message = CreateFolderFailure(dir);
                return Attempt::FailedMayFallBack;
            }
        }
    }
    if (choices.perSourceFolder) {
        dir += choices.baseName + u'/';
        // A failure shows as the file that cannot be created below.
        MakeFolder(dir);
    }

    const QString stem = dir + choices.baseName;
    const QString dotExtension = u'.' + extension;
    QString path = stem + dotExtension;
    const auto numbered = [&](int n) {
        return QStringLiteral("%1_%2%3").arg(stem).arg(n).arg(dotExtension);
    };
    if (platform::FileExists(path) || IsPlanned(path)) {
        switch (choices.policy) {
        case kTargetExistsSkip:
            *message = QStringLiteral("Target exists and skipped");
            return Attempt::Failed;
        case kTargetExistsOverwrite:
            if (platform::IsSameFile(path, namingSource)) {
                *message = kTargetIsSourceMessage;
                return Attempt::Failed;
            }
            // Only this batch's own outputs and sources are kept; any other file
            // left on disk is replaced.
            for (int n = 1; IsPlanned(path) || IsBatchSource(path); ++n)
                path = numbered(n);
            break;
        default:
            for (int n = 1; platform::FileExists(path) || IsPlanned(path); ++n)
                path = numbered(n);
            break;
        }
    }

    if (!CanCreateFile(path)) {
        *message = QStringLiteral("Failed to create file \"%1\"").arg(path);
        return Attempt::FailedMayFallBack;
    }
    *outputPath = path;
    plannedOutputs_.insert(NameKey(path));
    return Attempt::Planned;
}
