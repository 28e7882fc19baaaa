#include "app/output_format.h"
#include "ui/color_combo.h"
#include "ui/sort_list.h"
#include "ui/step_spin.h"

#include <QAbstractItemView>
#include <QImage>
#include <QPainter>
#include <QStringListModel>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

using Kind = CSortList::SortKind;

int Sign(int value) {
    return (value > 0) - (value < 0);
}

TEST(SortKindTest, ComparesTextsByKind) {
    struct Case {
        Kind kind;
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {Kind::Text, "apple", "banana", -1},
        {Kind::Number, "12.5", "9", 1},
        {Kind::Number, "229 kbps", "1000 kbps", -1},
        {Kind::Number, "", "0", 0},
        {Kind::Number, "44100 Hz*3", "44100 Hz", 0},
        {Kind::Size, "900K", "1M", -1},
        {Kind::Size, "1M", "2G", -1},
        {Kind::Size, "1 m", "1024k", 0},
        {Kind::Size, "3T", "2048G", 1},
        {Kind::Size, "1500", "1K", 1},
        {Kind::Duration, "59:59", "1:00:00", -1},
        {Kind::Duration, "90", "1:29", 1},
        {Kind::Duration, "1:75", "1:59", 0},  // parts after a colon stop at 59
        {Kind::Duration, "-5:30", "0:30", 0}, // a negative first part counts 0
        {Kind::DashDate, "2024-01-31", "2024-02-01", -1},
        {Kind::DashDate, "2024-01", "1999-01-01", 0}, // not a date: equal
        {Kind::SlashDate, "12/31/2023", "01/01/2024", -1},
        {Kind::SlashDate, "02/01/2024", "01/02/2024", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(CSortList::CompareTexts(c.kind, c.a, c.b)), c.expected)
            << c.a << " against " << c.b << " as kind " << static_cast<int>(c.kind);
    }
}

QStringList Column(const QAbstractItemModel& model) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts.append(model.index(row, 0).data().toString());
    return texts;
}

TEST(SortListTest, HeaderClicksSortTheModelRowsAndTheSelectionFollows) {
    QStringListModel sizes({"2G", "900K", "1M", "5K"});
    CSortList list;
    list.setModel(&sizes);
    list.SetSortKind(0, Kind::Size);
    list.selectionModel()->select(sizes.index(2, 0), QItemSelectionModel::Select);

    list.SortByColumn(0);
    EXPECT_EQ(Column(sizes), (QStringList{"5K", "900K", "1M", "2G"}));
    EXPECT_EQ(list.currentSortOrder(), Qt::AscendingOrder);
    ASSERT_EQ(list.selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(list.selectionModel()->selectedRows().first().data().toString(), "1M");

    list.SortByColumn(0);
    EXPECT_EQ(Column(sizes), (QStringList{"2G", "1M", "900K", "5K"}));
    EXPECT_EQ(list.selectionModel()->selectedRows().first().data().toString(), "1M");
}

TEST(SortListTest, IgnoresKindsBeyondItsColumnsAndStartsWithText) {
    CSortList list;
    list.SetSortKind(100, Kind::Number);
    EXPECT_EQ(list.sortKind(100), Kind::Text);
    EXPECT_EQ(list.sortKind(99), Kind::Text);
    QStringListModel numbers({"10", "9"});
    list.setModel(&numbers);
    list.SortByColumn(0); // as text, "10" comes first
    EXPECT_EQ(Column(numbers), (QStringList{"10", "9"}));
}

TEST(StepSpinTest, MovesByItsStepOncePerRequest) {
    CStepSpin spin;
    spin.setRange(0, 100);
    ASSERT_TRUE(spin.SetStep(2));
    struct Case {
        const char* name;
        std::function<void(CStepSpin&)> act;
        int expected;
    };
    const Case cases[] = {
        {"up", [](CStepSpin& s) { s.stepUp(); }, 12},
        {"down", [](CStepSpin& s) { s.stepDown(); }, 8},
        {"up arrow key", [](CStepSpin& s) { QTest::keyClick(&s, Qt::Key_Up); }, 12},
        {"page up", [](CStepSpin& s) { QTest::keyClick(&s, Qt::Key_PageUp); }, 12},
        {"page down", [](CStepSpin& s) { QTest::keyClick(&s, Qt::Key_PageDown); }, 8},
    };
    for (const Case& c : cases) {
        spin.setValue(10);
        c.act(spin);
        EXPECT_EQ(spin.value(), c.expected) << c.name;
    }
}

TEST(StepSpinTest, RefusesAStepNotSmallerThanItsRange) {
    CStepSpin spin;
    spin.setRange(0, 100);
    EXPECT_EQ(spin.Step(), 1);
    ASSERT_TRUE(spin.SetStep(2));
    EXPECT_FALSE(spin.SetStep(100));
    EXPECT_FALSE(spin.SetStep(0));
    EXPECT_EQ(spin.Step(), 2);
    EXPECT_TRUE(spin.SetStep(99));
}

TEST(ColorComboTest, KeepsEachEntrysColoursAndFormat) {
    CColorCombo combo;
    OutputFormat jpg;
    EXPECT_EQ(combo.AddEntry(" to JPG", QColor(0, 0x66, 0), Qt::white), 0);
    EXPECT_EQ(combo.AddEntry(" to MP3", QColor(0x99, 0, 0), Qt::white), 1);
    EXPECT_EQ(combo.InsertEntry(1, " to group", QColor(0x88, 0, 0x88), Qt::yellow), 1);
    combo.SetFormat(0, &jpg);

    EXPECT_EQ(combo.itemText(2), " to MP3");
    EXPECT_EQ(combo.TextColor(2), QColor(0x99, 0, 0));
    EXPECT_EQ(combo.BackgroundColor(1), QColor(Qt::yellow));
    EXPECT_EQ(combo.Format(0), &jpg);
    EXPECT_EQ(combo.Format(1), nullptr);
    EXPECT_EQ(combo.Format(-1), nullptr);

    combo.DeleteEntry(0);
    EXPECT_EQ(combo.count(), 2);
    EXPECT_EQ(combo.Format(0), nullptr);
}

// The colour at the middle of the entry's left edge, inside the text inset.
QColor PaintedBackground(CColorCombo& combo, int entry, bool selected) {
    QImage image(200, 20, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.initFrom(combo.view());
    option.rect = image.rect();
    option.state = QStyle::State_Enabled | (selected ? QStyle::State_Selected : QStyle::State_None);
    option.widget = combo.view();
    combo.itemDelegate()->paint(&painter, option, combo.model()->index(entry, 0));
    painter.end();
    return image.pixelColor(1, 10);
}

TEST(ColorComboTest, DrawsEntriesInTheirColoursUnlessSelected) {
    CColorCombo combo;
    combo.AddEntry(" to AVI", Qt::black, QColor(0xEE, 0xFF, 0xEE));
    EXPECT_EQ(PaintedBackground(combo, 0, false), QColor(0xEE, 0xFF, 0xEE));
    EXPECT_EQ(PaintedBackground(combo, 0, true),
              combo.view()->palette().color(QPalette::Highlight));
}

} // namespace
