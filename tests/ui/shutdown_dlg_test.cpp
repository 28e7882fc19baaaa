#include "dialog_helpers.h"
#include "platform/power.h"
#include "ui/shutdown_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Stands in for the machine's power: a test must never switch it off.
class RecordingPower final : public platform::Power {
public:
    explicit RecordingPower(QString refusal = QString()) : refusal_(std::move(refusal)) {}
    bool PowerOff(QString* reason) override {
        ++requests;
        *reason = refusal_;
        return refusal_.isEmpty();
    }
    int requests = 0;

private:
    QString refusal_;
};

void Tick(QTimer* timer) {
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout"));
}

QString LabelText(const QWidget* dialog, int id) {
    return dialog->findChild<QLabel*>(QString::number(id))->text();
}

TEST(ShutdownDlgTest, CountsThirtySecondsDownInRedBoldTextOnTop) {
    CShutdownDlg dialog(nullptr, 3600 * 1000);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Quillmore");
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(LabelText(&dialog, CShutdownDlg::IDC_WARNING),
              "Quillmore is going to shut down Windows. Please click Cancel if you want to "
              "keep Windows running.");
    EXPECT_EQ(LabelText(&dialog, CShutdownDlg::IDC_COUNTDOWN), "");
    for (int id : {CShutdownDlg::IDC_WARNING, CShutdownDlg::IDC_COUNTDOWN}) {
        const auto* label = dialog.findChild<QLabel*>(QString::number(id));
        EXPECT_TRUE(label->font().bold());
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    }

    auto* timer = dialog.findChild<QTimer*>();
    Tick(timer);
    EXPECT_EQ(LabelText(&dialog, CShutdownDlg::IDC_COUNTDOWN), "30 seconds remaining");
    for (int tick = 2; tick <= 30; ++tick)
        Tick(timer);
    EXPECT_EQ(LabelText(&dialog, CShutdownDlg::IDC_COUNTDOWN), "1 seconds remaining");
    EXPECT_TRUE(dialog.isVisible());
    Tick(timer);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(ShutdownDlgTest, CancelKeepsTheMachineRunningAndSaysNothing) {
    RecordingPower power;
    QStringList modals;
    WhenShown<CShutdownDlg>([&](CShutdownDlg* modal) {
        modals << modal->objectName();
        modal->findChild<QPushButton*>("2")->click();
    });
    RunShutdownAfterConversion(nullptr, power, 3600 * 1000);
    EXPECT_EQ(modals, QStringList{"220"});
    EXPECT_EQ(power.requests, 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(ShutdownDlgTest, TheEndOfTheCountdownPowersOffAndReportsARefusal) {
    RecordingPower accepting;
    RunShutdownAfterConversion(nullptr, accepting, 1);
    EXPECT_EQ(accepting.requests, 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    RecordingPower refusing("Access denied");
    QString shown;
    // The countdown ends by itself; the refusal's message box is the next modal.
    WhenShown<QMessageBox>([&](QMessageBox* box) {
        shown = box->text();
        box->accept();
    });
    RunShutdownAfterConversion(nullptr, refusing, 1);
    EXPECT_EQ(refusing.requests, 1);
    EXPECT_EQ(shown, "Quillmore failed to shut down Windows because of the following "
                     "error.\n\nAccess denied");
}

} // namespace
