#include "engine/engine_command_builder.h"

#include "app/text_numbers.h"

#include <QStringList>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

// Truncates toward zero; a value beyond int (a silly aspect text) saturates
// instead of being undefined.
int CutToInt(double value) {
    if (!(value > std::numeric_limits<int>::min()))
        return std::isnan(value) ? 0 : std::numeric_limits<int>::min();
    if (value >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

double ReadNumber(QStringView text) {
    return LeadingDouble(QByteArrayView(text.toUtf8()));
}

// "W:H" gives W / H, or -1 unless both exceed 0.01; any other text its number.
double AspectFromText(const QString& text) {
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0)
        return ReadNumber(text);
    const double width = ReadNumber(QStringView(text).left(colon));
    const double height = ReadNumber(QStringView(text).mid(colon + 1));
    return width > 0.01 && height > 0.01 ? width / height : -1.0;
}

bool IsFixedSizeList(const VideoCodecInfo& codec) {
    return codec.sizes[0].width == -1 && codec.sizes[0].height == -1;
}

QString Time(qint64 milliseconds) {
    if (milliseconds % 1000 == 0)
        return QString::number(milliseconds / 1000);
    return QString::asprintf("%02lld:%02lld:%02lld.%03lld", milliseconds / 3600000,
                             (milliseconds / 1000 % 3600) / 60, milliseconds / 1000 % 60,
                             milliseconds % 1000);
}

// Inserts text before the extension: at the last dot of the file name, or at the
// end when the name has none.
QString InsertBeforeExtension(const QString& path, const QString& text) {
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || dot < path.lastIndexOf(u'/'))
        return path + text;
    return path.left(dot) + text + path.mid(dot);
}

void AppendVideoCodec(CommandLine& line, const OutputFormat& format, const VideoCodecInfo& codec) {
    const QLatin1StringView name(codec.name);
    line.Append("-c:v ");
    if (format.id == 50)
        line.Append("mpeg4 -vtag divx ");
    // Both profiles are 4:2:0 only; x264 refuses 4:2:2 and 4:4:4 sources for them.
    else if (name == "h264bp")
        line.Append("libx264 -profile:v baseline -pix_fmt yuv420p -preset medium ");
    else if (name == "h264mp")
        line.Append("libx264 -profile:v main -pix_fmt yuv420p -preset medium ");
    else if (name == "libx264")
        line.Append("libx264 -preset medium ");
    else if (name == "libx265")
        line.Append("libx265 -preset fast ");
    else if (name == "prores_ks")
        line.Append("prores_ks -profile:v 3 ");
    else
        line.Append(name + u' ');
}

// DV, DVD and VCD have two legal sizes each; anything else becomes the NTSC one.
// True for the PAL target, whose 25 frames per second the target itself sets:
// DV cannot carry any other rate at 576 lines.
bool AppendFixedTarget(CommandLine& line, OutputFormat& format) {
    bool pal = false;
    const auto target = [&](int width, int palHeight, int ntscHeight, const char* kind) {
        format.VideoWidth = width;
        pal = format.VideoHeight == palHeight;
        if (!pal)
            format.VideoHeight = ntscHeight;
        line.Append(QString::asprintf("-target %s-%s ", pal ? "pal" : "ntsc", kind));
    };
    switch (format.fixedTarget) {
    case FixedTarget::Dv:
        target(720, 576, 480, "dv");
        break;
    case FixedTarget::Dvd:
        target(720, 576, 480, "dvd");
        break;
    case FixedTarget::Vcd:
        target(352, 288, 240, "vcd");
        break;
    case FixedTarget::None:
        break;
    }
    return pal;
}

QString RotationFilter(int rotateFlip, bool* swap) {
    static const char* const kFilters[] = {"transpose=1", "transpose=3", "transpose=2",
                                           "transpose=0", "hflip",       "vflip"};
    if (rotateFlip < 1 || rotateFlip > 6)
        return {};
    *swap = rotateFlip <= 4;
    return QString::fromLatin1(kFilters[rotateFlip - 1]);
}

