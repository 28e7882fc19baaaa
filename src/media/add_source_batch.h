#pragma once

#include "media/media_probe.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

class SourceListModel;
struct SourceItem;

// Adds a list of paths to the source list, the way every command that adds files
// ends: the probes run on a few threads of the batch's own, while the rows are appended on the
// list's thread strictly in the order of the paths, so the list, its refusal of
// duplicates, the progress and the failure message read exactly as if the files
// were added one by one. A busy dialog drives it: it shows Progress, calls
// Cancel from its Cancel button and closes on Finished; then FailureMessage,
// when not empty, is shown as a warning.
class AddSourceBatch : public QObject {
    Q_OBJECT

public:
    AddSourceBatch(SourceListModel& list, const MediaProbe& probe, int requestAudioIndex,
                   QObject* parent = nullptr);
    // Drops the probes still running and waits for them to end.
    ~AddSourceBatch() override;

    // Probes at most this many files at once; by default one per core, at most 8.
    void SetThreadCount(int threads);

    // Starts adding the paths and returns at once; the batch ends with Finished,
    // emitted from the event loop (also for an empty list). One batch per object.
    void Start(const QStringList& paths);
    bool IsRunning() const { return running_; }

    // The row of the file being added is the last one the batch appends; the
    // probes of the files after it are dropped.
    void Cancel();

    // How the batch went, once it has finished.
    bool WasCancelled() const { return cancelRequested_; }
    int FailedCount() const { return static_cast<int>(failedFiles_.size()); }
    struct FailedFile {
        QString path;
        QString reason;
    };
    const std::vector<FailedFile>& FailedFiles() const { return failedFiles_; }
    // "Failed to load the following files." with at most 30 of their paths and
    // the hint that fits; empty when every file was loaded.
    QString FailureMessage() const;

    // "[%d/%d] Adding file %s..." for a file of the batch (number from 1).
    static QString ProgressText(int number, int total, const QString& path);

signals:
    // The file numbered `number` (from 1) of `total` is being added; text is
    // ProgressText's. The busy dialog shows the text and number of total.
    void Progress(int number, int total, const QString& text);
    void Finished();

private:
    enum class State { Waiting, Duplicate, Loaded, Failed, CdAudioFailed };
    struct Slot {
        std::unique_ptr<SourceItem> item;
        QString key;
        std::atomic<State> state = State::Waiting;
        QString reason;
    };

    void ProbeSlot(int index);
    void AppendReadyRows();
    void Conclude(Slot& slot, const QString& path);
    void Finish();

    SourceListModel& list_;
    const MediaProbe probe_;
    const int requestAudioIndex_;

    QStringList paths_;
    // Written by a worker until its slot's state leaves Waiting; read by the
    // list's thread after that.
    std::vector<Slot> slots_;
    // One flag per slot, set when its probe is no longer wanted: a probe not
    // begun is skipped, one in flight ends early.
    std::unique_ptr<std::atomic<bool>[]> dropped_;

    int next_ = 0; // the slot whose row comes next
    bool running_ = false;
    bool cancelRequested_ = false;
    bool cdAudioFailed_ = false;
    std::vector<FailedFile> failedFiles_;

    int threadCount_;
    // The slots to probe, in path order; each worker takes the next one.
    std::vector<int> toProbe_;
    std::atomic<size_t> nextToProbe_{0};
    std::vector<std::thread> workers_;
};
