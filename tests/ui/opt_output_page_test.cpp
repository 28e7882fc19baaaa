// The Options sheet's General page as a person uses it: real widgets, the real
// settings file.
#include "app/convert_settings.h"
#include "app/format_catalog.h"
#include "app/settings_store.h"
#include "dialog_helpers.h"
#include "media/source_list_model.h"
#include "platform/shell.h"
#include "support/qstring_printer.h"
#include "ui/opt_output_page.h"
#include "ui/opt_sheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Opening a folder would start a file manager; the page's request is recorded.
class RecordingShell : public platform::Shell {
public:
    bool Open(const QString& pathOrUrl) override {
        opened << pathOrUrl;
        return true;
    }
    QStringList opened;
};

class GeneralPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings(QStringLiteral("Quillmore 3"), QStringLiteral("Quillmore")).clear();
        ResetSettings();
    }
    void ResetSettings() {
        settings_ = ConvertSettings();
        settings_.DestOutputFolderOpt = kOutputToSpecifiedFolder;
        settings_.DestSpecifiedFolder = QStringLiteral("/out/");
    }

    // A sheet open on the General page.
    std::unique_ptr<COptSheet> OpenSheet() {
        auto sheet = std::make_unique<COptSheet>(settings_, catalog_, store_, shell_);
        sheet->SetActivePage(COptSheet::GeneralPage);
        sheet->show();
        return sheet;
    }
    static QString StoredValue(const QString& key) {
        return QSettings(QStringLiteral("Quillmore 3"), QStringLiteral("Quillmore"))
            .value(key)
            .toString();
    }

    ConvertSettings settings_;
    FormatCatalog catalog_;
    SettingsStore store_;
    RecordingShell shell_;
};

std::vector<int> Fields(QWidget* page, int firstId) {
    std::vector<int> values;
    for (int id = firstId; id < firstId + 8; id += 2)
        values.push_back(Control<QSpinBox>(page, id)->value());
    return values;
}

void SetFields(QWidget* page, int firstId, std::initializer_list<int> values) {
    int id = firstId;
    for (const int value : values) {
        Control<QSpinBox>(page, id)->setValue(value);
        id += 2;
    }
}

