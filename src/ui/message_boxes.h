#pragma once

#include <QString>

class QWidget;

// The program's message boxes: captioned "Quillmore", modal to their parent.
void ShowWarning(QWidget* parent, const QString& text);
void ShowInformation(QWidget* parent, const QString& text);
