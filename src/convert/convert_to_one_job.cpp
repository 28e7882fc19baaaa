#include "convert/convert_to_one_job.h"

#include "engine/engine_command_builder.h"
#include "platform/file_system.h"

#include <QFile>
#include <algorithm>

namespace {

// The five settings, in one fixed order.
std::array<int*, 5> SuspendedSettings(ConvertSettings& settings) {
    return {&settings.CropPictures, &settings.RotateFlip, &settings.EnableSkipLength,
            &settings.EnableConvertLength, &settings.EnableIgnoreTheLast};
}

int ChosenStream(const SourceMedia& item) {
    return item.chosenAudioStream >= 0 && item.chosenAudioStream < item.AudioStreamCount()
               ? item.chosenAudioStream
               : 0;
}

} // namespace

ConvertToOneJob::ConvertToOneJob(const QString& target, const ConvertSettings& settings)
    : targetPath(target), savedSettings_{settings.CropPictures, settings.RotateFlip,
                                         settings.EnableSkipLength, settings.EnableConvertLength,
                                         settings.EnableIgnoreTheLast} {}

void ConvertToOneJob::SuspendSettings(ConvertSettings& settings) {
    for (int* field : SuspendedSettings(settings))
        *field = 0;
    suspended_ = true;
}

void ConvertToOneJob::RestoreSettings(ConvertSettings& settings) {
    if (!suspended_)
        return;
    auto fields = SuspendedSettings(settings);
    for (size_t i = 0; i < fields.size(); ++i)
        *fields[i] = savedSettings_[i];
    suspended_ = false;
}

std::unique_ptr<OutputFormat>
ConvertToOneJob::BuildNormalisationFormat(const OutputFormat& target,
                                          const std::vector<const SourceMedia*>& sources,
                                          const OutputFormat& transportStream) {
    int maxWidth = 0, maxHeight = 0, maxSampleRate = 0, maxChannels = 0;
    double maxFrameRate = -1.0;
    for (const SourceMedia* item : sources) {
        maxWidth = std::max(maxWidth, item->width);
        maxHeight = std::max(maxHeight, item->height);
        maxFrameRate = std::max(maxFrameRate, item->frameRate);
        if (item->AudioStreamCount() > 0) {
            const int stream = ChosenStream(*item);
            maxSampleRate = std::max(maxSampleRate, int(item->audioSampleRates[stream]));
            maxChannels = std::max(maxChannels, int(item->audioChannels[stream]));
        }
    }

    auto format = std::make_unique<OutputFormat>();
    format->id = transportStream.id;
    format->category = FormatCategory::Video;
    format->extension = QStringLiteral("ts");
    format->videoCodecs = transportStream.videoCodecs;
    format->audioCodecs = transportStream.audioCodecs;
    format->VideoVBRQuality = 2;
    format->AudioVBRQuality = -1;
    format->AudioCompressionLevel = -1;
    format->AudioVolume = 100;

    const bool video = target.VideoEnable == 1 && maxWidth > 0 && maxHeight > 0;
    format->VideoEnable = video ? 1 : 0;
    if (video) {
        format->VideoCodec = QStringLiteral("mpeg4");
        if (target.VideoWidth > 0 && target.VideoHeight > 0) {
            format->VideoWidth = target.VideoWidth;
            format->VideoHeight = target.VideoHeight;
            format->VideoKeepAspect = target.VideoKeepAspect;
        } else {
            format->VideoWidth = maxWidth;
            format->VideoHeight = maxHeight;
            format->VideoKeepAspect = 1;
        }
        format->AddPadding = 1;
        format->VideoVBREnabled = 1;
        format->VideoFrameRate = target.VideoFrameRate > 0 ? target.VideoFrameRate : maxFrameRate;
    } else {
        format->VideoFrameRate = -1.0;
    }

    const bool audio = target.AudioEnable == 1 && maxSampleRate > 0 && maxChannels > 0;
    format->AudioEnable = audio ? 1 : 0;
    if (audio) {
        format->AudioCodec = QStringLiteral("ac3");
        format->AudioSampleRate =
            target.AudioSampleRate > 0 ? target.AudioSampleRate : maxSampleRate;
        format->AudioChannels = target.AudioChannels > 0 ? target.AudioChannels : maxChannels;
        format->AudioBitRate =
            DefaultAudioBitRate(format->AudioSampleRate, format->AudioChannels) * 3 / 2;
    }
    return format;
}

QString ConcatListLine(const QString& path) {
    QString quoted = path;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return QStringLiteral("file '%1'\n").arg(quoted);
}

QString ConvertToOneJob::ListedPath(const Part& part, bool normalised) {
    return normalised ? part.intermediate : part.source.InputPath();
}

bool ConvertToOneJob::WriteListFile(bool normalised, std::vector<int>* leftOut) {
    const auto unlistable = [&](const Part& part) {
        // The concat reader ends a line at a carriage return as at a line feed.
        const QString path = ListedPath(part, normalised);
        if (!path.contains(u'\n') && !path.contains(u'\r'))
            return false;
        leftOut->push_back(part.jobId);
        return true;
    };
    std::erase_if(parts, unlistable);

    const QString name = platform::TemporaryFileName({}, {}, QStringLiteral(".txt"));
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    qint64 written = 0;
    for (const Part& part : parts) {
        const QString path = ListedPath(part, normalised);
        if (!path.isEmpty())
            written += std::max<qint64>(0, file.write(ConcatListLine(path).toUtf8()));
    }
    file.close();
    if (written == 0 || file.error() != QFileDevice::NoError) {
        file.remove();
        return false;
    }
    listFilePath = name;
    return true;
}

void ConvertToOneJob::CreateJoinedItem(bool normalised) {
    auto joined = std::make_unique<SourceItem>();
    if (!normalised && !parts.empty()) {
        // The engine reads the first file's properties for the whole join.
        static_cast<SourceMedia&>(*joined) = parts.front().source;
        joined->needsStaging = false;
        joined->staged = false;
        joined->stagedFile.clear();
        joined->extension.clear();
    } else if (normalised) {
        joined->width = normalisationFormat->VideoWidth;
        joined->height = normalisationFormat->VideoHeight;
        joined->frameRate = normalisationFormat->VideoFrameRate;
        joined->displayAspect = -1.0;
        joined->audioSampleRates = {unsigned(normalisationFormat->AudioSampleRate)};
        joined->audioChannels = {unsigned(normalisationFormat->AudioChannels)};
        joined->audioBitRates = {0};
        joined->chosenAudioStream = 0;
    }
    joined->kind = KindJoinedList;
    joined->path = listFilePath;
    joined->outputPath = targetPath;
    joined->videoBitRate = 0;
    unsigned duration = 0;
    for (const Part& part : parts) {
        if (part.source.duration == 0) {
            duration = 0;
            break;
        }
        duration += part.source.duration;
    }
    joined->duration = duration;
    joinedItem = std::move(joined);
}

void ConvertToOneJob::DeleteTemporaryFiles() {
    if (!listFilePath.isEmpty()) {
        QFile::remove(listFilePath);
        listFilePath.clear();
    }
    // Without normalising, the sources' own files are listed: nothing else to delete.
    for (Part& part : parts) {
        if (!part.intermediate.isEmpty()) {
            QFile::remove(part.intermediate);
            part.intermediate.clear();
        }
    }
}

ConvertToOneJob::Part* ConvertToOneJob::FindPart(int jobId) {
    const auto found = std::find_if(parts.begin(), parts.end(),
                                    [jobId](const Part& part) { return part.jobId == jobId; });
    return found == parts.end() ? nullptr : &*found;
}
