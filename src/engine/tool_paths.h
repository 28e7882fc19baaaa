#pragma once

#include <QString>

// Where the two converters are: both lie in the program folder. Located once at
// start-up and kept by whoever starts runs.
struct ToolPaths {
    QString programDir;     // ends in "/"; empty when it cannot be determined
    QString enginePath;     // the program folder + "mervane", or the bare name
    QString theoraToolPath; // the program folder + "tolvane", or the bare name

    static ToolPaths Locate();
};
