#include "convert/conversion_controller.h"

#include "convert/conversion_events.h"
#include "convert/conversion_front_end.h"
#include "engine/engine_command_builder.h"
#include "engine/engine_events.h"
#include "engine/launch_engine.h"
#include "engine/theora_command_builder.h"
#include "media/dvd_titles.h"
#include "media/source_list_model.h"
#include "platform/child_process.h"
#include "platform/file_dates.h"
#include "platform/file_system.h"
#include "platform/folders.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>

namespace {

constexpr int kTransportStreamFormat = 170;
constexpr int kWideStatusColumn = 500;
constexpr int kCombiningStep = 2;
constexpr int kDrainLimitMs = 10000;

const QString kMissingProgram = QStringLiteral(
    " (Some files of the program are missing or corrupted. Please reinstall the program)");

QString FileNamePart(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

// The chooser's name of a format: its own name, else its extension.
QString FormatName(const OutputFormat& format) {
    return format.displayName.isEmpty() ? format.extension.toUpper() : format.displayName;
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
      frontEnd_(frontEnd), planner_(settings) {}

ConversionController::~ConversionController() {
    // No child outlives the controller, and no reader may post to it once it is
    // gone: the runs end here, and their readers are waited for. Nothing may start
    // a run meanwhile, such as a change of threads waiting among the events.
    batchActive_ = false;
    pendingJobs_.clear();
    TerminateRuns();
    runningJobs_.clear();
    DrainCancelledRuns();
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
    if (batchActive_)
        return;
    if (selectedOnly && frontEnd_.SelectedRows().empty()) {
        frontEnd_.ShowMessage(QStringLiteral("You should select a file at least."),
                              ConversionFrontEnd::Icon::Information);
        return;
    }
    if (!selectedOnly && model_.rowCount() == 0) {
        frontEnd_.ShowMessage(QStringLiteral("There aren't files in list."),
                              ConversionFrontEnd::Icon::Information);
        return;
    }
    if (!selected || selected->category == FormatCategory::Command)
        return;
    convertToOne_ = convertToOne;
    const bool customGroup = selected->category == FormatCategory::CustomGroup;

    if (convertToOne) {
        if (RefusesToJoin(*selected))
            return;
        QString target;
        if (!frontEnd_.ChooseJoinedTarget(selected->extension, &target))
            return;
        oneJob_ = std::make_unique<ConvertToOneJob>(target, settings_);
    }

    DrainCancelledRuns();
    RemoveFormatCopies();
    std::vector<int> rows = ConsideredRows(selectedOnly);
    if (!StagingPass(rows)) {
        ReleaseConvertToOne();
        return;
    }

    const QString formatName = customGroup && selected->customFormat ? selected->customFormat->name
                                                                     : FormatName(*selected);
    if (customGroup) {
        const auto formats = selected->customFormat
                                 ? catalog_.ResolveCustomGroup(*selected->customFormat)
                                 : std::vector<OutputFormat*>();
        if (formats.empty()) {
            frontEnd_.ShowMessage(
                QStringLiteral("There're not any output formats associated with custom format "
                               "\"%1\". Please choose one or more output formats for the format "
                               "before converting.")
                    .arg(formatName),
                ConversionFrontEnd::Icon::Warning);
            return;
        }
        rows = ExpandCustomGroup(formats, rows, selectedOnly);
    }

    BuildQueue(rows, *selected);
    if (pendingJobs_.empty()) {
        ReleaseConvertToOne();
        return;
    }
    if (oneJob_ && JoinsOntoASource()) {
        // The engine would write the join over a file it is still reading.
        frontEnd_.ShowMessage(kTargetIsSourceMessage, ConversionFrontEnd::Icon::Warning);
        ReleaseConvertToOne();
        return;
    }
    jobCount_ = static_cast<quint32>(pendingJobs_.size());
    if (convertToOne)
        PrepareConvertToOne(*selected);
    else
        currentFormat_ = selected;

    batchStarted_ = QDateTime::currentDateTime();
    OpenProgressWindow(formatName);
    if (oneJob_ && oneJob_->phase == ConvertToOneJob::Combining)
        StartCombining();
    else
        FillSlots();
}

bool ConversionController::RefusesToJoin(const OutputFormat& selected) {
    if (selected.category == FormatCategory::CustomGroup) {
        frontEnd_.ShowMessage(
            QStringLiteral("Customized Output Format is not supported for \"Convert to One\"."),
            ConversionFrontEnd::Icon::Warning);
        return true;
    }
    if (selected.category == FormatCategory::ImageSequence) {
        frontEnd_.ShowMessage(
            QStringLiteral("Image Sequence Format is not supported for \"Convert to One\".\n\n"),
            ConversionFrontEnd::Icon::Warning);
        return true;
    }
    if (selected.UsesTheoraTool()) {
        frontEnd_.ShowMessage(
            QStringLiteral("OGG/OGM/OGV (optimized) is not supported for \"Convert to "
                           "One\".\n\nYou may convert all files to another format, and then "
                           "convert the outputted file to the OGG/OGM/OGV (optimized)."),
            ConversionFrontEnd::Icon::Information);
        return true;
    }
    return false;
}

void ConversionController::RemoveFormatCopies() {
    for (int row = model_.rowCount() - 1; row >= 0; --row) {
        if (model_.Item(row)->formatCopy)
            model_.RemoveRow(row);
    }
}

bool ConversionController::StagingPass(const std::vector<int>& rows) {
    const bool anyToStage = std::any_of(rows.begin(), rows.end(),
                                        [&](int row) { return model_.Item(row)->needsStaging; });
    if (!anyToStage)
        return true;

    frontEnd_.SetMainWindowEnabled(false);
    frontEnd_.OpenBusyDialog();
    bool cancelled = false;
    for (int row : rows) {
        SourceItem& item = *model_.Item(row);
        if (!item.needsStaging || (item.staged && QFileInfo(item.stagedFile).isFile()))
            continue;
        frontEnd_.ScrollRowIntoView(row);
        SetStatus(row, QStringLiteral("Loading..."));
        QString message = QStringLiteral("This kind of source cannot be loaded");
        item.staged = stager_ && stager_(item, &message);
        if (item.staged) {
            SetStatus(row, QStringLiteral("Loading OK"));
        } else if (frontEnd_.BusyDialogCancelled()) {
            SetStatus(row, message);
            cancelled = true;
            break;
        } else {
            SetStatus(row, QStringLiteral("Error: ") + message);
        }
    }
    frontEnd_.CloseBusyDialog();
    frontEnd_.SetMainWindowEnabled(true);
    QCoreApplication::processEvents();
    return !cancelled;
}

std::vector<int> ConversionController::ExpandCustomGroup(const std::vector<OutputFormat*>& formats,
                                                         const std::vector<int>& rows,
                                                         bool selectedOnly) {
    // From the last row up, so the rows still to visit keep their numbers. Each
    // copy goes directly below its parent, so the group's formats stand there in
    // reverse and the queue, running down the list, takes the last one first.
    std::vector<int> copiesPerRow(rows.size(), 0);
    for (size_t i = rows.size(); i-- > 0;) {
        const SourceItem& parent = *model_.Item(rows[i]);
        if (parent.needsStaging && !parent.staged)
            continue;
        for (OutputFormat* format : formats) {
            auto copy = std::make_unique<SourceItem>(parent);
            copy->outputPath.clear();
            copy->row = -1;
            copy->percent = 0;
            copy->process.reset();
            copy->formatCopy = true;
            copy->format = format;
            model_.InsertRow(rows[i] + 1, std::move(copy),
                             QStringLiteral("   to ") + FormatName(*format));
        }
        copiesPerRow[i] = static_cast<int>(formats.size());
    }
    if (!selectedOnly)
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

void ConversionController::BuildQueue(const std::vector<int>& rows, const OutputFormat& selected) {
    pendingJobs_.clear();
    runningJobs_.clear();
    finishedJobs_.clear();
    planner_.Clear();
    const bool customGroup = selected.category == FormatCategory::CustomGroup;
    for (int row : rows) {
        SourceItem* item = model_.Item(row);
        item->outputPath.clear();
        if (item->needsStaging && !item->staged)
            continue; // its row still tells why
        SetStatus(row, QString());
        if (customGroup && !item->formatCopy)
            continue;
        item->row = row;
        item->percent = 0;
        item->process.reset();
        planner_.KeepSource(item->path);
        pendingJobs_.push_back(item);
    }
}

bool ConversionController::JoinsOntoASource() const {
    return std::any_of(pendingJobs_.begin(), pendingJobs_.end(), [&](const SourceItem* item) {
        return platform::IsSameFile(oneJob_->targetPath, item->path) ||
               platform::IsSameFile(oneJob_->targetPath, item->InputPath());
    });
}

void ConversionController::PrepareConvertToOne(OutputFormat& target) {
    oneJob_->targetFormat = &target;
    oneJob_->items.assign(pendingJobs_.begin(), pendingJobs_.end());
    if (settings_.NormalizeFile) {
        const OutputFormat* transportStream = catalog_.FindById(kTransportStreamFormat);
        oneJob_->normalisationFormat = ConvertToOneJob::BuildNormalisationFormat(
            target, oneJob_->items, transportStream ? *transportStream : OutputFormat());
        currentFormat_ = oneJob_->normalisationFormat.get();
        oneJob_->SuspendSettings(settings_);
        oneJob_->phase = ConvertToOneJob::Normalising;
    } else {
        currentFormat_ = &target;
        jobCount_ = 1;
        oneJob_->phase = ConvertToOneJob::Combining;
    }
}

void ConversionController::OpenProgressWindow(const QString& formatName) {
    frontEnd_.SetMainWindowEnabled(false);
    ConversionFrontEnd::ProgressSetup setup;
    setup.receiver = this;
    setup.priorityClass = settings_.ConversionPriority;
    setup.threads = settings_.ConversionThreads;
    if (settings_.DestOutputFolderOpt == kOutputToSpecifiedFolder)
        setup.outputFolder = settings_.DestSpecifiedFolder;
    frontEnd_.OpenProgressWindow(setup);
    const int width = std::max(1, frontEnd_.ProgressBarWidth());
    frontEnd_.SetProgressRange(width);
    frontEnd_.SetProgressPosition(0);
    if (!oneJob_) {
        frontEnd_.SetProgressStatus(
            QStringLiteral("Converting %1 file(s) to %2...").arg(jobCount_).arg(formatName));
    } else if (oneJob_->phase == ConvertToOneJob::Normalising) {
        frontEnd_.SetProgressStatus(QStringLiteral("Normalizing files..."));
    } else {
        frontEnd_.SetProgressStatus(QStringLiteral("Combining files..."));
    }
    doneProgress_ = 0;
    progressScale_ = jobCount_ * 100.0 / width;
    cancelled_ = false;
    batchActive_ = true;
}

void ConversionController::FillSlots() {
    // A job that cannot start takes no slot; the loop goes on with the next one.
    const size_t slotCount = static_cast<size_t>(std::max(1, settings_.ConversionThreads));
    while (batchActive_ && !pendingJobs_.empty() && runningJobs_.size() < slotCount)
        StartNextJob();
    if (batchActive_ && pendingJobs_.empty() && runningJobs_.empty())
        EndBatch();
}

void ConversionController::StartNextJob() {
    SourceItem* item = pendingJobs_.front();
    pendingJobs_.pop_front();
    OutputFormat* format = JobFormat(*item);

    lastScrolledRow_ = item->row;
    frontEnd_.ScrollRowIntoView(item->row);
    SetStatus(item->row, QStringLiteral("Initialize..."));

    QString message;
    if (!planner_.Plan(NamingSource(*item), format->extension, convertToOne_, &item->outputPath,
                       &message)) {
        item->outputPath.clear();
        SetStatus(item->row, message);
        doneProgress_ += 100;
        UpdateOverallProgress();
        return;
    }
    StartRun(item, format->UsesTheoraTool()
                       ? BuildTheoraCommand(*item, *format, settings_, tools_.theoraToolPath)
                       : BuildEngineCommand(*item, *format, settings_, tools_.enginePath));
}

void ConversionController::StartRun(SourceItem* item, const CommandLine& command) {
    if (dryRun_) {
        frontEnd_.CommandPlanned(command.text());
        EndRun(item, QString(), false);
        return;
    }
    QString error;
    if (!LaunchEngine(command, tools_.programDir, *item, settings_.ConversionPriority, this,
                      &error)) {
        // No reader will ever tell of its end: the run ends here, failed.
        EndRun(item, error, true);
        return;
    }
    runningJobs_.push_back(item);
}

void ConversionController::EndRun(SourceItem* item, const QString& endText, bool judgeOutput) {
    item->percent = 100;
    item->process.reset();

    qint64 size = 0;
    const bool succeeded =
        !judgeOutput || (platform::GetFileSize(item->outputPath, &size) && size > 0);
    const bool joined = item->row < 0;
    QString status;
    if (succeeded) {
        if (judgeOutput)
            CopyDates(joined ? *oneJob_->items.front() : *item, item->outputPath);
        status = oneJob_ && oneJob_->phase == ConvertToOneJob::Normalising
                     ? QStringLiteral("Normalizing OK")
                     : FileNamePart(item->outputPath);
    } else {
        DeleteRunOutput(*item);
        item->outputPath.clear();
        status = FailureText(endText);
    }
    if (joined) {
        for (SourceItem* part : oneJob_->items)
            SetStatus(part->row, status);
    } else {
        SetStatus(item->row, status);
    }

    const auto running = std::find(runningJobs_.begin(), runningJobs_.end(), item);
    if (running != runningJobs_.end())
        runningJobs_.erase(running);
    finishedJobs_.push_back(item);
    doneProgress_ += 100;
    UpdateOverallProgress();
}

QString ConversionController::FailureText(const QString& endText) {
    QString text = QStringLiteral("Conversion failure");
    QString reason;
    if (!platform::FileExists(tools_.enginePath))
        reason = kMissingProgram;
    else if (!endText.isEmpty())
        reason = QStringLiteral(" (") + endText + u')';
    if (!reason.isEmpty() && statusColumnWidth_ < kWideStatusColumn) {
        statusColumnWidth_ = kWideStatusColumn;
        frontEnd_.SetStatusColumnWidth(kWideStatusColumn);
    }
    return text + reason;
}

OutputFormat* ConversionController::JobFormat(const SourceItem& item) const {
    if (item.formatCopy)
        return item.format;
    if (item.kind == KindJoinedList)
        return oneJob_->targetFormat;
    return currentFormat_;
}

void ConversionController::DeleteRunOutput(const SourceItem& item) {
    const QString& output = item.outputPath;
    if (output.isEmpty() || platform::IsSameFile(output, item.path) ||
        platform::IsSameFile(output, item.InputPath()))
        return;
    const OutputFormat* format = JobFormat(item);
    if (!format || format->category != FormatCategory::ImageSequence) {
        QFile::remove(output);
        return;
    }
    // A picture sequence is every numbered file the run wrote, not its first one.
    const QFileInfo first(output);
    static const QRegularExpression numbered(QStringLiteral("^(.*_)(\\d+)(\\.[^.]*)$"));
    const QRegularExpressionMatch parts = numbered.match(first.fileName());
    if (!parts.hasMatch()) {
        QFile::remove(output);
        return;
    }
    // Numbers have a fixed width, except for a source of unknown duration.
    const QString digits = item.duration > 0 ? QStringLiteral("{%1}").arg(parts.captured(2).size())
                                             : QStringLiteral("+");
    const QRegularExpression frame(QStringLiteral("^%1\\d%2%3$")
                                       .arg(QRegularExpression::escape(parts.captured(1)), digits,
                                            QRegularExpression::escape(parts.captured(3))));
    // Pictures of an earlier batch that this run's numbering did not reach are the
    // person's own; only what this batch wrote goes.
    QDir folder = first.dir();
    for (const QFileInfo& file : folder.entryInfoList(QDir::Files)) {
        if (frame.match(file.fileName()).hasMatch() && file.lastModified() >= batchStarted_)
            folder.remove(file.fileName());
    }
}

void ConversionController::CopyDates(const SourceItem& dateSource, const QString& output) const {
    if (!settings_.KeepDateCreated && !settings_.KeepDateModified)
        return;
    if (output.isEmpty() || !QFileInfo(output).isFile())
        return;
    // A DVD title's date is that of the first video file of its title set.
    const QString from = dateSource.kind == KindDvdTitle
                             ? DvdPartPath(dateSource.dvdFolder, dateSource.titleSet, 1)
                             : dateSource.path;
    platform::CopyFileDates(from, output, settings_.KeepDateCreated != 0,
                            settings_.KeepDateModified != 0);
}

void ConversionController::SetStatus(int row, const QString& text) {
    if (row >= 0 && row < model_.rowCount())
        model_.SetCellText(row, SourceListModel::ColumnStatus, text);
}

SourceItem* ConversionController::RunningJob(const SourceMedia* media) const {
    for (SourceItem* item : runningJobs_) {
        if (static_cast<const SourceMedia*>(item) == media)
            return item;
    }
    return nullptr;
}

bool ConversionController::event(QEvent* event) {
    switch (static_cast<int>(event->type())) {
    case WM_ENGINE_PROGRESS: {
        const ProgressReport& report = static_cast<EngineProgressEvent*>(event)->report();
        OnProgress(report.item, report.percent, report.position);
        return true;
    }
    case WM_ENGINE_FINISHED: {
        const auto* finished = static_cast<EngineFinishedEvent*>(event);
        OnRunFinished(finished->item(), finished->endText());
        return true;
    }
    case WM_CONV_PRIORITY:
        ApplyPriority(static_cast<ConversionRequestEvent*>(event)->value());
        return true;
    case WM_CONV_CANCEL:
        Cancel();
        return true;
    case WM_CONV_THREADS:
        ApplyThreads(static_cast<ConversionRequestEvent*>(event)->value());
        return true;
    default:
        return QObject::event(event);
    }
}

void ConversionController::OnProgress(SourceMedia* media, int percent, qint64 position) {
    // After Cancel, and for runs this batch does not know, the report is dropped.
    SourceItem* item = cancelled_ ? nullptr : RunningJob(media);
    if (!item)
        return;
    const QString positionText = FormatRunPosition(position);
    const int clamped = std::clamp(percent, 0, 100);
    if (item->row < 0) {
        frontEnd_.SetProgressStatus(QStringLiteral("Combining files...  ") + positionText);
        if (percent < 0) {
            frontEnd_.StepProgress();
        } else {
            item->percent = clamped;
            UpdateOverallProgress();
        }
        return;
    }
    if (percent < 0) {
        SetStatus(item->row, positionText);
    } else {
        item->percent = clamped;
        SetStatus(item->row, QStringLiteral("%1% %2").arg(clamped).arg(positionText));
        UpdateOverallProgress();
    }
    if (runningJobs_.size() < static_cast<size_t>(settings_.ConversionThreads)) {
        const int row = runningJobs_.back()->row;
        if (row != lastScrolledRow_) {
            lastScrolledRow_ = row;
            frontEnd_.ScrollRowIntoView(row);
        }
    }
}

void ConversionController::OnRunFinished(SourceMedia* media, const QString& endText) {
    const auto draining = std::find_if(draining_.begin(), draining_.end(),
                                       [&](const auto& run) { return run.first == media; });
    if (draining != draining_.end()) {
        draining_.erase(draining); // the reader has let go: the child is released here
        return;
    }
    SourceItem* item = cancelled_ ? nullptr : RunningJob(media);
    if (!item)
        return;
    EndRun(item, endText, true);
    FillSlots();
}

void ConversionController::UpdateOverallProgress() {
    quint64 done = doneProgress_;
    for (const SourceItem* item : runningJobs_)
        done += static_cast<quint64>(std::max(0, item->percent));
    frontEnd_.SetProgressPosition(static_cast<int>(done / progressScale_));
    const quint64 percent = std::min<quint64>(100, done / std::max<quint32>(1, jobCount_));
    frontEnd_.SetProgressPercent(QStringLiteral("%1%").arg(percent));
}

void ConversionController::EndBatch() {
    if (oneJob_) {
        if (oneJob_->phase == ConvertToOneJob::Normalising) {
            StartCombining();
            return;
        }
        // The rows of the join point at the joined file, or at nothing when it failed.
        oneJob_->DeleteTemporaryFiles();
        const QString joinedOutput =
            oneJob_->joinedItem ? oneJob_->joinedItem->outputPath : QString();
        for (SourceItem* item : oneJob_->items)
            item->outputPath = joinedOutput;
    }

    const bool shutDown = frontEnd_.ShutDownChecked();
    frontEnd_.CloseProgressWindow();
    frontEnd_.SetMainWindowEnabled(true);
    QString firstOutput;
    if (settings_.BrowseOutputFolder && !dryRun_) {
        for (const SourceItem* item : finishedJobs_) {
            if (!item->outputPath.isEmpty() && platform::FileExists(item->outputPath)) {
                firstOutput = item->outputPath;
                break;
            }
        }
    }
    // The batch lets go of its state before anything below lets events in: a
    // command given meanwhile starts a batch of its own on a clean controller.
    finishedJobs_.clear();
    ReleaseConvertToOne();
    batchActive_ = false;
    emit BatchEnded();

    if (!firstOutput.isEmpty())
        frontEnd_.ShowInFileManager(firstOutput);
    if (shutDown) {
        QCoreApplication::processEvents();
        frontEnd_.RunShutdownCountdown();
    }
}

void ConversionController::StartCombining() {
    ConvertToOneJob& job = *oneJob_;
    job.phase = ConvertToOneJob::Combining;
    job.RestoreSettings(settings_);

    const int width = std::max(1, frontEnd_.ProgressBarWidth());
    frontEnd_.SetProgressRange(width);
    frontEnd_.SetProgressPosition(0);
    frontEnd_.SetProgressStep(kCombiningStep);
    frontEnd_.SetProgressStatus(QStringLiteral("Combining files..."));
    frontEnd_.SetProgressPercent(QString());
    doneProgress_ = 0;
    jobCount_ = 1;
    progressScale_ = 100.0 / width;
    finishedJobs_.clear();
    runningJobs_.clear();
    pendingJobs_.clear();

    const bool normalised = job.normalisationFormat != nullptr;
    if (normalised) {
        std::erase_if(job.items, [](const SourceItem* item) { return item->outputPath.isEmpty(); });
    }
    for (const SourceItem* item : job.items)
        SetStatus(item->row, QStringLiteral("Combining..."));
    if (job.items.empty()) {
        StopWithMessage(QStringLiteral("No files need to be converted."));
        return;
    }
    std::vector<SourceItem*> leftOut;
    const bool written = job.WriteListFile(normalised, &leftOut);
    for (SourceItem* item : leftOut) {
        SetStatus(item->row, QStringLiteral("Left out: a line break in its path cannot be joined"));
        if (normalised) {
            QFile::remove(item->outputPath);
            item->outputPath.clear();
        }
    }
    if (!written) {
        StopWithMessage(QStringLiteral("Failed to create temporary file. Conversion failed."));
        return;
    }
    job.CreateJoinedItem(normalised);
    SourceItem* joined = job.joinedItem.get();
    StartRun(joined, BuildEngineCommand(*joined, *job.targetFormat, settings_, tools_.enginePath));
    FillSlots();
}

void ConversionController::StopWithMessage(const QString& text) {
    frontEnd_.CloseProgressWindow();
    frontEnd_.SetMainWindowEnabled(true);
    frontEnd_.ShowMessage(text, ConversionFrontEnd::Icon::Warning);
    oneJob_->DeleteTemporaryFiles();
    batchActive_ = false;
    ReleaseConvertToOne();
    emit BatchEnded();
}

void ConversionController::ReleaseConvertToOne() {
    if (!oneJob_)
        return;
    oneJob_->RestoreSettings(settings_);
    oneJob_.reset();
    currentFormat_ = nullptr;
}

void ConversionController::TerminateRuns() {
    for (SourceItem* item : runningJobs_) {
        if (item->process) {
            item->process->Terminate();
            item->process->WaitForExit(-1);
            // Held until the reader has told of its end; it may still be reading.
            draining_.emplace_back(item, std::move(item->process));
        }
        DeleteRunOutput(*item);
        item->outputPath.clear();
    }
}

void ConversionController::Cancel() {
    if (runningJobs_.empty())
        return;
    TerminateRuns();
    for (SourceItem* item : runningJobs_) {
        if (item->row >= 0)
            SetStatus(item->row, QStringLiteral("Cancelled"));
    }
    cancelled_ = true;
    if (oneJob_) {
        oneJob_->RestoreSettings(settings_);
        oneJob_->DeleteTemporaryFiles();
        for (const SourceItem* item : oneJob_->items)
            SetStatus(item->row, QStringLiteral("Cancelled"));
        ReleaseConvertToOne();
    }
    finishedJobs_.clear();
    runningJobs_.clear();
    pendingJobs_.clear();
    frontEnd_.CloseProgressWindow();
    frontEnd_.SetMainWindowEnabled(true);
    batchActive_ = false;
    emit BatchEnded();
}

void ConversionController::ApplyPriority(int priorityClass) {
    if (runningJobs_.empty())
        return;
    settings_.ConversionPriority = priorityClass;
    for (SourceItem* item : runningJobs_) {
        if (item->process)
            item->process->SetPriorityClass(priorityClass);
    }
}

void ConversionController::ApplyThreads(int threads) {
    settings_.ConversionThreads = threads;
    if (oneJob_ && oneJob_->phase == ConvertToOneJob::Combining)
        return;
    FillSlots();
}

void ConversionController::DrainCancelledRuns() {
    // The terminated children are gone; their readers post their end at once.
    // Taking those events now keeps them from being mistaken for a new batch's.
    QElapsedTimer waited;
    waited.start();
    while (!draining_.empty() && waited.elapsed() < kDrainLimitMs) {
        QCoreApplication::sendPostedEvents(this, 0);
        if (!draining_.empty())
            QThread::msleep(5);
    }
    draining_.clear();
}
