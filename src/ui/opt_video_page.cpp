#include "ui/opt_video_page.h"

#include "app/convert_settings.h"
#include "app/format_catalog.h"
#include "app/text_numbers.h"
#include "ui/color_combo.h"
#include "ui/message_boxes.h"
#include "ui/step_spin.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace {

// Item data of the two special entries of the size list; listed sizes carry 0.
constexpr int kSameAsSourceSize = 21845;
constexpr int kCustomSize = 39321;

// Text colours of the format list, one per run of formats of a category.
const QColor kCategoryColors[] = {QColor(0, 0, 0), QColor(0, 0, 170), QColor(0, 102, 0),
                                  QColor(153, 0, 0)};

struct SizeName {
    int width;
    int height;
    const char* name;
};

const SizeName kSizeNames[] = {
    {128, 96, "SQCIF 4:3"},      {176, 144, "QCIF 11:9"},        {240, 160, "HQVGA 3:2"},
    {320, 240, "QVGA 240p 4:3"}, {352, 288, "CIF 11:9"},         {480, 320, "HVGA 3:2"},
    {640, 360, "nHD 360p 16:9"}, {640, 480, "VGA 4:3"},          {704, 576, "4CIF 11:9"},
    {720, 480, "WVGA 480p 3:2"}, {720, 576, "DVD PAL 5:4"},      {800, 480, "WGA 5:3"},
    {800, 600, "SVGA 4:3"},      {960, 540, "qHD 540p 16:9"},    {1024, 576, "WSVGA 16:9"},
    {1024, 768, "XGA 4:3"},      {1280, 720, "HD 720p 16:9"},    {1280, 1024, "SXGA 5:4"},
    {1366, 768, "WXGA 16:9"},    {1408, 1152, "16CIF 11:9"},     {1440, 900, "WSXGA 16:10"},
    {1600, 900, "HD+ 16:9"},     {1600, 1200, "UXGA 4:3"},       {1920, 1080, "FHD 1080p 16:9"},
    {1920, 1200, "WUXGA 16:10"}, {2048, 1152, "2K 16:9"},        {2560, 1440, "QHD 1440p 16:9"},
    {3200, 1800, "WQXGA+ 16:9"}, {3840, 2160, "UHD 2160p 16:9"}, {4096, 2304, "4K 16:9"},
};

// Three formats whose codecs offer exactly two fixed sizes name them their own way.
struct FormatSizeName {
    int formatId;
    int width;
    int height;
    const char* name;
};

const FormatSizeName kFormatSizeNames[] = {
    {65, 720, 480, "DVD NTSC"}, {65, 720, 576, "DVD PAL"}, {180, 352, 240, "VCD NTSC"},
    {180, 352, 288, "VCD PAL"}, {60, 720, 480, "DV NTSC"}, {60, 720, 576, "DV PAL"},
};

QString SizeNameOf(int formatId, int width, int height) {
    bool ownNames = false;
    for (const FormatSizeName& entry : kFormatSizeNames) {
        if (entry.formatId != formatId)
            continue;
        ownNames = true;
        if (entry.width == width && entry.height == height)
            return entry.name;
    }
    if (ownNames)
        return QString();
    for (const SizeName& entry : kSizeNames) {
        if (entry.width == width && entry.height == height)
            return entry.name;
    }
    return QString();
}

const char* const kAspects[] = {"Auto", "16:10", "16:9", "5:4", "5:3", "4:3", "3:2", "1:1"};

const char* const kRotations[] = {
    QT_TRANSLATE_NOOP("COptVideoPage", "None"),
    QT_TRANSLATE_NOOP("COptVideoPage", "Rotate by 90 degrees clockwise"),
    QT_TRANSLATE_NOOP("COptVideoPage", "Rotate by 90 degrees clockwise and vertically flip"),
    QT_TRANSLATE_NOOP("COptVideoPage", "Rotate by 90 degrees counterclockwise"),
    QT_TRANSLATE_NOOP("COptVideoPage", "Rotate by 90 degrees counterclockwise and vertically flip"),
    QT_TRANSLATE_NOOP("COptVideoPage", "Flip horizontally"),
    QT_TRANSLATE_NOOP("COptVideoPage", "Flip vertically"),
};

const char* const kChannelNames[] = {"Mono", "Stereo", "2.1", "4.0", "5.0", "5.1", "6.1", "7.1"};

QString Tr(const char* text) {
    return QCoreApplication::translate("COptVideoPage", text);
}

