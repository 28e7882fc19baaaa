#include "media/audio_readers.h"

#include "media/aiff_reader.h"
#include "media/cd_audio_reader.h"
#include "media/voice_file_reader.h"

SourceKind ReaderKindForExtension(const QString& extension) {
    if (extension == QLatin1String("cda"))
        return KindCdAudio;
    if (extension == QLatin1String("voc"))
        return KindVoiceFile;
    for (const char* aiff : {"aif", "aiff", "aifc", "afc"}) {
        if (extension == QLatin1String(aiff))
            return KindAiff;
    }
    return KindFile;
}

std::unique_ptr<AudioReader> MakeAudioReader(int kind) {
    switch (kind) {
    case KindCdAudio:
        return std::make_unique<CdAudioReader>();
    case KindAiff:
        return std::make_unique<AiffReader>();
    case KindVoiceFile:
        return std::make_unique<VoiceFileReader>();
    default:
        return nullptr;
    }
}

bool ProbeWithAudioReader(SourceMedia& media, SourceKind kind) {
    const std::unique_ptr<AudioReader> reader = MakeAudioReader(kind);
    if (!reader || !reader->Open(media.path))
        return false;
    media.kind = kind;
    media.duration = static_cast<unsigned>(std::max(0, reader->GetDuration()));
    media.audioSampleRates.push_back(static_cast<unsigned>(reader->GetSampleRate()));
    media.audioBitRates.push_back(static_cast<unsigned>(std::max(0, reader->GetBitRate())));
    media.audioChannels.push_back(static_cast<unsigned>(reader->GetChannels()));
    media.needsStaging = true;
    return true;
}
