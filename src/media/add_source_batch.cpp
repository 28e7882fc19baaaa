#include "media/add_source_batch.h"

#include "app/web_addresses.h"
#include "media/add_source_file.h"
#include "media/source_list_model.h"
#include "platform/file_system.h"

#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <algorithm>

namespace {

constexpr int kMaxThreads = 8;
constexpr size_t kListedFailures = 30;

} // namespace

AddSourceBatch::AddSourceBatch(SourceListModel& list, const MediaProbe& probe,
                               int requestAudioIndex, QObject* parent)
    : QObject(parent), list_(list), probe_(probe), requestAudioIndex_(requestAudioIndex),
      threadCount_(std::clamp(QThread::idealThreadCount(), 1, kMaxThreads)) {}

AddSourceBatch::~AddSourceBatch() {
    for (size_t i = 0; i < slots_.size(); ++i)
        dropped_[i] = true;
    // Bounded: a dropped in-process probe ends at its next read, an engine probe
    // with the engine's run on one regular file.
    for (std::thread& worker : workers_)
        worker.join();
}

void AddSourceBatch::SetThreadCount(int threads) {
    threadCount_ = std::clamp(threads, 1, kMaxThreads);
}

QString AddSourceBatch::ProgressText(int number, int total, const QString& path) {
    return QStringLiteral("[%1/%2] Adding file %3...")
        .arg(number)
        .arg(total)
        .arg(QFileInfo(path).fileName());
}

void AddSourceBatch::Start(const QStringList& paths) {
    Q_ASSERT(!running_ && slots_.empty());
    running_ = true;
    paths_ = paths;
    slots_ = std::vector<Slot>(static_cast<size_t>(paths.size()));
    dropped_ = std::make_unique<std::atomic<bool>[]>(paths.size());
    // A path already in the list, or earlier in this batch, is not probed: the
    // list refuses it when its turn comes.
    QSet<QString> keys;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        Slot& slot = slots_[i];
        slot.key = platform::FileKey(paths[i]);
        slot.item = NewSourceItem(paths[i]);
        if (list_.paths().Contains(slot.key) || keys.contains(slot.key)) {
            slot.state = State::Duplicate;
            continue;
        }
        keys.insert(slot.key);
        toProbe_.push_back(static_cast<int>(i));
    }
    // Plain threads: everything above is written before they start.
    const size_t threads = std::min(toProbe_.size(), static_cast<size_t>(threadCount_));
    for (size_t t = 0; t < threads; ++t) {
        workers_.emplace_back([this] {
            for (size_t next = nextToProbe_++; next < toProbe_.size(); next = nextToProbe_++)
                ProbeSlot(toProbe_[next]);
        });
    }
    if (!paths.isEmpty()) {
        emit Progress(1, static_cast<int>(paths.size()),
                      ProgressText(1, static_cast<int>(paths.size()), paths[0]));
    }
    // Rows that need no probe (duplicates), and the end of an empty batch, come
    // from the event loop as every other row does.
    QMetaObject::invokeMethod(this, &AddSourceBatch::AppendReadyRows, Qt::QueuedConnection);
}

// On a worker.
void AddSourceBatch::ProbeSlot(int index) {
    if (dropped_[index])
        return;
    Slot& slot = slots_[index];
    QString reason;
    const MediaProbe::Outcome outcome = probe_.Probe(*slot.item, &dropped_[index], &reason);
    slot.reason = reason;
    // Released last: whoever sees the new state sees the item and the reason too.
    slot.state.store(outcome == MediaProbe::Outcome::Loaded   ? State::Loaded
                     : outcome == MediaProbe::Outcome::Failed ? State::Failed
                                                              : State::CdAudioFailed,
                     std::memory_order_release);
    QMetaObject::invokeMethod(this, &AddSourceBatch::AppendReadyRows, Qt::QueuedConnection);
}

void AddSourceBatch::AppendReadyRows() {
    const int total = static_cast<int>(slots_.size());
    while (running_) {
        if (next_ < total) {
            Slot& slot = slots_[next_];
            if (slot.state.load(std::memory_order_acquire) == State::Waiting)
                return;
            Conclude(slot, paths_[next_]);
            ++next_;
        }
        if (cancelRequested_ || next_ == total) {
            Finish();
            return;
        }
        emit Progress(next_ + 1, total, ProgressText(next_ + 1, total, paths_[next_]));
    }
}

void AddSourceBatch::Conclude(Slot& slot, const QString& path) {
    switch (slot.state.load(std::memory_order_acquire)) {
    case State::Loaded:
        // The list may have changed meanwhile: its own rule decides.
        if (!list_.paths().Contains(slot.key))
            list_.AppendSourceRow(std::move(slot.item), requestAudioIndex_, slot.key);
        break;
    case State::CdAudioFailed:
        cdAudioFailed_ = true;
        [[fallthrough]];
    case State::Failed:
        failedFiles_.push_back({path, slot.reason});
        break;
    case State::Duplicate:
    case State::Waiting:
        break;
    }
    slot.item.reset();
}

void AddSourceBatch::Cancel() {
    if (!running_ || cancelRequested_)
        return;
    cancelRequested_ = true;
    for (size_t i = next_ + 1; i < slots_.size(); ++i)
        dropped_[i] = true;
}

void AddSourceBatch::Finish() {
    running_ = false;
    for (size_t i = next_; i < slots_.size(); ++i)
        dropped_[i] = true;
    emit Finished();
}

QString AddSourceBatch::FailureMessage() const {
    if (failedFiles_.empty())
        return QString();
    QString message = QStringLiteral("Failed to load the following files.\n\n");
    for (size_t i = 0; i < failedFiles_.size() && i < kListedFailures; ++i)
        message += failedFiles_[i].path + u'\n';
    if (failedFiles_.size() > kListedFailures)
        message += QStringLiteral("<more files>...\n");
    if (!QFileInfo(probe_.tools().enginePath).isFile()) {
        message += QStringLiteral(
            "\nSome files of the program are missing or corrupted. Please reinstall the program.");
    } else if (cdAudioFailed_) {
        message += QStringLiteral(
            "\nIMPORTANT: please DO NOT add CDA file from hard drive, but from CD drive directly.");
    } else {
        message += QStringLiteral("\nTo get help, please forward us one or more files above via ") +
                   QLatin1String(kSupportUploadPage) + QStringLiteral(" and send a message to <") +
                   QLatin1String(kSupportMail) + QStringLiteral(">.");
    }
    return message;
}
