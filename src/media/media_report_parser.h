#pragma once

#include "engine/source_media.h"

#include <QByteArrayView>

// Reads the engine's report on an input ("-i FILE" without an output) into a
// source, one console line at a time and in a single pass: the first
// "Duration:" line, the first "Video:" stream and every "Audio:" stream. Lines it
// does not use leave no trace.
class MediaReportParser {
public:
    explicit MediaReportParser(SourceMedia& media) : media_(media) {}

    void ParseLine(QByteArrayView line);

    // True once the report has shown a video or an audio stream: the engine can
    // read the source.
    bool StreamSeen() const { return videoSeen_ || audioSeen_; }

private:
    void ParseVideo(QByteArrayView description);
    void ParseAudio(QByteArrayView description, const QString& streamId);

    SourceMedia& media_;
    bool durationSeen_ = false;
    bool videoSeen_ = false;
    bool audioSeen_ = false;
};
