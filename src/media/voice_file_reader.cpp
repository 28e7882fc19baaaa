#include "media/voice_file_reader.h"

#include "media/voice/acelp_decoder.h"
#include "media/voice/g726_decoder.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace {

constexpr qint64 kHeaderSize = 31;
constexpr char kSignature[] = "_VOC_File";
constexpr int kSignatureOffset = 6;
constexpr int kLayoutOffset = 15;
constexpr int kLengthOffset = 22; // hours, minutes, seconds, fraction flag
constexpr int kCodecOffset = 26;
constexpr int kShortLayout = 12;
constexpr qint64 kShortHeaderBlock = kHeaderSize + 30 * 16;
constexpr qint64 kLongHeaderBlock = kHeaderSize + 254 * 16;
// A frame ending in this many zero bytes (up to twice as many) is read again from
// its middle.
constexpr std::size_t kStepBack = 20;

std::unique_ptr<VoiceFrameDecoder> DecoderFor(std::uint8_t codec) {
    switch (codec) {
    case 0:
        return std::make_unique<AcelpDecoder>();
    case 3:
        return std::make_unique<G726Decoder>();
    default:
        return nullptr;
    }
}

} // namespace

VoiceFileReader::~VoiceFileReader() {
    Close();
}

void VoiceFileReader::Close() {
    file_.close();
    decoder_.reset();
    nextSample_ = VoiceFrameDecoder::kSamplesPerFrame;
    ended_ = false;
    ResetCommonFields();
}

bool VoiceFileReader::Open(const QString& path) {
    Close();
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly))
        return false;
    std::array<std::uint8_t, kHeaderSize> header{};
    const bool isVoiceFile =
        file_.read(reinterpret_cast<char*>(header.data()), kHeaderSize) == kHeaderSize &&
        std::memcmp(header.data() + kSignatureOffset, kSignature, sizeof kSignature - 1) == 0;
    decoder_ = isVoiceFile ? DecoderFor(header[kCodecOffset]) : nullptr;
    const qint64 headerBlock =
        header[kLayoutOffset] == kShortLayout ? kShortHeaderBlock : kLongHeaderBlock;
    if (!decoder_ || !file_.seek(headerBlock)) {
        Close();
        return false;
    }
    const std::uint8_t* length = header.data() + kLengthOffset;
    duration_ = length[0] * 3600 + length[1] * 60 + length[2] + (length[3] != 0 ? 1 : 0);
    length_ = static_cast<std::uint64_t>(file_.size());
    sampleRate_ = 8000;
    sourceChannels_ = channels_ = 1;
    bitsPerSample_ = 16;
    bytesPerSample_ = 2;
    bitRate_ = 0;
    return true;
}

std::size_t VoiceFileReader::Read(std::uint8_t* buffer, std::size_t size) {
    if (!decoder_ || ended_)
        return 0;
    // Whole blocks whatever is asked, but never past the buffer offered.
    const std::size_t wanted = std::min(kSamplesPerRead, size / 2);
    std::size_t delivered = 0;
    while (delivered < wanted) {
        if (nextSample_ == samples_.size()) {
            if (!FetchVoiceFrame(decoder_->FrameSize())) {
                ended_ = true;
                break;
            }
            decoder_->Decode(std::span(frame_.data(), decoder_->FrameSize()), samples_);
            nextSample_ = 0;
        }
        const std::size_t count = std::min(samples_.size() - nextSample_, wanted - delivered);
        for (std::size_t i = 0; i < count; ++i, ++delivered)
            qToLittleEndian(samples_[nextSample_ + i], buffer + 2 * delivered);
        nextSample_ += count;
    }
    return 2 * delivered;
}

std::uint64_t VoiceFileReader::GetPosition() const {
    return file_.isOpen() ? static_cast<std::uint64_t>(file_.pos()) : 0;
}

// Reads the next frame of speech into frame_, stepping over gaps; false at the end.
// Every turn of the loop moves forward in the file, so it ends.
bool VoiceFileReader::FetchVoiceFrame(std::size_t size) {
    for (;;) {
        if (file_.read(reinterpret_cast<char*>(frame_.data()), qint64(size)) != qint64(size))
            return false;
        const auto last = std::find_if(frame_.rend() - qsizetype(size), frame_.rend(),
                                       [](std::uint8_t byte) { return byte != 0; });
        const std::size_t content = std::size_t(frame_.rend() - last);
        if ((size - content) / kStepBack == 1) {
            file_.seek(file_.pos() - qint64(kStepBack));
            continue;
        }
        if (content != 0)
            return true;
        if (!SkipGap(size))
            return false;
    }
}

// After an all-zero frame: the next block tells where the speech goes on. Two
// zero frames end the data, and so does a gap that leads out of the file.
bool VoiceFileReader::SkipGap(std::size_t size) {
    std::array<std::uint8_t, kLargestFrame> block{};
    const qint64 blockStart = file_.pos();
    if (file_.read(reinterpret_cast<char*>(block.data()), qint64(size)) != qint64(size))
        return false;
    if (std::all_of(block.begin(), block.begin() + qsizetype(size),
                    [](std::uint8_t byte) { return byte == 0; }))
        return false;
    const qint32 gap = qFromLittleEndian<qint32>(block.data());
    // The gap counts from the start of this block; a negative one leaves the file
    // where it is.
    if (gap < 0)
        return true;
    const qint64 target = blockStart + gap;
    return target <= file_.size() && file_.seek(target);
}
