#pragma once

#include <QString>
#include <cstdint>
#include <memory>

namespace platform {

// Starts the CD library's drivers once, before any track is read. False when
// none of them can start.
bool StartCdAudio();

// One audio track of a compact disc, read sector by sector with error
// correction: 16-bit little-endian stereo PCM at 44100 Hz.
class CdAudioTrack {
public:
    static constexpr int kSectorBytes = 2352; // 588 stereo frames

    // Track number track of the disc in drive: a device such as "/dev/cdrom", a
    // ".cue" file of a CUE/BIN image, or empty for the system's first CD drive.
    // Null when there is no disc, no such track, or the track holds no audio.
    static std::unique_ptr<CdAudioTrack> Open(const QString& drive, int track);

    ~CdAudioTrack();
    CdAudioTrack(const CdAudioTrack&) = delete;
    CdAudioTrack& operator=(const CdAudioTrack&) = delete;

    // Where the track starts on the disc (sector 0 is the first after the
    // two-second lead-in) and how many sectors it has.
    std::int64_t FirstSector() const { return firstSector_; }
    std::int64_t SectorCount() const { return sectorCount_; }

    // The next sector of the track into sector (kSectorBytes); false after the
    // last one or when the sector cannot be read.
    bool ReadSector(std::uint8_t* sector);

private:
    struct Disc;
    CdAudioTrack(std::unique_ptr<Disc> disc, std::int64_t firstSector, std::int64_t sectorCount);

    std::unique_ptr<Disc> disc_;
    const std::int64_t firstSector_;
    const std::int64_t sectorCount_;
    std::int64_t sectorsRead_ = 0;
};

} // namespace platform
