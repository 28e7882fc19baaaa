#include "desktop_doubles.h"
#include "ui/busy_dlg.h"
#include "ui/progress_dlg.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

template <typename Widget> Widget* Control(QWidget& window, int id) {
    auto* control = window.findChild<Widget*>(QString::number(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

TEST(ProgressDlgTest, OpensWithTheChoicesItWasGiven) {
    RecordingShell shell;
    CProgressDlg normal({32, 4, QString()}, shell);
    EXPECT_EQ(Control<QComboBox>(normal, 1153)->currentText(), "Normal");
    EXPECT_EQ(Control<QComboBox>(normal, 1154)->currentText(), "4");
    EXPECT_EQ(Control<QComboBox>(normal, 1154)->count(), 32);
    EXPECT_EQ(Control<QLabel>(normal, 1161)->text(), "Same as source file");
    EXPECT_FALSE(Control<QPushButton>(normal, 1160)->isEnabled());

    // Values the lists do not have: no priority chosen, the thread list on "1",
    // and the window's own values untouched until a person picks.
    CProgressDlg odd({12345, 40, "/srv/out"}, shell);
    EXPECT_EQ(Control<QComboBox>(odd, 1153)->currentIndex(), -1);
    EXPECT_EQ(Control<QComboBox>(odd, 1154)->currentText(), "1");
    EXPECT_EQ(odd.Threads(), 40);
    EXPECT_EQ(odd.PriorityClass(), 12345);
    EXPECT_EQ(Control<QLabel>(odd, 1161)->text(), "/srv/out");
    EXPECT_TRUE(Control<QPushButton>(odd, 1160)->isEnabled());
}

TEST(ProgressDlgTest, TellsItsOwnerWhatThePersonChooses) {
    RecordingShell shell;
    QTemporaryDir folder;
    CProgressDlg dialog({32, 2, folder.path()}, shell);
    QSignalSpy cancels(&dialog, &CProgressDlg::CancelRequested);
    QSignalSpy priorities(&dialog, &CProgressDlg::PriorityChosen);
    QSignalSpy threads(&dialog, &CProgressDlg::ThreadsChosen);
    dialog.show();

    emit Control<QComboBox>(dialog, 1153)->activated(3);
    emit Control<QComboBox>(dialog, 1154)->activated(7);
    EXPECT_EQ(priorities.takeFirst().at(0).toInt(), 16384); // Below Normal
    EXPECT_EQ(threads.takeFirst().at(0).toInt(), 8);
    EXPECT_EQ(dialog.Threads(), 8);

    QTest::mouseClick(Control<QPushButton>(dialog, 1033), Qt::LeftButton);
    QTest::mouseClick(Control<QPushButton>(dialog, 1033), Qt::LeftButton);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(cancels.size(), 3); // each press asks again; Enter asks nothing
    EXPECT_FALSE(dialog.close()); // closing by hand is a Cancel
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(cancels.size(), 4);

    QTest::mouseClick(Control<QPushButton>(dialog, 1160), Qt::LeftButton);
    EXPECT_EQ(shell.opened, QStringList{folder.path()});
    Control<QWidget>(dialog, 1156)->setFocus();
    QTest::keyClick(Control<QWidget>(dialog, 1156), Qt::Key_Space);
    EXPECT_TRUE(dialog.ShutDownChecked());
}

TEST(ProgressDlgTest, ShowsWhatItsOwnerWritesAndGoesWhenFinished) {
    RecordingShell shell;
    QPointer<CProgressDlg> dialog = new CProgressDlg({32, 2, QString()}, shell);
    dialog->show();
    ASSERT_GT(dialog->ProgressBarWidth(), 100);
    dialog->SetRange(200);
    dialog->SetPosition(50);
    dialog->SetStep(100);
    dialog->StepIt();
    EXPECT_EQ(dialog->Position(), 150);
    dialog->StepIt(); // past the end: round again, as the system's bar does
    EXPECT_EQ(dialog->Position(), 50);
    dialog->SetStatus("Converting clip.mp4");
    dialog->SetPercent("42%");
    EXPECT_EQ(Control<QLabel>(*dialog, 1035)->text(), "Converting clip.mp4");
    EXPECT_EQ(Control<QLabel>(*dialog, 1036)->text(), "42%");
    // Its look, for the help page (tests/ui/update_screenshot.sh).
    dialog->grab().save(QStringLiteral("progress.png"));

    dialog->Finish();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }));
}

TEST(ProgressDlgTest, MovesWhenItsFaceIsDragged) {
    RecordingShell shell;
    CProgressDlg dialog({32, 2, QString()}, shell);
    dialog.move(100, 100);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QPoint start = dialog.pos();
    QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseMove(&dialog, QPoint(42, 22));
    QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(42, 22));
    EXPECT_EQ(dialog.pos(), start + QPoint(40, 20));
}

TEST(BusyDlgTest, CancelAndEscapeSetTheFlagAndLeaveItOpen) {
    const std::vector<std::pair<const char*, std::function<void(CBusyDlg&)>>> cancels = {
        {"Cancel",
         [](CBusyDlg& d) { QTest::mouseClick(Control<QPushButton>(d, 1033), Qt::LeftButton); }},
        {"Escape", [](CBusyDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"closed by hand", [](CBusyDlg& d) { d.close(); }},
    };
    for (const auto& [name, cancel] : cancels) {
        CBusyDlg dialog;
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_FALSE(dialog.IsCancelled()) << name;
        cancel(dialog);
        EXPECT_TRUE(dialog.IsCancelled()) << name;
        EXPECT_TRUE(dialog.isVisible()) << name;
    }
}

} // namespace
