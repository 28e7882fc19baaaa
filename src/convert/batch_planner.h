#pragma once

#include "app/format_catalog.h"
#include "convert/conversion_front_end.h"
#include "convert/conversion_job.h"

#include <QString>
#include <vector>

class SourceListModel;

// Planning a batch: pure decisions on the rows, the chosen entry and the
// settings, with no process started and nothing written. The controller applies
// them in the order a command takes.

// One of the four conversion commands.
struct BatchCommand {
    OutputFormat* selected = nullptr; // the chooser's entry
    bool selectedOnly = false;
    bool convertToOne = false;
};

// Whether a command goes ahead. A refusal with an empty message ends it silently.
struct CommandCheck {
    bool goesAhead = true;
    QString message;
    ConversionFrontEnd::Icon icon = ConversionFrontEnd::Icon::Information;
};

// The refusals that come before anything is done: no rows, no chosen entry, and
// the formats a join cannot be made in.
CommandCheck CheckCommand(const BatchCommand& command, int rowCount, int selectedCount);

// The name a batch's status line gives its format.
QString BatchFormatName(const OutputFormat& selected);

// The formats of a custom group entry, in the group's order; a group none of
// whose formats exists is refused with its message.
CommandCheck ResolveGroupFormats(const OutputFormat& groupEntry, const FormatCatalog& catalog,
                                 std::vector<OutputFormat*>* formats);

// A row a batch considers, with the format it converts to when that is its own
// (a custom group's copy row).
struct ConsideredRow {
    int row = 0;
    OutputFormat* ownFormat = nullptr;
};

// The jobs of the considered rows, in their order, with ids from firstId on. A
// source still to be staged gets none (its row tells why), nor does a custom
// group's own row: its copy rows are its jobs.
std::vector<ConversionJob> PlanJobs(const SourceListModel& model,
                                    const std::vector<ConsideredRow>& rows, bool customGroup,
                                    int firstId);

// True when a Convert to One target is one of the sources the jobs read.
bool JoinsOntoASource(const QString& target, const SourceListModel& model,
                      const std::vector<ConversionJob>& jobs);
