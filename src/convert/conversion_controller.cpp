#include "convert/conversion_controller.h"

#include "convert/conversion_front_end.h"
#include "convert/run_outcome.h"
#include "engine/engine_command_builder.h"
#include "engine/engine_run.h"
#include "engine/theora_command_builder.h"
#include "media/dvd_titles.h"
#include "media/source_list_model.h"
#include "platform/folders.h"

#include <QFile>
#include <algorithm>

namespace {

// The job of an id in a batch's jobs, const or not; null when there is none.
template <typename Jobs> auto FindIn(Jobs& jobs, int jobId) -> decltype(&jobs.front()) {
    const auto found = std::find_if(jobs.begin(), jobs.end(),
                                    [jobId](const ConversionJob& job) { return job.id == jobId; });
    return found == jobs.end() ? nullptr : &*found;
}

constexpr int kTransportStreamFormat = 170;
constexpr int kWideStatusColumn = 500;

QString FileNamePart(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

// What the output is named after: a DVD title has no file of its own.
QString NamingSource(const SourceItem& item) {
    return item.kind == KindDvdTitle ? DvdTitleNamingPath(item) : item.path;
}

} // namespace

QString FormatRunPosition(qint64 milliseconds) {
    const qint64 ms = std::max<qint64>(0, milliseconds);
    const qint64 seconds = ms / 1000;
    if (seconds < 3600) {
        return QString::asprintf("[%02d:%02d.%03d]", int(seconds / 60), int(seconds % 60),
                                 int(ms % 1000));
    }
    return QString::asprintf("[%02lld:%02d:%02d.%03d]", seconds / 3600, int(seconds / 60 % 60),
                             int(seconds % 60), int(ms % 1000));
}

ConversionController::ConversionController(SourceListModel& model, const FormatCatalog& catalog,
                                           ConvertSettings& settings, const ToolPaths& tools,
                                           ConversionFrontEnd& frontEnd, QObject* parent)
    : QObject(parent), model_(model), catalog_(catalog), settings_(settings), tools_(tools),
      frontEnd_(frontEnd), planner_(settings), staging_(model, frontEnd),
      scheduler_([this](int jobId) { return StartJob(jobId); }) {
    connect(&staging_, &StagingPass::Ended, this, &ConversionController::OnStagingEnded);
    connect(&staging_, &StagingPass::RowChanged, this,
            [this](const QPersistentModelIndex& row, JobState state, const QString& status) {
                ConversionJob staged;
                staged.row = row;
                staged.state = state;
                staged.status = status;
                emit JobChanged(staged);
            });
    connect(&scheduler_, &JobScheduler::RunProgress, this, &ConversionController::OnRunProgress);
    connect(&scheduler_, &JobScheduler::RunFinished, this, [this](int jobId, const RunEnd& end) {
        if (ConversionJob* job = FindJob(jobId))
            JudgeRunEnd(*job, end, true);
    });
    connect(&scheduler_, &JobScheduler::OverallProgressChanged, this,
            &ConversionController::OverallProgressChanged);
    connect(&scheduler_, &JobScheduler::Drained, this, &ConversionController::EndBatch);
}

ConversionController::~ConversionController() {
    // The runs end with the scheduler, a stager at work with the staging pass;
    // what the runs wrote goes once they are gone.
    staging_.disconnect(this);
    scheduler_.disconnect(this);
    scheduler_.Cancel([this](int jobId) { return OutputRemoval(jobId); });
    if (oneJob_) {
        oneJob_->RestoreSettings(settings_);
        oneJob_->DeleteTemporaryFiles();
    }
}

void ConversionController::SetDryRun(bool dryRun) {
    dryRun_ = dryRun;
    planner_.SetDryRun(dryRun);
}

std::vector<int> ConversionController::ConsideredRows(bool selectedOnly) {
    if (selectedOnly)
        return frontEnd_.SelectedRows();
    std::vector<int> rows(model_.rowCount());
    for (int row = 0; row < model_.rowCount(); ++row)
        rows[row] = row;
    return rows;
}

void ConversionController::Start(OutputFormat* selected, bool selectedOnly, bool convertToOne) {
    if (IsBusy())
        return;
    command_ = {selected, selectedOnly, convertToOne};
    const CommandCheck check =
        CheckCommand(command_, model_.rowCount(),
                     selectedOnly ? static_cast<int>(frontEnd_.SelectedRows().size()) : 0);
    if (!check.goesAhead) {
        if (!check.message.isEmpty())
            frontEnd_.ShowMessage(check.message, check.icon);
        return;
    }
    if (convertToOne) {
        QString target;
        if (!frontEnd_.ChooseJoinedTarget(selected->extension, &target))
            return;
        oneJob_ = std::make_unique<ConvertToOneJob>(target, settings_);
    }
    RemoveFormatCopies();
    consideredRows_ = ConsideredRows(selectedOnly);
    if (staging_.Needed(consideredRows_))
        staging_.Begin(consideredRows_);
    else
        ContinueStart();
}

void ConversionController::RemoveFormatCopies() {
    std::vector<int> rows;
    for (const auto& [row, format] : copyRows_) {
        if (row.isValid())
            rows.push_back(row.row());
    }
    copyRows_.clear();
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (int row : rows)
        model_.RemoveRow(row);
}

void ConversionController::OnStagingEnded(bool cancelled) {
    // A batch that opened ends on its own, possibly at once.
    if (!cancelled && ContinueStart())
        return;
    // The command ends here, with no batch; its rows tell why.
    TearDownBatch(cancelled);
}

bool ConversionController::ContinueStart() {
    OutputFormat& selected = *command_.selected;
    std::vector<int> rows = consideredRows_;
    if (selected.category == FormatCategory::CustomGroup) {
        std::vector<OutputFormat*> formats;
        const CommandCheck check = ResolveGroupFormats(selected, catalog_, &formats);
        if (!check.goesAhead) {
            frontEnd_.ShowMessage(check.message, check.icon);
            ReleaseConvertToOne();
            return false;
        }
        rows = ExpandCustomGroup(formats, rows);
    }
    if (!BuildQueue(rows)) {
        ReleaseConvertToOne();
        return false;
    }
    if (oneJob_ && JoinsOntoASource(oneJob_->targetPath, model_, jobs_)) {
        // The engine would write the join over a file it is still reading.
        frontEnd_.ShowMessage(kTargetIsSourceMessage, ConversionFrontEnd::Icon::Warning);
        jobs_.clear();
        ReleaseConvertToOne();
        return false;
    }
    if (oneJob_)
        PrepareConvertToOne();
    else
        currentFormat_ = &selected;
    OpenBatch(BatchFormatName(selected));
    return true;
}

std::vector<int> ConversionController::ExpandCustomGroup(const std::vector<OutputFormat*>& formats,
                                                         const std::vector<int>& rows) {
    // From the last row up, so the rows still to visit keep their numbers. Each
    // copy goes directly below its parent, so the group's formats stand there in
    // reverse and the queue, running down the list, takes the last one first.
    std::vector<int> copiesPerRow(rows.size(), 0);
    for (size_t i = rows.size(); i-- > 0;) {
        const SourceItem& parent = *model_.Item(rows[i]);
        if (parent.needsStaging && !parent.staged)
            continue;
        for (OutputFormat* format : formats) {
            model_.InsertCopyRow(rows[i] + 1, std::make_unique<SourceItem>(parent),
                                 QStringLiteral("   to ") + BatchFormatName(*format));
            copyRows_.emplace_back(model_.index(rows[i] + 1, 0), format);
        }
        copiesPerRow[i] = static_cast<int>(formats.size());
    }
    if (!command_.selectedOnly)
        return ConsideredRows(false);

    std::vector<int> expanded;
    int shift = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        expanded.push_back(rows[i] + shift);
        for (int copy = 1; copy <= copiesPerRow[i]; ++copy) {
            expanded.push_back(rows[i] + shift + copy);
            frontEnd_.SelectRow(rows[i] + shift + copy);
        }
        shift += copiesPerRow[i];
    }
    return expanded;
}

