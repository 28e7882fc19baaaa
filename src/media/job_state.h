#pragma once

// Where a conversion job stands. The source list shows it for each row beside
// the Status text; front ends decide by it, never by the text.
enum class JobState {
    None,      // the row has no job (yet, or in this batch)
    Waiting,   // queued
    Staging,   // its source is being made readable
    Running,   // being started or converting
    Succeeded, // its output is written (in a dry run: its command is planned)
    Failed,    // its source could not be staged, or its run wrote no output
    Skipped,   // its output could not be planned, so it never ran
    Cancelled, // stopped, or never started, by Cancel
};
