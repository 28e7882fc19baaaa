#pragma once

#include <QDialog>

namespace platform {
class Shell;
}

// The About box: the product and its version, the homepage and support links,
// and buttons to look for updates and to recommend the program.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    enum {
        IDD = 158,
        IDC_CHECK_UPDATES = 1072,
        IDC_TELL_A_FRIEND = 1070,
        IDC_TITLE = 1089,
        IDC_NOTICE = 1082,
        IDC_HOMEPAGE = 1092,
        IDC_SUPPORT = 1067
    };

    CAboutDlg(platform::Shell& shell, QWidget* parent = nullptr);
};

// Opens an address with the wait cursor showing; a failure is not reported.
void OpenAddress(platform::Shell& shell, const char* address);