bool ConversionController::BuildQueue(const std::vector<int>& rows) {
    std::vector<ConsideredRow> considered;
    for (int row : rows) {
        const SourceItem* item = model_.Item(row);
        if (!item || (item->needsStaging && !item->staged))
            continue; // its row still tells why
        model_.SetCellText(row, SourceListModel::ColumnStatus, QString());
        model_.SetJobState(row, JobState::None);
        const auto copy =
            std::find_if(copyRows_.begin(), copyRows_.end(),
                         [row](const auto& entry) { return entry.first.row() == row; });
        considered.push_back({row, copy == copyRows_.end() ? nullptr : copy->second});
    }
    const bool customGroup = command_.selected->category == FormatCategory::CustomGroup;
    jobs_ = PlanJobs(model_, considered, customGroup, nextJobId_);
    nextJobId_ += static_cast<int>(jobs_.size());
    finishedJobs_.clear();
    planner_.Clear();
    for (const ConversionJob& job : jobs_)
        planner_.KeepSource(model_.Item(job.row.row())->path);
    return !jobs_.empty();
}

void ConversionController::PrepareConvertToOne() {
    ConvertToOneJob& join = *oneJob_;
    join.targetFormat = command_.selected;
    for (const ConversionJob& job : jobs_)
        join.parts.push_back({job.id, *model_.Item(job.row.row()), QString()});
    if (settings_.NormalizeFile) {
        std::vector<const SourceMedia*> sources;
        for (const ConvertToOneJob::Part& part : join.parts)
            sources.push_back(&part.source);
        const OutputFormat* transportStream = catalog_.FindById(kTransportStreamFormat);
        join.normalisationFormat = ConvertToOneJob::BuildNormalisationFormat(
            *join.targetFormat, sources, transportStream ? *transportStream : OutputFormat());
        currentFormat_ = join.normalisationFormat.get();
        join.SuspendSettings(settings_);
        join.phase = ConvertToOneJob::Normalising;
    } else {
        currentFormat_ = join.targetFormat;
        join.phase = ConvertToOneJob::Combining;
    }
}

