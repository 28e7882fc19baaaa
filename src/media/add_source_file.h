#pragma once

#include <QString>
#include <memory>

class MediaProbe;
class SourceListModel;
struct SourceItem;

// A new item for the path, not probed yet: its absolute path and its extension
// (after the last dot of the name, lower-cased).
std::unique_ptr<SourceItem> NewSourceItem(const QString& path);

// Adds one file to the list at once, on the calling thread: probes it and
// appends its row, choosing its audio stream by requestAudioIndex (1-based).
// Returns the new row's index, 0 when the file is in the list already (nothing
// else happens), or -1 when it cannot be loaded (nothing is added). A ".cda"
// track that cannot be read sets *cdAudioFailed, when given, so that the caller
// can explain where such tracks must come from. Commands that add files use
// AddSourceBatch, which probes many at once.
int AddSourceFile(SourceListModel& list, const QString& path, const MediaProbe& probe,
                  int requestAudioIndex, bool* cdAudioFailed = nullptr);
