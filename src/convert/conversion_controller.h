#pragma once

#include "app/convert_settings.h"
#include "app/format_catalog.h"
#include "convert/batch_planner.h"
#include "convert/conversion_job.h"
#include "convert/convert_to_one_job.h"
#include "convert/job_scheduler.h"
#include "convert/output_planner.h"
#include "convert/staging_pass.h"
#include "engine/tool_paths.h"

#include <QDateTime>
#include <QObject>
#include <QPersistentModelIndex>
#include <memory>
#include <utility>
#include <vector>

class ConversionFrontEnd;
class EngineRun;
struct RunEnd;
class SourceListModel;

// Turns a conversion command into a batch of jobs, one per source row and output
// format: stages the sources the engine cannot read, runs up to
// ConversionThreads jobs at a time, judges each by its exit and its output and keeps
// the rows' Status texts and job states current. It works on the source list
// model, asks its front end only what it must, and tells everything a progress
// window shows through its signals; the progress window's controls call its
// slots. The window and the command-line companion drive the very same batches.
// Everything happens on the thread of the event loop, and nothing here waits.
class ConversionController : public QObject {
    Q_OBJECT

public:
    ConversionController(SourceListModel& model, const FormatCatalog& catalog,
                         ConvertSettings& settings, const ToolPaths& tools,
                         ConversionFrontEnd& frontEnd, QObject* parent = nullptr);
    // Runs still active are ended and a stager at work is stopped and joined:
    // nothing reports to the controller once it is gone.
    ~ConversionController() override;

    // Sources the engine cannot read are staged by StageSource; a test may stage
    // its own way.
    void SetStager(Stager stager) { staging_.SetStager(std::move(stager)); }

    // A dry run plans and builds every job, hands each command to the front end
    // and starts nothing.
    void SetDryRun(bool dryRun);

    // One of the conversion commands: every row or the selected ones, each to
    // its own output or all joined into one. selected is the chooser's entry; a
    // null one or the chooser's command entry does nothing. When IsBusy() holds
    // after it returns, BatchEnded follows.
    void Start(OutputFormat* selected, bool selectedOnly, bool convertToOne);

    // A command is at work: staging its sources or running its batch.
    bool IsBusy() const { return staging_.IsActive() || batchActive_; }

public slots:
    // The busy dialog's or the progress window's Cancel: stops the staging pass,
    // or ends every active run at once and the batch with them.
    void Cancel();
    // The progress window's priority: applied to the active runs and kept in the
    // settings; ignored when no run is active.
    void SetPriorityClass(int priorityClass);
    // The progress window's number of parallel runs, kept in the settings.
    void SetThreads(int threads);

signals:
    // A batch starts: the progress window opens with these.
    void BatchStarted(const BatchStart& start);
    // Convert to One goes on to joining: the bar starts empty, the percent text
    // blank, under this status line.
    void PhaseStarted(const QString& statusText);
    // The progress window's status line changes (the join's position).
    void ProgressStatusChanged(const QString& text);
    // The overall progress: the bar is done/total of its length, the percent
    // text min(100, done * 100 / total) "%".
    void OverallProgressChanged(qint64 done, qint64 total);
    // The join of a length nobody knows made progress: the bar moves one step.
    void ProgressStepped();
    // A job's state, progress or status has changed. While its source is being
    // staged, before the batch's jobs exist, a row is told as a job of id 0.
    void JobChanged(const ConversionJob& job);
    // The command is over (its batch ended, was cancelled or stopped, or its
    // staging pass ended it): the progress window closes.
    void BatchEnded(const BatchSummary& summary);

private:
    std::vector<int> ConsideredRows(bool selectedOnly);
    void RemoveFormatCopies();
    void OnStagingEnded(bool cancelled);
    // The command after its staging pass; false when it ends without a batch.
    bool ContinueStart();
    std::vector<int> ExpandCustomGroup(const std::vector<OutputFormat*>& formats,
                                       const std::vector<int>& rows);
    bool BuildQueue(const std::vector<int>& rows);
    void PrepareConvertToOne();
    void OpenBatch(const QString& formatName);

    std::unique_ptr<EngineRun> StartJob(int jobId);
    std::unique_ptr<EngineRun> StartRun(ConversionJob& job, SourceMedia& source,
                                        OutputFormat& format);
    void OnRunProgress(int jobId, int percent, qint64 position);
    // The one judge of a run's end: its state, its status and its output.
    void JudgeRunEnd(ConversionJob& job, const RunEnd& end, bool judgeOutput);
    // Removing what a job's run wrote, to be done when its child is gone.
    JobScheduler::Cleanup OutputRemoval(int jobId);
    bool IsPictureSequence(const ConversionJob& job) const;
    void EndBatch();
    // Every way out of a command that went on past its start ends here.
    void TearDownBatch(bool cancelled);

    void StartCombining();
    void StopWithMessage(const QString& text);
    void ReleaseConvertToOne();

    ConversionJob* FindJob(int jobId);
    const ConversionJob* FindJob(int jobId) const;
    const SourceItem* JobSource(const ConversionJob& job) const;
    OutputFormat* JobFormat(const ConversionJob& job) const;
    bool IsJoinedRun(const ConversionJob& job) const;
    void UpdateJob(ConversionJob& job, JobState state, const QString& status);
    void WidenStatusColumn(const QString& status);

    SourceListModel& model_;
    const FormatCatalog& catalog_;
    ConvertSettings& settings_;
    ToolPaths tools_;
    ConversionFrontEnd& frontEnd_;
    // The scheduler goes first: the cleanups of its ended runs let their names
    // go in the planner.
    OutputPlanner planner_;
    StagingPass staging_;
    JobScheduler scheduler_;
    bool dryRun_ = false;

    // The command between its start and its batch.
    BatchCommand command_;
    std::vector<int> consideredRows_;
    // The rows an earlier custom group added, each with its format.
    std::vector<std::pair<QPersistentModelIndex, OutputFormat*>> copyRows_;

    // The batch.
    std::vector<ConversionJob> jobs_;
    std::vector<int> finishedJobs_; // ids, in the order their runs ended
    std::unique_ptr<ConvertToOneJob> oneJob_;
    OutputFormat* currentFormat_ = nullptr;
    QDateTime batchStarted_;
    bool batchActive_ = false;
    int nextJobId_ = 1;
    int lastScrolledRow_ = -1;
    int statusColumnWidth_ = 138;
};

// A run's media position as the Status column shows it: [mm:ss.mmm], or
// [hh:mm:ss.mmm] from one hour on.
QString FormatRunPosition(qint64 milliseconds);
