// The Video and Audio page as a person uses it: real widgets over the real
// catalogue and codec tables.
#include "app/convert_settings.h"
#include "app/format_catalog.h"
#include "app/settings_store.h"
#include "dialog_helpers.h"
#include "platform/shell.h"
#include "support/qstring_printer.h"
#include "ui/color_combo.h"
#include "ui/opt_sheet.h"
#include "ui/opt_video_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabBar>
#include <gtest/gtest.h>

namespace {

class NoShell : public platform::Shell {
public:
    bool Open(const QString&) override { return false; }
};

QStringList Entries(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

class VideoPageTest : public ::testing::Test {
public:
    void SetUp() override {
        QSettings(QStringLiteral("Quillmore 3"), QStringLiteral("Quillmore")).clear();
    }

    // The sheet open on the Video and Audio page, showing the format.
    std::unique_ptr<COptSheet> OpenOn(int formatId) {
        settings_.SelectedFormat = formatId;
        auto sheet = std::make_unique<COptSheet>(settings_, catalog_, store_, shell_);
        sheet->SetActivePage(COptSheet::VideoAudioPage);
        sheet->show();
        page_ = sheet->Page(COptSheet::VideoAudioPage);
        return sheet;
    }
    OutputFormat& Format(int id) { return *catalog_.FindById(id); }
    template <typename T = QWidget> T* At(int id) const { return Control<T>(page_, id); }
    void ChooseFormat(int id) {
        auto* formats = At<CColorCombo>(1039);
        for (int i = 0; i < formats->count(); ++i) {
            if (formats->Format(i)->id == id) {
                formats->setCurrentIndex(i);
                emit formats->activated(i);
            }
        }
    }
    void ChooseEntry(int listId, const QString& text) {
        auto* list = At<QComboBox>(listId);
        const int index = list->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    ConvertSettings settings_;
    FormatCatalog catalog_;
    SettingsStore store_;
    NoShell shell_;
    QWidget* page_ = nullptr;
};

TEST_F(VideoPageTest, EachKindOfFormatOffersItsOwnControls) {
    const struct {
        int id;
        bool videoTicked, videoBox, audioTicked, audioBox, volume, padding, rotate;
    } cases[] = {
        {135, true, true, true, true, false, false, false}, // the Theora tool's formats
        {145, true, true, true, true, false, false, false},
        {155, true, true, true, true, false, false, false},
        {40, true, true, true, true, true, true, true},
        {1160, false, false, true, false, true, false, false}, // audio: ticked, fixed
        {710, true, false, false, false, false, true, true},   // pictures: ticked, fixed
    };
    for (const auto& c : cases) {
        Format(c.id).VideoWidth = 640;
        Format(c.id).VideoHeight = 480;
        const auto sheet = OpenOn(c.id);
        EXPECT_EQ(At<QCheckBox>(1112)->isChecked(), c.videoTicked) << c.id;
        EXPECT_EQ(At<QCheckBox>(1112)->isEnabled(), c.videoBox) << c.id;
        EXPECT_EQ(At<QCheckBox>(1111)->isChecked(), c.audioTicked) << c.id;
        EXPECT_EQ(At<QCheckBox>(1111)->isEnabled(), c.audioBox) << c.id;
        EXPECT_EQ(At(1101)->isEnabled(), c.volume) << c.id;
        EXPECT_EQ(At(1109)->isEnabled(), c.padding) << c.id;
        EXPECT_EQ(At(1136)->isEnabled(), c.rotate) << c.id;
    }

    // From a format without video to one with it: its codec list is usable again.
    const auto sheet = OpenOn(1160);
    EXPECT_FALSE(At(1093)->isEnabled());
    ChooseFormat(40);
    EXPECT_TRUE(At(1093)->isEnabled());
    EXPECT_TRUE(At(1097)->isEnabled());
    EXPECT_EQ(At<QComboBox>(1093)->currentText(), "MPEG-4 Microsoft Variant Version 2");
}

TEST_F(VideoPageTest, TheFormatListIsColouredByCategory) {
    const auto sheet = OpenOn(710);
    auto* formats = At<CColorCombo>(1039);
    ASSERT_EQ(formats->count(), catalog_.size());
    EXPECT_EQ(formats->currentText(), " JPG (image sequence) (*.jpg)");
    const std::pair<int, QColor> colours[] = {{10, QColor(0, 0, 0)},
                                              {516, QColor(0, 0, 170)},
                                              {700, QColor(0, 102, 0)},
                                              {1010, QColor(153, 0, 0)}};
    for (const auto& [id, colour] : colours) {
        for (int i = 0; i < formats->count(); ++i) {
            if (formats->Format(i)->id == id) {
                EXPECT_EQ(formats->TextColor(i), colour) << id;
                EXPECT_EQ(formats->BackgroundColor(i), QColor(Qt::white)) << id;
            }
        }
    }
}

TEST_F(VideoPageTest, SizeListsFollowTheCodecAndTheStoredSize) {
    const struct {
        int id;
        int width, height;
        QStringList firstEntries; // the list's head, or all of a fixed list
        QString selected;
        bool customFields;
    } cases[] = {
        // Two fixed sizes with the format's own names; an unknown size picks the last.
        {65,
         100,
         100,
         {"720x480    (DVD NTSC)", "720x576    (DVD PAL)"},
         "720x576    (DVD PAL)",
         false},
        {65,
         720,
         480,
         {"720x480    (DVD NTSC)", "720x576    (DVD PAL)"},
         "720x480    (DVD NTSC)",
         false},
        {180,
         0,
         0,
         {"352x240    (VCD NTSC)", "352x288    (VCD PAL)"},
         "352x288    (VCD PAL)",
         false},
        {40,
         0,
         0,
         {"128x96     (SQCIF 4:3)", "176x144    (QCIF 11:9)"},
         "Same as original video",
         false},
        {40, 640, 480, {"128x96     (SQCIF 4:3)"}, "640x480    (VGA 4:3)", false},
        {40, 642, 480, {"128x96     (SQCIF 4:3)"}, "Customize", true},
    };
    for (const auto& c : cases) {
        Format(c.id).VideoWidth = c.width;
        Format(c.id).VideoHeight = c.height;
        const auto sheet = OpenOn(c.id);
        const QStringList entries = Entries(At<QComboBox>(1096));
        const bool fixed = c.id != 40;
        if (fixed)
            EXPECT_EQ(entries, c.firstEntries) << c.id;
        else
            EXPECT_EQ(entries.mid(0, c.firstEntries.size()), c.firstEntries) << c.id;
        EXPECT_EQ(entries.endsWith("Customize"), !fixed) << c.id;
        EXPECT_EQ(At<QComboBox>(1096)->currentText(), c.selected) << c.id << " " << c.width;
        EXPECT_EQ(At(1103)->isEnabled(), c.customFields) << c.id << " " << c.width;
        EXPECT_EQ(At<QSpinBox>(1103)->value(), c.customFields ? c.width : 0) << c.id;
    }

    // "Same as original video" greys the size fields and the aspect box.
    const auto sheet = OpenOn(40);
    ChooseEntry(1096, "Same as original video");
    EXPECT_FALSE(At(1103)->isEnabled());
    EXPECT_FALSE(At(1108)->isEnabled());
    ChooseEntry(1096, "Customize");
    EXPECT_TRUE(At(1105)->isEnabled());
    EXPECT_TRUE(At(1108)->isEnabled());
    EXPECT_TRUE(At(1109)->isEnabled());
}

TEST_F(VideoPageTest, QualityListsRunFromWorstToBestWithTheirMarks) {
    Format(50).VideoVBREnabled = 1;
    Format(50).VideoVBRQuality = 40; // held in the range: 31
    auto sheet = OpenOn(50);         // MPEG-4, worst 31, best 2
    auto* rate = At<QComboBox>(1094);
    EXPECT_EQ(At<QLabel>(1113)->text(), "&Quality:");
    EXPECT_TRUE(At<QRadioButton>(1152)->isChecked());
    QStringList entries = Entries(rate);
    ASSERT_EQ(entries.size(), 30);
    EXPECT_EQ(entries.front(), "31 (low quality, small size)");
    EXPECT_EQ(entries.back(), "2 (high quality, big size)");
    EXPECT_EQ(entries[21], "10 (medium quality)");
    EXPECT_EQ(entries[26], "5 (good quality)");
    EXPECT_EQ(entries[27], "4");
    EXPECT_EQ(rate->currentIndex(), 0);

    Format(80).VideoVBREnabled = 1;
    Format(80).VideoVBRQuality = 22;
    Format(80).VideoBitRate = 2500000;
    sheet = OpenOn(80); // H.264, worst 51, best 0
    rate = At<QComboBox>(1094);
    entries = Entries(rate);
    ASSERT_EQ(entries.size(), 52);
    EXPECT_EQ(entries.front(), "51 (low quality, small size)");
    EXPECT_EQ(entries[51 - 26], "26 (normal quality)");
    EXPECT_EQ(entries[51 - 24], "24 (good quality)");
    EXPECT_EQ(entries[51 - 22], "22 (very good quality)");
    EXPECT_EQ(entries[51 - 18], "18 (almost lossless)");
    EXPECT_EQ(entries.back(), "0 (high quality, big size)");
    EXPECT_EQ(rate->currentText(), "22 (very good quality)");

    // The other mode rebuilds the list from the format's stored bit rate.
    At<QRadioButton>(1151)->click();
    EXPECT_EQ(At<QLabel>(1113)->text(), "&Bit Rate:");
    entries = Entries(rate);
    EXPECT_EQ(entries.front(), "Auto");
    EXPECT_EQ(entries[1], "96 kbps (low quality, small size)");
    EXPECT_EQ(entries.back(), "20000 kbps (high quality, big size)");
    EXPECT_EQ(rate->currentText(), "2500 kbps");
}

TEST_F(VideoPageTest, AudioListsNameRatesAsPeopleSayThem) {
    const struct {
        int id;
        const char* codec;
        const char* label;
        const char* entry;
    } cases[] = {
        {1010, "aac", "&Bit Rate:", "64 kbps"},
        {1200, "g723_1", "&Bit Rate:", "6.30 kbps"},
        {1200, "g726", "&Bit Rate:", "4 bit"},
        {1060, "libopencore_amrnb", "&Bit Rate:", "4.75 kbps (low quality, small size)"},
        {1090, "flac", "Co&mpression:", "0 (fast encoding, big size)"},
    };
    for (const auto& c : cases) {
        Format(c.id).AudioCodec = c.codec;
        const auto sheet = OpenOn(c.id);
        EXPECT_EQ(At<QLabel>(1164)->text(), c.label) << c.codec;
        EXPECT_TRUE(Entries(At<QComboBox>(1099)).contains(c.entry)) << c.codec;
    }

    Format(1160).AudioSampleRate = 44100;
    Format(1160).AudioChannels = 2;
    const auto sheet = OpenOn(1160);
    EXPECT_EQ(At<QComboBox>(1098)->currentText(), "44100 Hz");
    EXPECT_EQ(Entries(At<QComboBox>(1098)).value(1), "8000 Hz (low quality)");
    EXPECT_EQ(Entries(At<QComboBox>(1100)), (QStringList{"Auto", "Mono", "Stereo"}));
    EXPECT_EQ(At<QComboBox>(1100)->currentText(), "Stereo");
}

TEST_F(VideoPageTest, LeavingWritesWhatTheControlsHoldIntoTheFormat) {
    const struct {
        const char* what;
        int id;
        std::function<void(VideoPageTest&)> edit;
        std::function<void(const OutputFormat&)> check;
    } cases[] = {
        {"a typed video bit rate", 40,
         [](VideoPageTest& t) {
             t.At<QRadioButton>(1151)->click();
             t.At<QComboBox>(1094)->setEditText("1500");
         },
         [](const OutputFormat& f) {
             EXPECT_EQ(f.VideoBitRate, 1500000);
             EXPECT_EQ(f.VideoVBREnabled, 0);
         }},
        {"an automatic video bit rate", 65, [](VideoPageTest& t) { t.ChooseEntry(1094, "Auto"); },
         [](const OutputFormat& f) { EXPECT_EQ(f.VideoBitRate, 0); }},
        {"an aspect typed with blanks", 40,
         [](VideoPageTest& t) { t.At<QComboBox>(1107)->setEditText("  16:9 "); },
         [](const OutputFormat& f) { EXPECT_EQ(f.VideoAspect, "16:9"); }},
        {"an automatic aspect in capitals", 40,
         [](VideoPageTest& t) { t.At<QComboBox>(1107)->setEditText("AUTO"); },
         [](const OutputFormat& f) { EXPECT_EQ(f.VideoAspect, ""); }},
        {"a frame rate and a listed size", 40,
         [](VideoPageTest& t) {
             t.ChooseEntry(1095, "25.000 Hz");
             t.ChooseEntry(1096, "1280x720   (HD 720p 16:9)");
         },
         [](const OutputFormat& f) {
             EXPECT_DOUBLE_EQ(f.VideoFrameRate, 25.0);
             EXPECT_EQ(f.VideoWidth, 1280);
             EXPECT_EQ(f.VideoHeight, 720);
         }},
        {"the source's frame rate", 10,
         [](VideoPageTest& t) { t.ChooseEntry(1095, "Same as original video"); },
         [](const OutputFormat& f) { EXPECT_DOUBLE_EQ(f.VideoFrameRate, -1.0); }},
        {"a volume of 0", 1160,
         [](VideoPageTest& t) { t.At<QSpinBox>(1101)->findChild<QLineEdit*>()->setText("0"); },
         [](const OutputFormat& f) { EXPECT_EQ(f.AudioVolume, 100); }},
        {"audio quality mode", 1160,
         [](VideoPageTest& t) {
             t.At<QRadioButton>(1154)->click();
             t.ChooseEntry(1099, "2");
             t.ChooseEntry(1100, "Mono");
             t.At<QSpinBox>(1101)->setValue(150);
         },
         [](const OutputFormat& f) {
             EXPECT_EQ(f.AudioVBREnabled, 1);
             EXPECT_EQ(f.AudioVBRQuality, 2);
             EXPECT_EQ(f.AudioChannels, 1);
             EXPECT_EQ(f.AudioVolume, 150);
         }},
        {"video switched off", 40, [](VideoPageTest& t) { t.At<QCheckBox>(1112)->click(); },
         [](const OutputFormat& f) { EXPECT_EQ(f.VideoEnable, 0); }},
    };
    for (const auto& c : cases) {
        catalog_.CopyParametersFrom(FormatCatalog());
        const auto sheet = OpenOn(c.id);
        c.edit(*this);
        MessageCatcher messages;
        EXPECT_TRUE(sheet->Page(COptSheet::VideoAudioPage)->Leave()) << c.what;
        EXPECT_TRUE(messages.texts.isEmpty()) << c.what;
        EXPECT_EQ(settings_.SelectedFormat, c.id) << c.what;
        SCOPED_TRACE(c.what);
        c.check(Format(c.id));
    }
}

TEST_F(VideoPageTest, OddSizesAndCropMarginsKeepThePageOpen) {
    settings_.CropSameAsLeft = 0;
    auto sheet = OpenOn(40);
    ChooseEntry(1096, "Customize");
    At<QSpinBox>(1103)->setValue(641);
    At<QSpinBox>(1105)->setValue(480);
    MessageCatcher messages;
    // The tab strip does not move on; the value is in the format all the same.
    sheet->findChild<QTabBar*>()->setCurrentIndex(COptSheet::GeneralPage);
    EXPECT_EQ(sheet->ActivePage(), COptSheet::VideoAudioPage);
    EXPECT_EQ(sheet->findChild<QTabBar*>()->currentIndex(), COptSheet::VideoAudioPage);
    EXPECT_EQ(messages.texts, QStringList{"Video size must be a multiple of 2.\n"});
    EXPECT_EQ(Format(40).VideoWidth, 641);
    EXPECT_EQ(FocusedControl(sheet.get()), "1096");

    At<QSpinBox>(1103)->setValue(640);
    At<QCheckBox>(1115)->click();
    EXPECT_TRUE(At(1117)->isEnabled());
    At<QSpinBox>(1117)->setValue(3);
    Control<QPushButton>(sheet.get(), 1)->click();
    EXPECT_EQ(messages.texts.last(), "Crop value must be a multiple of 2.\n");
    EXPECT_NE(sheet->result(), QDialog::Accepted);
    EXPECT_EQ(FocusedControl(sheet.get()), "1116");

    // "Same as Left" makes Right follow Left.
    At<QCheckBox>(1118)->click();
    EXPECT_FALSE(At(1117)->isEnabled());
    At<QSpinBox>(1116)->setValue(8);
    EXPECT_EQ(At<QSpinBox>(1117)->value(), 8);
    sheet->findChild<QTabBar*>()->setCurrentIndex(COptSheet::GeneralPage);
    EXPECT_EQ(sheet->ActivePage(), COptSheet::GeneralPage);
    EXPECT_EQ(settings_.CropRight, 8);
    EXPECT_EQ(settings_.CropPictures, 1);
}

} // namespace