TEST_F(GeneralPageTest, OpensWithTheStoredValuesAndTheirRules) {
    settings_.EnableSkipLength = 1;
    settings_.SkipLength = 3723004;
    settings_.EnableConvertLength = 1;
    settings_.ConvertLength = 5000;
    settings_.EnableIgnoreTheLast = 1; // both trimming boxes stored on
    settings_.IgnoreLength = 61000;
    settings_.DestOutputFolderOpt = kOutputNextToSource;
    settings_.TargetExistsOpt = 44; // no such entry
    settings_.FilterExts = "mp4";
    const auto sheet = OpenSheet();
    QWidget* page = sheet->Page(COptSheet::GeneralPage);

    EXPECT_EQ(Fields(page, 1133), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(Fields(page, 1141), (std::vector<int>{0, 0, 5, 0}));
    EXPECT_EQ(Fields(page, 1153), (std::vector<int>{0, 1, 1, 0}));
    EXPECT_TRUE(Control<QSpinBox>(page, 1141)->isEnabled());
    EXPECT_FALSE(Control<QCheckBox>(page, 1131)->isChecked());
    for (int id : {1153, 1155, 1157, 1159})
        EXPECT_FALSE(Control<QSpinBox>(page, id)->isEnabled()) << id;

    // No stored history: the eight default filters, the stored text, greyed.
    auto* extensions = Control<QComboBox>(page, 1150);
    ASSERT_EQ(extensions->count(), 8);
    EXPECT_EQ(extensions->itemText(0), "avi");
    EXPECT_EQ(extensions->itemText(7), "wmv");
    EXPECT_EQ(extensions->currentText(), "mp4");
    EXPECT_FALSE(extensions->isEnabled());

    // "Same as source file" greys the folder controls; choosing the other entry
    // brings them back.
    auto* outputFolder = Control<QComboBox>(page, 1074);
    EXPECT_EQ(outputFolder->currentText(), "Same as source file");
    const int folderControls[] = {1149, 1044, 1185, 1019, 1093};
    for (int id : folderControls)
        EXPECT_FALSE(Control<QWidget>(page, id)->isEnabled()) << id;
    outputFolder->setCurrentIndex(1);
    emit outputFolder->activated(1);
    for (int id : folderControls)
        EXPECT_TRUE(Control<QWidget>(page, id)->isEnabled()) << id;

    EXPECT_EQ(Control<QComboBox>(page, 1102)->currentText(),
              "Rename automatically (add number at end of file name)");
    ASSERT_TRUE(sheet->Page(COptSheet::GeneralPage)->Leave());
    EXPECT_EQ(settings_.EnableIgnoreTheLast, 0);
    EXPECT_EQ(settings_.TargetExistsOpt, kTargetExistsRename);
    EXPECT_EQ(settings_.DestOutputFolderOpt, kOutputToSpecifiedFolder);
}

TEST_F(GeneralPageTest, LeavingRefusesFaultyValuesWithAMessageAndTheFocusOnThem) {
    const struct {
        const char* what;
        std::function<void(QWidget*)> edit;
        const char* message;
        const char* focus;
    } cases[] = {
        {"no specific folder",
         [](QWidget* page) { Control<QComboBox>(page, 1149)->setEditText(""); },
         "Please choose an output folder.", "1149"},
        {"blanks only",
         [](QWidget* page) {
             Control<QCheckBox>(page, 1080)->click();
             Control<QComboBox>(page, 1150)->setEditText(" \t ");
         },
         "Please enter file extensions you need to filter.", "1150"},
        {"nothing to convert", [](QWidget* page) { Control<QCheckBox>(page, 1128)->click(); },
         "Conversion length must be greater than 0 millisecond.", "1141"},
        {"an empty minutes field",
         [](QWidget* page) {
             Control<QCheckBox>(page, 1127)->click();
             Control<QSpinBox>(page, 1135)->findChild<QLineEdit*>()->clear();
         },
         "Please enter a positive integer.", "1135"},
        {"an empty stream number",
         [](QWidget* page) { Control<QSpinBox>(page, 1151)->findChild<QLineEdit*>()->clear(); },
         "Please enter an integer.", "1151"},
    };
    for (const auto& c : cases) {
        ResetSettings();
        const auto sheet = OpenSheet();
        QWidget* page = sheet->Page(COptSheet::GeneralPage);
        c.edit(page);
        MessageCatcher messages;
        // OK is refused: the sheet stays open on the page.
        Control<QPushButton>(sheet.get(), 1)->click();
        EXPECT_TRUE(sheet->isVisible()) << c.what;
        EXPECT_EQ(sheet->result(), 0) << c.what;
        EXPECT_EQ(messages.texts, QStringList{c.message}) << c.what;
        EXPECT_EQ(messages.captions, QStringList{"Quillmore"}) << c.what;
        EXPECT_EQ(messages.icons, std::vector{QMessageBox::Warning}) << c.what;
        EXPECT_EQ(FocusedControl(sheet.get()), QString(c.focus)) << c.what;
    }
}

TEST_F(GeneralPageTest, LeavingKeepsTheValuesAsTheRulesMakeThem) {
    settings_.EnableSkipLength = 0;
    settings_.SkipLength = 777;
    settings_.RequestAudioIndex = 3;
    const auto sheet = OpenSheet();
    QWidget* page = sheet->Page(COptSheet::GeneralPage);

    Control<QCheckBox>(page, 1080)->click();
    EXPECT_TRUE(Control<QComboBox>(page, 1150)->isEnabled());
    Control<QComboBox>(page, 1150)->setEditText(" mp4; avi ;\tmkv");
    Control<QSpinBox>(page, 1151)->setValue(0);
    SetFields(page, 1133, {9, 9, 9, 9}); // its box is off: the stored value stays

    // "Ignore the last" and "Only convert" push each other out.
    Control<QCheckBox>(page, 1131)->click();
    EXPECT_TRUE(Control<QSpinBox>(page, 1153)->isEnabled());
    Control<QCheckBox>(page, 1128)->click();
    EXPECT_FALSE(Control<QCheckBox>(page, 1131)->isChecked());
    EXPECT_FALSE(Control<QSpinBox>(page, 1153)->isEnabled());
    EXPECT_TRUE(Control<QSpinBox>(page, 1141)->isEnabled());
    // Typed beyond what the arrows reach: 75 minutes are 75 minutes.
    Control<QSpinBox>(page, 1143)->findChild<QLineEdit*>()->setText("75");
    SetFields(page, 1145, {0, 500});

    ASSERT_TRUE(sheet->Page(COptSheet::GeneralPage)->Leave());
    EXPECT_EQ(settings_.FilterExts, "mp4,avi,mkv");
    EXPECT_EQ(settings_.RequestAudioIndex, 1);
    EXPECT_EQ(settings_.SkipLength, 777);
    EXPECT_EQ(settings_.EnableConvertLength, 1);
    EXPECT_EQ(settings_.EnableIgnoreTheLast, 0);
    EXPECT_EQ(settings_.ConvertLength, 75 * 60000 + 500);

    // The arrows keep to their range.
    auto* minutes = Control<QSpinBox>(page, 1143);
    minutes->setValue(59);
    minutes->stepUp();
    EXPECT_EQ(minutes->value(), 59);
}

TEST_F(GeneralPageTest, HelpAndOpenTellWhatTheyCannotDo) {
    QTemporaryDir dir;
    const QString missing = dir.filePath("not/yet");
    const auto sheet = OpenSheet();
    QWidget* page = sheet->Page(COptSheet::GeneralPage);
    Control<QComboBox>(page, 1149)->setEditText(missing);

    MessageCatcher messages;
    Control<QPushButton>(page, 1185)->click();
    Control<QAbstractButton>(page, 1163)->click();
    ASSERT_EQ(messages.texts.size(), 2);
    EXPECT_EQ(messages.texts[0],
              "The folder \"" + missing +
                  "\" is not available yet.\n\nNote: the program will create the folder "
                  "automatically when converting files.");
    EXPECT_EQ(messages.icons[0], QMessageBox::Warning);
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_TRUE(messages.texts[1].startsWith("Please check the option if files were encoded"));
    EXPECT_TRUE(messages.texts[1].endsWith("This will make \"Convert to One\" faster."));
    EXPECT_EQ(messages.icons[1], QMessageBox::Information);
    EXPECT_TRUE(shell_.opened.isEmpty());

    // A folder that exists is handed to the desktop.
    Control<QComboBox>(page, 1149)->setEditText(dir.path());
    Control<QPushButton>(page, 1185)->click();
    EXPECT_EQ(shell_.opened, QStringList{dir.path()});
}

TEST_F(GeneralPageTest, OkHandsTheCopiesBackSavedAndCancelDiscardsThem) {
    SourceListModel sources;
    auto item = std::make_unique<SourceItem>();
    for (int stream = 0; stream < 3; ++stream) {
        item->audioStreamIds.append(QStringLiteral("0:%1").arg(stream + 1));
        item->audioSampleRates.push_back(44100);
        item->audioBitRates.push_back(128);
        item->audioChannels.push_back(2);
    }
    sources.AppendSourceRow(std::move(item), 1, QString());

    const auto run = [&](bool pressOk) {
        WhenShown<COptSheet>([pressOk](COptSheet* sheet) {
            QWidget* page = sheet->Page(COptSheet::GeneralPage);
            Control<QComboBox>(page, 1102)->setCurrentIndex(1);
            Control<QSpinBox>(page, 1151)->setValue(2);
            Control<QComboBox>(page, 1149)->setEditText("/videos/out/");
            Control<QPushButton>(sheet, pressOk ? 1 : 2)->click();
        });
        return RunOptionsSheet(nullptr, settings_, catalog_, sources, store_, shell_);
    };

    settings_.OptStartPageIndex = 5; // beyond the pages: the first
    EXPECT_FALSE(run(false));
    EXPECT_EQ(settings_.TargetExistsOpt, kTargetExistsRename);
    EXPECT_EQ(settings_.OptStartPageIndex, COptSheet::GeneralPage);
    EXPECT_EQ(sources.Item(0)->chosenAudioStream, 0);
    EXPECT_EQ(StoredValue("Options/TargetExistsOpt"), "");
    EXPECT_EQ(StoredValue("OutputFolder/0"), "");

    EXPECT_TRUE(run(true));
    EXPECT_EQ(settings_.TargetExistsOpt, kTargetExistsOverwrite);
    EXPECT_EQ(settings_.RequestAudioIndex, 2);
    EXPECT_EQ(settings_.DestSpecifiedFolder, "/videos/out/");
    EXPECT_EQ(sources.Item(0)->chosenAudioStream, 1);
    EXPECT_EQ(StoredValue("Options/TargetExistsOpt"), "22");
    EXPECT_EQ(StoredValue("Options/DestSpecifiedFolder"), "/videos/out/");
    EXPECT_EQ(StoredValue("OutputFolder/0"), "/videos/out/");
    // The filter is off, so its history is left alone; options, not general state.
    EXPECT_EQ(StoredValue("FilterExts/0"), "");
    EXPECT_EQ(StoredValue("Options/OptStartPageIndex"), "");
}

} // namespace
