#include "ui/input_name_dlg.h"

#include "ui/message_boxes.h"
#include "ui/ok_cancel_buttons.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CInputNameDlg::CInputNameDlg(const QString& caption, const QString& text, const QString& word,
                             bool allowEmpty, QWidget* parent)
    : QDialog(parent), word_(word), allowEmpty_(allowEmpty) {
    setObjectName(QString::number(IDD));
    setWindowTitle(caption);
    edit_ = new QLineEdit(text, this);
    edit_->setObjectName(QStringLiteral("1147"));
    edit_->setAccessibleName(word);
    edit_->setMinimumWidth(edit_->fontMetrics().averageCharWidth() * 40);
    QDialogButtonBox* buttons = MakeOkCancelButtons(this, &CInputNameDlg::OnOk);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit_);
    layout->addWidget(buttons);
}

QString CInputNameDlg::Text() const {
    return edit_->text();
}

void CInputNameDlg::OnOk() {
    if (Text().isEmpty() && !allowEmpty_) {
        ShowWarning(this, tr("Please input a %1.").arg(word_));
        edit_->setFocus();
        return;
    }
    accept();
}

bool CInputNameDlg::Ask(QWidget* parent, const QString& caption, QString* text) {
    CInputNameDlg dialog(caption, *text, tr("name"), false, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *text = dialog.Text();
    return true;
}
