#pragma once

#include <QDialogButtonBox>
#include <QPushButton>

// OK and Cancel, numbered 1 and 2 as every dialog numbers them: OK runs the
// dialog's own check, Cancel (and Escape) rejects.
template <typename Dialog>
QDialogButtonBox* MakeOkCancelButtons(Dialog* dialog, void (Dialog::*onOk)()) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, onOk);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}
