// The custom output formats dialog and its name dialog, driven as a person would.
#include "app/format_catalog.h"
#include "dialog_helpers.h"
#include "support/qstring_printer.h"
#include "ui/custom_format_dlg.h"
#include "ui/input_name_dlg.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void DoubleClick(QListWidget* list, QListWidgetItem* item) {
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

std::vector<int> ListedIds(const QListWidget* list) {
    std::vector<int> ids;
    for (int row = 0; row < list->count(); ++row)
        ids.push_back(list->item(row)->data(Qt::UserRole).toInt());
    return ids;
}

QListWidgetItem* ItemOf(QListWidget* list, int id) {
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->data(Qt::UserRole).toInt() == id)
            return list->item(row);
    }
    return nullptr;
}

// Answers the next name dialog with text, or cancels it.
void AnswerName(const QString& text, bool ok = true) {
    WhenShown<CInputNameDlg>([text, ok](CInputNameDlg* dialog) {
        Control<QLineEdit>(dialog, 1147)->setText(text);
        Control<QPushButton>(dialog, ok ? 1 : 2)->click();
    });
}

class CustomFormatDlgTest : public ::testing::Test {
protected:
    std::unique_ptr<CCustomFormatDlg> Open(const std::vector<CustomFormat>& groups) {
        auto dialog = std::make_unique<CCustomFormatDlg>(catalog_, groups);
        dialog->show();
        return dialog;
    }
    static QListWidget* List(QWidget* dialog, int id) { return Control<QListWidget>(dialog, id); }
    static QPushButton* Button(QWidget* dialog, int id) { return Control<QPushButton>(dialog, id); }

    FormatCatalog catalog_;
};

TEST_F(CustomFormatDlgTest, OpensOnTheFirstGroupInCatalogueOrder) {
    // Stored out of catalogue order, shown in it; the stored order stays.
    const auto dialog = Open({{"Mixed", {1160, 710, 10}}, {"Second", {20}}});
    EXPECT_EQ(List(dialog.get(), 1144)->currentRow(), 0);
    EXPECT_EQ(List(dialog.get(), 1144)->item(1)->text(), "Second");
    EXPECT_EQ(ListedIds(List(dialog.get(), 1139)), (std::vector<int>{10, 710, 1160}));
    EXPECT_EQ(List(dialog.get(), 1138)->count(), catalog_.size() - 3);
    EXPECT_EQ(List(dialog.get(), 1138)->item(0)->text(), " 3GP");
    EXPECT_EQ(ItemOf(List(dialog.get(), 1139), 710)->text(), " JPG (image sequence) (*.jpg)");
    EXPECT_FALSE(Button(dialog.get(), 1141)->isEnabled());
    EXPECT_FALSE(Button(dialog.get(), 1142)->isEnabled());
    // Its look, for the help page (tests/ui/update_screenshot.sh).
    dialog->grab().save(QStringLiteral("custom-formats.png"));

    Button(dialog.get(), 1)->click();
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Groups()[0].formatIds, (std::vector<int>{1160, 710, 10}));
}

TEST_F(CustomFormatDlgTest, MovedFormatsTakeTheirCatalogueIdOrder) {
    const auto dialog = Open({{"Phones", {20}}});
    QListWidget* available = List(dialog.get(), 1138);
    QListWidget* members = List(dialog.get(), 1139);

    // 30 and 10 join 20: 10, 20, 30 in the list and in the group.
    ItemOf(available, 30)->setSelected(true);
    ItemOf(available, 10)->setSelected(true);
    EXPECT_TRUE(Button(dialog.get(), 1141)->isEnabled());
    Button(dialog.get(), 1141)->click();
    EXPECT_EQ(ListedIds(members), (std::vector<int>{10, 20, 30}));
    EXPECT_FALSE(Button(dialog.get(), 1141)->isEnabled());
    EXPECT_EQ(ItemOf(available, 10), nullptr);

    // A double-click takes 20 back out, into its place among the others.
    QListWidgetItem* twenty = ItemOf(members, 20);
    DoubleClick(members, twenty);
    EXPECT_EQ(ListedIds(members), (std::vector<int>{10, 30}));
    const std::vector<int> back = ListedIds(available);
    EXPECT_EQ(back[0], 20);
    EXPECT_EQ(back[1], 25);

    Button(dialog.get(), 1)->click();
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_EQ(dialog->Groups().size(), 1u);
    EXPECT_EQ(dialog->Groups()[0].formatIds, (std::vector<int>{10, 30}));
}

