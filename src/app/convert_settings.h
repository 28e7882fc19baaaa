#pragma once

#include <QString>
#include <QStringList>

// Output folder modes of DestOutputFolderOpt.
inline constexpr int kOutputNextToSource = 199;
inline constexpr int kOutputToSpecifiedFolder = 399;

// What TargetExistsOpt does when the output file exists.
inline constexpr int kTargetExistsRename = 11;
inline constexpr int kTargetExistsOverwrite = 22;
inline constexpr int kTargetExistsSkip = 33;

// Priority classes of ConversionPriority, as the settings store them.
inline constexpr int kPriorityHigh = 128;
inline constexpr int kPriorityAboveNormal = 32768;
inline constexpr int kPriorityNormal = 32;
inline constexpr int kPriorityBelowNormal = 16384;
inline constexpr int kPriorityIdle = 64;

inline constexpr int kMinConversionThreads = 1;
inline constexpr int kMaxConversionThreads = 32;

// Every option that holds for all formats. The member names are the stored value
// names, except SelectedFormat, stored as "OutputFormat". Times are milliseconds.
struct ConvertSettings {
    // Defaults, with the output going to the documents folder when there is one.
    ConvertSettings();

    // General state.
    int SelectedFormat = 710; // JPG image sequence
    int ConversionThreads = 2;
    int ConversionPriority = kPriorityNormal;
    int OptStartPageIndex = 0;
    QString LastAddFileDir;
    QString Folder;
    QString DVDFolder;

    // Options.
    int DestOutputFolderOpt = kOutputNextToSource;
    QString DestSpecifiedFolder;
    int CreateDirs = 0;
    int CreateFolderForEachSource = 0;
    int OutputFiles2MyDocuments = 1;
    int TargetExistsOpt = kTargetExistsRename;
    int BrowseOutputFolder = 1;
    int KeepDateCreated = 0;
    int KeepDateModified = 0;
    int KeepID3Tag = 1;
    int FixAudioUnsync = 0;
    int NormalizeFile = 1;
    int EnableExtFilter = 0;
    QString FilterExts;
    int EnableSkipLength = 0;
    int SkipLength = 0;
    int EnableConvertLength = 0;
    int ConvertLength = 0;
    int EnableIgnoreTheLast = 0;
    int IgnoreLength = 0;
    int RequestAudioIndex = 1; // 1-based
    int VideoDeinterlace = 0;
    int RotateFlip = 0;
    int CropPictures = 0;
    int CropLeft = 0;
    int CropRight = 0;
    int CropTop = 0;
    int CropBottom = 0;
    int CropSameAsLeft = 1;
    int CropSameAsTop = 1;

    // Lower-case extensions that adding folders and drops accepts; empty when the
    // filter is off. Rebuilt by RebuildExtensionFilter whenever the filter changes.
    QStringList extensionFilter;

    void RebuildExtensionFilter();
};

// A stored crop margin made usable: never negative, always even.
int CorrectCropMargin(int margin);
