#include "ui/busy_dlg.h"

#include "ui/face_drag.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

CBusyDlg::CBusyDlg(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("159"));
    setAttribute(Qt::WA_DeleteOnClose);
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
    connect(cancel, &QPushButton::clicked, this, &CBusyDlg::Cancel);

    auto* grid = new QGridLayout(this);
    grid->addWidget(text_, 0, 0);
    grid->addWidget(percent_, 0, 1);
    grid->addWidget(bar_, 1, 0, 1, 2);
    grid->addWidget(cancel, 2, 0, 1, 2, Qt::AlignCenter);
    grid->setColumnStretch(0, 1);
    setMinimumWidth(fontMetrics().averageCharWidth() * 100);
    new FaceDrag(*this);
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

void CBusyDlg::Finish() {
    finishing_ = true;
    close();
}

void CBusyDlg::Cancel() {
    cancelled_ = true;
    emit CancelRequested();
}

void CBusyDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        Cancel();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

// Closed by hand, it cancels the work; the owner closes it when it stops.
void CBusyDlg::closeEvent(QCloseEvent* event) {
    if (finishing_) {
        event->accept();
        return;
    }
    event->ignore();
    Cancel();
}

void CBusyDlg::showEvent(QShowEvent* event) {
    cancelled_ = false;
    if (QWidget* owner = parentWidget())
        move(owner->window()->geometry().center() - rect().center());
    QDialog::showEvent(event);
}
