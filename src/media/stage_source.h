#pragma once

#include <QString>
#include <functional>

struct SourceItem;

// Staging turns a source the engine cannot read as it stands (a DVD title, a
// file of a built-in reader) into a temporary file it can. Each stager blocks
// until it is done and touches nothing but its arguments and the disk, so it may
// run off the event loop's thread.

enum class StageOutcome { Staged, Failed, Cancelled };

// Told the percent done (0 to 100, never falling) after every block written;
// returns false to cancel.
using StageProgress = std::function<bool(int percent)>;

// Stages the item by its kind. Staged: *stagedFile names the complete temporary
// file, which the caller deletes after its run. Failed: *message says why.
// Cancelled: *message is "Cancelled". Unless staged, no file is left behind.
StageOutcome StageSource(const SourceItem& item, QString* stagedFile, QString* message,
                         const StageProgress& progress);

// Decodes a file of a built-in reader's kind into a temporary 16-bit PCM WAV file.
StageOutcome StageAudioFile(const SourceItem& item, QString* stagedFile, QString* message,
                            const StageProgress& progress);

// Tells progress how far done is of total (both in one unit) as a percent: done
// over a hundredth of total (at least 1), at most 100. Returns progress's answer.
bool ReportStageProgress(quint64 done, quint64 total, const StageProgress& progress);
