#pragma once

#include "media/stage_source.h"

#include <QString>
#include <QtGlobal>
#include <vector>

class SourceListModel;
struct SourceItem;
struct ToolPaths;

// The titles of a DVD-Video folder: one source per title set VTS_nn, probed
// through its first part and joined from all its parts into one temporary VOB
// file before a conversion.

// "VTS_nn_k.VOB" in the DVD folder (which ends in '/').
QString DvdPartPath(const QString& dvdFolder, int titleSet, int part);

// What a DVD title's outputs are named after, as if it were a file of its folder.
QString DvdTitleNamingPath(const SourceItem& item);

// The folder of the VOB files for a folder a person chose: its VIDEO_TS folder,
// or the chosen folder itself, whichever holds VTS_01_1.VOB; it ends in '/'.
// False when neither does.
bool FindDvdFolder(const QString& chosen, QString* dvdFolder);

// The title sets worth adding, in order: from VTS_01 on up to the first missing
// one, without those whose first part is smaller than 1 MiB (menus and stills).
std::vector<int> ScanTitleSets(const QString& dvdFolder);

// Probes one title set and appends its row as "DVD Title <titleNumber>": the new
// row's index, 0 when the title set is in the list already, -1 when the engine
// finds no stream in it (nothing is added).
int AddDvdTitle(SourceListModel& list, const QString& dvdFolder, int titleNumber, int titleSet,
                const ToolPaths& tools, int requestAudioIndex);

// Adds every title of the DVD at or in the chosen folder, numbering them 1, 2,
// ... False, with the warning to show in *warning, when no DVD is found there
// (nothing is added) or some titles fail (the others are added).
bool AddDvdFolder(SourceListModel& list, const QString& chosen, const ToolPaths& tools,
                  int requestAudioIndex, QString* warning);

// A byte count as the free-space message shows it: "999 B", "1.5 KB", "2.10 GB".
QString FormatByteSize(qint64 bytes);

// Whether joining partsSize bytes into a folder on the mount point with
// freeBytes free leaves the 100 MiB reserve; *message says how much is needed
// when it does not.
bool EnoughFreeSpace(qint64 partsSize, qint64 freeBytes, const QString& mountPoint,
                     QString* message);

// Joins the title's parts (VTS_nn_1.VOB to VTS_nn_9.VOB, up to the first
// missing one) into a temporary ".vob" file; StageSource's contract.
StageOutcome StageDvdTitle(const SourceItem& item, QString* stagedFile, QString* message,
                           const StageProgress& progress);
