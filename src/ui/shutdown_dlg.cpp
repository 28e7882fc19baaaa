#include "ui/shutdown_dlg.h"

#include "platform/power.h"
#include "ui/dialog_units.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

QLabel* WarningLabel(QWidget* parent, int id, const QRect& dialogUnits) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::number(id));
    label->setGeometry(DialogUnitsToPixels(dialogUnits));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(14);
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    label->setPalette(palette);
    return label;
}

} // namespace

CShutdownDlg::CShutdownDlg(QWidget* parent, int tickMilliseconds)
    : QDialog(parent), timer_(new QTimer(this)) {
    setObjectName(QString::number(IDD));
    setWindowTitle(QStringLiteral("Quillmore"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(DialogUnitsToPixels(QSize(316, 76)));

    warning_ = WarningLabel(this, IDC_WARNING, QRect(7, 7, 302, 26));
    warning_->setText(tr("%1 is going to shut down Windows. Please click Cancel if you want "
                         "to keep Windows running.")
                          .arg(QStringLiteral("Quillmore")));
    countdown_ = WarningLabel(this, IDC_COUNTDOWN, QRect(7, 36, 302, 15));

    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("2"));
    cancel->setGeometry(DialogUnitsToPixels(QRect(134, 55, 47, 14)));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    connect(timer_, &QTimer::timeout, this, &CShutdownDlg::Tick);
    timer_->start(tickMilliseconds);
}

void CShutdownDlg::Tick() {
    if (secondsRemaining_ > 0) {
        countdown_->setText(tr("%1 seconds remaining").arg(secondsRemaining_));
        --secondsRemaining_;
        return;
    }
    timer_->stop();
    accept();
}

void RunShutdownAfterConversion(QWidget* owner, platform::Power& power, int tickMilliseconds) {
    CShutdownDlg countdown(owner, tickMilliseconds);
    if (countdown.exec() != QDialog::Accepted)
        return;
    QString reason;
    if (power.PowerOff(&reason) || reason.isEmpty())
        return;
    QMessageBox::warning(owner, QStringLiteral("Quillmore"),
                         QObject::tr("%1 failed to shut down Windows because of the following "
                                     "error.\n\n%2")
                             .arg(QStringLiteral("Quillmore"), reason));
}
