#include "app/settings_store.h"
#include "desktop_doubles.h"
#include "dialog_helpers.h"
#include "ui/color_combo.h"
#include "ui/custom_format_dlg.h"
#include "ui/input_name_dlg.h"
#include "ui/main_dlg.h"
#include "ui/opt_page.h"
#include "ui/opt_sheet.h"
#include "ui/sort_list.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QSettings StoredSettings() {
    return QSettings(QStringLiteral("Quillmore 3"), QStringLiteral("Quillmore"));
}

void Touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

struct Source {
    const char* name;
    unsigned duration;
    int width;
};

class MainDlgTest : public ::testing::Test {
protected:
    void SetUp() override { StoredSettings().clear(); }

    CMainDlg& Window() {
        if (!window_) {
            window_ = std::make_unique<CMainDlg>(shell_);
            window_->show();
            window_->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        }
        return *window_;
    }
    SourceListModel& Model() { return Window().model(); }
    CSortList& List() { return Window().list(); }

    void Add(const std::vector<Source>& sources) {
        for (const Source& source : sources) {
            const QString path = QStringLiteral("/clips/") + source.name;
            auto item = std::make_unique<SourceItem>();
            item->path = path;
            item->duration = source.duration;
            item->width = source.width;
            Model().AppendSourceRow(std::move(item), 1, path);
        }
    }
    QStringList Names() {
        QStringList names;
        for (int row = 0; row < Model().rowCount(); ++row)
            names.append(Model().CellText(row, SourceListModel::ColumnFile));
        return names;
    }
    void Select(const std::vector<int>& rows) {
        List().clearSelection();
        for (const int row : rows)
            List().selectionModel()->select(Model().index(row, 0), QItemSelectionModel::Select |
                                                                       QItemSelectionModel::Rows);
        if (!rows.empty())
            List().selectionModel()->setCurrentIndex(Model().index(rows.front(), 0),
                                                     QItemSelectionModel::NoUpdate);
    }
    // A key as a person presses it: to the list of the active window, so the
    // window's shortcuts see it first (a closed message box takes the activation).
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
        QTest::keyClick(&List(), static_cast<Qt::Key>(key), modifiers);
    }
    QAction* PopupItem(int command) {
        for (QAction* item : Window().popupMenu().actions()) {
            if (item->objectName() == QString::number(command))
                return item;
        }
        ADD_FAILURE() << "no item " << command;
        return nullptr;
    }
    void OpenPopup() { Window().popupMenu().popup(QPoint(10, 10)); }
    void ClickHeader(int column) {
        QHeaderView* header = List().header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, 5));
    }

    RecordingShell shell_;
    std::unique_ptr<CMainDlg> window_;
};

TEST_F(MainDlgTest, PlacesEveryControlAtItsRectangleWithItsTooltip) {
    struct Expected {
        int id;
        QRect rect;
        const char* tooltip;
    };
    const Expected controls[] = {
        {32773, {11, 72, 107, 27}, "Add files"},
        {1024, {11, 117, 107, 27}, "Add files from a folder"},
        {32789, {11, 163, 107, 27}, "Add DVD video from a drive or folder"},
        {1005, {11, 208, 107, 27}, "Remove all files in list"},
        {32787, {11, 254, 107, 27}, "Convert all files"},
        {32778, {11, 299, 107, 27}, "Convert all files and combine to one file"},
        {1014, {11, 380, 107, 27}, "Options"},
        {32784, {9, 618, 113, 20}, "Visit Quillmore Homepage"},
        {1060, {867, 11, 21, 21}, "Help"},
        {1030, {893, 11, 21, 21}, "Minimize"},
        {1000, {918, 11, 21, 21}, "Close"},
        {1007, {137, 63, 803, 575}, ""},
    };
    CMainDlg& window = Window();
    EXPECT_EQ(window.size(), QSize(950, 650));
    EXPECT_EQ(window.windowTitle(), "Quillmore");
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    for (const Expected& control : controls) {
        const auto* widget = window.findChild<QWidget*>(QString::number(control.id));
        ASSERT_NE(widget, nullptr) << control.id;
        EXPECT_EQ(widget->geometry(), control.rect) << control.id;
        EXPECT_EQ(widget->toolTip(), control.tooltip) << control.id;
    }
    const auto* chooser = window.findChild<CColorCombo*>("1039");
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->geometry().topLeft(), QPoint(11, 338));
    EXPECT_EQ(chooser->toolTip(), "Output format");
}

