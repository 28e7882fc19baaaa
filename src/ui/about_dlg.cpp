#include "ui/about_dlg.h"

#include "app/web_addresses.h"
#include "ui/link_label.h"
#include "ui/main_skin.h"
#include "ui/open_target.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

QPushButton* Button(QWidget* parent, int id, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::number(id));
    button->setAutoDefault(false);
    return button;
}

QLabel* Text(QWidget* parent, int id, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::number(id));
    return label;
}

CLinkLabel* Link(QWidget* parent, int id, const QString& text, platform::Shell& shell,
                 const char* target) {
    auto* link = new CLinkLabel(text, parent);
    link->setObjectName(QString::number(id));
    link->SetShell(shell);
    link->SetTarget(QString::fromLatin1(target));
    return link;
}

} // namespace

void OpenAddress(platform::Shell& shell, const char* address) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    OpenTarget(shell, QString::fromLatin1(address));
    QApplication::restoreOverrideCursor();
}

CAboutDlg::CAboutDlg(platform::Shell& shell, QWidget* parent) : QDialog(parent) {
    setObjectName(QString::number(IDD));
    setWindowTitle(tr("About"));
    const QString product = QStringLiteral("Quillmore");

    auto* icon = new QLabel(this);
    icon->setPixmap(MainSkin::WindowIcon().pixmap(48, 48));
    auto* ok = Button(this, 1, tr("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* updates = Button(this, IDC_CHECK_UPDATES, tr("&Check Updates"));
    connect(updates, &QPushButton::clicked, this,
            [&shell] { OpenAddress(shell, kUpdateCheckPage); });
    auto* friendButton = Button(this, IDC_TELL_A_FRIEND, tr("Tell a Friend"));
    connect(friendButton, &QPushButton::clicked, this,
            [&shell] { OpenAddress(shell, kRecommendationAddress); });

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 4, 1, Qt::AlignTop);
    layout->addWidget(
        Text(this, IDC_TITLE, tr("%1 v%2").arg(product, QString::fromLatin1(kProductVersion))), 0,
        1);
    layout->addWidget(
        Text(this, IDC_NOTICE, tr("Pictures from every frame, and 79 formats, through FFmpeg.")), 1,
        1);
    layout->addWidget(
        Link(this, IDC_HOMEPAGE, tr("Visit %1 Homepage").arg(product), shell, kHomepage), 2, 1);
    layout->addWidget(Link(this, IDC_SUPPORT, tr("Feedback and Support"), shell, kSupportAddress),
                      3, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(updates);
    buttons->addWidget(friendButton);
    buttons->addStretch();
    layout->addLayout(buttons, 0, 2, 4, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
