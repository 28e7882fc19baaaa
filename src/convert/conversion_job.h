#pragma once

#include "media/job_state.h"

#include <QPersistentModelIndex>
#include <QString>
#include <vector>

struct OutputFormat;

// One job of a batch: a source row converted to one output format. The batch
// owns its jobs; a job follows its row through the model, never through a
// pointer, and is told apart from every other job, of this batch or an earlier
// one, by its id.
struct ConversionJob {
    int id = 0;
    QPersistentModelIndex row;      // invalid for the joined run of Convert to One
    OutputFormat* format = nullptr; // its own format; null for the batch's format
    JobState state = JobState::Waiting;
    int percent = 0;      // of its run, 0 to 100
    qint64 position = -1; // milliseconds of output its run has done; -1 before any
    QString plannedPath;  // the name planned for it (a picture sequence numbers it)
    QString outputPath;   // what its run writes, then wrote; empty when none
    QString keptAside;    // the file its output replaces, kept until its run's end
    QString status;       // the text its row's Status column shows
};

// What a progress window needs when a batch starts.
struct BatchStart {
    int priorityClass = 0;
    int threads = 1;
    QString outputFolder; // empty when the outputs go beside their sources
    QString formatName;   // the chooser's name of the format, or the group's name
    QString statusText;   // the first status line
};

// How a batch ended: every job as it ended, in the order they were made.
struct BatchSummary {
    bool cancelled = false;
    std::vector<ConversionJob> jobs;
};
