#pragma once

#include "app/convert_settings.h"
#include "app/output_format.h"
#include "media/source_item.h"

#include <QString>
#include <array>
#include <memory>
#include <vector>

// One Convert-to-One batch: the sources are joined by the engine's concat reader
// into one file, after each was first normalised into a common intermediate
// format when NormalizeFile is on. The controller drives the phases; this record
// keeps what belongs to the join and cleans up after it.
//
// Each source of the join is a part: its job's id, a copy of its source as it
// was queued and, once normalised, its intermediate file.
class ConvertToOneJob {
public:
    enum Phase { Created = 0, Normalising = 1, Combining = 2 };

    // Remembers the five settings the normalising pass suspends.
    ConvertToOneJob(const QString& targetPath, const ConvertSettings& settings);

    // The common intermediate format of the sources: that of the target where it
    // sets one, else the largest size, frame rate and audio of the sources.
    static std::unique_ptr<OutputFormat>
    BuildNormalisationFormat(const OutputFormat& target,
                             const std::vector<const SourceMedia*>& sources,
                             const OutputFormat& transportStream);

    struct Part {
        int jobId = 0;
        SourceItem source;
        QString intermediate; // the normalised file; empty until it is written
    };

    // The settings that crop, turn or cut apply to the final join only.
    void SuspendSettings(ConvertSettings& settings);
    // Puts them back; does nothing unless they are suspended.
    void RestoreSettings(ConvertSettings& settings);

    // The file the engine joins from, naming each part's intermediate file (or
    // its source) as the concat reader wants it. A part whose path holds a line
    // break cannot be named there: it leaves the job and its job's id goes to
    // *leftOut. False when no line could be written.
    bool WriteListFile(bool normalised, std::vector<int>* leftOut);

    // The run that joins the list, with the properties the engine will find.
    void CreateJoinedItem(bool normalised);

    // Deletes the list file and every intermediate file, and clears their paths.
    void DeleteTemporaryFiles();

    // The part of a job; null when the job is none of the join's.
    Part* FindPart(int jobId);

    int phase = Created;
    std::unique_ptr<OutputFormat> normalisationFormat;
    OutputFormat* targetFormat = nullptr;
    std::unique_ptr<SourceItem> joinedItem;
    QString targetPath;
    QString listFilePath;
    std::vector<Part> parts; // in queue order
    int joinedJobId = 0;     // the job of the joined run, once it is made

private:
    static QString ListedPath(const Part& part, bool normalised);

    std::array<int, 5> savedSettings_;
    bool suspended_ = false;
};

// A path as one line of a concat list: quoted, with single quotes escaped.
QString ConcatListLine(const QString& path);
