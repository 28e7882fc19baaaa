#pragma once

#include "engine/command_line.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// What the Theora tool was asked to do: the options of its command line, with
// the meanings the Ogg Theora encoders' front ends give them.
struct TheoraToolOptions {
    bool frontend = false; // JSON status lines for a front end
    bool noSubtitles = false;
    bool noVideo = false;
    bool noAudio = false;
    bool noSync = false; // leave the audio as it comes, gaps and all
    bool noMetadata = false;
    bool deinterlace = false;
    double start = -1.0; // seconds; below 0: from the beginning
    double end = -1.0;   // seconds of the source; below 0: to its end
    int width = 0;       // 0: the source's, or kept in aspect to the other one
    int height = 0;
    int cropLeft = 0;
    int cropRight = 0;
    int cropTop = 0;
    int cropBottom = 0;
    QString aspect;         // display aspect, "W:H" or a decimal; empty: the source's
    int videoQuality = 6;   // 0 to 10
    double frameRate = 0.0; // not above 0: the source's
    int audioStream = -1;   // stream index in the source; below 0: the engine's choice
    int sampleRate = 0;     // Hz; 0: the source's
    int channels = 0;       // 0: the source's
    int audioQuality = 1;   // Vorbis quality, -2 to 10
    int audioBitRate = 0;   // kbit/s; above 0 it replaces the quality
    QString output;
    QString input;
};

// Reads the tool's arguments (without the program name). False, with a one-line
// *error, for an unknown option, a missing value, or a missing input or output.
bool ParseTheoraToolOptions(const QStringList& arguments, TheoraToolOptions* options,
                            QString* error);

// The engine command that writes the Ogg file the options ask for.
CommandLine TheoraEngineCommand(const TheoraToolOptions& options, const QString& enginePath);

// The length of the source from the engine's report line "Duration: H:MM:SS.cc";
// false for any other line, or one that reads "N/A".
bool ReadReportDuration(QByteArrayView line, double* seconds);

// One status line for a front end, seconds done and in all.
QByteArray FrontendStatusLine(double position, double duration);
