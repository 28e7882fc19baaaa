#include "media/stage_source.h"

#include "media/audio_readers.h"
#include "media/dvd_titles.h"
#include "media/source_item.h"
#include "media/wav_writer.h"
#include "platform/file_system.h"

#include <QFile>
#include <algorithm>
#include <array>

StageOutcome StageSource(const SourceItem& item, QString* stagedFile, QString* message,
                         const StageProgress& progress) {
    switch (item.kind) {
    case KindDvdTitle:
        return StageDvdTitle(item, stagedFile, message, progress);
    case KindCdAudio:
    case KindAiff:
    case KindVoiceFile:
        return StageAudioFile(item, stagedFile, message, progress);
    default:
        stagedFile->clear();
        *message = QStringLiteral("This kind of source cannot be loaded");
        return StageOutcome::Failed;
    }
}

bool ReportStageProgress(quint64 done, quint64 total, const StageProgress& progress) {
    const quint64 bytesPerPercent = std::max<quint64>(1, total / 100);
    return progress(static_cast<int>(std::min<quint64>(100, done / bytesPerPercent)));
}

namespace {

// Copies everything the reader delivers into the writer.
StageOutcome CopyReaderToWav(AudioReader& reader, WavWriter& wav, QString* message,
                             const StageProgress& progress) {
    std::array<std::uint8_t, AudioReader::kMinReadBytes> buffer;
    const quint64 total = reader.GetLength();
    while (const std::size_t bytes = reader.Read(buffer.data(), buffer.size())) {
        if (!wav.Write(buffer.data(), bytes)) {
            *message = wav.ErrorString();
            return StageOutcome::Failed;
        }
        if (!ReportStageProgress(reader.GetPosition(), total, progress)) {
            *message = QStringLiteral("Cancelled");
            return StageOutcome::Cancelled;
        }
    }
    return StageOutcome::Staged;
}

} // namespace

StageOutcome StageAudioFile(const SourceItem& item, QString* stagedFile, QString* message,
                            const StageProgress& progress) {
    stagedFile->clear();
    const std::unique_ptr<AudioReader> reader = MakeAudioReader(item.kind);
    if (!reader || !reader->Open(item.path)) {
        *message = QStringLiteral("Failed to open file");
        return StageOutcome::Failed;
    }
    const QString name = platform::TemporaryFileName({}, {}, QStringLiteral(".wav"));
    WavWriter wav;
    if (!wav.Open(name, reader->GetChannels() == 2, 16, reader->GetSampleRate())) {
        *message = QStringLiteral("Failed to create temporary file");
        return StageOutcome::Failed;
    }
    StageOutcome outcome = CopyReaderToWav(*reader, wav, message, progress);
    reader->Close();
    if (!wav.Close() && outcome == StageOutcome::Staged) {
        *message = wav.ErrorString();
        outcome = StageOutcome::Failed;
    }
    if (outcome != StageOutcome::Staged) {
        QFile::remove(name);
        return outcome;
    }
    progress(100);
    *stagedFile = name;
    return outcome;
}
