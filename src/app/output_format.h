#pragma once

#include "app/codec_tables.h"

#include <QString>
#include <vector>

enum class FormatCategory : int {
    Command = -1, // the chooser's "Customize Output Formats" entry
    Audio = 0,
    Video = 1,
    Device = 2,
    ImageSequence = 3,
    CustomGroup = 4,
};

// The engine's "-target" presets, each with its own legal sizes and rates.
enum class FixedTarget { None, Dv, Dvd, Vcd };

// A named group of format ids, converted in one go. Ids not in the catalogue are
// skipped at conversion time; duplicates are allowed.
struct CustomFormat {
    QString name;
    std::vector<int> formatIds;
};

// The encoding parameters every format keeps for itself. The member names are the
// suffixes of the stored value names. The defaults are those of a blank record.
struct FormatParameters {
    int VideoEnable = 0;
    QString VideoCodec;  // an engine codec name, or the profiles "h264mp" and "h264bp"
    QString VideoAspect; // empty: automatic; "W:H" or a decimal; a leading 'N' means none
    int VideoWidth = 0;  // 0x0 keeps the source size
    int VideoHeight = 0;
    int VideoKeepAspect = 0;
    int AddPadding = 0;
    int VideoBitRate = 0; // bits per second, 0 automatic
    int VideoVBRQuality = -1;
    int VideoVBREnabled = 0;
    double VideoFrameRate = -1.0; // not above 0: same as the source
    int AudioEnable = 1;
    QString AudioCodec;
    int AudioBitRate = 0; // bits per second, 0 automatic
    int AudioVBRQuality = -1;
    int AudioVBREnabled = 0;
    int AudioCompressionLevel = -1;
    int AudioSampleRate = 0; // 0: same as the source
    int AudioChannels = 0;   // 0: same as the source
    int AudioVolume = 100;   // percent

    // An aspect to write as given: not automatic (empty), not "N..." (none).
    bool HasExplicitAspect() const {
        return !VideoAspect.isEmpty() && !VideoAspect.startsWith(u'N', Qt::CaseInsensitive);
    }
};

// One output format: its identity and its current encoding parameters.
struct OutputFormat : FormatParameters {
    int id = -1;
    FormatCategory category = FormatCategory::Command;
    const CustomFormat* customFormat = nullptr; // the group a chooser entry stands for
    QString extension;
    QString displayName; // empty: the upper-case extension is shown
    QString muxer;       // empty: the engine picks the container by extension
    QString settingsKey; // empty: the extension prefixes the stored values
    int fastStart = 0;   // bit 0: "-movflags faststart"
    FixedTarget fixedTarget = FixedTarget::None;
    bool usesTheoraTool = false; // the optimised OGG, OGM and OGV are made by the Theora tool
    std::vector<const AudioCodecInfo*> audioCodecs; // empty: the format has no audio
    std::vector<const VideoCodecInfo*> videoCodecs; // empty: the format has no video

    bool HasVideoCodecs() const { return !videoCodecs.empty(); }
    bool HasAudioCodecs() const { return !audioCodecs.empty(); }
    // The offered codec of that name, or nullptr: a name the format does not offer
    // would leave its stream out.
    const VideoCodecInfo* FindVideoCodec(const QString& name) const;
    const AudioCodecInfo* FindAudioCodec(const QString& name) const;
    // Prefix of this format's stored value names.
    QString SettingsPrefix() const;
    // The entry text of the output format chooser, with its leading blank.
    QString ChooserText() const;
    // The entry text of the format lists of the option dialogs, with its leading blank.
    QString ListText() const;
};
