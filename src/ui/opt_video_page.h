#pragma once

#include "ui/opt_page.h"

class CColorCombo;
class CStepSpin;
class FormatCatalog;
class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
struct AudioCodecInfo;
struct ConvertSettings;
struct OutputFormat;
struct VideoCodecInfo;

// The Video and Audio page (dialog 217): the encoding parameters of one format at
// a time, chosen in the page's own format list, and the conversion-wide picture
// settings. Leaving the page writes the shown format's parameters into its
// catalogue record, and the chosen format and picture settings into the settings.
class COptVideoPage : public COptPage {
    Q_OBJECT

public:
    enum { IDD = 217 };

    COptVideoPage(ConvertSettings& settings, FormatCatalog& catalog, QWidget* parent = nullptr);

    void Open() override;
    bool Leave() override;

private:
    void BuildFormatRow();
    void BuildVideoControls();
    void BuildPictureControls();
    void BuildAudioControls();
    void Connect();

    OutputFormat* ShownFormat() const;
    const VideoCodecInfo* ChosenVideoCodec() const;
    const AudioCodecInfo* ChosenAudioCodec() const;

    void FillFormatList();
    void ApplyFormat();
    void ApplyVideoCodec();
    void BuildVideoRateList(bool qualityMode, int value);
    void ApplySizes(const OutputFormat& format, const VideoCodecInfo& codec);
    void DisableSizes();
    void ApplyAudioCodec();
    void BuildAudioRateList(bool qualityMode, int value);
    void FillAudioRates(const OutputFormat& format, const AudioCodecInfo& codec);
    void VideoRule(bool on);
    void SizeRule();
    void CropRule(bool on);
    void AudioRule(bool on);
    void OnSameAs(QCheckBox* same, CStepSpin* from, CStepSpin* to);

    bool HasEmptyNumber();
    void SaveVideo(OutputFormat& format);
    void SaveAudio(OutputFormat& format);
    bool Validate(const OutputFormat& format);

    ConvertSettings& settings_;
    FormatCatalog& catalog_;

    // False for the formats of the Theora tool, which has no such options.
    bool volumeAllowed_ = true;
    bool paddingAllowed_ = true;
    bool paddingAllowedByFormat_ = true;
    bool rotateAllowed_ = true;
    bool videoQualityMode_ = false;
    bool audioQualityMode_ = false;

    CColorCombo* formats_ = nullptr;
    QCheckBox* enableVideo_ = nullptr;
    QComboBox* videoCodec_ = nullptr;
    QRadioButton* videoBitRateMode_ = nullptr;
    QRadioButton* videoQualityModeButton_ = nullptr;
    QLabel* videoRateLabel_ = nullptr;
    QComboBox* videoRate_ = nullptr;
    QComboBox* frameRate_ = nullptr;
    QComboBox* size_ = nullptr;
    QComboBox* aspect_ = nullptr;
    CStepSpin* width_ = nullptr;
    CStepSpin* height_ = nullptr;
    QCheckBox* keepAspect_ = nullptr;
    QCheckBox* padding_ = nullptr;
    QCheckBox* deinterlace_ = nullptr;
    QCheckBox* crop_ = nullptr;
    CStepSpin* cropLeft_ = nullptr;
    CStepSpin* cropRight_ = nullptr;
    CStepSpin* cropTop_ = nullptr;
    CStepSpin* cropBottom_ = nullptr;
    QCheckBox* sameAsLeft_ = nullptr;
    QCheckBox* sameAsTop_ = nullptr;
    QComboBox* rotateFlip_ = nullptr;
    QCheckBox* enableAudio_ = nullptr;
    QComboBox* audioCodec_ = nullptr;
    QRadioButton* audioBitRateMode_ = nullptr;
    QRadioButton* audioQualityModeButton_ = nullptr;
    QLabel* audioRateLabel_ = nullptr;
    QComboBox* audioRate_ = nullptr;
    QComboBox* sampleRate_ = nullptr;
    QComboBox* channels_ = nullptr;
    CStepSpin* volume_ = nullptr;
};
