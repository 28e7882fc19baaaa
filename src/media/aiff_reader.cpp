#include "media/aiff_reader.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr qint64 kLargestComm = 10240;
constexpr quint32 kUnknownFrames = 0xFFFFFFFF;

quint32 Big32(const char* at) {
    return qFromBigEndian<quint32>(at);
}

// An 80-bit IEEE 754 extended-precision number, big-endian.
double Extended(const char* at) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(at);
    const int exponent = ((bytes[0] & 0x7F) << 8) | bytes[1];
    const double hi = Big32(at + 2);
    const double lo = Big32(at + 6);
    double value = 0.0;
    if (exponent == 0x7FFF)
        value = std::numeric_limits<double>::infinity();
    else if (exponent != 0 || hi != 0 || lo != 0)
        value = std::ldexp(hi, exponent - 16414) + std::ldexp(lo, exponent - 16446);
    return (bytes[0] & 0x80) ? -value : value;
}

} // namespace

bool AiffReader::ParseComm(const QByteArray& chunk, Comm* comm) {
    if (chunk.size() <= 21)
        return false;
    const char* data = chunk.constData();
    comm->channels = qFromBigEndian<qint16>(data);
    comm->frames = Big32(data + 2);
    comm->sampleSize = qFromBigEndian<qint16>(data + 6);
    const double rate = Extended(data + 8);
    const bool isDwvw = chunk.mid(18, 4).toUpper() == "DWVW";
    // Beyond two channels a block would not fit the buffer a caller offers.
    if (!isDwvw || comm->channels < 0 || comm->channels > 2 || comm->sampleSize < 8 ||
        comm->sampleSize > 24 || !(rate >= 0.0 && rate < std::numeric_limits<int>::max()))
        return false;
    comm->channels = std::max(1, comm->channels);
    comm->sampleRate = static_cast<int>(rate);
    return true;
}

// Walks the chunks after the form header; true when a DWVW COMM chunk and an
// SSND chunk were both found.
bool AiffReader::ReadChunks(Comm* comm) {
    bool commFound = false;
    bool soundFound = false;
    char header[8];
    while (file_.read(header, 8) == 8) {
        const QByteArray id(header, 4);
        const qint64 size = Big32(header + 4);
        const qint64 padded = size + (size & 1);
        const qint64 start = file_.pos();
        if (id == "COMM") {
            if (padded > kLargestComm || !ParseComm(file_.read(padded), comm))
                return false;
            commFound = true;
        } else if (id == "SSND") {
            char offsets[8];
            if (padded < 8 || file_.read(offsets, 8) != 8)
                return false;
            // Sizes and offsets beyond the file's end are damage: what is there counts.
            const qint64 dataOffset = Big32(offsets);
            soundOffset_ = std::min(start + 8 + dataOffset, file_.size());
            soundBytesLeft_ =
                std::max<qint64>(0, std::min(padded - dataOffset - 8, file_.size() - soundOffset_));
            soundFound = true;
        }
        if (!file_.seek(start + padded))
            break;
    }
    return commFound && soundFound;
}

bool AiffReader::Open(const QString& path) {
    Close();
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly))
        return false;
    const QByteArray form = file_.read(12);
    Comm comm;
    if (form.size() != 12 || !form.startsWith("FORM") || form.mid(8) != "AIFC" ||
        !ReadChunks(&comm) || !file_.seek(soundOffset_)) {
        Close();
        return false;
    }

    const qint64 fileSize = file_.size();
    const quint32 frames = comm.frames == 0 || comm.frames == kUnknownFrames ? 1 : comm.frames;
    length_ = static_cast<std::uint64_t>(fileSize);
    position_ = static_cast<std::uint64_t>(soundOffset_);
    sourceChannels_ = comm.channels;
    channels_ = comm.channels;
    sampleRate_ = comm.sampleRate;
    bitsPerSample_ = 16;
    bytesPerSample_ = 2;
    duration_ = sampleRate_ > 0 ? static_cast<int>(frames / static_cast<quint32>(sampleRate_)) : 0;
    bitRate_ = duration_ > 0
                   ? static_cast<int>(fileSize / (qint64{duration_} * 125))
                   : static_cast<int>(qint64{comm.sampleSize} * comm.channels * sampleRate_ / 1000);

    // Writers pad the stream after the last frame (libsndfile with twelve zero
    // samples): a frame count says where the sound ends.
    samplesLeft_ = comm.frames != 0 && comm.frames != kUnknownFrames
                       ? quint64{comm.frames} * comm.channels
                       : std::numeric_limits<quint64>::max();
    decoder_ = std::make_unique<DwvwDecoder>(
        comm.sampleSize, [this](std::uint8_t* bytes, int most) { return FetchSound(bytes, most); });
    samples_.assign(static_cast<std::size_t>(kFramesPerRead * sourceChannels_), 0);
    return true;
}

int AiffReader::FetchSound(std::uint8_t* bytes, int most) {
    const qint64 asked = std::min<qint64>(most, soundBytesLeft_);
    soundBytesLeft_ -= asked;
    const qint64 got = asked > 0 ? file_.read(reinterpret_cast<char*>(bytes), asked) : 0;
    if (got <= 0) {
        soundBytesLeft_ = 0; // a read error ends the data
        return 0;
    }
    position_ += static_cast<std::uint64_t>(got);
    return static_cast<int>(got);
}

std::size_t AiffReader::Read(std::uint8_t* buffer, std::size_t size) {
    if (!decoder_ || size < kMinReadBytes)
        return 0;
    const int wanted = static_cast<int>(std::min<quint64>(samples_.size(), samplesLeft_));
    const int decoded = decoder_->Decode(samples_.data(), wanted);
    samplesLeft_ -= static_cast<quint64>(decoded);
    for (int i = 0; i < decoded; ++i)
        qToLittleEndian(static_cast<std::int16_t>(samples_[i] >> 16), buffer + 2 * i);
    return static_cast<std::size_t>(decoded) * 2;
}

void AiffReader::Close() {
    decoder_.reset();
    samples_.clear();
    file_.close();
    soundOffset_ = soundBytesLeft_ = 0;
    samplesLeft_ = 0;
    ResetCommonFields();
}