TEST_F(MainDlgTest, ListsSourcesInTheirColumns) {
    const int widths[] = {175, 65, 45, 48, 55, 70, 75, 65, 50, 138};
    const char* const headings[] = {"File",      "Duration", "Width",     "Height", "V.Frame",
                                    "V.BitRate", "A.Freq.",  "A.BitRate", "A.Ch.",  "Status"};
    for (int column = 0; column < SourceListModel::ColumnCount; ++column) {
        EXPECT_EQ(List().header()->sectionSize(column), widths[column]);
        EXPECT_EQ(Model().headerData(column, Qt::Horizontal).toString(), headings[column]);
    }
    EXPECT_EQ(List().selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(List().selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(MainDlgTest, FillsTheChooserWithColouredEntriesAndTheStoredChoice) {
    SettingsStore().SaveCustomFormats({{"Phones", {780}}, {"Web", {100, 1160}}});
    StoredSettings().setValue("Options/OutputFormat", 21002);
    const auto& chooser = *Window().findChild<CColorCombo*>("1039");

    EXPECT_EQ(chooser.itemText(0), "Customize Output Formats");
    EXPECT_EQ(chooser.TextColor(0), QColor(0xCC, 0x00, 0xCC));
    EXPECT_EQ(chooser.itemText(1), " to Phones");
    EXPECT_EQ(chooser.Format(2)->id, 21002);
    EXPECT_EQ(chooser.TextColor(2), QColor(0x88, 0x00, 0x88));
    EXPECT_EQ(chooser.currentIndex(), 2);
    EXPECT_EQ(chooser.count(), 3 + Window().catalog().size());

    // Each category in its colour: video, devices, picture sequences, audio.
    std::map<FormatCategory, QColor> colors;
    for (int entry = 3; entry < chooser.count(); ++entry) {
        EXPECT_EQ(chooser.BackgroundColor(entry), QColor(Qt::white));
        colors.emplace(chooser.Format(entry)->category, chooser.TextColor(entry));
    }
    EXPECT_EQ(colors[FormatCategory::Video], QColor(0, 0, 0));
    EXPECT_EQ(colors[FormatCategory::Device], QColor(0, 0, 0xAA));
    EXPECT_EQ(colors[FormatCategory::ImageSequence], QColor(0, 0x66, 0));
    EXPECT_EQ(colors[FormatCategory::Audio], QColor(0x99, 0, 0));
}

TEST_F(MainDlgTest, FallsBackToTheFirstFormatForAnUnknownStoredChoice) {
    for (const int stored : {99999, 21001, 20000}) {
        StoredSettings().setValue("Options/OutputFormat", stored);
        CMainDlg window(shell_);
        const auto& chooser = *window.findChild<CColorCombo*>("1039");
        EXPECT_EQ(chooser.currentIndex(), 1) << stored;
        EXPECT_EQ(window.settings().SelectedFormat, chooser.Format(1)->id) << stored;
    }
}

TEST_F(MainDlgTest, ChoosingCustomizeWithoutChangesKeepsTheFormerChoice) {
    auto& chooser = *Window().findChild<CColorCombo*>("1039");
    const int jpg = chooser.currentIndex();
    ASSERT_EQ(chooser.Format(jpg)->id, 710);
    WhenShown<CCustomFormatDlg>(
        [](CCustomFormatDlg* dialog) { Control<QPushButton>(dialog, 2)->click(); });
    chooser.setCurrentIndex(0);
    emit chooser.activated(0);
    EXPECT_EQ(chooser.currentIndex(), jpg);
    EXPECT_EQ(Window().settings().SelectedFormat, 710);
}

TEST_F(MainDlgTest, TheOptionsAndTheGroupsDialogChangeTheChooserOnOk) {
    auto& chooser = *Window().findChild<CColorCombo*>("1039");
    // The format chosen on the Video and Audio page becomes the window's choice.
    Window().settings().OptStartPageIndex = COptSheet::VideoAudioPage;
    WhenShown<COptSheet>([](COptSheet* sheet) {
        auto* formats = Control<CColorCombo>(sheet->Page(COptSheet::VideoAudioPage), 1039);
        for (int i = 0; i < formats->count(); ++i) {
            if (formats->Format(i)->id == 80) {
                formats->setCurrentIndex(i);
                emit formats->activated(i);
            }
        }
        Control<QPushButton>(sheet, 1)->click();
    });
    Window().findChild<QAbstractButton*>("1014")->click();
    EXPECT_EQ(chooser.Format(chooser.currentIndex())->id, 80);
    EXPECT_EQ(Window().settings().SelectedFormat, 80);

    // A new group gets its entry below the command entry and is stored.
    WhenShown<CCustomFormatDlg>([](CCustomFormatDlg* dialog) {
        WhenShown<CInputNameDlg>([](CInputNameDlg* name) {
            Control<QLineEdit>(name, 1147)->setText("Stills");
            Control<QPushButton>(name, 1)->click();
        });
        Control<QPushButton>(dialog, 1143)->click();
        Control<QListWidget>(dialog, 1138)->item(0)->setSelected(true);
        Control<QPushButton>(dialog, 1141)->click();
        Control<QPushButton>(dialog, 1)->click();
    });
    chooser.setCurrentIndex(0);
    emit chooser.activated(0);
    EXPECT_EQ(chooser.itemText(1), " to Stills");
    std::vector<CustomFormat> stored;
    SettingsStore().LoadCustomFormats(stored);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].name, "Stills");
}

TEST_F(MainDlgTest, MenuItemsAndShortcutsFollowTheirEnableRules) {
    using C = CMainDlg;
    const int selectedRule[] = {C::CmdRemove,       C::CmdConvertSelected,     C::CmdPlaySource,
                                C::CmdBrowseSource, C::CmdSelectedLength,      C::CmdMoveUp,
                                C::CmdMoveDown,     C::CmdConvertSelectedToOne};
    const int notEmptyRule[] = {C::CmdRemoveAll, C::CmdConvertAll, C::CmdConvertAllToOne,
                                C::CmdAllLength};
    const int outputRule[] = {C::CmdPlayDestination, C::CmdBrowseDestination};
    const auto expectEnabled = [&](const char* when, bool selected, bool notEmpty, bool output) {
        OpenPopup();
        for (const int id : selectedRule)
            EXPECT_EQ(PopupItem(id)->isEnabled(), selected) << when << " " << id;
        for (const int id : notEmptyRule)
            EXPECT_EQ(PopupItem(id)->isEnabled(), notEmpty) << when << " " << id;
        for (const int id : outputRule)
            EXPECT_EQ(PopupItem(id)->isEnabled(), output) << when << " " << id;
        EXPECT_TRUE(PopupItem(C::CmdAddFiles)->isEnabled()) << when;
        Window().popupMenu().hide();
    };
    expectEnabled("empty list", false, false, false);
    Add({{"a.mp4", 10, 160}, {"b.mp4", 20, 320}});
    expectEnabled("no selection", false, true, false);
    Select({1});
    expectEnabled("a selected row", true, true, false);
    Model().Item(1)->outputPath = "/out/b_01.jpg";
    expectEnabled("a selected row with output", true, true, true);

    // A shortcut whose rule does not hold does nothing; one whose rule holds acts.
    List().clearSelection();
    EXPECT_TRUE(MessagesOf([&] { Press(Qt::Key_F4); }).isEmpty());
    EXPECT_TRUE(MessagesOf([&] { Press(Qt::Key_C, Qt::ControlModifier); }).isEmpty());
    EXPECT_EQ(MessagesOf([&] { Press(Qt::Key_X, Qt::ControlModifier); }),
              QStringList{"The total length of all files is 00:30."});
    Press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Window().SelectedRows(), (std::vector<int>{0, 1}));
    EXPECT_EQ(MessagesOf([&] { Press(Qt::Key_C, Qt::ControlModifier); }),
              QStringList{"The total length of selected files is 00:30."});
    Press(Qt::Key_Delete);
    EXPECT_EQ(Model().rowCount(), 0);
}

