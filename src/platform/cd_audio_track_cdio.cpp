#include "platform/cd_audio_track.h"

#include <QFile>
#include <QtEndian>
#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

namespace platform {

bool StartCdAudio() {
    return cdio_init();
}

namespace {

// A damaged sector is retried this often before the read goes on without it,
// so a scratched disc slows staging down but never stops it for good.
constexpr int kRetriesPerSector = 20;

bool IsImage(const QString& drive) {
    return drive.endsWith(QLatin1String(".cue"), Qt::CaseInsensitive);
}

CdIo_t* OpenDrive(const QString& drive) {
    if (IsImage(drive))
        return cdio_open_cue(QFile::encodeName(drive).constData());
    return cdio_open(drive.isEmpty() ? nullptr : QFile::encodeName(drive).constData(),
                     DRIVER_DEVICE);
}

} // namespace

struct CdAudioTrack::Disc {
    CdIo_t* cdio = nullptr;
    cdrom_drive_t* drive = nullptr;
    cdrom_paranoia_t* paranoia = nullptr;

    ~Disc() {
        if (paranoia)
            cdio_paranoia_free(paranoia);
        if (drive)
            cdio_cddap_close_no_free_cdio(drive);
        if (cdio)
            cdio_destroy(cdio);
    }
};

std::unique_ptr<CdAudioTrack> CdAudioTrack::Open(const QString& drive, int track) {
    // The library's notes on odd tables of contents are no one's business here.
    // Set once, as stagers on several threads may open discs.
    static const bool quiet = [] {
        cdio_loglevel_default = CDIO_LOG_ERROR;
        return true;
    }();
    (void)quiet;
    auto disc = std::make_unique<Disc>();
    disc->cdio = OpenDrive(drive);
    if (!disc->cdio)
        return nullptr;
    disc->drive = cdio_cddap_identify_cdio(disc->cdio, CDDA_MESSAGE_FORGETIT, nullptr);
    if (!disc->drive)
        return nullptr;
    // The library guesses a drive's byte order from the sound it reads, which
    // noise or silence can mislead; an image holds little-endian samples.
    if (IsImage(drive))
        disc->drive->bigendianp = 0;
    if (cdio_cddap_open(disc->drive) != 0 || track < 1 || track > cdio_cddap_tracks(disc->drive) ||
        !cdio_cddap_track_audiop(disc->drive, static_cast<track_t>(track)))
        return nullptr;
    const lsn_t first = cdio_cddap_track_firstsector(disc->drive, static_cast<track_t>(track));
    const lsn_t last = cdio_cddap_track_lastsector(disc->drive, static_cast<track_t>(track));
    if (first < 0 || last < first)
        return nullptr;
    disc->paranoia = cdio_paranoia_init(disc->drive);
    if (!disc->paranoia)
        return nullptr;
    cdio_paranoia_modeset(disc->paranoia, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    cdio_paranoia_seek(disc->paranoia, first, SEEK_SET);
    return std::unique_ptr<CdAudioTrack>(
        new CdAudioTrack(std::move(disc), first, last - first + 1));
}

CdAudioTrack::CdAudioTrack(std::unique_ptr<Disc> disc, std::int64_t firstSector,
                           std::int64_t sectorCount)
    : disc_(std::move(disc)), firstSector_(firstSector), sectorCount_(sectorCount) {}

CdAudioTrack::~CdAudioTrack() = default;

bool CdAudioTrack::ReadSector(std::uint8_t* sector) {
    if (sectorsRead_ >= sectorCount_)
        return false;
    const std::int16_t* samples =
        cdio_paranoia_read_limited(disc_->paranoia, nullptr, kRetriesPerSector);
    if (!samples)
        return false;
    ++sectorsRead_;
    // The library hands samples over in the machine's byte order.
    for (int i = 0; i < kSectorBytes / 2; ++i)
        qToLittleEndian(samples[i], sector + 2 * i);
    return true;
}

} // namespace platform
