#pragma once

#include <QDialog>

class QLineEdit;

// Dialog 219: asks for one line of text, a group's name.
class CInputNameDlg : public QDialog {
    Q_OBJECT

public:
    enum { IDD = 219 };

    // word names what is asked for in the refusal of an empty answer.
    CInputNameDlg(const QString& caption, const QString& text, const QString& word, bool allowEmpty,
                  QWidget* parent = nullptr);

    // The text as typed: blanks are kept.
    QString Text() const;

    // Runs the dialog; on OK text holds the answer.
    static bool Ask(QWidget* parent, const QString& caption, QString* text);

private:
    void OnOk();

    QLineEdit* edit_ = nullptr;
    QString word_;
    bool allowEmpty_;
};