TEST_F(MainDlgTest, ButtonsActWithoutTheRule) {
    // Convert with an empty list reaches the conversion, which refuses it.
    EXPECT_EQ(MessagesOf([&] {
                  QTest::mouseClick(Window().findChild<QWidget*>("32787"), Qt::LeftButton);
              }),
              QStringList{"There aren't files in list."});
    QTest::mouseClick(Window().findChild<QWidget*>("1005"), Qt::LeftButton); // on nothing
    EXPECT_EQ(Model().rowCount(), 0);
}

TEST_F(MainDlgTest, RemovesScatteredSelectedRowsKeepingTheOthersInOrder) {
    Add({{"a", 1, 0}, {"b", 1, 0}, {"c", 1, 0}, {"d", 1, 0}, {"e", 1, 0}, {"f", 1, 0}});
    Select({0, 2, 5});
    Window().RunCommand(CMainDlg::CmdRemove);
    EXPECT_EQ(Names(), (QStringList{"b", "d", "e"}));
    EXPECT_FALSE(Model().paths().Contains("/clips/c"));
    EXPECT_TRUE(Model().paths().Contains("/clips/d"));
}

TEST_F(MainDlgTest, MovesSelectedRowsAndKeepsThemSelected) {
    Add({{"a", 1, 0}, {"b", 1, 0}, {"c", 1, 0}, {"d", 1, 0}, {"e", 1, 0}});
    Select({0, 2});
    Press(Qt::Key_F2); // the top row is among them: nothing moves
    EXPECT_EQ(Names(), (QStringList{"a", "b", "c", "d", "e"}));

    Select({2, 3});
    Press(Qt::Key_F2);
    EXPECT_EQ(Names(), (QStringList{"a", "c", "d", "b", "e"}));
    EXPECT_EQ(Window().SelectedRows(), (std::vector<int>{1, 2}));

    Press(Qt::Key_F3);
    Press(Qt::Key_F3);
    EXPECT_EQ(Names(), (QStringList{"a", "b", "e", "c", "d"}));
    EXPECT_EQ(Window().SelectedRows(), (std::vector<int>{3, 4}));
    Press(Qt::Key_F3); // the bottom row is among them
    EXPECT_EQ(Names(), (QStringList{"a", "b", "e", "c", "d"}));
}

