#pragma once

#include "media/audio_reader.h"
#include "media/dwvw_decoder.h"

#include <QFile>
#include <memory>
#include <vector>

// Reads AIFF-C files whose sound is DWVW-compressed, the one AIFF kind the
// engine cannot read; every other AIFF or AIFF-C file is refused and left to the
// engine. Length and position count bytes of the file.
class AiffReader : public AudioReader {
public:
    // Decoded per Read: 1152 frames of at most two channels fill kMinReadBytes.
    static constexpr int kFramesPerRead = 1152;

    ~AiffReader() override { Close(); }

    void Close() override;
    bool Open(const QString& path) override;
    // One block of 1152 frames (fewer at the end), whatever size is asked; size
    // must be at least kMinReadBytes.
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override;

private:
    struct Comm {
        int channels = 0;
        quint32 frames = 0;
        int sampleSize = 0;
        int sampleRate = 0;
    };
    static bool ParseComm(const QByteArray& chunk, Comm* comm);
    bool ReadChunks(Comm* comm);
    int FetchSound(std::uint8_t* bytes, int most);

    QFile file_;
    qint64 soundOffset_ = 0;
    qint64 soundBytesLeft_ = 0;
    // Samples still to come by the file's frame count, when it names one.
    quint64 samplesLeft_ = 0;
    std::unique_ptr<DwvwDecoder> decoder_;
    std::vector<std::int32_t> samples_;
};
