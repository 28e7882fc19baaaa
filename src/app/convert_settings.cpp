#include "app/convert_settings.h"

#include "platform/folders.h"

#include <limits>

ConvertSettings::ConvertSettings() {
    if (platform::GetDocumentsFolder(&DestSpecifiedFolder))
        DestOutputFolderOpt = kOutputToSpecifiedFolder;
}

void ConvertSettings::RebuildExtensionFilter() {
    extensionFilter.clear();
    if (!EnableExtFilter)
        return;
    // Blanks are not trimmed: a stored list means exactly what was typed, so
    // "mp4, avi" filters on " avi", which matches nothing.
    extensionFilter = FilterExts.toLower().split(u',', Qt::SkipEmptyParts);
}

int CorrectCropMargin(int margin) {
    if (margin < 0)
        return 0;
    if (margin % 2 == 0)
        return margin;
    return margin < std::numeric_limits<int>::max() ? margin + 1 : margin - 1;
}
