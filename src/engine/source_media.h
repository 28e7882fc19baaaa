#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// How a source reaches the engine.
enum SourceKind : int {
    KindFile = 0,       // read by the engine
    KindDvdTitle = 1,   // joined into a temporary VOB first
    KindCdAudio = 2,    // a ".cda" track, staged as WAV
    KindAiff = 3,       // DWVW AIFF-C, staged as WAV
    KindVoiceFile = 4,  // "_VOC_File" voice recording, staged as WAV
    KindJoinedList = 5, // the concat list of a Convert to One run
};

// What a command line needs to know of one source: its paths and its probed
// properties. The source list's items extend it.
struct SourceMedia {
    int kind = KindFile;
    QString path;
    QString extension;  // lower case, without the dot; "" when the name has none
    QString outputPath; // the output of the command being built

    QString videoStream; // identifier of the first video stream, such as "0:0"
    int width = 0;       // even; 0 when unknown
    int height = 0;
    double frameRate = -1.0;     // not above 0 when unknown
    double displayAspect = -1.0; // not above 0 when unknown
    int videoBitRate = 0;        // kb/s

    int chosenAudioStream = 0;  // index into the audio arrays
    QStringList audioStreamIds; // empty for the sources staged by the built-in readers
    std::vector<unsigned> audioChannels;
    std::vector<unsigned> audioSampleRates; // its length is the number of audio streams
    std::vector<unsigned> audioBitRates;    // kb/s
    unsigned duration = 0;                  // whole seconds; 0 when unknown

    bool needsStaging = false;
    bool staged = false;
    QString stagedFile;

    int AudioStreamCount() const { return static_cast<int>(audioSampleRates.size()); }
    // What the engine reads: the staged file once staging is complete, else the path.
    QString InputPath() const {
        return needsStaging && staged && !stagedFile.isEmpty() ? stagedFile : path;
    }
};

// The raw input format the engine must be told for a source extension ("-f" and
// its value, possibly with sample options); empty when the engine can tell itself.
QString ForcedInputFormat(const QString& extension);

// Picture sizes as the encoders want them: an odd number raised to the next even
// one. The largest odd int has no even number above it and stays as it is.
int RaiseToEven(int value);