void ConversionController::OpenBatch(const QString& formatName) {
    frontEnd_.SetMainWindowEnabled(false);
    BatchStart start;
    start.priorityClass = settings_.ConversionPriority;
    start.threads = settings_.ConversionThreads;
    if (settings_.DestOutputFolderOpt == kOutputToSpecifiedFolder)
        start.outputFolder = settings_.DestSpecifiedFolder;
    start.formatName = formatName;
    if (!oneJob_) {
        start.statusText =
            QStringLiteral("Converting %1 file(s) to %2...").arg(jobs_.size()).arg(formatName);
    } else if (oneJob_->phase == ConvertToOneJob::Normalising) {
        start.statusText = QStringLiteral("Normalizing files...");
    } else {
        start.statusText = QStringLiteral("Combining files...");
    }
    batchStarted_ = QDateTime::currentDateTime();
    batchActive_ = true;
    for (const ConversionJob& job : jobs_)
        model_.SetJobState(job.row.row(), JobState::Waiting);
    emit BatchStarted(start);
    if (oneJob_ && oneJob_->phase == ConvertToOneJob::Combining) {
        StartCombining();
        return;
    }
    std::vector<int> ids;
    for (const ConversionJob& job : jobs_)
        ids.push_back(job.id);
    scheduler_.Begin(ids, static_cast<int>(ids.size()), settings_.ConversionThreads);
}

std::unique_ptr<EngineRun> ConversionController::StartJob(int jobId) {
    ConversionJob* job = FindJob(jobId);
    const SourceItem* source = job ? JobSource(*job) : nullptr;
    if (!source)
        return nullptr; // its row is gone
    SourceItem media = *source;
    OutputFormat& format = *JobFormat(*job);
    if (!IsJoinedRun(*job)) {
        const int row = job->row.row();
        lastScrolledRow_ = row;
        frontEnd_.ScrollRowIntoView(row);
        UpdateJob(*job, JobState::Running, QStringLiteral("Initialize..."));
        // A picture sequence takes its numbered names on disk.
        OutputPlanner::FileOnDisk firstPicture;
        if (IsPictureSequence(*job))
            firstPicture = [&media, &format](const QString& path) {
                return FirstPicturePath(media, format, path);
            };
        OutputClaim claim;
        QString message;
        if (!planner_.Plan(NamingSource(media), format.extension, oneJob_ != nullptr, firstPicture,
                           &claim, &message)) {
            UpdateJob(*job, JobState::Skipped, message);
            return nullptr;
        }
        job->plannedPath = claim.path;
        job->keptAside = claim.keptAside;
        job->outputPath = job->plannedPath;
    }
    media.outputPath = job->outputPath;
    return StartRun(*job, media, format);
}

