#pragma once

#include "engine/engine_run.h"

#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

// Runs a batch's jobs, up to a number at a time, and keeps the overall progress:
// 100 for every job that has ended plus the percent of every active run, out of
// 100 per job. Jobs are known by id only; starting one (planning its output,
// building its command) is its owner's. Runs ended by Cancel are reaped as their
// ends arrive, apart from any later batch's.
class JobScheduler : public QObject {
    Q_OBJECT

public:
    // Starts the job's run. Null when the job ended without one; its owner has
    // written that end, and it counts as done.
    using Starter = std::function<std::unique_ptr<EngineRun>(int jobId)>;

    JobScheduler(Starter starter, QObject* parent = nullptr);
    // Active and ended runs still going are ended here, and their cleanups run.
    ~JobScheduler() override;

    // Takes the jobs to run, measures the progress against jobCount and starts
    // as many as the slots allow.
    void Begin(const std::vector<int>& jobIds, int jobCount, int slotCount);
    // Another number of parallel runs: lowering it ends no run, raising it starts
    // more at once.
    void SetSlotCount(int slotCount);
    void FillSlots();

    // What is left to do once an ended run's child is gone, such as removing
    // what it wrote. It must not depend on the owner, which may be gone by then.
    using Cleanup = std::function<void()>;
    // Ends every active run and drops the waiting jobs. Returns at once; the
    // cleanup cleanupOf gives for each ended run runs once that run's child is
    // gone, at the latest when this object goes.
    void Cancel(const std::function<Cleanup(int jobId)>& cleanupOf);

    void SetPriorityClass(int priorityClass);

    bool HasRuns() const { return !running_.empty(); }
    int RunCount() const { return static_cast<int>(running_.size()); }
    // The most recently started active job; 0 when none runs.
    int LastStartedJob() const { return running_.empty() ? 0 : running_.back().jobId; }

signals:
    // A run's progress line; percent is -1 when its source's length is unknown.
    void RunProgress(int jobId, int percent, qint64 position);
    // A run has ended; its job is done and its slot free.
    void RunFinished(int jobId, const RunEnd& end);
    // done of total, each job counting 100.
    void OverallProgressChanged(qint64 done, qint64 total);
    // Nothing waits and nothing runs any more.
    void Drained();

private:
    struct Running {
        int jobId;
        EngineRun* run; // a child of this object
        int percent;
    };
    void StartNext();
    void OnProgress(int jobId, int percent, qint64 position);
    void OnFinished(int jobId, const RunEnd& end);
    void CountDone();
    void EmitOverallProgress();
    void OnReaped(EngineRun* run);

    Starter starter_;
    std::deque<int> waiting_;
    std::vector<Running> running_; // in start order
    std::vector<std::pair<EngineRun*, Cleanup>> reaping_;
    int slotCount_ = 1;
    qint64 done_ = 0;
    qint64 total_ = 0;
};