void AppendVideoPart(CommandLine& line, const SourceMedia& item, OutputFormat& format,
                     ConvertSettings& settings, const VideoCodecInfo& codec) {
    if (item.AudioStreamCount() > 1 && !item.videoStream.isEmpty())
        line.Append("-map ").AppendValue(item.videoStream).Append(" ");

    AppendVideoCodec(line, format, codec);
    const bool palTarget = AppendFixedTarget(line, format);

    const bool padFlag = format.AddPadding != 0 || IsFixedSizeList(codec);
    OutputSize size = ComputeOutputSize(item, format, padFlag);

    ApplyCropPairing(settings);
    QString cropFilter;
    // Margins are whatever the settings hold: summed wide so that no sum overflows.
    const qint64 cropWidth = qint64(settings.CropLeft) + settings.CropRight;
    const qint64 cropHeight = qint64(settings.CropTop) + settings.CropBottom;
    if (settings.CropPictures && (settings.CropLeft > 0 || settings.CropRight > 0 ||
                                  settings.CropTop > 0 || settings.CropBottom > 0)) {
        size.displayWidth = CutToInt(double(size.displayWidth - cropWidth));
        size.displayHeight = CutToInt(double(size.displayHeight - cropHeight));
        cropFilter = QString::asprintf("crop=in_w-%lld:in_h-%lld:%d:%d", cropWidth, cropHeight,
                                       settings.CropLeft, settings.CropTop);
    }

    bool swap = false;
    const QString rotationFilter = RotationFilter(settings.RotateFlip, &swap);

    const bool imageSequence = format.category == FormatCategory::ImageSequence;
    QString frameRateFilter;
    if (imageSequence && format.VideoFrameRate > 0)
        frameRateFilter = QString::asprintf("fps=fps=%.3f", format.VideoFrameRate);

    // The engine dropped its -deinterlace option; the filter does the same and
    // goes first, on the picture as it comes.
    const bool deinterlace = settings.VideoDeinterlace && item.kind != KindJoinedList;
    if (!deinterlace && size.paddingFilter.isEmpty() && cropFilter.isEmpty() &&
        rotationFilter.isEmpty() && frameRateFilter.isEmpty()) {
        line.Append(size.sizeOption);
    } else {
        QStringList filters;
        if (deinterlace)
            filters << QStringLiteral("yadif");
        if (size.scaleWidth > 0 && size.scaleHeight > 0 &&
            (size.scaleWidth != item.width || size.scaleHeight != item.height))
            filters << QString::asprintf("scale=%d:%d", size.scaleWidth, size.scaleHeight);
        for (const QString& filter :
             {size.paddingFilter, cropFilter, rotationFilter, frameRateFilter})
            if (!filter.isEmpty())
                filters << filter;
        line.Append("-vf ").AppendQuoted(filters.join(u',')).Append(" ");
    }

    if (format.HasExplicitAspect() && format.AddPadding == 0) {
        line.Append("-aspect ").AppendValue(format.VideoAspect).Append(" ");
    } else if (size.displayWidth > 0 && size.displayHeight > 0) {
        line.Append(
            swap ? QString::asprintf("-aspect %d:%d ", size.displayHeight, size.displayWidth)
                 : QString::asprintf("-aspect %d:%d ", size.displayWidth, size.displayHeight));
    }

    const QLatin1StringView name(codec.name);
    const bool x26x =
        name == "h264bp" || name == "h264mp" || name == "libx264" || name == "libx265";
    const bool vpx = name.startsWith(QLatin1StringView("libvpx"));
    if (format.VideoVBREnabled == 1 && format.VideoVBRQuality != -1 && codec.bestQuality != -1 &&
        codec.worstQuality != -1) {
        const int q = format.VideoVBRQuality;
        if (x26x)
            line.Append(QString::asprintf("-crf %d ", q));
        else if (vpx) // the encoder's own quality level must lie in the range too
            line.Append(QString::asprintf("-qmin %d -qmax %d -crf %d ", q, q, q));
        else
            line.Append(QString::asprintf("-q:v %d ", q));
    } else if (codec.bitRates) {
        if (format.VideoBitRate > 0) {
            line.Append(QString::asprintf("-b:v %d ", format.VideoBitRate));
        } else if (size.scaleWidth > 0 && size.scaleHeight > 0) {
            // About 2.4 bits per pixel of width, less for wide pictures; the
            // modern codecs need half of it.
            int kilobits = static_cast<double>(size.scaleWidth) / size.scaleHeight >= 1.8
                               ? CutToInt(2.0 * size.scaleWidth)
                               : CutToInt(2.4 * size.scaleWidth);
            if (x26x || vpx)
                kilobits /= 2;
            line.Append(QString::asprintf("-b:v %dk ", kilobits));
        }
    }

    if (palTarget) {
        // The target's rate stands.
    } else if (format.VideoFrameRate > 0) {
        if (!imageSequence)
            line.Append(QString::asprintf("-r %.3f ", format.VideoFrameRate));
    } else if (item.frameRate > 0) {
        line.Append(QString::asprintf("-r %.3f ", item.frameRate));
    } else {
        line.Append("-r 30 ");
    }
}

