#pragma once

#include "media/audio_reader.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

namespace platform {
class CdAudioTrack;
}

// What a ".cda" track file says: the RIFF "CDDA" record the file system of a
// compact disc shows for each audio track. It holds no sound, only where the
// track lies on its disc.
struct CdaTrackFile {
    int track = 0;
    quint32 firstSector = 0; // counted from the first sector after the lead-in
    quint32 sectorCount = 0;

    // Null when the bytes are not such a record.
    static std::optional<CdaTrackFile> Parse(const QByteArray& bytes);
};

// Reads the track a ".cda" file names from the disc it came from. The disc is
// the single ".cue" image in the track file's folder when there is one (an image
// stands for its disc as the drive's own folder does), else the disc in the
// system's first CD drive; it must hold the track where the file says. Length
// and position count bytes of PCM.
class CdAudioReader : public AudioReader {
public:
    CdAudioReader();
    ~CdAudioReader() override;

    void Close() override;
    bool Open(const QString& path) override;
    // Fills the buffer sector after sector; less only at the end of the track.
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override;

    // The drive a track file is read from, by the rule above; empty for the
    // system's first drive.
    static QString DriveFor(const QString& trackFile);

private:
    std::unique_ptr<platform::CdAudioTrack> track_;
    QByteArray sector_;    // the sector being handed out
    qsizetype handed_ = 0; // bytes of sector_ already delivered
};
