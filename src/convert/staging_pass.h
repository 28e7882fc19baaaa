#pragma once

#include "media/job_state.h"
#include "media/source_item.h"
#include "media/stage_source.h"

#include <QObject>
#include <QPersistentModelIndex>
#include <QString>
#include <atomic>
#include <deque>
#include <functional>
#include <thread>
#include <vector>

class ConversionFrontEnd;
class SourceListModel;

// Makes a source the engine cannot read directly readable (a DVD title, a CD
// track, an AIFF or voice file). Runs off the event loop's thread on a copy of
// the row's item. progress(percent 0..100) is called now and then; when it
// returns false the stager stops, removes what it wrote and returns Cancelled.
using Stager = std::function<StageOutcome(const SourceItem& item, QString* stagedFile,
                                          QString* message, const StageProgress& progress)>;

// The staging pass of a command: every considered row whose source needs it is
// staged in turn on a worker thread under the busy dialog, while the event loop
// goes on. The rows' statuses and job states tell how each went; the staged file
// is recorded on the row's item on the event loop's thread.
class StagingPass : public QObject {
    Q_OBJECT

public:
    StagingPass(SourceListModel& model, ConversionFrontEnd& frontEnd, QObject* parent = nullptr);
    // A stager at work is asked to stop and its thread joined: none outlives this.
    ~StagingPass() override;

    void SetStager(Stager stager) { stager_ = std::move(stager); }

    // True when one of the rows still has to be staged.
    bool Needed(const std::vector<int>& rows) const;
    // Starts the pass over the rows; Ended follows, possibly at once.
    void Begin(const std::vector<int>& rows);
    // The busy dialog's Cancel: the stager at work is asked to stop.
    void Cancel() { stopRequested_ = true; }
    bool IsActive() const { return active_; }

signals:
    // A row's staging has started or ended: its state and Status text.
    void RowChanged(const QPersistentModelIndex& row, JobState state, const QString& status);
    // The pass is over; cancelled when Cancel stopped it.
    void Ended(bool cancelled);

private:
    static bool NeedsStaging(const SourceItem& item);
    void StageNext();
    void OnStaged(StageOutcome outcome, const QString& stagedFile, const QString& message);
    void Finish(bool cancelled);
    void JoinWorker();
    void SetRow(JobState state, const QString& status);

    SourceListModel& model_;
    ConversionFrontEnd& frontEnd_;
    Stager stager_ = StageSource;
    std::deque<QPersistentModelIndex> waiting_;
    QPersistentModelIndex current_;
    std::thread worker_;
    std::atomic<bool> stopRequested_ = false;
    bool active_ = false;
};