void AppendAudioPart(CommandLine& line, const SourceMedia& item, const OutputFormat& format,
                     const ConvertSettings& settings, const AudioCodecInfo& codec) {
    const int count = item.AudioStreamCount();
    const int stream =
        item.chosenAudioStream >= 0 && item.chosenAudioStream < count ? item.chosenAudioStream : 0;
    if (count > 1 && stream < item.audioStreamIds.size())
        line.Append("-map ").AppendValue(item.audioStreamIds[stream]).Append(" ");

    const int streamChannels =
        stream < int(item.audioChannels.size()) ? int(item.audioChannels[stream]) : 0;
    const int channels = AllowedChannelCount(
        format.AudioChannels != 0 ? format.AudioChannels : streamChannels, codec.channelMask);

    const QLatin1StringView name(codec.name);
    line.Append("-c:a ");
    line.Append(name == "aac" ? QStringLiteral("aac -strict -2 -cutoff 21000 ") : name + u' ');

    if (format.id == 1010)
        line.Append("-write_apetag 1 ");
    else if (format.id == 1040)
        line.Append("-write_id3v2 1 -id3v2_version 3 ");
    else if (format.id == 1160)
        line.Append("-id3v2_version 3 ");

    int sampleRate = format.AudioSampleRate;
    if (sampleRate == 0)
        sampleRate = int(item.audioSampleRates[stream]);
    if (sampleRate == 0)
        sampleRate = 44100;
    sampleRate = FindNearest(sampleRate, codec.sampleRates);
    line.Append(QString::asprintf("-ar %d -ac %d ", sampleRate, channels));

    if (name == "dca")
        line.Append("-strict -2 ");

    if (UsesAudioQuality(format, codec)) {
        line.Append(QString::asprintf("-q:a %d ", format.AudioVBRQuality));
    } else if (!codec.bitRates) {
        // Nothing to set.
    } else if (codec.capabilities & kAudioCapCompressionLevels) {
        line.Append(QString::asprintf("-compression_level %d ",
                                      FindNearest(format.AudioCompressionLevel, codec.bitRates)));
    } else {
        int bitRate = format.AudioBitRate != 0 ? format.AudioBitRate
                                               : DefaultAudioBitRate(sampleRate, channels);
        bitRate = FindNearest(bitRate, codec.bitRates);
        if (name == "g726")
            bitRate *= sampleRate;
        line.Append(QString::asprintf("-b:a %d ", bitRate));
    }

    // Current engines have neither -vol nor -async; their filters do the same.
    QStringList filters;
    if (format.AudioVolume != 100)
        filters << QString::asprintf("volume=%.2f", format.AudioVolume / 100.0);
    if (settings.FixAudioUnsync && item.kind != KindJoinedList)
        filters << QStringLiteral("aresample=async=1");
    if (!filters.isEmpty())
        line.Append("-af ").AppendQuoted(filters.join(u',')).Append(" ");
}

void AppendTrimming(CommandLine& line, const SourceMedia& item, const ConvertSettings& settings) {
    qint64 remaining = qint64(item.duration) * 1000;
    if (settings.EnableSkipLength && settings.SkipLength > 0) {
        line.Append("-ss " + Time(settings.SkipLength) + u' ');
        remaining = settings.SkipLength >= remaining ? 0 : remaining - settings.SkipLength;
    }
    if (settings.EnableConvertLength && settings.ConvertLength > 0) {
        line.Append("-t " + Time(settings.ConvertLength) + u' ');
    } else if (settings.EnableIgnoreTheLast && settings.IgnoreLength > 0) {
        const qint64 length =
            settings.IgnoreLength < remaining ? remaining - settings.IgnoreLength : 0;
        line.Append("-t " + Time(length) + u' ');
    }
}

struct PictureNumbering {
    QString pattern; // the engine's placeholder, "_%03d"
    QString first;   // the first picture's number, "_001"
};

// The numbering of picture sequences: wide enough for every frame of the source.
PictureNumbering NumberingOf(const SourceMedia& item, const OutputFormat& format) {
    if (item.duration <= 0)
        return {QStringLiteral("_%d"), QStringLiteral("_1")};
    const double rate = format.VideoFrameRate > 0 ? format.VideoFrameRate
                                                  : (item.frameRate > 0 ? item.frameRate : 30.0);
    // Kept within 64 bits for a frame rate no picture has (a hand-edited one).
    const double frames = std::trunc(rate * item.duration);
    const qint64 count = frames < 9.0e18 ? static_cast<qint64>(frames) : qint64(9.0e18);
    const int digits = int(QString::number(count).size());
    return {"_%0" + QString::number(digits) + u'd',
            QStringLiteral("_%1").arg(1, digits, 10, QLatin1Char('0'))};
}

