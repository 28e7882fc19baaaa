#pragma once

#include "media/audio_reader.h"
#include "media/voice/voice_frame_decoder.h"

#include <QFile>
#include <array>
#include <memory>

// Reads "_VOC_File" voice recorder files: a header block, then fixed-size frames
// of speech in one of two codecs (G.729-family CS-ACELP or G.726 ADPCM), decoded
// to 8000 Hz mono. Length and position are the file's size and read offset.
class VoiceFileReader final : public AudioReader {
public:
    // Samples Read delivers at most per call.
    static constexpr std::size_t kSamplesPerRead = 1152;

    VoiceFileReader() = default;
    ~VoiceFileReader() override;

    void Close() override;
    bool Open(const QString& path) override;
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override;
    std::uint64_t GetPosition() const override;

private:
    static constexpr std::size_t kLargestFrame = 40;

    bool FetchVoiceFrame(std::size_t size);
    bool SkipGap(std::size_t size);

    QFile file_;
    std::unique_ptr<VoiceFrameDecoder> decoder_;
    std::array<std::uint8_t, kLargestFrame> frame_{};
    VoiceFrameDecoder::Samples samples_{};
    std::size_t nextSample_ = VoiceFrameDecoder::kSamplesPerFrame;
    bool ended_ = false; // the data has ended; later frames stay unread
};
