#include "media/wav_writer.h"

#include <QtEndian>
#include <array>

namespace {

template <typename T> void Put(std::uint8_t*& at, T value) {
    qToLittleEndian(value, at);
    at += sizeof(T);
}

void PutText(std::uint8_t*& at, const char* text) {
    for (; *text; ++text)
        *at++ = static_cast<std::uint8_t>(*text);
}

} // namespace

bool WavWriter::Open(const QString& path, bool stereo, int bitsPerSample, int sampleRate) {
    Close();
    const std::uint16_t channels = stereo ? 2 : 1;
    const auto bits = static_cast<std::uint16_t>(bitsPerSample);
    const auto rate = static_cast<std::uint32_t>(sampleRate);

    std::array<std::uint8_t, kHeaderBytes> header{};
    std::uint8_t* at = header.data();
    PutText(at, "RIFF");
    Put<std::uint32_t>(at, 0); // patched on close
    PutText(at, "WAVEfmt ");
    Put<std::uint32_t>(at, 16);
    Put<std::uint16_t>(at, 1); // PCM
    Put<std::uint16_t>(at, channels);
    Put<std::uint32_t>(at, rate);
    Put<std::uint32_t>(at, channels * bits * rate / 8);
    Put<std::uint16_t>(at, static_cast<std::uint16_t>(channels * bits / 8));
    Put<std::uint16_t>(at, bits);
    PutText(at, "data");
    Put<std::uint32_t>(at, 0); // patched on close

    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    if (!Write(header.data(), header.size())) {
        file_.remove();
        return false;
    }
    return true;
}

bool WavWriter::Write(const std::uint8_t* data, std::size_t bytes) {
    const auto size = static_cast<qint64>(bytes);
    return file_.write(reinterpret_cast<const char*>(data), size) == size;
}

bool WavWriter::Close() {
    if (!file_.isOpen())
        return true;
    // A RIFF file counts in 32 bits; the low bits are what the format can hold.
    const auto size = static_cast<std::uint32_t>(file_.size());
    std::uint8_t field[4];
    bool patched = true;
    for (const auto& [offset, value] : {std::pair{4, size - 8}, std::pair{40, size - 44}}) {
        qToLittleEndian(value, field);
        patched =
            patched && file_.seek(offset) && file_.write(reinterpret_cast<char*>(field), 4) == 4;
    }
    patched = file_.flush() && patched;
    file_.close();
    return patched;
}