TEST_F(MainDlgTest, TotalsLengthsInMinutesOrHours) {
    Add({{"a", 3000, 0}, {"b", 599, 0}, {"c", 1, 0}});
    Select({0, 1});
    EXPECT_EQ(MessagesOf([&] { Window().RunCommand(CMainDlg::CmdSelectedLength); }),
              QStringList{"The total length of selected files is 59:59."});
    EXPECT_EQ(MessagesOf([&] { Window().RunCommand(CMainDlg::CmdAllLength); }),
              QStringList{"The total length of all files is 1:00:00."});
}

TEST_F(MainDlgTest, SortsByDurationThenReversedThenByWidth) {
    Add({{"hour", 3600, 320}, {"short", 9, 1280}, {"long", 3599, 160}});
    Select({1});
    ClickHeader(SourceListModel::ColumnDuration);
    EXPECT_EQ(Names(), (QStringList{"short", "long", "hour"}));
    ClickHeader(SourceListModel::ColumnDuration);
    EXPECT_EQ(Names(), (QStringList{"hour", "long", "short"}));
    ClickHeader(SourceListModel::ColumnWidth);
    EXPECT_EQ(Names(), (QStringList{"long", "hour", "short"}));
    ASSERT_EQ(Window().SelectedRows(), std::vector<int>{2}); // "short" stays selected
}

