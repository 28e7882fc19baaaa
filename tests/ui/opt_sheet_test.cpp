// The Options sheet as a whole: the exchange with the main window, the settings
// file the next conversion reads, and reaching every control by keyboard.
#include "app/convert_settings.h"
#include "app/format_catalog.h"
#include "app/settings_store.h"
#include "dialog_helpers.h"
#include "media/source_list_model.h"
#include "platform/shell.h"
#include "support/make_clip.h"
#include "support/qstring_printer.h"
#include "ui/color_combo.h"
#include "ui/custom_format_dlg.h"
#include "ui/input_name_dlg.h"
#include "ui/opt_page.h"
#include "ui/opt_sheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class NoShell : public platform::Shell {
public:
    bool Open(const QString&) override { return false; }
};

QSettings Store() {
    return QSettings(QStringLiteral("Quillmore 3"), QStringLiteral("Quillmore"));
}

class OptionsSheetTest : public ::testing::Test {
protected:
    void SetUp() override { Store().clear(); }

    // Runs the main window's Options command; act works on the open sheet.
    bool Run(std::function<void(COptSheet*)> act) {
        WhenShown<COptSheet>(act);
        return RunOptionsSheet(nullptr, settings_, catalog_, sources_, store_, shell_);
    }
    static void ChooseFormat(QWidget* page, int id) {
        auto* formats = Control<CColorCombo>(page, 1039);
        for (int i = 0; i < formats->count(); ++i) {
            if (formats->Format(i)->id == id) {
                formats->setCurrentIndex(i);
                emit formats->activated(i);
            }
        }
    }

    ConvertSettings settings_;
    FormatCatalog catalog_;
    SourceListModel sources_;
    SettingsStore store_;
    NoShell shell_;
};