// Sets the item's output path to the first picture's name and returns the
// pattern path the engine writes to, in which a percent sign of the path itself
// is doubled: the engine would read it as a placeholder.
QString NumberPictureSequence(SourceMedia& item, const OutputFormat& format) {
    const PictureNumbering numbering = NumberingOf(item, format);
    QString escapedPath = item.outputPath;
    escapedPath.replace(u'%', QStringLiteral("%%"));
    const QString patternPath = InsertBeforeExtension(escapedPath, numbering.pattern);
    item.outputPath = InsertBeforeExtension(item.outputPath, numbering.first);
    return patternPath;
}

} // namespace

OutputSize SourceSizeWithAspect(const SourceMedia& item, const QString& aspectText) {
    OutputSize size;
    if (item.width <= 0 || item.height <= 0)
        return size;
    size.hasSize = true;
    size.scaleWidth = item.width;
    size.scaleHeight = item.height;

    double aspect = -1.0;
    if (!aspectText.isEmpty()) {
        aspect = AspectFromText(aspectText);
        if (aspect < 0 && item.displayAspect > 0)
            aspect = item.displayAspect;
    } else if (item.displayAspect > 0) {
        aspect = item.displayAspect;
    }
    if (aspect > 0) {
        const int width = RaiseToEven(CutToInt(aspect * item.height));
        if (std::abs(qint64(width) - item.width) >= 2)
            size.scaleWidth = width;
    }
    size.displayWidth = size.scaleWidth;
    size.displayHeight = size.scaleHeight;
    size.sizeOption = QString::asprintf("-s %dx%d ", size.scaleWidth, size.scaleHeight);
    return size;
}

OutputSize ComputeOutputSize(const SourceMedia& item, const FormatParameters& format,
                             bool padFlag) {
    if (format.VideoWidth == 0 || format.VideoHeight == 0 || format.VideoWidth < 0 ||
        format.VideoHeight <= 0)
        return SourceSizeWithAspect(item, format.VideoAspect);

    const int width = RaiseToEven(format.VideoWidth);
    const int height = RaiseToEven(format.VideoHeight);
    OutputSize size;
    size.hasSize = true;
    size.displayWidth = size.scaleWidth = width;
    size.displayHeight = size.scaleHeight = height;
    const QString baseOption = QString::asprintf("-s %dx%d", width, height);
    size.sizeOption = baseOption;

    double aspect = format.VideoAspect.isEmpty() ? 0.0 : AspectFromText(format.VideoAspect);
    if (!(aspect > 0)) {
        if (item.displayAspect > 0)
            aspect = item.displayAspect;
        else if (item.width >= 1 && item.height >= 1)
            aspect = static_cast<double>(item.width) / item.height;
        else
            aspect = 1.0;
    }

    if (format.VideoKeepAspect == 1 && item.width > 0 && item.height > 0) {
        const int fittedHeight = RaiseToEven(CutToInt(width / aspect));
        if (fittedHeight > 0 && fittedHeight < height) {
            // Wider than the frame: bars above and below, or a lower frame.
            size.scaleHeight = fittedHeight;
            if (padFlag) {
                const int offset = RaiseToEven((height - fittedHeight) / 2);
                size.paddingFilter = QString::asprintf("pad=%d:%d:0:%d", width, height, offset);
                size.sizeOption.clear();
            } else {
                size.displayHeight = fittedHeight;
                size.sizeOption = QString::asprintf("-s %dx%d", width, fittedHeight);
            }
        } else if (fittedHeight > height) {
            const int fittedWidth = RaiseToEven(CutToInt(aspect * height));
            if (fittedWidth > 0) {
                size.scaleWidth = fittedWidth;
                if (padFlag) {
                    const int offset = RaiseToEven((width - fittedWidth) / 2);
                    size.paddingFilter = QString::asprintf("pad=%d:%d:%d:0", width, height, offset);
                    size.sizeOption.clear();
                } else {
                    size.displayWidth = fittedWidth;
                    size.sizeOption = QString::asprintf("-s %dx%d", fittedWidth, height);
                }
            }
        }
    }
    size.sizeOption += u' ';
    return size;
}