TEST_F(CustomFormatDlgTest, NewEditAndRemoveWorkOnTheSelectedGroup) {
    const auto dialog = Open({});
    QListWidget* groups = List(dialog.get(), 1144);
    EXPECT_EQ(groups->count(), 0);
    EXPECT_EQ(List(dialog.get(), 1138)->count(), 0);
    EXPECT_EQ(List(dialog.get(), 1139)->count(), 0);
    EXPECT_FALSE(Button(dialog.get(), 1141)->isEnabled());
    Button(dialog.get(), 1146)->click(); // no group: nothing happens
    Button(dialog.get(), 1145)->click();

    // An empty name is refused; the dialog stays until a name comes.
    MessageCatcher messages;
    WhenShown<CInputNameDlg>([](CInputNameDlg* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Input a Name");
        Control<QPushButton>(dialog, 1)->click();
        EXPECT_TRUE(dialog->isVisible());
        Control<QLineEdit>(dialog, 1147)->setText(" Stills ");
        Control<QPushButton>(dialog, 1)->click();
    });
    Button(dialog.get(), 1143)->click();
    EXPECT_EQ(messages.texts, QStringList{"Please input a name."});
    ASSERT_EQ(groups->count(), 1);
    EXPECT_EQ(groups->item(0)->text(), " Stills "); // as typed
    EXPECT_EQ(groups->currentRow(), 0);
    EXPECT_EQ(List(dialog.get(), 1138)->count(), catalog_.size());

    AnswerName("Sound");
    Button(dialog.get(), 1143)->click();
    ItemOf(List(dialog.get(), 1138), 1160)->setSelected(true);
    Button(dialog.get(), 1141)->click();

    // Renaming keeps the place and the formats.
    AnswerName("Pictures");
    DoubleClick(groups, groups->item(0));
    EXPECT_EQ(groups->item(0)->text(), "Pictures");
    EXPECT_EQ(groups->currentRow(), 0);
    groups->setCurrentRow(1);
    EXPECT_EQ(ListedIds(List(dialog.get(), 1139)), std::vector<int>{1160});

    // OK with the still empty group refuses, names it and shows it.
    Button(dialog.get(), 1)->click();
    EXPECT_EQ(messages.texts.last(), "Please choose one output format at least for \"Pictures\".");
    EXPECT_EQ(messages.icons.back(), QMessageBox::Warning);
    EXPECT_EQ(groups->currentRow(), 0);
    EXPECT_EQ(List(dialog.get(), 1139)->count(), 0);
    EXPECT_NE(dialog->result(), QDialog::Accepted);

    // Removing it leaves nothing shown.
    Button(dialog.get(), 1145)->click();
    EXPECT_EQ(groups->count(), 1);
    EXPECT_TRUE(groups->selectedItems().isEmpty());
    EXPECT_EQ(List(dialog.get(), 1138)->count(), 0);
    Button(dialog.get(), 1)->click();
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_EQ(dialog->Groups().size(), 1u);
    EXPECT_EQ(dialog->Groups()[0].name, "Sound");
}

TEST_F(CustomFormatDlgTest, EditHandsBackTheGroupsOnlyOnOk) {
    const std::vector<CustomFormat> groups = {{"Stills", {755, 710}}, {"Sound", {1160}}};
    const auto changeAll = [](CCustomFormatDlg* dialog) {
        Control<QPushButton>(dialog, 1145)->click();
        Control<QListWidget>(dialog, 1144)->setCurrentRow(0);
        Control<QListWidget>(dialog, 1139)->selectAll();
        Control<QPushButton>(dialog, 1142)->click();
    };
    WhenShown<CCustomFormatDlg>([&](CCustomFormatDlg* dialog) {
        changeAll(dialog);
        Control<QPushButton>(dialog, 2)->click();
    });
    EXPECT_FALSE(CCustomFormatDlg::Edit(nullptr, catalog_, groups).has_value());

    // Every group removed: an empty list comes back.
    WhenShown<CCustomFormatDlg>([](CCustomFormatDlg* dialog) {
        for (int i = 0; i < 2; ++i) {
            Control<QListWidget>(dialog, 1144)->setCurrentRow(0);
            Control<QPushButton>(dialog, 1145)->click();
        }
        Control<QPushButton>(dialog, 1)->click();
    });
    const auto edited = CCustomFormatDlg::Edit(nullptr, catalog_, groups);
    ASSERT_TRUE(edited.has_value());
    EXPECT_TRUE(edited->empty());
}

} // namespace