std::unique_ptr<EngineRun> ConversionController::StartRun(ConversionJob& job, SourceMedia& source,
                                                          OutputFormat& format) {
    const CommandLine command =
        format.usesTheoraTool ? BuildTheoraCommand(source, format, settings_, tools_.theoraToolPath)
                              : BuildEngineCommand(source, format, settings_, tools_.enginePath);
    job.outputPath = source.outputPath; // a picture sequence's names its first picture
    if (dryRun_) {
        frontEnd_.CommandPlanned(command.text());
        JudgeRunEnd(job, RunEnd(), false);
        return nullptr;
    }
    QString error;
    std::unique_ptr<EngineRun> run = EngineRun::Start(command, tools_.programDir, source.duration,
                                                      settings_.ConversionPriority, &error);
    if (!run)
        JudgeRunEnd(job, RunEnd::StartFailure(error), true); // it never ran
    return run;
}

void ConversionController::OnRunProgress(int jobId, int percent, qint64 position) {
    ConversionJob* job = FindJob(jobId);
    if (!job)
        return;
    const QString positionText = FormatRunPosition(position);
    job->position = position;
    if (percent >= 0)
        job->percent = std::clamp(percent, 0, 100);
    if (IsJoinedRun(*job)) {
        emit ProgressStatusChanged(QStringLiteral("Combining files...  ") + positionText);
        if (percent < 0)
            emit ProgressStepped();
        return;
    }
    UpdateJob(*job, JobState::Running,
              percent < 0 ? positionText
                          : QStringLiteral("%1% %2").arg(job->percent).arg(positionText));
    if (scheduler_.RunCount() < settings_.ConversionThreads) {
        const ConversionJob* last = FindJob(scheduler_.LastStartedJob());
        const int row = last ? last->row.row() : -1;
        if (row >= 0 && row != lastScrolledRow_) {
            lastScrolledRow_ = row;
            frontEnd_.ScrollRowIntoView(row);
        }
    }
}

void ConversionController::JudgeRunEnd(ConversionJob& job, const RunEnd& end, bool judgeOutput) {
    job.percent = 100;
    const SourceItem* source = JobSource(job);
    // A program that failed may still have left a plausible, truncated file.
    const bool succeeded = !judgeOutput || (end.Succeeded() && OutputWritten(job.outputPath));
    const bool normalising = oneJob_ && oneJob_->phase == ConvertToOneJob::Normalising;
    QString status;
    if (succeeded) {
        // A join takes the dates of its first source.
        const SourceItem* dateSource = IsJoinedRun(job) ? &oneJob_->parts.front().source : source;
        if (judgeOutput && dateSource)
            CopyOutputDates(*dateSource, job.outputPath, settings_);
        SettleReplacedFile(job.keptAside, job.outputPath, true);
        if (ConvertToOneJob::Part* part = normalising ? oneJob_->FindPart(job.id) : nullptr)
            part->intermediate = job.outputPath;
        status = normalising ? QStringLiteral("Normalizing OK") : FileNamePart(job.outputPath);
    } else {
        if (source)
            DeleteRunOutput(*source, job.outputPath, IsPictureSequence(job), batchStarted_);
        SettleReplacedFile(job.keptAside, job.outputPath, false);
        job.outputPath.clear();
        const OutputFormat* format = JobFormat(job);
        const QString program = format && format->usesTheoraTool ? QStringLiteral("the Theora tool")
                                                                 : QStringLiteral("the engine");
        status = FailureText(end.FailureReason(program), !platform::FileExists(tools_.enginePath));
        WidenStatusColumn(status);
    }
    UpdateJob(job, succeeded ? JobState::Succeeded : JobState::Failed, status);
    finishedJobs_.push_back(job.id);
}

