#pragma once

#include "engine/source_media.h"

#include <QString>

// One row of the source list: the source as the engine sees it, plus what the
// list keeps of it. The list's row owns it.
struct SourceItem : SourceMedia {
    int titleSet = 0;    // DVD only: nn of VTS_nn_1.VOB
    int titleNumber = 0; // DVD only: the number shown in "DVD Title %d"
    QString dvdFolder;   // DVD only: the folder of the VOB files, ending in '/'
};
