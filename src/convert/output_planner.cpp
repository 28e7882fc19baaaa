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

bool OutputPlanner::Plan(const QString& namingSource, const QString& extension, bool convertToOne,
                         const FileOnDisk& fileOnDisk, OutputClaim* claim, QString* message) {
    const QString fileName = namingSource.mid(namingSource.lastIndexOf(u'/') + 1);
    const qsizetype dot = fileName.lastIndexOf(u'.');
    Choices choices;
    if (convertToOne) {
        choices = {RandomBaseName(), kTargetExistsRename, false, false, fileOnDisk};
    } else {
        choices = {dot < 0 ? fileName : fileName.left(dot), settings_.TargetExistsOpt,
                   settings_.CreateFolderForEachSource != 0,
                   settings_.CreateDirs != 0 &&
                       settings_.DestOutputFolderOpt == kOutputToSpecifiedFolder,
                   fileOnDisk};
    }
    *claim = OutputClaim();

    int mode = settings_.DestOutputFolderOpt;
    QString folder = settings_.DestSpecifiedFolder;
    bool fallbackUsed = false;
    for (;;) {
        switch (PlanInFolder(namingSource, extension, choices, mode, folder, claim, message)) {
        case Attempt::Planned:
            return true;
        case Attempt::Failed:
            return false;
        case Attempt::FailedMayFallBack:
            break;
        }
        QString documents;
        if (fallbackUsed || settings_.OutputFiles2MyDocuments == 0 ||
            !platform::GetDocumentsFolder(&documents)) {
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
                                             const Choices& choices) {
    const std::pair key(choices.policy, NameKey(stem + dotExtension));
    int n = nextNumbers_.value(key, 1);
    for (;; ++n) {
        const QString path = QStringLiteral("%1_%2%3").arg(stem).arg(n).arg(dotExtension);
        const bool taken = choices.policy == kTargetExistsOverwrite
                               ? IsPlanned(path) || IsBatchSource(path)
                               : platform::NameTaken(choices.OnDisk(path)) || IsPlanned(path);
        if (!taken) {
            nextNumbers_.insert(key, n);
            return path;
        }
    }
}

OutputPlanner::Attempt OutputPlanner::PlanInFolder(const QString& namingSource,
                                                   const QString& extension, const Choices& choices,
                                                   int mode, const QString& folder,
                                                   OutputClaim* claim, QString* message) {
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
    if (!ResolveCollision(namingSource, stem, dotExtension, choices, &path, message))
        return Attempt::Failed;
    return Claim(stem, dotExtension, choices, path, claim, message);
}

bool OutputPlanner::ResolveCollision(const QString& namingSource, const QString& stem,
                                     const QString& dotExtension, const Choices& choices,
                                     QString* path, QString* message) {
    if (!platform::NameTaken(choices.OnDisk(*path)) && !IsPlanned(*path))
        return true;
    switch (choices.policy) {
    case kTargetExistsSkip:
        *message = QStringLiteral("Target exists and skipped");
        return false;
    case kTargetExistsOverwrite:
        if (platform::IsSameFile(*path, namingSource)) {
            *message = kTargetIsSourceMessage;
            return false;
        }
        if (IsPlanned(*path) || IsBatchSource(*path))
            *path = FirstFreeNumberedName(stem, dotExtension, choices);
        return true;
    default:
        *path = FirstFreeNumberedName(stem, dotExtension, choices);
        return true;
    }
}

bool OutputPlanner::ClaimJoinedTarget(const QString& path, int policy, OutputClaim* claim,
                                      QString* message) {
    const qsizetype dot = path.lastIndexOf(u'.');
    const bool hasExtension = dot > path.lastIndexOf(u'/');
    const QString stem = hasExtension ? path.left(dot) : path;
    const QString dotExtension = hasExtension ? path.mid(dot) : QString();
    const Choices choices{QString(), policy, false, false, {}};
    QString chosen = path;
    *claim = OutputClaim();
    return ResolveCollision(QString(), stem, dotExtension, choices, &chosen, message) &&
           Claim(stem, dotExtension, choices, chosen, claim, message) == Attempt::Planned;
}

OutputPlanner::Attempt OutputPlanner::Claim(const QString& stem, const QString& dotExtension,
                                            const Choices& choices, QString path,
                                            OutputClaim* claim, QString* message) {
    for (;;) {
        const QString onDisk = choices.OnDisk(path);
        QString aside;
        // The old file (or a link standing there) stays whole until the run's
        // end decides; the new output is a file of its own, never the link's target.
        if (!dryRun_ && choices.policy == kTargetExistsOverwrite && platform::NameTaken(onDisk))
            aside = platform::MoveAside(onDisk);
        const platform::ClaimResult result =
            dryRun_ ? platform::ClaimResult::Claimed : platform::ClaimNewFile(onDisk);
        if (result == platform::ClaimResult::Claimed) {
            *claim = {path, aside};
            plannedOutputs_.insert(NameKey(path));
            return Attempt::Planned;
        }
        if (!aside.isEmpty())
            platform::PutBack(aside, onDisk);
        if (result == platform::ClaimResult::Taken && choices.policy == kTargetExistsSkip) {
            *message = QStringLiteral("Target exists and skipped");
            return Attempt::Failed;
        }
        // Another process took the name since it was looked at: number on.
        if (result == platform::ClaimResult::Failed || choices.policy == kTargetExistsOverwrite) {
            *message = QStringLiteral("Failed to create file \"%1\"").arg(onDisk);
            return Attempt::FailedMayFallBack;
        }
        path = FirstFreeNumberedName(stem, dotExtension, choices);
    }
}