JobScheduler::Cleanup ConversionController::OutputRemoval(int jobId) {
    const ConversionJob* job = FindJob(jobId);
    const SourceItem* source = job ? JobSource(*job) : nullptr;
    if (!source || job->outputPath.isEmpty())
        return [] {};
    // Until the child is gone no batch may plan its name, nor have what it
    // writes there removed by this.
    planner_.Hold(job->plannedPath);
    return [this, source = *source, planned = job->plannedPath, output = job->outputPath,
            kept = job->keptAside, pictures = IsPictureSequence(*job), since = batchStarted_] {
        DeleteRunOutput(source, output, pictures, since);
        SettleReplacedFile(kept, output, false);
        planner_.LetGo(planned);
    };
}

bool ConversionController::IsPictureSequence(const ConversionJob& job) const {
    const OutputFormat* format = JobFormat(job);
    return format && format->category == FormatCategory::ImageSequence;
}

void ConversionController::EndBatch() {
    if (!batchActive_)
        return;
    if (oneJob_) {
        if (oneJob_->phase == ConvertToOneJob::Normalising) {
            StartCombining();
            return;
        }
        // The rows of the join point at the joined file, or at nothing when it failed.
        oneJob_->DeleteTemporaryFiles();
        const ConversionJob* joined = FindJob(oneJob_->joinedJobId);
        const QString joinedOutput = joined ? joined->outputPath : QString();
        for (const ConvertToOneJob::Part& part : oneJob_->parts) {
            if (ConversionJob* job = FindJob(part.jobId))
                job->outputPath = joinedOutput;
        }
    }
    const bool shutDown = frontEnd_.ShutDownChecked();
    QString firstOutput;
    if (settings_.BrowseOutputFolder && !dryRun_) {
        for (int jobId : finishedJobs_) {
            const ConversionJob* job = FindJob(jobId);
            if (job && !job->outputPath.isEmpty() && platform::FileExists(job->outputPath)) {
                firstOutput = job->outputPath;
                break;
            }
        }
    }
    // The batch lets go of its state before anything below lets events in: a
    // command given meanwhile starts a batch of its own on a clean controller.
    TearDownBatch(false);
    if (!firstOutput.isEmpty())
        frontEnd_.ShowInFileManager(firstOutput);
    if (shutDown)
        frontEnd_.RunShutdownCountdown();
}

void ConversionController::TearDownBatch(bool cancelled) {
    BatchSummary summary{cancelled, std::move(jobs_)};
    jobs_.clear();
    finishedJobs_.clear();
    ReleaseConvertToOne();
    batchActive_ = false;
    frontEnd_.SetMainWindowEnabled(true);
    emit BatchEnded(summary);
}

void ConversionController::StartCombining() {
    ConvertToOneJob& join = *oneJob_;
    join.phase = ConvertToOneJob::Combining;
    join.RestoreSettings(settings_);
    emit PhaseStarted(QStringLiteral("Combining files..."));
    finishedJobs_.clear();

    const bool normalised = join.normalisationFormat != nullptr;
    if (normalised)
        std::erase_if(join.parts, [](const auto& part) { return part.intermediate.isEmpty(); });
    for (const ConvertToOneJob::Part& part : join.parts) {
        if (ConversionJob* job = FindJob(part.jobId))
            UpdateJob(*job, JobState::Running, QStringLiteral("Combining..."));
    }
    if (join.parts.empty()) {
        StopWithMessage(QStringLiteral("No files need to be converted."));
        return;
    }
    std::vector<int> leftOut;
    const bool written = join.WriteListFile(normalised, &leftOut);
    for (int jobId : leftOut) {
        ConversionJob& job = *FindJob(jobId);
        if (normalised)
            QFile::remove(job.outputPath);
        job.outputPath.clear();
        UpdateJob(job, JobState::Skipped,
                  QStringLiteral("Left out: a line break in its path cannot be joined"));
    }
    if (!written) {
        StopWithMessage(QStringLiteral("Failed to create temporary file. Conversion failed."));
        return;
    }
    const int policy = frontEnd_.JoinedTargetReplaceConfirmed() ? kTargetExistsOverwrite
                                                                : settings_.TargetExistsOpt;
    OutputClaim claim;
    QString message;
    if (!planner_.ClaimJoinedTarget(join.targetPath, policy, &claim, &message)) {
        StopWithMessage(message);
        return;
    }
    join.targetPath = claim.path;
    join.CreateJoinedItem(normalised);
    ConversionJob joined;
    joined.id = nextJobId_++;
    joined.plannedPath = join.targetPath;
    joined.outputPath = join.targetPath;
    joined.keptAside = claim.keptAside;
    join.joinedJobId = joined.id;
    jobs_.push_back(joined);
    scheduler_.Begin({joined.id}, 1, 1);
}

