#pragma once

// The static codec tables the output formats draw on. Every value list keeps its
// terminator: -1 for whole numbers, -1.0 for frame rates, 0x0 for sizes.

struct VideoSize {
    int width;
    int height;
};

struct VideoCodecInfo {
    const char* name;
    const char* description;
    // A first pair of -1x-1 marks a fixed list: only the sizes after it are offered,
    // and pictures are always padded to them.
    const VideoSize* sizes;
    const int* bitRates; // bits per second; nullptr: the codec has no bit-rate setting
    int bestQuality;     // -1 in either quality: the codec has no quality mode
    int worstQuality;
    const double* frameRates;
};

enum AudioCodecCapability : int {
    kAudioCapBitRates = 1,
    kAudioCapQuality = 2,
    kAudioCapCompressionLevels = 4, // the bit-rate list holds compression levels
};

struct AudioCodecInfo {
    const char* name;
    const char* description;
    int capabilities;
    const int* sampleRates;
    // Bits per second, or compression levels; for "g726" bits per sample, which
    // the command line multiplies by the sample rate. nullptr: no such setting.
    const int* bitRates;
    int bestQuality;
    int worstQuality;
    unsigned channelMask; // bit n-1 set: n channels allowed
};

inline constexpr int kAudioCodecCount = 47;
inline constexpr int kVideoCodecCount = 54;

// Entry An of the audio table is kAudioCodecs[n - 1]; likewise for video.
extern const AudioCodecInfo kAudioCodecs[kAudioCodecCount];
extern const VideoCodecInfo kVideoCodecs[kVideoCodecCount];
