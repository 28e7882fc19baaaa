#include "engine/tool_paths.h"

#include "platform/folders.h"

ToolPaths ToolPaths::Locate() {
    ToolPaths paths;
    platform::GetModuleDir(&paths.programDir); // left empty when unknown: bare names then
    paths.enginePath = paths.programDir + QStringLiteral("mervane");
    paths.theoraToolPath = paths.programDir + QStringLiteral("tolvane");
    return paths;
}
