#include "engine/theora_command_builder.h"

#include "engine/engine_command_builder.h"

#include <algorithm>

namespace {

// The tool trims in whole seconds: a start and an end position.
void AppendTrimming(CommandLine& line, const SourceMedia& item, const ConvertSettings& settings) {
    qint64 remaining = item.duration;
    qint64 start = 0;
    bool startWritten = false;
    if (settings.EnableSkipLength && settings.SkipLength > 0) {
        start = settings.SkipLength / 1000;
        line.Append(QString::asprintf("-s %lld ", start));
        remaining = start >= remaining ? 0 : remaining - start;
        startWritten = true;
    }
    if (settings.EnableConvertLength && settings.ConvertLength > 0) {
        line.Append(QString::asprintf("-e %lld ", start + settings.ConvertLength / 1000));
    } else if (settings.EnableIgnoreTheLast && settings.IgnoreLength / 1000 > 0) {
        const qint64 ignored = settings.IgnoreLength / 1000;
        if (ignored < remaining) {
            remaining -= ignored;
        } else {
            remaining = 0;
            if (!startWritten) {
                line.Append("-s 1 ");
                start = 1;
            }
        }
        line.Append(QString::asprintf("-e %lld ", start + remaining));
    }
}

void AppendVideo(CommandLine& line, const SourceMedia& item, OutputFormat& format,
                 ConvertSettings& settings) {
    const OutputSize size = ComputeOutputSize(item, format, false);
    if (size.hasSize)
        line.Append(QString::asprintf("-x %d -y %d ", size.scaleWidth, size.scaleHeight));

    ApplyCropPairing(settings);
    if (settings.CropPictures) {
        const struct {
            const char* option;
            int margin;
        } kMargins[] = {{"--cropleft", settings.CropLeft},
                        {"--cropright", settings.CropRight},
                        {"--croptop", settings.CropTop},
                        {"--cropbottom", settings.CropBottom}};
        for (const auto& crop : kMargins)
            if (crop.margin > 0)
                line.Append(QString::asprintf("%s %d ", crop.option, crop.margin));
    }
    if (settings.VideoDeinterlace)
        line.Append("--deinterlace ");
    // "N..." stands for no aspect; the tool would refuse it as a ratio.
    if (format.HasExplicitAspect())
        line.Append("--aspect ").AppendValue(format.VideoAspect).Append(" ");

    format.VideoVBRQuality = std::clamp(format.VideoVBRQuality, 1, 10);
    line.Append(QString::asprintf("-v %d ", format.VideoVBRQuality));
    if (format.VideoFrameRate > 0)
        line.Append(QString::asprintf("-F %.3f ", format.VideoFrameRate));
}

// The tool picks an audio stream by its number in the file. The index among the
// audio streams plus one is that number only when one video stream comes first;
// an audio-only file or one with the audio first would get a neighbour, or none.
// The probe's identifier ("0:2") names the stream itself.
int AudioStreamNumber(const SourceMedia& item) {
    const int chosen = item.chosenAudioStream;
    if (chosen >= 0 && chosen < item.audioStreamIds.size()) {
        const QString& id = item.audioStreamIds[chosen];
        bool ok = false;
        const int number = id.mid(id.indexOf(u':') + 1).toInt(&ok);
        if (ok)
            return number;
    }
    return chosen + 1;
}

void AppendAudio(CommandLine& line, const SourceMedia& item, const OutputFormat& format,
                 const ConvertSettings& settings, const AudioCodecInfo& codec) {
    if (item.AudioStreamCount() > 1)
        line.Append(QString::asprintf("--audiostream %d ", AudioStreamNumber(item)));
    if (format.AudioSampleRate != 0)
        line.Append(
            QString::asprintf("-H %d ", FindNearest(format.AudioSampleRate, codec.sampleRates)));
    if (format.AudioChannels > 0)
        line.Append(QString::asprintf(
            "-c %d ", AllowedChannelCount(format.AudioChannels, codec.channelMask)));
    if (UsesAudioQuality(format, codec))
        line.Append(QString::asprintf("-a %d ", format.AudioVBRQuality));
    else if (codec.bitRates && format.AudioBitRate > 0)
        line.Append(
            QString::asprintf("-A %d ", FindNearest(format.AudioBitRate, codec.bitRates) / 1000));
    if (settings.FixAudioUnsync)
        line.Append("--nosync ");
}

} // namespace

CommandLine BuildTheoraCommand(SourceMedia& item, OutputFormat& format, ConvertSettings& settings,
                               const QString& theoraToolPath) {
    RaiseSourceSizeToEven(item);

    CommandLine line;
    line.AppendQuoted(theoraToolPath).Append(" --frontend --nosubtitles ");
    AppendTrimming(line, item, settings);

    if (format.VideoEnable == 1)
        AppendVideo(line, item, format, settings);
    else
        line.Append("--novideo ");

    if (const AudioCodecInfo* audio = ChosenAudioCodec(item, format))
        AppendAudio(line, item, format, settings, *audio);
    else
        line.Append("--noaudio ");

    if (!settings.KeepID3Tag)
        line.Append("--nometadata ");
    line.Append("-o ").AppendQuoted(item.outputPath).Append(" ").AppendQuoted(item.InputPath());
    return line;
}