// The companion program reads the settings file the sheet wrote.
QString DryRun(const QStringList& arguments) {
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", QDir::homePath());
    environment.insert("XDG_CONFIG_HOME",
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    cli.setProcessEnvironment(environment);
    cli.start(QCoreApplication::applicationDirPath() + "/quillmore-cli",
              QStringList{"convert", "--dry-run"} + arguments);
    EXPECT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    return QString::fromUtf8(cli.readAllStandardOutput());
}

TEST_F(OptionsSheetTest, AChangeOnTheVideoPageIsUsedByTheNextConversion) {
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(MakeClip(
        dir.path(), "small.mp4",
        {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25", "-t", "1", "-c:v", "mpeg4"}, &error))
        << error.toStdString();
    const QStringList arguments = {"--format", "80", "--set", "DestOutputFolderOpt=199",
                                   dir.filePath("small.mp4")};
    EXPECT_FALSE(DryRun(arguments).contains("-b:v 1500000"));

    settings_.OptStartPageIndex = COptSheet::VideoAudioPage;
    EXPECT_TRUE(Run([](COptSheet* sheet) {
        QWidget* page = sheet->Page(COptSheet::VideoAudioPage);
        ChooseFormat(page, 80);
        Control<QRadioButton>(page, 1151)->click();
        Control<QComboBox>(page, 1094)->setEditText("1500");
        Control<QCheckBox>(page, 1110)->click();
        Control<QPushButton>(sheet, 1)->click();
    }));
    EXPECT_EQ(settings_.SelectedFormat, 80);
    EXPECT_EQ(settings_.VideoDeinterlace, 1);
    EXPECT_EQ(catalog_.FindById(80)->VideoBitRate, 1500000);

    const QString command = DryRun(arguments);
    EXPECT_TRUE(command.contains("-c:v libx264 ")) << command.toStdString();
    EXPECT_TRUE(command.contains("-b:v 1500000 ")) << command.toStdString();
    EXPECT_TRUE(command.contains("yadif")) << command.toStdString();
}

TEST_F(OptionsSheetTest, OkWithoutTheGeneralPageLeavesItsSettingsAndHistories) {
    settings_.OptStartPageIndex = COptSheet::VideoAudioPage;
    settings_.EnableConvertLength = 1;
    settings_.EnableIgnoreTheLast = 1; // the General page would undo one of them
    settings_.FilterExts = "mp4 ; avi";
    settings_.RequestAudioIndex = 0;
    QStringList history;
    store_.AddRecentEntry(kRecentFilterExts, "mkv", &history);
    const ConvertSettings before = settings_;

    EXPECT_TRUE(Run([](COptSheet* sheet) { Control<QPushButton>(sheet, 1)->click(); }));
    EXPECT_EQ(settings_.EnableConvertLength, 1);
    EXPECT_EQ(settings_.EnableIgnoreTheLast, 1);
    EXPECT_EQ(settings_.FilterExts, before.FilterExts);
    EXPECT_EQ(settings_.RequestAudioIndex, 0);
    EXPECT_EQ(settings_.OptStartPageIndex, COptSheet::VideoAudioPage);
    EXPECT_EQ(Store().value("FilterExts/0").toString(), "mkv");
    EXPECT_FALSE(Store().contains("FilterExts/1"));
    EXPECT_FALSE(Store().contains("OutputFolder/0"));
    EXPECT_EQ(Store().value("Options/EnableIgnoreTheLast").toInt(), 1);
}

TEST_F(OptionsSheetTest, CancelLeavesTheFormatsAsTheyWere) {
    // Values written into a format by leaving its page go with the Cancel.
    const int stored = catalog_.FindById(710)->VideoVBRQuality;
    EXPECT_FALSE(Run([](COptSheet* sheet) {
        sheet->findChild<QTabBar*>()->setCurrentIndex(COptSheet::VideoAudioPage);
        Control<QComboBox>(sheet->Page(COptSheet::VideoAudioPage), 1094)->setCurrentIndex(0);
        sheet->findChild<QTabBar*>()->setCurrentIndex(COptSheet::GeneralPage);
        Control<QPushButton>(sheet, 2)->click();
    }));
    EXPECT_EQ(catalog_.FindById(710)->VideoVBRQuality, stored);
    EXPECT_EQ(settings_.OptStartPageIndex, COptSheet::GeneralPage);
    EXPECT_FALSE(Store().contains("Options/JPGVideoVBRQuality"));
}

// Every control of every page by Tab in the order the controls stand, every
// label's mnemonic reaching its control.
TEST_F(OptionsSheetTest, EveryPageIsUsableByKeyboard) {
    settings_.EnableExtFilter = 1;
    settings_.FilterExts = "mp4";
    settings_.DestOutputFolderOpt = kOutputToSpecifiedFolder;
    settings_.DestSpecifiedFolder = "/out/";
    settings_.EnableSkipLength = 1;
    settings_.EnableConvertLength = 1;
    settings_.ConvertLength = 1000;
    settings_.CropPictures = 1;
    settings_.CropSameAsLeft = settings_.CropSameAsTop = 0;
    settings_.SelectedFormat = 40;
    catalog_.FindById(40)->VideoWidth = 642;
    COptSheet sheet(settings_, catalog_, store_, shell_);
    MessageCatcher messages; // none is expected; a refusal must not hang the test
    sheet.show();
    sheet.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
    sheet.findChild<QTabBar*>()->setFocus();

    const QStringList general = {"QTabBar", "1080", "1150", "1129", "1130", "1101", "1103", "1163",
                                 "1162",    "1151", "1127", "1133", "1135", "1137", "1139", "1128",
                                 "1141",    "1143", "1145", "1147", "1131", "1074", "1149", "1044",
                                 "1185",    "1020", "1019", "1102", "1100", "1098"};
    EXPECT_EQ(TabOrder(&sheet).mid(0, general.size()), general);
    // The look of both pages, for the help page (tests/ui/update_screenshot.sh).
    sheet.grab().save(QStringLiteral("options-general.png"));
    EXPECT_EQ(UnreachedByMnemonic(&sheet), QStringList());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(sheet.ActivePage(), COptSheet::VideoAudioPage);
    sheet.grab().save(QStringLiteral("options-video.png"));
    sheet.findChild<QTabBar*>()->setFocus();
    const QStringList video = {"QTabBar", "1039", "1112", "1093", "1151", "1094", "1095", "1096",
                               "1107",    "1103", "1105", "1108", "1109", "1110", "1115", "1116",
                               "1117",    "1119", "1120", "1118", "1121", "1136", "1111", "1097",
                               "1153",    "1099", "1098", "1100", "1101"};
    EXPECT_EQ(TabOrder(&sheet).mid(0, video.size()), video);
    EXPECT_EQ(UnreachedByMnemonic(&sheet), QStringList());
    EXPECT_EQ(messages.texts, QStringList());
}

TEST_F(OptionsSheetTest, NothingIsCutOffAtTwiceTheSize) {
    // Text twice the size, as at 200 % scaling.
    QFont twice(QStringLiteral("Tahoma"));
    twice.setPixelSize(22);
    settings_.SelectedFormat = 40;
    for (int page : {COptSheet::GeneralPage, COptSheet::VideoAudioPage}) {
        COptSheet sheet(settings_, catalog_, store_, shell_);
        sheet.SetActivePage(page);
        sheet.setFont(twice);
        sheet.show();
        // At its natural size once the filled lists have asked for their room: the
        // test screen is smaller than the sheet is now.
        QCoreApplication::sendPostedEvents();
        sheet.resize(sheet.sizeHint());
        EXPECT_EQ(CutOffControls(&sheet), QStringList()) << page;
    }
    CCustomFormatDlg groups(catalog_, {{"Stills", {710, 755}}});
    groups.setFont(twice);
    groups.show();
    groups.resize(groups.sizeHint());
    EXPECT_EQ(CutOffControls(&groups), QStringList());
    CInputNameDlg name("Input a Name", "", "name", false);
    name.setFont(twice);
    name.show();
    name.resize(name.sizeHint());
    EXPECT_EQ(CutOffControls(&name), QStringList());
}

} // namespace
