#pragma once

#include "engine/source_media.h"

#include <QFileInfo>

// What the probe makes of a video file with sound: video stream 0:0 at 25 fps
// and one 44.1 kHz stereo audio stream 0:1. The command-line tests start from it
// and change what their case is about.
inline SourceMedia ProbedVideo(const QString& path, int width, int height, unsigned duration) {
    SourceMedia item;
    item.path = path;
    item.extension = QFileInfo(path).suffix().toLower();
    item.videoStream = QStringLiteral("0:0");
    item.width = width;
    item.height = height;
    item.frameRate = 25.0;
    item.audioStreamIds = {QStringLiteral("0:1")};
    item.audioChannels = {2};
    item.audioSampleRates = {44100};
    item.duration = duration;
    return item;
}
