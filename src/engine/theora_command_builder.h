#pragma once

#include "app/convert_settings.h"
#include "app/output_format.h"
#include "engine/command_line.h"
#include "engine/source_media.h"

#include <QString>

// The command line of the Theora tool for one job of an optimised OGG format.
// Makes the in-place changes a run implies: even source sizes in the item, paired
// crop margins in the settings, and the format's quality held to 1..10. The
// caller starts the run.
CommandLine BuildTheoraCommand(SourceMedia& item, OutputFormat& format, ConvertSettings& settings,
                               const QString& theoraToolPath);