TEST_F(MainDlgTest, EnterAndEscapeLeaveTheWindowOpen) {
    Add({{"a", 1, 0}});
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(&Window(), key);
        QTest::keyClick(&List(), key);
        EXPECT_TRUE(Window().isVisible()) << key;
    }
    Window().close();
    EXPECT_FALSE(Window().isVisible());
}

TEST_F(MainDlgTest, StoresTheGeneralStateAndDeletesStagedFilesWhenDestroyed) {
    QTemporaryDir dir;
    const QString staged = dir.filePath("track.wav");
    ASSERT_NO_FATAL_FAILURE(Touch(staged));
    auto item = std::make_unique<SourceItem>();
    item->path = "/cd/Track01.cda";
    item->needsStaging = true;
    item->stagedFile = staged;
    Model().AppendSourceRow(std::move(item), 1, "/cd/Track01.cda");
    Window().settings().ConversionThreads = 7;
    Window().settings().SelectedFormat = 1160;
    Window().settings().DestSpecifiedFolder = "/not/stored/here"; // an option, not general state

    window_.reset();
    EXPECT_FALSE(QFile::exists(staged));
    QSettings stored = StoredSettings();
    EXPECT_EQ(stored.value("Options/ConversionThreads").toInt(), 7);
    EXPECT_EQ(stored.value("Options/OutputFormat").toInt(), 1160);
    EXPECT_FALSE(stored.contains("Options/DestSpecifiedFolder"));
}

TEST_F(MainDlgTest, OffersTheFocusedRowsAudioStreams) {
    Add({{"silent.gif", 1, 160}});
    auto twoStreams = std::make_unique<SourceItem>();
    twoStreams->path = "/clips/film.mkv";
    twoStreams->audioStreamIds = {"0:1", "0:2"};
    twoStreams->audioSampleRates = {48000, 0};
    twoStreams->audioBitRates = {192, 0};
    twoStreams->audioChannels = {6, 2};
    Model().AppendSourceRow(std::move(twoStreams), 1, "/clips/film.mkv");
    QMenu& popup = Window().popupMenu();
    const auto submenuEntry = [&] { return popup.actions().first(); };

    OpenPopup(); // no focused row
    EXPECT_EQ(submenuEntry()->text(), "Audio &Streams");
    EXPECT_FALSE(submenuEntry()->isEnabled());
    popup.hide();

    Select({0}); // a source without audio: an empty choice, not a greyed one
    OpenPopup();
    EXPECT_TRUE(submenuEntry()->isEnabled());
    EXPECT_TRUE(submenuEntry()->menu()->actions().isEmpty());
    popup.hide();

    Select({1});
    OpenPopup();
    const QList<QAction*> streams = submenuEntry()->menu()->actions();
    ASSERT_EQ(streams.size(), 2);
    EXPECT_EQ(streams[0]->text(), "&1: 48000 Hz, 192 kbps, 5.1");
    EXPECT_EQ(streams[1]->text(), "&2: Stereo");
    EXPECT_TRUE(streams[0]->isChecked());
    streams[1]->trigger();
    popup.hide();
    EXPECT_EQ(Model().Item(1)->chosenAudioStream, 1);
    EXPECT_EQ(Model().CellText(1, SourceListModel::ColumnAudioChannels), "Stereo");
}

TEST_F(MainDlgTest, PlaysAndShowsTheFocusedSourceWhenItExists) {
    QTemporaryDir dir;
    const QString clip = dir.filePath("a.mp4");
    ASSERT_NO_FATAL_FAILURE(Touch(clip));
    auto item = std::make_unique<SourceItem>();
    item->path = clip;
    Model().AppendSourceRow(std::move(item), 1, clip);
    Add({{"gone.mp4", 1, 0}});
    Select({0});
    Press(Qt::Key_F8);
    Press(Qt::Key_F11);
    Select({1}); // no longer on disk: nothing happens
    Press(Qt::Key_F8);
    EXPECT_EQ(shell_.opened.filter("a.mp4"), QStringList{clip});
    EXPECT_EQ(shell_.shown, QStringList{clip});
    EXPECT_TRUE(shell_.opened.filter("gone").isEmpty());
}

} // namespace
