#pragma once

#include "engine/source_media.h"

#include <QString>

struct OutputFormat;

// One row of the source list: the source as the engine sees it, plus what the
// list and a conversion run keep of it. The list's row owns it.
struct SourceItem : SourceMedia {
    int titleSet = 0;    // DVD only: nn of VTS_nn_1.VOB
    int titleNumber = 0; // DVD only: the number shown in "DVD Title %d"
    QString dvdFolder;   // DVD only: the folder of the VOB files, ending in '/'

    int row = -1;    // the list row of the current run; -1 when it has none
    int percent = 0; // of the current run

    // A copy made for one format of a custom group: it shares its parent's source
    // (and staged file) and converts to its own format.
    bool formatCopy = false;
    OutputFormat* format = nullptr;
};
