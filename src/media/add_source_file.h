#pragma once

#include <QString>

class SourceListModel;
struct SourceMedia;
struct ToolPaths;

// Runs the engine on the input ("-i" and nothing to write), after "-f" and
// forcedFormat when that is not empty, and reads its report into the media.
// True when the report shows a video or an audio stream; false as well when the
// engine cannot be started.
bool ProbeWithEngine(SourceMedia& media, const QString& input, const QString& forcedFormat,
                     const ToolPaths& tools);

// Adds one file to the list: probes it and appends its row, choosing its audio
// stream by requestAudioIndex (1-based). Returns the new row's index, 0 when the
// file is in the list already (nothing else happens), or -1 when it cannot be
// loaded (nothing is added). A ".cda" track that cannot be read sets
// *cdAudioFailed, when given, so that the caller can explain where such tracks
// must come from.
int AddSourceFile(SourceListModel& list, const QString& path, const ToolPaths& tools,
                  int requestAudioIndex, bool* cdAudioFailed = nullptr);
