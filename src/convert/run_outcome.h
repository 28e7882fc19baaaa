#pragma once

#include "app/convert_settings.h"
#include "media/source_item.h"

#include <QDateTime>
#include <QString>

// What follows the end of a run: whether it wrote its output, what its row says
// when it did not, and what is cleaned up or carried over.

// A run's output is there when it holds at least one byte; a run succeeded when
// its program also ended with status 0.
bool OutputWritten(const QString& outputPath);

// The Status text of a failed run: its failure reason, or the missing program
// when the engine is not there.
QString FailureText(const QString& reason, bool engineMissing);

// Deletes what a failed or cancelled run wrote, never the source itself. A
// picture sequence is every numbered picture this batch wrote from the first.
void DeleteRunOutput(const SourceItem& source, const QString& outputPath, bool pictureSequence,
                     const QDateTime& batchStarted);

// What becomes of a file Overwrite moved aside for a run: gone once the run
// succeeded, else back under its name, over whatever the run left at path.
void SettleReplacedFile(const QString& keptAside, const QString& path, bool succeeded);

// Gives the output the source's dates when the settings keep them.
void CopyOutputDates(const SourceItem& dateSource, const QString& outputPath,
                     const ConvertSettings& settings);
