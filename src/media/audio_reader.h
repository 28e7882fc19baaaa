#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

// A built-in reader of one kind of audio source the engine cannot read on its own.
// It is used twice: when the file is added, for its duration and audio properties,
// and before a conversion, when the whole file is decoded into a temporary WAV
// file. Read delivers interleaved signed 16-bit little-endian PCM.
class AudioReader {
public:
    // Some readers deliver whole decoded blocks (up to 1152 samples per channel of
    // at most two channels) whatever size is asked: offer Read at least this much.
    static constexpr std::size_t kMinReadBytes = 4608;

    AudioReader() = default;
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;
    // A reader's own destructor closes its source: Close is virtual and cannot
    // reach the reader from here.
    virtual ~AudioReader() = default;

    // Releases the source and resets every common field to 0; the reader can be
    // opened again.
    virtual void Close() = 0;
    // Closes any open source first, then reads the file's header; on success
    // every common field is set.
    virtual bool Open(const QString& path) = 0;
    // Bytes of PCM written to buffer; 0 at the end or on an error.
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t size) = 0;

    virtual std::uint64_t GetLength() const { return length_; }
    // In the unit of GetLength, for progress.
    virtual std::uint64_t GetPosition() const { return position_; }
    virtual int GetDuration() const { return duration_; }
    virtual int GetSourceChannels() const { return sourceChannels_; }
    virtual int GetChannels() const { return channels_; }
    virtual int GetSampleRate() const { return sampleRate_; }
    virtual int GetBitsPerSample() const { return bitsPerSample_; }
    // kb/s; 0 when not available.
    virtual int GetBitRate() const { return bitRate_; }

protected:
    void ResetCommonFields() {
        length_ = position_ = 0;
        duration_ = sampleRate_ = sourceChannels_ = channels_ = 0;
        bitsPerSample_ = bytesPerSample_ = bitRate_ = 0;
    }

    std::uint64_t length_ = 0;
    std::uint64_t position_ = 0;
    int duration_ = 0; // whole seconds
    int sampleRate_ = 0;
    int sourceChannels_ = 0;
    int channels_ = 0;
    int bitsPerSample_ = 0;
    int bytesPerSample_ = 0;
    int bitRate_ = 0;
};
