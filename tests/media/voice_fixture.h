#pragma once

#include "media/voice_file_reader.h"
#include "support/make_clip.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

// Voice recorder files written by the tests: the 31-byte header, the rest of the
// header block, then the payload as given.
struct VoiceHeader {
    int codec = 3;
    int layout = 12; // 12: a 511-byte header block; anything else: 4095
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int fraction = 0;
};

inline QByteArray VoiceFile(const VoiceHeader& h, const QByteArray& payload) {
    QByteArray bytes(h.layout == 12 ? 511 : 4095, '\0');
    bytes.replace(6, 9, "_VOC_File");
    bytes[15] = char(h.layout);
    bytes[22] = char(h.hours);
    bytes[23] = char(h.minutes);
    bytes[24] = char(h.seconds);
    bytes[25] = char(h.fraction);
    bytes[26] = char(h.codec);
    return bytes + payload;
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every sample the reader delivers, and the sample count of each Read.
struct ReadResult {
    std::vector<std::int16_t> samples;
    std::vector<std::size_t> blocks;
};

inline ReadResult ReadAll(AudioReader& reader) {
    ReadResult result;
    std::vector<std::uint8_t> buffer(AudioReader::kMinReadBytes);
    // A reader that never ends would fail the test here rather than hang it.
    for (int calls = 0; calls < 1'000'000; ++calls) {
        const std::size_t bytes = reader.Read(buffer.data(), buffer.size());
        if (bytes == 0)
            break;
        result.blocks.push_back(bytes / 2);
        for (std::size_t i = 0; i < bytes; i += 2)
            result.samples.push_back(std::int16_t(buffer[i] | buffer[i + 1] << 8));
    }
    return result;
}

// Tests that make their fixtures with the engine in a temporary folder.
class VoiceEngineTest : public ::testing::Test {
protected:
    // Runs the engine with args; its output is the file name in the folder.
    void Engine(const QString& name, const QStringList& args) {
        QString error;
        ASSERT_TRUE(MakeClip(dir_.path(), name, args, &error)) << error.toStdString();
    }
    QString Path(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
};
