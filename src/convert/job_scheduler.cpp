#include "convert/job_scheduler.h"

#include "engine/engine_run.h"

#include <algorithm>

JobScheduler::JobScheduler(Starter starter, QObject* parent)
    : QObject(parent), starter_(std::move(starter)) {}

JobScheduler::~JobScheduler() {
    // Active runs are children and end with this object; the ended ones go first
    // so that their cleanups find their children gone.
    for (auto& [run, cleanup] : reaping_) {
        delete run; // its child is gone once this returns
        cleanup();
    }
}

void JobScheduler::Begin(const std::vector<int>& jobIds, int jobCount, int slotCount) {
    waiting_.assign(jobIds.begin(), jobIds.end());
    done_ = 0;
    total_ = qint64(std::max(1, jobCount)) * 100;
    slotCount_ = std::max(1, slotCount);
    FillSlots();
}

void JobScheduler::SetSlotCount(int slotCount) {
    slotCount_ = std::max(1, slotCount);
    FillSlots();
}

void JobScheduler::FillSlots() {
    // A job that ends at its start takes no slot; the loop goes on with the next.
    while (!waiting_.empty() && RunCount() < slotCount_)
        StartNext();
    if (waiting_.empty() && running_.empty())
        emit Drained();
}

void JobScheduler::StartNext() {
    const int jobId = waiting_.front();
    waiting_.pop_front();
    std::unique_ptr<EngineRun> started = starter_(jobId);
    if (!started) {
        CountDone();
        return;
    }
    EngineRun* run = started.release();
    run->setParent(this);
    connect(run, &EngineRun::Progress, this,
            [this, jobId](int percent, qint64 position) { OnProgress(jobId, percent, position); });
    connect(run, &EngineRun::Finished, this,
            [this, jobId](const RunEnd& end) { OnFinished(jobId, end); });
    running_.push_back({jobId, run, 0});
}

void JobScheduler::OnProgress(int jobId, int percent, qint64 position) {
    const auto found = std::find_if(running_.begin(), running_.end(),
                                    [jobId](const Running& r) { return r.jobId == jobId; });
    if (found == running_.end())
        return;
    if (percent >= 0)
        found->percent = std::min(percent, 100);
    emit RunProgress(jobId, percent, position);
    if (percent >= 0)
        EmitOverallProgress();
}

void JobScheduler::OnFinished(int jobId, const RunEnd& end) {
    const auto found = std::find_if(running_.begin(), running_.end(),
                                    [jobId](const Running& r) { return r.jobId == jobId; });
    if (found == running_.end())
        return;
    found->run->deleteLater(); // it is still telling of its end
    running_.erase(found);
    emit RunFinished(jobId, end);
    CountDone();
    FillSlots();
}

void JobScheduler::CountDone() {
    done_ += 100;
    EmitOverallProgress();
}

void JobScheduler::EmitOverallProgress() {
    qint64 done = done_;
    for (const Running& running : running_)
        done += running.percent;
    emit OverallProgressChanged(done, total_);
}

void JobScheduler::Cancel(const std::function<Cleanup(int jobId)>& cleanupOf) {
    for (const Running& running : running_) {
        EngineRun* run = running.run;
        // Its reports belong to no batch any more; its end only lets it go.
        disconnect(run, nullptr, this, nullptr);
        connect(run, &EngineRun::Finished, this, [this, run] { OnReaped(run); });
        reaping_.emplace_back(run, cleanupOf(running.jobId));
        run->Terminate();
    }
    running_.clear();
    waiting_.clear();
}

void JobScheduler::OnReaped(EngineRun* run) {
    const auto found = std::find_if(reaping_.begin(), reaping_.end(),
                                    [run](const auto& entry) { return entry.first == run; });
    if (found == reaping_.end())
        return;
    const Cleanup cleanup = std::move(found->second);
    reaping_.erase(found);
    run->deleteLater(); // it is still telling of its end
    cleanup();
}

void JobScheduler::SetPriorityClass(int priorityClass) {
    for (const Running& running : running_)
        running.run->SetPriorityClass(priorityClass);
}
