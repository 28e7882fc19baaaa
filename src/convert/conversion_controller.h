#pragma once

#include "app/convert_settings.h"
#include "app/format_catalog.h"
#include "convert/convert_to_one_job.h"
#include "convert/output_planner.h"
#include "engine/tool_paths.h"

#include <QDateTime>
#include <QObject>
#include <deque>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class CommandLine;
class ConversionFrontEnd;
class SourceListModel;
struct SourceItem;
struct SourceMedia;
namespace platform {
class ChildProcess;
}

// Turns a conversion command into a batch of jobs, one per source row and output
// format, runs up to ConversionThreads of them at a time, follows their progress
// and their end, judges each by its output file and keeps the Status column and
// the progress window current. It works on the source list model and speaks to
// people only through its front end, so the window and the command-line
// companion drive the very same batches. Everything runs on the thread of the
// event loop; the runs' reader threads only post events to it.
class ConversionController : public QObject {
    Q_OBJECT

public:
    ConversionController(SourceListModel& model, const FormatCatalog& catalog,
                         ConvertSettings& settings, const ToolPaths& tools,
                         ConversionFrontEnd& frontEnd, QObject* parent = nullptr);
    ~ConversionController() override;

    // Makes a source the engine cannot read directly readable (a DVD title, a CD
    // track). False, with the message for its row, when it cannot.
    using Stager = std::function<bool(SourceItem& item, QString* message)>;
    void SetStager(Stager stager) { stager_ = std::move(stager); }

    // A dry run plans and builds every job, hands each command to the front end
    // and starts nothing.
    void SetDryRun(bool dryRun);

    // One of the conversion commands: every row or the selected ones, each to
    // its own output or all joined into one. selected is the chooser's entry; a
    // null one or the chooser's command entry does nothing.
    void Start(OutputFormat* selected, bool selectedOnly, bool convertToOne);

    // A batch runs: its progress window is open.
    bool IsBusy() const { return batchActive_; }

signals:
    // A batch whose progress window opened has ended, been cancelled or stopped.
    void BatchEnded();

protected:
    bool event(QEvent* event) override;

private:
    std::vector<int> ConsideredRows(bool selectedOnly);
    // The formats a join cannot be made in, each refused with its message.
    bool RefusesToJoin(const OutputFormat& selected);
    void RemoveFormatCopies();
    bool StagingPass(const std::vector<int>& rows);
    std::vector<int> ExpandCustomGroup(const std::vector<OutputFormat*>& formats,
                                       const std::vector<int>& rows, bool selectedOnly);
    void BuildQueue(const std::vector<int>& rows, const OutputFormat& selected);
    bool JoinsOntoASource() const;
    void PrepareConvertToOne(OutputFormat& target);
    void OpenProgressWindow(const QString& formatName);

    void FillSlots();
    void StartNextJob();
    void StartRun(SourceItem* item, const CommandLine& command);
    void EndRun(SourceItem* item, const QString& endText, bool judgeOutput);
    void OnProgress(SourceMedia* media, int percent, qint64 position);
    void OnRunFinished(SourceMedia* media, const QString& endText);
    void UpdateOverallProgress();
    void EndBatch();

    void StartCombining();
    void StopWithMessage(const QString& text);
    void ReleaseConvertToOne();

    // Ends every active run and removes its output; the children stay held until
    // their readers tell of their end.
    void TerminateRuns();
    void Cancel();
    void ApplyPriority(int priorityClass);
    void ApplyThreads(int threads);

    // Ends the terminated runs whose reader has not yet told of its end.
    void DrainCancelledRuns();

    OutputFormat* JobFormat(const SourceItem& item) const;
    void DeleteRunOutput(const SourceItem& item);
    void CopyDates(const SourceItem& dateSource, const QString& output) const;
    QString FailureText(const QString& endText);
    void SetStatus(int row, const QString& text);
    SourceItem* RunningJob(const SourceMedia* media) const;

    SourceListModel& model_;
    const FormatCatalog& catalog_;
    ConvertSettings& settings_;
    ToolPaths tools_;
    ConversionFrontEnd& frontEnd_;
    Stager stager_;
    OutputPlanner planner_;
    bool dryRun_ = false;

    std::deque<SourceItem*> pendingJobs_;
    std::vector<SourceItem*> runningJobs_;
    std::vector<SourceItem*> finishedJobs_;
    bool convertToOne_ = false;
    std::unique_ptr<ConvertToOneJob> oneJob_;
    OutputFormat* currentFormat_ = nullptr;
    quint32 doneProgress_ = 0;
    quint32 jobCount_ = 0;
    double progressScale_ = 1.0;
    bool cancelled_ = false;
    bool batchActive_ = false;
    int lastScrolledRow_ = -1;
    int statusColumnWidth_ = 138;
    QDateTime batchStarted_;

    // Runs ended by Cancel: their child stays held until the reader's end event
    // says it has let go of it. The item is only compared, never followed.
    std::vector<std::pair<const SourceMedia*, std::shared_ptr<platform::ChildProcess>>> draining_;
};

// A run's media position as the Status column shows it: [mm:ss.mmm], or
// [hh:mm:ss.mmm] from one hour on.
QString FormatRunPosition(qint64 milliseconds);
