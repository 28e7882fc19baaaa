#include "convert/staging_pass.h"

#include "convert/conversion_front_end.h"
#include "media/source_list_model.h"

#include <QFileInfo>
#include <algorithm>

namespace {

// The busy dialog's line while a source is staged.
QString LoadingText(const SourceItem& item) {
    if (item.kind == KindDvdTitle)
        return QStringLiteral("Loading DVD Title %1...").arg(item.titleNumber);
    return QStringLiteral("Loading %1...").arg(QFileInfo(item.path).fileName());
}

} // namespace

StagingPass::StagingPass(SourceListModel& model, ConversionFrontEnd& frontEnd, QObject* parent)
    : QObject(parent), model_(model), frontEnd_(frontEnd) {}

StagingPass::~StagingPass() {
    stopRequested_ = true;
    JoinWorker();
}

bool StagingPass::NeedsStaging(const SourceItem& item) {
    return item.needsStaging && !(item.staged && QFileInfo(item.stagedFile).isFile());
}

bool StagingPass::Needed(const std::vector<int>& rows) const {
    return std::any_of(rows.begin(), rows.end(), [this](int row) {
        const SourceItem* item = model_.Item(row);
        return item && NeedsStaging(*item);
    });
}

void StagingPass::Begin(const std::vector<int>& rows) {
    waiting_.clear();
    for (int row : rows) {
        const SourceItem* item = model_.Item(row);
        if (item && NeedsStaging(*item))
            waiting_.emplace_back(model_.index(row, 0));
    }
    stopRequested_ = false;
    active_ = true;
    frontEnd_.SetMainWindowEnabled(false);
    StageNext();
}

void StagingPass::StageNext() {
    while (!waiting_.empty() && !waiting_.front().isValid())
        waiting_.pop_front();
    if (waiting_.empty()) {
        Finish(false);
        return;
    }
    current_ = waiting_.front();
    waiting_.pop_front();
    const int row = current_.row();
    const SourceItem item = *model_.Item(row);
    frontEnd_.ScrollRowIntoView(row);
    SetRow(JobState::Staging, QStringLiteral("Loading..."));
    frontEnd_.OpenBusyDialog(LoadingText(item));
    // The worker owns its copies; it only posts to this object, which joins it
    // before it goes.
    worker_ = std::thread([this, item, stager = stager_] {
        QString stagedFile;
        QString message;
        const StageOutcome outcome = stager(item, &stagedFile, &message, [this](int percent) {
            QMetaObject::invokeMethod(
                this, [this, percent] { frontEnd_.SetBusyProgress(percent); },
                Qt::QueuedConnection);
            return !stopRequested_;
        });
        QMetaObject::invokeMethod(
            this, [this, outcome, stagedFile, message] { OnStaged(outcome, stagedFile, message); },
            Qt::QueuedConnection);
    });
}

void StagingPass::OnStaged(StageOutcome outcome, const QString& stagedFile,
                           const QString& message) {
    JoinWorker(); // it has delivered its result: nothing is left for it to do
    SourceItem* item = current_.isValid() ? model_.Item(current_.row()) : nullptr;
    if (item) {
        item->staged = outcome == StageOutcome::Staged;
        if (item->staged) {
            item->stagedFile = stagedFile;
            SetRow(JobState::Waiting, QStringLiteral("Loading OK"));
        } else if (outcome == StageOutcome::Cancelled || stopRequested_) {
            SetRow(JobState::Cancelled, message);
        } else {
            SetRow(JobState::Failed, QStringLiteral("Error: ") + message);
        }
    }
    if (stopRequested_) {
        Finish(true);
        return;
    }
    StageNext();
}

void StagingPass::Finish(bool cancelled) {
    waiting_.clear();
    current_ = QPersistentModelIndex();
    active_ = false;
    frontEnd_.CloseBusyDialog();
    frontEnd_.SetMainWindowEnabled(true);
    emit Ended(cancelled);
}

void StagingPass::SetRow(JobState state, const QString& status) {
    model_.SetCellText(current_.row(), SourceListModel::ColumnStatus, status);
    model_.SetJobState(current_.row(), state);
    emit RowChanged(current_, state, status);
}

void StagingPass::JoinWorker() {
    if (worker_.joinable())
        worker_.join();
}