int FindNearest(int value, const int* list) {
    if (!list || list[0] == -1)
        return value;
    int i = 0;
    for (; list[i] != -1; ++i) {
        if (list[i] == value)
            return value;
        if (list[i] > value) {
            if (i == 0)
                return list[0];
            return qint64(list[i]) - value < qint64(value) - list[i - 1] ? list[i] : list[i - 1];
        }
    }
    return list[i - 1];
}

int DefaultAudioBitRate(int sampleRate, int channels) {
    static const struct {
        int limit;
        int mono;
        int other;
    } kRows[] = {{12000, 24000, 48000},  {16000, 32000, 56000},
                 {24000, 48000, 64000},  {32000, 64000, 96000},
                 {44100, 96000, 128000}, {std::numeric_limits<int>::max(), 128000, 192000}};
    int value = 0;
    for (const auto& row : kRows) {
        if (sampleRate <= row.limit) {
            value = channels == 1 ? row.mono : row.other;
            break;
        }
    }
    if (channels > 2)
        value = value / 2 * channels;
    return value;
}

const VideoCodecInfo* ChosenVideoCodec(const OutputFormat& format) {
    if (format.VideoEnable != 1 || format.VideoCodec.isEmpty())
        return nullptr;
    return format.FindVideoCodec(format.VideoCodec);
}

const AudioCodecInfo* ChosenAudioCodec(const SourceMedia& item, const OutputFormat& format) {
    if (format.AudioEnable != 1 || format.AudioCodec.isEmpty() || item.AudioStreamCount() < 1)
        return nullptr;
    return format.FindAudioCodec(format.AudioCodec);
}

int AllowedChannelCount(int channels, unsigned channelMask) {
    if (channels <= 0)
        return channels;
    for (int n = std::min(channels, 8); n >= 1; --n)
        if (channelMask & (1u << (n - 1)))
            return n;
    return 2;
}

bool UsesAudioQuality(const FormatParameters& format, const AudioCodecInfo& codec) {
    return format.AudioVBREnabled == 1 && format.AudioVBRQuality != -1 &&
           (codec.capabilities & kAudioCapQuality) && codec.bestQuality != -1 &&
           codec.worstQuality != -1;
}

void RaiseSourceSizeToEven(SourceMedia& item) {
    item.width = RaiseToEven(item.width);
    item.height = RaiseToEven(item.height);
}

void ApplyCropPairing(ConvertSettings& settings) {
    if (settings.CropSameAsLeft)
        settings.CropRight = settings.CropLeft;
    if (settings.CropSameAsTop)
        settings.CropBottom = settings.CropTop;
}

CommandLine BuildEngineCommand(SourceMedia& item, OutputFormat& format, ConvertSettings& settings,
                               const QString& enginePath) {
    RaiseSourceSizeToEven(item);

    CommandLine line;
    line.AppendQuoted(enginePath);
    if (item.kind == KindJoinedList) {
        // The list names its files by absolute paths, which the concat reader
        // refuses unless told they are safe.
        line.Append(" -f concat -safe 0");
    } else {
        const QString forced = ForcedInputFormat(item.extension);
        if (!forced.isEmpty())
            line.Append(" -f " + forced);
    }
    line.Append(" -i ").AppendQuoted(item.InputPath()).Append(" -dn -sn ");

    if (!format.muxer.isEmpty())
        line.Append("-f " + format.muxer + u' ');
    if (format.fastStart & 1)
        line.Append("-movflags faststart ");

    if (const VideoCodecInfo* video = ChosenVideoCodec(format))
        AppendVideoPart(line, item, format, settings, *video);
    else if (settings.KeepID3Tag && format.id == 1160)
        line.Append("-c:v mjpeg -q:v 2 "); // keeps the cover picture
    else
        line.Append("-vn ");

    if (const AudioCodecInfo* audio = ChosenAudioCodec(item, format))
        AppendAudioPart(line, item, format, settings, *audio);
    else
        line.Append("-an ");

    AppendTrimming(line, item, settings);
    if (!settings.KeepID3Tag)
        line.Append("-map_metadata -1 ");

    const QString output = format.category == FormatCategory::ImageSequence
                               ? NumberPictureSequence(item, format)
                               : item.outputPath;
    line.Append("-y ").AppendQuoted(output);
    return line;
}

QString FirstPicturePath(const SourceMedia& item, const OutputFormat& format, const QString& path) {
    return InsertBeforeExtension(path, NumberingOf(item, format).first);
}
