#pragma once

#include "app/convert_settings.h"
#include "platform/file_system.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <functional>
#include <utility>

// The refusal of an output that would replace its own source.
extern const QString kTargetIsSourceMessage;

// An output planned for a run.
struct OutputClaim {
    // The planned name; a picture sequence's is unnumbered ("clip.jpg").
    QString path;
    // The file Overwrite replaces, moved aside until the run's end decides
    // (SettleReplacedFile); "" when none.
    QString keptAside;
};

// Decides where each output of a batch goes and what it is called, before its run
// starts: the folder the settings choose (with the Documents folder as a one-time
// fallback), the name, and what happens when that name is taken on disk or was
// already handed out in this batch. The one place that claims output names: the
// file on disk is created new and empty (never through a link), so no other run
// or process gets the same name.
class OutputPlanner {
public:
    // The name that stands on disk for a planned path: a picture sequence's first
    // picture. Null for outputs that are the path itself.
    using FileOnDisk = std::function<QString(const QString& plannedPath)>;

    explicit OutputPlanner(const ConvertSettings& settings) : settings_(settings) {}

    // A new batch: no output handed out yet, no source known.
    void Clear() {
        plannedOutputs_.clear();
        batchSources_.clear();
        nextNumbers_.clear();
    }

    // A file the batch reads: Overwrite must not replace it before its own job
    // has read it, so such a name is numbered like one already handed out.
    void KeepSource(const QString& path) { batchSources_.insert(platform::FileKey(path)); }

    // A name a run ended by Cancel may still write to until its child is gone:
    // no batch is given it until it is let go.
    void Hold(const QString& path) { heldOutputs_.insert(NameKey(path)); }
    void LetGo(const QString& path) { heldOutputs_.remove(NameKey(path)); }

    // Plans without touching the disk: no folder is made, no name claimed and no
    // file moved aside.
    void SetDryRun(bool dryRun) { dryRun_ = dryRun; }

    // Plans the output of the source named namingSource in a format with this
    // extension. Convert-to-One intermediates get a random name, always renamed on
    // a collision, in the plain output folder. On success *claim is set and the
    // path counts as handed out; on failure *message says why for the row.
    bool Plan(const QString& namingSource, const QString& extension, bool convertToOne,
              const FileOnDisk& fileOnDisk, OutputClaim* claim, QString* message);

    // Claims the joined file of Convert to One, a name the person gave, as
    // policy (a TargetExistsOpt value) says when it is taken.
    bool ClaimJoinedTarget(const QString& path, int policy, OutputClaim* claim, QString* message);

private:
    enum class Attempt { Planned, Failed, FailedMayFallBack };
    struct Choices {
        QString baseName;
        int policy;
        bool perSourceFolder;
        bool tree;
        FileOnDisk fileOnDisk;
        QString OnDisk(const QString& path) const { return fileOnDisk ? fileOnDisk(path) : path; }
    };

    Attempt PlanInFolder(const QString& namingSource, const QString& extension,
                         const Choices& choices, int mode, const QString& folder,
                         OutputClaim* claim, QString* message);
    // Applies the policy to a name taken on disk or in the batch: *path numbered
    // on, or false with *message set.
    bool ResolveCollision(const QString& namingSource, const QString& stem,
                          const QString& dotExtension, const Choices& choices, QString* path,
                          QString* message);
    // Claims the chosen name, numbering on when another process took it first.
    Attempt Claim(const QString& stem, const QString& dotExtension, const Choices& choices,
                  QString path, OutputClaim* claim, QString* message);
    // Sources are files and compare as files. Outputs are names not written yet:
    // the mount they go to may ignore case, and there is no file to ask.
    static QString NameKey(const QString& path) { return platform::PathKey(path).toUpper(); }
    bool IsPlanned(const QString& path) const {
        const QString key = NameKey(path);
        return plannedOutputs_.contains(key) || heldOutputs_.contains(key);
    }
    QString FirstFreeNumberedName(const QString& stem, const QString& dotExtension,
                                  const Choices& choices);
    bool IsBatchSource(const QString& path) const {
        return batchSources_.contains(platform::FileKey(path));
    }
    bool MakeFolder(const QString& folder) const;

    const ConvertSettings& settings_;
    bool dryRun_ = false;
    QSet<QString> plannedOutputs_; // NameKeys
    QSet<QString> batchSources_;   // FileKeys
    QSet<QString> heldOutputs_;    // NameKeys
    // Per policy and unnumbered name (a NameKey): the number to try first, as
    // every lower one was taken when last looked at.
    QHash<std::pair<int, QString>, int> nextNumbers_;
};
