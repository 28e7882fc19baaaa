#include "media/cd_audio_reader.h"

#include "platform/cd_audio_track.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace {

constexpr int kCdaFileBytes = 44;
constexpr int kCdSampleRate = 44100;
constexpr int kCdBytesPerSecond = kCdSampleRate * 2 * 2;

} // namespace

std::optional<CdaTrackFile> CdaTrackFile::Parse(const QByteArray& bytes) {
    // "RIFF", size, "CDDA", "fmt ", 24, then version, track, disc serial number,
    // first sector, sector count, and the same two as minutes, seconds and frames.
    const char* data = bytes.constData();
    if (bytes.size() < kCdaFileBytes || std::memcmp(data, "RIFF", 4) != 0 ||
        std::memcmp(data + 8, "CDDAfmt ", 8) != 0 || qFromLittleEndian<quint32>(data + 16) < 20)
        return std::nullopt;
    CdaTrackFile file;
    file.track = qFromLittleEndian<quint16>(data + 22);
    file.firstSector = qFromLittleEndian<quint32>(data + 28);
    file.sectorCount = qFromLittleEndian<quint32>(data + 32);
    if (file.track < 1 || file.track > 99 || file.sectorCount == 0)
        return std::nullopt;
    return file;
}

CdAudioReader::CdAudioReader() = default;

CdAudioReader::~CdAudioReader() {
    Close();
}

QString CdAudioReader::DriveFor(const QString& trackFile) {
    const QFileInfoList images = QFileInfo(trackFile).dir().entryInfoList(
        {QStringLiteral("*.cue")}, QDir::Files | QDir::CaseSensitive | QDir::Readable);
    return images.size() == 1 ? images.front().absoluteFilePath() : QString();
}

bool CdAudioReader::Open(const QString& path) {
    Close();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const std::optional<CdaTrackFile> cda = CdaTrackFile::Parse(file.read(kCdaFileBytes));
    if (!cda)
        return false;
    track_ = platform::CdAudioTrack::Open(DriveFor(path), cda->track);
    // Another disc in the drive has its tracks elsewhere.
    if (!track_ || track_->FirstSector() != cda->firstSector) {
        Close();
        return false;
    }
    length_ =
        static_cast<std::uint64_t>(track_->SectorCount()) * platform::CdAudioTrack::kSectorBytes;
    duration_ = static_cast<int>(length_ / kCdBytesPerSecond);
    sampleRate_ = kCdSampleRate;
    sourceChannels_ = channels_ = 2;
    bitsPerSample_ = 16;
    bytesPerSample_ = 2;
    bitRate_ = kCdSampleRate * 2 * 16 / 1000;
    return true;
}

std::size_t CdAudioReader::Read(std::uint8_t* buffer, std::size_t size) {
    if (!track_)
        return 0;
    std::size_t written = 0;
    while (written < size) {
        if (handed_ == sector_.size()) {
            sector_.resize(platform::CdAudioTrack::kSectorBytes);
            if (!track_->ReadSector(reinterpret_cast<std::uint8_t*>(sector_.data()))) {
                // A sector that cannot be read ends the track: what came counts.
                track_.reset();
                sector_.clear();
                handed_ = 0;
                break;
            }
            handed_ = 0;
        }
        const std::size_t part = std::min<std::size_t>(
            size - written, static_cast<std::size_t>(sector_.size() - handed_));
        std::memcpy(buffer + written, sector_.constData() + handed_, part);
        handed_ += static_cast<qsizetype>(part);
        written += part;
    }
    position_ += written;
    return written;
}

void CdAudioReader::Close() {
    track_.reset();
    sector_.clear();
    handed_ = 0;
    ResetCommonFields();
}
