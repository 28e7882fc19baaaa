#include "ui/message_boxes.h"

#include <QMessageBox>

namespace {

void ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QStringLiteral("Quillmore"), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

void ShowWarning(QWidget* parent, const QString& text) {
    ShowMessage(parent, QMessageBox::Warning, text);
}

void ShowInformation(QWidget* parent, const QString& text) {
    ShowMessage(parent, QMessageBox::Information, text);
}
