#pragma once

#include "app/convert_settings.h"
#include "app/output_format.h"
#include "engine/command_line.h"
#include "engine/source_media.h"

#include <QString>

// The picture size a run asks for: the size option or the padding that frames
// it, and the sizes the aspect and the automatic bit rate are taken from.
struct OutputSize {
    QString sizeOption;    // "-s WxH " (or empty, or a lone blank beside a padding)
    QString paddingFilter; // "pad=W:H:X:Y", or empty
    int displayWidth = 0;
    int displayHeight = 0;
    int scaleWidth = 0;
    int scaleHeight = 0;
    bool hasSize = false; // false only when the source size is unknown and none is set
};

// The size for the format's own picture size, kept in aspect and padded when
// padFlag is set; the source size (see below) when the format sets none.
OutputSize ComputeOutputSize(const SourceMedia& item, const FormatParameters& format, bool padFlag);

// The source size, widened or narrowed to the display aspect of aspectText (or of
// the source when the text names none).
OutputSize SourceSizeWithAspect(const SourceMedia& item, const QString& aspectText);

// The entry of a -1-terminated list nearest to value (the lower one on a tie);
// value itself when there is no list.
int FindNearest(int value, const int* list);

// Bits per second for an automatic audio bit rate.
int DefaultAudioBitRate(int sampleRate, int channels);

// The codec entries the format's chosen names stand for; nullptr when the part is
// off, unnamed or not offered by the format (and, for audio, when the source has
// no audio stream).
const VideoCodecInfo* ChosenVideoCodec(const OutputFormat& format);
const AudioCodecInfo* ChosenAudioCodec(const SourceMedia& item, const OutputFormat& format);

// The highest channel count from min(channels, 8) down that the mask allows, 2
// when it allows none of them; counts of 0 or below stay as they are.
int AllowedChannelCount(int channels, unsigned channelMask);

// Whether the audio rate control is the codec's quality mode.
bool UsesAudioQuality(const FormatParameters& format, const AudioCodecInfo& codec);

// Odd source sizes are raised by 1: the encoders want even ones.
void RaiseSourceSizeToEven(SourceMedia& item);

// The right and bottom margins follow the left and top ones when paired.
void ApplyCropPairing(ConvertSettings& settings);

// The first picture of a picture sequence planned under path ("clip.jpg" gives
// "clip_001.jpg"): the name the sequence takes on disk.
QString FirstPicturePath(const SourceMedia& item, const OutputFormat& format, const QString& path);

// The command line of the engine for one job. Makes the in-place changes a run
// implies: even source sizes in the item, the fixed sizes of DV, DVD and VCD in
// the format, paired crop margins in the settings, and the first picture's name
// as the item's output path for picture sequences. The caller starts the run.
CommandLine BuildEngineCommand(SourceMedia& item, OutputFormat& format, ConvertSettings& settings,
                               const QString& enginePath);
