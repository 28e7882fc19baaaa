#include "ui/busy_dlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

CBusyDlg::CBusyDlg(QWidget* parent) : WorkWindow(parent) {
    setObjectName(QStringLiteral("159"));
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("1068"));
    text_->setTextFormat(Qt::PlainText);
    percent_ = new QLabel(this);
    percent_->setObjectName(QStringLiteral("1162"));
    percent_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("1010"));
    bar_->setTextVisible(false);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("1033"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &CBusyDlg::CancelRequested);
    connect(this, &CBusyDlg::CancelRequested, this, [this] { cancelled_ = true; });

    auto* grid = new QGridLayout(this);
    grid->addWidget(text_, 0, 0);
    grid->addWidget(percent_, 0, 1);
    grid->addWidget(bar_, 1, 0, 1, 2);
    grid->addWidget(cancel, 2, 0, 1, 2, Qt::AlignCenter);
    grid->setColumnStretch(0, 1);
    setMinimumWidth(fontMetrics().averageCharWidth() * 100);
}

void CBusyDlg::SetText(const QString& text) {
    text_->setText(text);
}

void CBusyDlg::SetPercent(const QString& text) {
    percent_->setText(text);
}

void CBusyDlg::SetRange(int maximum) {
    bar_->setRange(0, maximum);
}

void CBusyDlg::SetPosition(int position) {
    bar_->setValue(position);
}

QString CBusyDlg::Text() const {
    return text_->text();
}

void CBusyDlg::showEvent(QShowEvent* event) {
    cancelled_ = false;
    WorkWindow::showEvent(event);
}
