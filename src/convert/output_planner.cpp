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

// "stem_N.ext" with the lowest N the policy may take: Overwrite keeps only this
// batch's own outputs and sources, any other file left on disk is replaced;
// every other policy keeps files on disk too. Numbers found taken before are not
// tried again, so many outputs of one name are numbered in linear time.
QString OutputPlanner::FirstFreeNumberedName(const QString& stem, const QString& dotExtension,
                                             int policy) {
    const std::pair key(policy, NameKey(stem + dotExtension));
    int n = nextNumbers_.value(key, 1);
    for (;; ++n) {
        const QString path = QStringLiteral("%1_%2%3").arg(stem).arg(n).arg(dotExtension);
        const bool taken = policy == kTargetExistsOverwrite
                               ? IsPlanned(path) || IsBatchSource(path)
                               : platform::FileExists(path) || IsPlanned(path);
        if (!taken) {
            nextNumbers_.insert(key, n);
            return path;
        }
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
            if (IsPlanned(path) || IsBatchSource(path))
                path = FirstFreeNumberedName(stem, dotExtension, choices.policy);
            break;
        default:
            path = FirstFreeNumberedName(stem, dotExtension, choices.policy);
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
