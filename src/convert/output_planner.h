#pragma once

#include "app/convert_settings.h"
#include "platform/file_system.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <utility>

// The refusal of an output that would replace its own source.
extern const QString kTargetIsSourceMessage;

// Decides where each output of a batch goes and what it is called, before its run
// starts: the folder the settings choose (with the Documents folder as a one-time
// fallback), the name, and what happens when that name is taken on disk or was
// already handed out in this batch.
class OutputPlanner {
public:
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

    // Plans without touching the disk: no folder is made and no file is created
    // or replaced to prove it can be.
    void SetDryRun(bool dryRun) { dryRun_ = dryRun; }

    // Plans the output of the source named namingSource in a format with this
    // extension. Convert-to-One intermediates get a random name, always renamed on
    // a collision, in the plain output folder. On success *outputPath is set and
    // the path counts as handed out; on failure *message says why for the row.
    bool Plan(const QString& namingSource, const QString& extension, bool convertToOne,
              QString* outputPath, QString* message);

private:
    enum class Attempt { Planned, Failed, FailedMayFallBack };
    struct Choices {
        QString baseName;
        int policy;
        bool perSourceFolder;
        bool tree;
    };

    Attempt PlanInFolder(const QString& namingSource, const QString& extension,
                         const Choices& choices, int mode, const QString& folder,
                         QString* outputPath, QString* message);
    // Sources are files and compare as files. Outputs are names not written yet:
    // the mount they go to may ignore case, and there is no file to ask.
    static QString NameKey(const QString& path) { return platform::PathKey(path).toUpper(); }
    bool IsPlanned(const QString& path) const {
        const QString key = NameKey(path);
        return plannedOutputs_.contains(key) || heldOutputs_.contains(key);
    }
    QString FirstFreeNumberedName(const QString& stem, const QString& dotExtension, int policy);
    bool IsBatchSource(const QString& path) const {
        return batchSources_.contains(platform::FileKey(path));
    }
    bool MakeFolder(const QString& folder) const;
    bool CanCreateFile(const QString& path) const;

    const ConvertSettings& settings_;
    bool dryRun_ = false;
    QSet<QString> plannedOutputs_; // NameKeys
    QSet<QString> batchSources_;   // FileKeys
    QSet<QString> heldOutputs_;    // NameKeys
    // Per policy and unnumbered name (a NameKey): the number to try first, as
    // every lower one was taken when last looked at.
    QHash<std::pair<int, QString>, int> nextNumbers_;
};