void ConversionController::StopWithMessage(const QString& text) {
    oneJob_->DeleteTemporaryFiles();
    TearDownBatch(false);
    frontEnd_.ShowMessage(text, ConversionFrontEnd::Icon::Warning);
}

void ConversionController::ReleaseConvertToOne() {
    if (!oneJob_)
        return;
    oneJob_->RestoreSettings(settings_);
    oneJob_.reset();
    currentFormat_ = nullptr;
}

void ConversionController::Cancel() {
    if (staging_.IsActive()) {
        staging_.Cancel();
        return;
    }
    if (!batchActive_ || !scheduler_.HasRuns())
        return;
    // The outputs go once the children are gone, so none can write after.
    scheduler_.Cancel([this](int jobId) { return OutputRemoval(jobId); });
    for (ConversionJob& job : jobs_) {
        if (job.state != JobState::Waiting && job.state != JobState::Running)
            continue;
        job.outputPath.clear();
        // A job still queued keeps its empty status.
        const bool ran = job.state == JobState::Running;
        UpdateJob(job, JobState::Cancelled, ran ? QStringLiteral("Cancelled") : job.status);
    }
    if (oneJob_) {
        oneJob_->RestoreSettings(settings_);
        oneJob_->DeleteTemporaryFiles();
        for (const ConvertToOneJob::Part& part : oneJob_->parts) {
            if (ConversionJob* job = FindJob(part.jobId))
                UpdateJob(*job, JobState::Cancelled, QStringLiteral("Cancelled"));
        }
    }
    TearDownBatch(true);
}

void ConversionController::SetPriorityClass(int priorityClass) {
    if (!scheduler_.HasRuns())
        return;
    settings_.ConversionPriority = priorityClass;
    scheduler_.SetPriorityClass(priorityClass);
}

void ConversionController::SetThreads(int threads) {
    settings_.ConversionThreads = threads;
    if (!batchActive_ || (oneJob_ && oneJob_->phase == ConvertToOneJob::Combining))
        return;
    scheduler_.SetSlotCount(threads);
}

ConversionJob* ConversionController::FindJob(int jobId) {
    return FindIn(jobs_, jobId);
}

const ConversionJob* ConversionController::FindJob(int jobId) const {
    return FindIn(jobs_, jobId);
}

bool ConversionController::IsJoinedRun(const ConversionJob& job) const {
    return oneJob_ && job.id == oneJob_->joinedJobId;
}

const SourceItem* ConversionController::JobSource(const ConversionJob& job) const {
    if (IsJoinedRun(job))
        return oneJob_->joinedItem.get();
    return job.row.isValid() ? model_.Item(job.row.row()) : nullptr;
}

OutputFormat* ConversionController::JobFormat(const ConversionJob& job) const {
    if (job.format)
        return job.format;
    if (IsJoinedRun(job))
        return oneJob_->targetFormat;
    return currentFormat_;
}

void ConversionController::UpdateJob(ConversionJob& job, JobState state, const QString& status) {
    job.state = state;
    job.status = status;
    if (job.row.isValid()) {
        const int row = job.row.row();
        model_.SetCellText(row, SourceListModel::ColumnStatus, status);
        model_.SetJobState(row, state);
        // The row's output, for playing and showing it once the batch is over.
        model_.Item(row)->outputPath = job.outputPath;
    }
    emit JobChanged(job);
    if (!IsJoinedRun(job))
        return;
    // The joined run has no row: its parts' rows tell its state.
    for (const ConvertToOneJob::Part& part : oneJob_->parts) {
        if (ConversionJob* partJob = FindJob(part.jobId))
            UpdateJob(*partJob, state, status);
    }
}

void ConversionController::WidenStatusColumn(const QString& status) {
    // Only a failure with its reason needs the room.
    if (status == FailureText(QString(), false) || statusColumnWidth_ >= kWideStatusColumn)
        return;
    statusColumnWidth_ = kWideStatusColumn;
    frontEnd_.SetStatusColumnWidth(kWideStatusColumn);
}