template <typename T> T* Named(T* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

// Lists are refilled with every codec: their room stays the same and the
// layout's stretch gives them what the page has.
void KeepSteadyWidth(QComboBox* combo) {
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(16);
}

QComboBox* MakeCombo(int id, bool editable, QWidget* parent) {
    auto* combo = Named(new QComboBox(parent), id);
    KeepSteadyWidth(combo);
    combo->setEditable(editable);
    if (editable)
        combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

CStepSpin* MakeSpin(int id, int minimum, int maximum, int step, QWidget* parent) {
    auto* spin = Named(new CStepSpin(parent), id);
    spin->setRange(minimum, maximum);
    spin->SetStep(step);
    return spin;
}

QLabel* Label(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

// The two rate modes: one at a time, keeping their room while hidden so the
// rows below stay where they are.
void PairModes(QRadioButton* bitRate, QRadioButton* quality, QWidget* parent) {
    auto* modes = new QButtonGroup(parent);
    for (QRadioButton* mode : {bitRate, quality}) {
        modes->addButton(mode);
        QSizePolicy policy = mode->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        mode->setSizePolicy(policy);
    }
}

// The head the video and audio halves share: the enable box, the codec list, the
// rate modes and the rate list, in columns 0 and 1 of rows 0 to 3.
QGridLayout* CodecRows(QCheckBox* enable, QLabel* codecLabel, QComboBox* codec,
                       QRadioButton* bitRate, QRadioButton* quality, QLabel* rateLabel,
                       QComboBox* rate) {
    auto* grid = new QGridLayout;
    grid->addWidget(enable, 0, 0, 1, 2);
    grid->addWidget(codecLabel, 1, 0);
    grid->addWidget(codec, 1, 1, 1, 3);
    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(bitRate);
    modeRow->addWidget(quality);
    modeRow->addStretch(1);
    grid->addLayout(modeRow, 2, 1, 1, 3);
    grid->addWidget(rateLabel, 3, 0);
    grid->addWidget(rate, 3, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return grid;
}

bool HasQuality(int best, int worst) {
    return best != -1 && worst != -1;
}

// Marks of a quality list: the ends, and for video the usual steps of the two
// common scales.
QString QualityMark(int value, int worst, int best, bool scaleMarks) {
    if (value == worst)
        return Tr(" (low quality, small size)");
    if (value == best)
        return Tr(" (high quality, big size)");
    if (!scaleMarks)
        return QString();
    if (worst == 31 && value == 5)
        return Tr(" (good quality)");
    if (worst == 31 && value == 10)
        return Tr(" (medium quality)");
    if (worst == 51) {
        switch (value) {
        case 18:
            return Tr(" (almost lossless)");
        case 22:
            return Tr(" (very good quality)");
        case 24:
            return Tr(" (good quality)");
        case 26:
            return Tr(" (normal quality)");
        default:
            break;
        }
    }
    return QString();
}

// One entry per value from worst to best, each with its value as data; the
// stored value, held in the range, is selected.
void FillQualityList(QComboBox* list, int worst, int best, int stored, bool scaleMarks) {
    const int step = worst < best ? 1 : -1;
    for (int value = worst;; value += step) {
        list->addItem(QString::number(value) + QualityMark(value, worst, best, scaleMarks), value);
        if (value == best)
            break;
    }
    const int held = std::clamp(stored, std::min(worst, best), std::max(worst, best));
    list->setCurrentIndex(std::max(list->findData(held), 0));
}

// Ends of a list of more than one entry get their marks.
void MarkEnds(QComboBox* list, int first, const QString& low, const QString& high) {
    const int last = list->count() - 1;
    if (last <= first)
        return;
    list->setItemText(first, list->itemText(first) + low);
    list->setItemText(last, list->itemText(last) + high);
}

QString AudioRateText(int value) {
    if (value < 1000)
        return QString::asprintf("%d bit", value);
    if (value % 1000 != 0)
        return QString::asprintf("%.2f kbps", value / 1000.0);
    return QString::asprintf("%d kbps", value / 1000);
}

int SelectedData(const QComboBox* list, int none) {
    if (list->count() == 0)
        return none;
    return list->itemData(std::max(list->currentIndex(), 0)).toInt();
}

int ClampedInt(qint64 value) {
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

} // namespace

COptVideoPage::COptVideoPage(ConvertSettings& settings, FormatCatalog& catalog, QWidget* parent)
    : COptPage(parent), settings_(settings), catalog_(catalog) {
    setObjectName(QString::number(IDD));
    auto* page = new QVBoxLayout(this);
    // Made in the order the Tab key visits them.
    BuildFormatRow();
    BuildVideoControls();
    BuildPictureControls();
    BuildAudioControls();
    page->addStretch(1);
    Connect();
}

void COptVideoPage::BuildFormatRow() {
    formats_ = Named(new CColorCombo(this), 1039);
    KeepSteadyWidth(formats_);
    formats_->setMaxVisibleItems(20);
    auto* row = new QHBoxLayout;
    row->addWidget(Label(tr("&Output Format:"), formats_, this));
    row->addWidget(formats_, 1);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

void COptVideoPage::BuildVideoControls() {
    enableVideo_ = Named(new QCheckBox(tr("E&nable Video"), this), 1112);
    videoCodec_ = MakeCombo(1093, false, this);
    videoBitRateMode_ = Named(new QRadioButton(tr("CBR (Constant Bit Rate)"), this), 1151);
    videoQualityModeButton_ = Named(new QRadioButton(tr("VBR (Variable Bit Rate)"), this), 1152);
    PairModes(videoBitRateMode_, videoQualityModeButton_, this);
    videoRate_ = MakeCombo(1094, true, this);
    videoRateLabel_ = Named(Label(tr("&Bit Rate:"), videoRate_, this), 1113);
    frameRate_ = MakeCombo(1095, true, this);
    size_ = MakeCombo(1096, false, this);
    aspect_ = MakeCombo(1107, true, this);
    for (const char* aspect : kAspects)
        aspect_->addItem(QLatin1String(aspect));

    QGridLayout* grid =
        CodecRows(enableVideo_, Label(tr("Video &Codec:"), videoCodec_, this), videoCodec_,
                  videoBitRateMode_, videoQualityModeButton_, videoRateLabel_, videoRate_);
    grid->addWidget(Label(tr("&Frame Rate:"), frameRate_, this), 3, 2);
    grid->addWidget(frameRate_, 3, 3);
    grid->addWidget(Label(tr("&Size: "), size_, this), 4, 0);
    grid->addWidget(size_, 4, 1);
    grid->addWidget(Label(tr("&Aspect Ratio:"), aspect_, this), 4, 2);
    grid->addWidget(aspect_, 4, 3);
    static_cast<QVBoxLayout*>(layout())->addLayout(grid);
}

void COptVideoPage::BuildPictureControls() {
    width_ = MakeSpin(1103, 0, 32767, 2, this);
    height_ = MakeSpin(1105, 0, 32767, 2, this);
    keepAspect_ =
        Named(new QCheckBox(tr("&Keep original aspect ratio when resize video"), this), 1108);
    padding_ =
        Named(new QCheckBox(tr("Add &padding if video does not fill entire width or height"), this),
              1109);
    deinterlace_ = Named(new QCheckBox(tr("De&interlace pictures"), this), 1110);
    crop_ = Named(new QCheckBox(tr("Crop pict&ures"), this), 1115);
    cropLeft_ = MakeSpin(1116, 0, 32767, 2, this);
    cropRight_ = MakeSpin(1117, 0, 32767, 2, this);
    cropTop_ = MakeSpin(1119, 0, 32767, 2, this);
    cropBottom_ = MakeSpin(1120, 0, 32767, 2, this);
    sameAsLeft_ = Named(new QCheckBox(tr("Same as Left"), this), 1118);
    sameAsTop_ = Named(new QCheckBox(tr("Same as Top"), this), 1121);
    rotateFlip_ = MakeCombo(1136, false, this);
    for (int i = 0; i < int(std::size(kRotations)); ++i)
        rotateFlip_->addItem(Tr(kRotations[i]), i);

    auto* grid = new QGridLayout;
    grid->addWidget(Label(tr("&Width:"), width_, this), 0, 0);
    grid->addWidget(width_, 0, 1);
    grid->addWidget(Label(tr("&Height: "), height_, this), 0, 2);
    grid->addWidget(height_, 0, 3);
    grid->addWidget(keepAspect_, 1, 0, 1, 6);
    grid->addWidget(padding_, 2, 0, 1, 6);
    grid->addWidget(deinterlace_, 3, 0, 1, 6);
    grid->addWidget(crop_, 4, 0, 1, 6);
    grid->addWidget(Label(tr("Left:"), cropLeft_, this), 5, 0);
    grid->addWidget(cropLeft_, 5, 1);
    grid->addWidget(Label(tr("Right:"), cropRight_, this), 5, 2);
    grid->addWidget(cropRight_, 5, 3);
    grid->addWidget(sameAsLeft_, 5, 4);
    grid->addWidget(Label(tr("Top:"), cropTop_, this), 6, 0);
    grid->addWidget(cropTop_, 6, 1);
    grid->addWidget(Label(tr("Bottom:"), cropBottom_, this), 6, 2);
    grid->addWidget(cropBottom_, 6, 3);
    grid->addWidget(sameAsTop_, 6, 4);
    grid->addWidget(Label(tr("Rotate && F&lip:"), rotateFlip_, this), 7, 0);
    grid->addWidget(rotateFlip_, 7, 1, 1, 5);
    grid->setColumnStretch(5, 1);
    static_cast<QVBoxLayout*>(layout())->addLayout(grid);
}

void COptVideoPage::BuildAudioControls() {
    enableAudio_ = Named(new QCheckBox(tr("&Enable Audio"), this), 1111);
    audioCodec_ = MakeCombo(1097, false, this);
    audioBitRateMode_ = Named(new QRadioButton(tr("CBR (Constant Bit Rate)"), this), 1153);
    audioQualityModeButton_ = Named(new QRadioButton(tr("VBR (Variable Bit Rate)"), this), 1154);
    PairModes(audioBitRateMode_, audioQualityModeButton_, this);
    audioRate_ = MakeCombo(1099, false, this);
    audioRateLabel_ = Named(Label(tr("Bi&t Rate:"), audioRate_, this), 1164);
    sampleRate_ = MakeCombo(1098, false, this);
    channels_ = MakeCombo(1100, false, this);
    volume_ = MakeSpin(1101, 10, 3000, 10, this);

    QGridLayout* grid =
        CodecRows(enableAudio_, Label(tr("Audio Co&dec: "), audioCodec_, this), audioCodec_,
                  audioBitRateMode_, audioQualityModeButton_, audioRateLabel_, audioRate_);
    grid->addWidget(Label(tr("Sample &Rate:"), sampleRate_, this), 3, 2);
    grid->addWidget(sampleRate_, 3, 3);
    grid->addWidget(Label(tr("C&hannels:"), channels_, this), 4, 0);
    grid->addWidget(channels_, 4, 1);
    grid->addWidget(Label(tr("&Volume:"), volume_, this), 4, 2);
    auto* volumeRow = new QHBoxLayout;
    volumeRow->addWidget(volume_);
    volumeRow->addWidget(new QLabel(QStringLiteral("%"), this));
    volumeRow->addStretch(1);
    grid->addLayout(volumeRow, 4, 3);
    static_cast<QVBoxLayout*>(layout())->addLayout(grid);
}

void COptVideoPage::Connect() {
    connect(formats_, &QComboBox::activated, this, &COptVideoPage::ApplyFormat);
    connect(videoCodec_, &QComboBox::activated, this, &COptVideoPage::ApplyVideoCodec);
    connect(size_, &QComboBox::activated, this, &COptVideoPage::SizeRule);
    connect(enableVideo_, &QCheckBox::clicked, this, &COptVideoPage::VideoRule);
    connect(videoBitRateMode_, &QRadioButton::clicked, this,
            [this] { BuildVideoRateList(false, ShownFormat()->VideoBitRate); });
    connect(videoQualityModeButton_, &QRadioButton::clicked, this,
            [this] { BuildVideoRateList(true, ShownFormat()->VideoVBRQuality); });
    connect(crop_, &QCheckBox::clicked, this, &COptVideoPage::CropRule);
    connect(sameAsLeft_, &QCheckBox::clicked, this,
            [this] { OnSameAs(sameAsLeft_, cropLeft_, cropRight_); });
    connect(sameAsTop_, &QCheckBox::clicked, this,
            [this] { OnSameAs(sameAsTop_, cropTop_, cropBottom_); });
    connect(cropLeft_, &QSpinBox::valueChanged, this, [this](int value) {
        if (sameAsLeft_->isChecked())
            cropRight_->setValue(value);
    });
    connect(cropTop_, &QSpinBox::valueChanged, this, [this](int value) {
        if (sameAsTop_->isChecked())
            cropBottom_->setValue(value);
    });
    connect(audioCodec_, &QComboBox::activated, this, &COptVideoPage::ApplyAudioCodec);
    connect(enableAudio_, &QCheckBox::clicked, this, &COptVideoPage::AudioRule);
    connect(audioBitRateMode_, &QRadioButton::clicked, this,
            [this] { BuildAudioRateList(false, ShownFormat()->AudioBitRate); });
    connect(audioQualityModeButton_, &QRadioButton::clicked, this,
            [this] { BuildAudioRateList(true, ShownFormat()->AudioVBRQuality); });
}

OutputFormat* COptVideoPage::ShownFormat() const {
    return formats_->Format(formats_->currentIndex());
}

const VideoCodecInfo* COptVideoPage::ChosenVideoCodec() const {
    const OutputFormat* format = ShownFormat();
    if (!format || format->videoCodecs.empty())
        return nullptr;
    return format->videoCodecs[std::max(videoCodec_->currentIndex(), 0)];
}

const AudioCodecInfo* COptVideoPage::ChosenAudioCodec() const {
    const OutputFormat* format = ShownFormat();
    if (!format || format->audioCodecs.empty())
        return nullptr;
    return format->audioCodecs[std::max(audioCodec_->currentIndex(), 0)];
}

void COptVideoPage::Open() {
    deinterlace_->setChecked(settings_.VideoDeinterlace != 0);
    crop_->setChecked(settings_.CropPictures != 0);
    cropLeft_->setValue(settings_.CropLeft);
    cropRight_->setValue(settings_.CropRight);
    cropTop_->setValue(settings_.CropTop);
    cropBottom_->setValue(settings_.CropBottom);
    sameAsLeft_->setChecked(settings_.CropSameAsLeft != 0);
    sameAsTop_->setChecked(settings_.CropSameAsTop != 0);
    FillFormatList();
    ApplyFormat();
    rotateFlip_->setCurrentIndex(std::max(rotateFlip_->findData(settings_.RotateFlip), 0));
}

void COptVideoPage::FillFormatList() {
    int group = 0;
    const OutputFormat* previous = nullptr;
    for (const auto& format : catalog_.formats()) {
        if (previous && previous->category != format->category)
            ++group;
        previous = format.get();
        const int entry =
            formats_->AddEntry(format->ListText(), kCategoryColors[group % 4], Qt::white);
        formats_->SetFormat(entry, format.get());
        if (format->id == settings_.SelectedFormat)
            formats_->setCurrentIndex(entry);
    }
    if (formats_->currentIndex() < 0)
        formats_->setCurrentIndex(0);
}

// Fills a codec list with the format's codecs and selects the stored one.
template <typename Codec>
void FillCodecs(QComboBox* list, const std::vector<const Codec*>& codecs, const QString& stored) {
    list->clear();
    for (const Codec* codec : codecs)
        list->addItem(QString::fromLatin1(codec->description));
    const auto chosen = std::find_if(codecs.begin(), codecs.end(), [&](const Codec* codec) {
        return stored == QLatin1String(codec->name);
    });
    list->setCurrentIndex(chosen == codecs.end() ? 0 : int(chosen - codecs.begin()));
}

// Unsaved changes to the format shown before are dropped.
void COptVideoPage::ApplyFormat() {
    const OutputFormat& format = *ShownFormat();
    const bool theora = format.usesTheoraTool;
    volumeAllowed_ = paddingAllowed_ = paddingAllowedByFormat_ = rotateAllowed_ = !theora;

    if (format.HasVideoCodecs()) {
        FillCodecs(videoCodec_, format.videoCodecs, format.VideoCodec);
        ApplyVideoCodec();
        const bool sequence = format.category == FormatCategory::ImageSequence;
        enableVideo_->setChecked(sequence || format.VideoEnable);
        enableVideo_->setEnabled(!sequence);
        // A list greyed by the format shown before comes back with its video.
        videoCodec_->setEnabled(enableVideo_->isChecked());
        if (!enableVideo_->isChecked())
            VideoRule(false);
    } else {
        enableVideo_->setChecked(false);
        enableVideo_->setEnabled(false);
        for (QComboBox* list : {videoCodec_, videoRate_, frameRate_, aspect_, size_})
            list->clear();
        videoBitRateMode_->hide();
        videoQualityModeButton_->hide();
        width_->setValue(0);
        height_->setValue(0);
        VideoRule(false);
    }

    if (format.HasAudioCodecs()) {
        FillCodecs(audioCodec_, format.audioCodecs, format.AudioCodec);
        ApplyAudioCodec();
        const bool audioOnly = format.category == FormatCategory::Audio;
        enableAudio_->setChecked(audioOnly || format.AudioEnable);
        enableAudio_->setEnabled(!audioOnly);
        audioCodec_->setEnabled(enableAudio_->isChecked());
        if (!enableAudio_->isChecked())
            AudioRule(false);
    } else {
        enableAudio_->setChecked(false);
        enableAudio_->setEnabled(false);
        for (QComboBox* list : {audioCodec_, audioRate_, sampleRate_, channels_})
            list->clear();
        audioBitRateMode_->hide();
        audioQualityModeButton_->hide();
        volume_->setValue(100);
        AudioRule(false);
    }
}

void COptVideoPage::ApplyVideoCodec() {
    const OutputFormat& format = *ShownFormat();
    const VideoCodecInfo& codec = *ChosenVideoCodec();
    const bool hasQuality = HasQuality(codec.bestQuality, codec.worstQuality);
    const bool both = codec.bitRates && hasQuality;
    for (QRadioButton* mode : {videoBitRateMode_, videoQualityModeButton_}) {
        mode->setVisible(both);
        mode->setEnabled(both);
    }
    if (both || codec.bitRates || hasQuality) {
        const bool quality = both ? format.VideoVBREnabled == 1 : !codec.bitRates;
        BuildVideoRateList(quality, quality ? format.VideoVBRQuality : format.VideoBitRate);
    } else {
        videoRate_->clear();
        videoRate_->setEnabled(false);
        videoQualityMode_ = false;
    }

    frameRate_->clear();
    frameRate_->setEnabled(codec.frameRates != nullptr);
    if (codec.frameRates) {
        for (const double* rate = codec.frameRates; *rate != -1.0; ++rate)
            frameRate_->addItem(QString::asprintf("%.3f Hz", *rate));
        frameRate_->addItem(tr("Same as original video"));
        if (format.VideoFrameRate >= 0)
            frameRate_->setEditText(QString::asprintf("%.3f Hz", format.VideoFrameRate));
        else
            frameRate_->setCurrentIndex(frameRate_->count() - 1);
    }

    aspect_->clear();
    const bool noAspect = format.VideoAspect.startsWith(u'N');
    aspect_->setEnabled(!noAspect);
    if (!noAspect) {
        for (const char* aspect : kAspects)
            aspect_->addItem(QLatin1String(aspect));
        aspect_->setEditText(format.VideoAspect.isEmpty() ? QStringLiteral("Auto")
                                                          : format.VideoAspect);
    }

    if (codec.sizes)
        ApplySizes(format, codec);
    else
        DisableSizes();
}

void COptVideoPage::BuildVideoRateList(bool qualityMode, int value) {
    const VideoCodecInfo& codec = *ChosenVideoCodec();
    videoQualityMode_ = qualityMode;
    videoRateLabel_->setText(qualityMode ? tr("&Quality:") : tr("&Bit Rate:"));
    videoRate_->setEnabled(true);
    videoRate_->clear();
    (qualityMode ? videoQualityModeButton_ : videoBitRateMode_)->setChecked(true);
    if (qualityMode) {
        FillQualityList(videoRate_, codec.worstQuality, codec.bestQuality, value, true);
        return;
    }
    videoRate_->addItem(tr("Auto"));
    for (const int* rate = codec.bitRates; *rate != -1; ++rate)
        videoRate_->addItem(QString::asprintf("%d kbps", *rate / 1000));
    MarkEnds(videoRate_, 1, tr(" (low quality, small size)"), tr(" (high quality, big size)"));
    // The list has an edit field: the stored rate shows even when it is not listed.
    videoRate_->setEditText(value > 0 ? QString::asprintf("%d kbps", value / 1000) : tr("Auto"));
}

void COptVideoPage::ApplySizes(const OutputFormat& format, const VideoCodecInfo& codec) {
    size_->setEnabled(true);
    size_->clear();
    const bool fixed = codec.sizes[0].width == -1;
    paddingAllowed_ = !fixed && paddingAllowedByFormat_;
    int selected = -1;
    for (const VideoSize* size = codec.sizes + (fixed ? 1 : 0); size->width != 0; ++size) {
        QString text = QString::asprintf("%dx%d", size->width, size->height);
        const QString name = SizeNameOf(format.id, size->width, size->height);
        if (!name.isEmpty())
            text = text.leftJustified(11) + u'(' + name + u')';
        if (size->width == format.VideoWidth && size->height == format.VideoHeight)
            selected = size_->count();
        size_->addItem(text, 0);
    }
    width_->setValue(0);
    height_->setValue(0);
    if (fixed && selected < 0) {
        selected = size_->count() - 1;
    } else if (!fixed) {
        size_->addItem(tr("Same as original video"), kSameAsSourceSize);
        size_->addItem(tr("Customize"), kCustomSize);
        if (selected < 0 && (format.VideoWidth != 0 || format.VideoHeight != 0)) {
            selected = size_->count() - 1;
            width_->setValue(format.VideoWidth);
            height_->setValue(format.VideoHeight);
        } else if (selected < 0) {
            selected = size_->count() - 2;
        }
    }
    size_->setCurrentIndex(selected);
    const int chosen = size_->currentData().toInt();
    width_->setEnabled(chosen == kCustomSize);
    height_->setEnabled(chosen == kCustomSize);
    keepAspect_->setChecked(format.VideoKeepAspect != 0);
    keepAspect_->setEnabled(chosen != kSameAsSourceSize);
    padding_->setChecked(format.AddPadding != 0);
    padding_->setEnabled(chosen != kSameAsSourceSize && paddingAllowed_);
    deinterlace_->setEnabled(true);
    crop_->setEnabled(true);
    CropRule(crop_->isChecked());
    rotateFlip_->setEnabled(rotateAllowed_);
}

void COptVideoPage::DisableSizes() {
    for (QWidget* control : std::initializer_list<QWidget*>{
             size_, width_, height_, keepAspect_, padding_, deinterlace_, crop_, rotateFlip_})
        control->setEnabled(false);
    CropRule(false);
}

void COptVideoPage::ApplyAudioCodec() {
    const OutputFormat& format = *ShownFormat();
    const AudioCodecInfo& codec = *ChosenAudioCodec();
    const bool compression = (codec.capabilities & kAudioCapCompressionLevels) && codec.bitRates;
    const bool rates = (codec.capabilities & kAudioCapBitRates) && codec.bitRates;
    const bool quality = (codec.capabilities & kAudioCapQuality) &&
                         HasQuality(codec.bestQuality, codec.worstQuality);
    const bool both = !compression && rates && quality;
    for (QRadioButton* mode : {audioBitRateMode_, audioQualityModeButton_}) {
        mode->setVisible(both);
        mode->setEnabled(both);
    }
    if (compression) {
        audioRateLabel_->setText(tr("Co&mpression:"));
        audioRate_->setEnabled(true);
        audioRate_->clear();
        for (const int* level = codec.bitRates; *level != -1; ++level)
            audioRate_->addItem(QString::number(*level), *level);
        audioRate_->setItemText(0, audioRate_->itemText(0) + tr(" (fast encoding, big size)"));
        const int last = audioRate_->count() - 1;
        if (last > 0)
            audioRate_->setItemText(last, audioRate_->itemText(last) +
                                              tr(" (slow encoding, small size)"));
        audioRate_->setCurrentIndex(
            std::max(audioRate_->findData(format.AudioCompressionLevel), 0));
    } else if (rates || quality) {
        const bool qualityMode = both ? format.AudioVBREnabled == 1 : !rates;
        BuildAudioRateList(qualityMode, qualityMode ? format.AudioVBRQuality : format.AudioBitRate);
    } else {
        audioRateLabel_->clear();
        audioRate_->clear();
        audioRate_->setEnabled(false);
        audioQualityMode_ = false;
    }
    FillAudioRates(format, codec);
    volume_->setValue(format.AudioVolume);
    volume_->setEnabled(volumeAllowed_);
}

void COptVideoPage::BuildAudioRateList(bool qualityMode, int value) {
    const AudioCodecInfo& codec = *ChosenAudioCodec();
    audioQualityMode_ = qualityMode;
    audioRateLabel_->setText(qualityMode ? tr("&Quality:") : tr("&Bit Rate:"));
    audioRate_->setEnabled(true);
    audioRate_->clear();
    (qualityMode ? audioQualityModeButton_ : audioBitRateMode_)->setChecked(true);
    if (qualityMode) {
        FillQualityList(audioRate_, codec.worstQuality, codec.bestQuality, value, false);
        return;
    }
    audioRate_->addItem(tr("Auto"), 0);
    for (const int* rate = codec.bitRates; *rate != -1; ++rate)
        audioRate_->addItem(AudioRateText(*rate), *rate);
    MarkEnds(audioRate_, 1, tr(" (low quality, small size)"), tr(" (high quality, big size)"));
    audioRate_->setCurrentIndex(std::max(audioRate_->findData(value), 0));
}

// The sample-rate and channel lists of the codec.
void COptVideoPage::FillAudioRates(const OutputFormat& format, const AudioCodecInfo& codec) {
    sampleRate_->clear();
    sampleRate_->setEnabled(codec.sampleRates != nullptr);
    if (codec.sampleRates) {
        sampleRate_->addItem(tr("Auto"), 0);
        for (const int* rate = codec.sampleRates; *rate != -1; ++rate)
            sampleRate_->addItem(QString::asprintf("%d Hz", *rate), *rate);
        MarkEnds(sampleRate_, 1, tr(" (low quality)"), tr(" (high quality)"));
        sampleRate_->setCurrentIndex(std::max(sampleRate_->findData(format.AudioSampleRate), 0));
    }

    channels_->clear();
    channels_->setEnabled(codec.channelMask != 0);
    if (codec.channelMask == 0)
        return;
    channels_->addItem(tr("Auto"), 0);
    for (int bit = 0; bit < 8; ++bit) {
        if (codec.channelMask & (1u << bit))
            channels_->addItem(QLatin1String(kChannelNames[bit]), bit + 1);
    }
    // A stored count the codec does not offer shows as a number, with no entry chosen.
    channels_->setPlaceholderText(QString::number(format.AudioChannels));
    channels_->setCurrentIndex(channels_->findData(format.AudioChannels));
}

void COptVideoPage::VideoRule(bool on) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{videoCodec_, videoBitRateMode_, videoQualityModeButton_,
                                         frameRate_, aspect_, size_, deinterlace_, crop_})
        control->setEnabled(on);
    videoRate_->setEnabled(on && videoRate_->count() > 0);
    CropRule(on && crop_->isChecked());
    const int chosen = size_->currentData().toInt();
    const bool custom = on && chosen == kCustomSize;
    const bool sameAsSource = chosen == kSameAsSourceSize;
    width_->setEnabled(custom);
    height_->setEnabled(custom);
    keepAspect_->setEnabled(on && !sameAsSource);
    padding_->setEnabled(on && !sameAsSource && paddingAllowed_);
    rotateFlip_->setEnabled(on && rotateAllowed_);
}

void COptVideoPage::SizeRule() {
    const int chosen = size_->currentData().toInt();
    width_->setEnabled(chosen == kCustomSize);
    height_->setEnabled(chosen == kCustomSize);
    keepAspect_->setEnabled(chosen != kSameAsSourceSize);
    padding_->setEnabled(chosen != kSameAsSourceSize && paddingAllowed_);
}

void COptVideoPage::CropRule(bool on) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{cropLeft_, sameAsLeft_, cropTop_, sameAsTop_})
        control->setEnabled(on);
    cropRight_->setEnabled(on && !sameAsLeft_->isChecked());
    cropBottom_->setEnabled(on && !sameAsTop_->isChecked());
}

void COptVideoPage::OnSameAs(QCheckBox* same, CStepSpin* from, CStepSpin* to) {
    if (same->isChecked())
        to->setValue(from->value());
    to->setEnabled(!same->isChecked());
}

void COptVideoPage::AudioRule(bool on) {
    for (QWidget* control : std::initializer_list<QWidget*>{audioCodec_, audioBitRateMode_,
                                                            audioQualityModeButton_, channels_})
        control->setEnabled(on);
    audioRate_->setEnabled(on && audioRate_->count() > 0);
    sampleRate_->setEnabled(on && sampleRate_->count() > 0);
    volume_->setEnabled(on && volumeAllowed_);
}

// A number field emptied by the user cannot be read.
bool COptVideoPage::HasEmptyNumber() {
    for (CStepSpin* field :
         {width_, height_, cropLeft_, cropRight_, cropTop_, cropBottom_, volume_}) {
        if (field->isEnabled() && field->cleanText().isEmpty()) {
            ShowWarning(this, tr("Please enter an integer."));
            field->setFocus();
            return true;
        }
    }
    return false;
}

bool COptVideoPage::Leave() {
    if (HasEmptyNumber())
        return false;
    settings_.VideoDeinterlace = deinterlace_->isChecked() ? 1 : 0;
    settings_.CropPictures = crop_->isChecked() ? 1 : 0;
    settings_.CropLeft = cropLeft_->value();
    settings_.CropRight = cropRight_->value();
    settings_.CropTop = cropTop_->value();
    settings_.CropBottom = cropBottom_->value();
    settings_.CropSameAsLeft = sameAsLeft_->isChecked() ? 1 : 0;
    settings_.CropSameAsTop = sameAsTop_->isChecked() ? 1 : 0;
    OutputFormat* format = ShownFormat();
    if (!format)
        return true;
    settings_.SelectedFormat = format->id;
    format->VideoEnable = enableVideo_->isChecked() ? 1 : 0;
    if (enableVideo_->isChecked() && format->HasVideoCodecs())
        SaveVideo(*format);
    format->AudioEnable = enableAudio_->isChecked() ? 1 : 0;
    if (enableAudio_->isChecked() && format->HasAudioCodecs())
        SaveAudio(*format);
    return Validate(*format);
}

void COptVideoPage::SaveVideo(OutputFormat& format) {
    const VideoCodecInfo& codec = *ChosenVideoCodec();
    format.VideoCodec = QLatin1String(codec.name);

    // "Auto" and any text without a leading number read as 0.
    const int value = LeadingInt(QStringView(videoRate_->currentText()));
    const bool hasQuality = HasQuality(codec.bestQuality, codec.worstQuality);
    const bool quality = codec.bitRates && hasQuality ? videoQualityMode_ : !codec.bitRates;
    if (codec.bitRates || hasQuality) {
        format.VideoVBREnabled = quality ? 1 : 0;
        if (quality)
            format.VideoVBRQuality = value;
        else
            format.VideoBitRate = ClampedInt(qint64(value) * 1000);
    }

    if (codec.frameRates) {
        const double rate = LeadingDouble(frameRate_->currentText().toLatin1());
        format.VideoFrameRate = rate > 0 ? rate : -1.0;
    }
    if (!format.VideoAspect.startsWith(u'N')) {
        const QString aspect = aspect_->currentText().trimmed().toLower();
        format.VideoAspect = aspect == u"auto" ? QString() : aspect;
    }

    if (codec.sizes) {
        const int entry = std::max(size_->currentIndex(), 0);
        const int kind = size_->itemData(entry).toInt();
        if (kind == kCustomSize) {
            format.VideoWidth = width_->value();
            format.VideoHeight = height_->value();
        } else if (kind == kSameAsSourceSize) {
            format.VideoWidth = format.VideoHeight = 0;
        } else {
            const QString text = size_->itemText(entry);
            format.VideoWidth = LeadingInt(QStringView(text));
            format.VideoHeight = LeadingInt(QStringView(text).sliced(text.indexOf(u'x') + 1));
        }
        format.VideoKeepAspect = keepAspect_->isChecked() ? 1 : 0;
        format.AddPadding = padding_->isChecked() ? 1 : 0;
    }
    settings_.RotateFlip = SelectedData(rotateFlip_, 0);
}

void COptVideoPage::SaveAudio(OutputFormat& format) {
    const AudioCodecInfo& codec = *ChosenAudioCodec();
    format.AudioCodec = QLatin1String(codec.name);

    const int value = audioRate_->currentIndex() < 0 ? -1 : audioRate_->currentData().toInt();
    const bool compression = (codec.capabilities & kAudioCapCompressionLevels) && codec.bitRates;
    const bool rates = (codec.capabilities & kAudioCapBitRates) && codec.bitRates;
    const bool quality = (codec.capabilities & kAudioCapQuality) &&
                         HasQuality(codec.bestQuality, codec.worstQuality);
    if (compression) {
        format.AudioCompressionLevel = value;
    } else if (rates || quality) {
        const bool qualityMode = rates && quality ? audioQualityMode_ : !rates;
        format.AudioVBREnabled = qualityMode ? 1 : 0;
        if (qualityMode)
            format.AudioVBRQuality = value;
        else
            format.AudioBitRate = value;
    }
    if (codec.sampleRates)
        format.AudioSampleRate = SelectedData(sampleRate_, format.AudioSampleRate);
    format.AudioChannels = SelectedData(channels_, format.AudioChannels);
    if (volume_->value() > 0)
        format.AudioVolume = volume_->value();
}

bool COptVideoPage::Validate(const OutputFormat& format) {
    if (!enableVideo_->isChecked())
        return true;
    const auto refuse = [this](const QString& message, QWidget* focus) {
        ShowWarning(this, message);
        focus->setFocus();
        return false;
    };
    if (format.VideoWidth < 0 || format.VideoHeight < 0)
        return refuse(tr("Please enter a valid video size.\n"), size_);
    if (format.VideoWidth % 2 != 0 || format.VideoHeight % 2 != 0)
        return refuse(tr("Video size must be a multiple of 2.\n"), size_);
    if (!crop_->isChecked())
        return true;
    const int margins[] = {settings_.CropLeft, settings_.CropRight, settings_.CropTop,
                           settings_.CropBottom};
    if (std::any_of(std::begin(margins), std::end(margins), [](int m) { return m < 0; }))
        return refuse(tr("Please enter a valid crop value.\n"), cropLeft_);
    if (std::any_of(std::begin(margins), std::end(margins), [](int m) { return m % 2 != 0; }))
        return refuse(tr("Crop value must be a multiple of 2.\n"), cropLeft_);
    return true;
}
