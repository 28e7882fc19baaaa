#pragma once

#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>

// Writes the temporary PCM WAV file a built-in reader's output is staged into:
// the 44-byte header of a canonical RIFF WAVE file, then the samples as given.
// The two sizes of the header are patched in when the file is closed.
class WavWriter {
public:
    static constexpr int kHeaderBytes = 44;

    WavWriter() = default;
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;
    ~WavWriter() { Close(); }

    // Creates the file, which must not exist yet: a name in the shared temporary
    // folder is never written through someone else's file or link. False when it
    // cannot be created or the header cannot be written.
    bool Open(const QString& path, bool stereo, int bitsPerSample, int sampleRate);
    // Appends the bytes unchanged. False when they could not all be written.
    bool Write(const std::uint8_t* data, std::size_t bytes);
    // Patches the sizes and closes the file; false when that fails. Nothing
    // happens when no file is open.
    bool Close();

    // The system's reason for the last failure.
    QString ErrorString() const { return file_.errorString(); }

private:
    QFile file_;
};
