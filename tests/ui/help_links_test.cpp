#include "app/web_addresses.h"
#include "desktop_doubles.h"
#include "dialog_helpers.h"
#include "support/qstring_printer.h"
#include "ui/about_dlg.h"
#include "ui/link_label.h"
#include "ui/main_dlg.h"

#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// Acts on the About box once it runs modally, then closes it.
void WhenAboutOpens(const std::function<void(CAboutDlg&)>& act) {
    WhenShown<CAboutDlg>([act](CAboutDlg* about) {
        act(*about);
        about->accept();
    });
}

TEST(HelpLinksTest, HelpCommandsOpenTheHelpPageAndTheMakersAddresses) {
    RecordingShell shell;
    CMainDlg window(shell);
    shell.opened.clear(); // the help page of the first start
    for (const int command :
         {CMainDlg::CmdHelpTopics, CMainDlg::CmdHomepage, CMainDlg::CmdCheckUpdates,
          CMainDlg::CmdFeedback, CMainDlg::CmdTellAFriend})
        window.RunCommand(command);
    EXPECT_EQ(shell.opened,
              QStringList({window.tools().programDir + "tessaline.html",
                           "https://quillmore.org/quillmore/",
                           "https://quillmore.org/quillmore/checkforupdates/?ver=3.1&build=1739",
                           "mailto:support@quillmore.org",
                           "mailto:?subject=Quillmore - very COOL application!!!&body=Download "
                           "from https://quillmore.org/quillmore/"}));

    // The About box's buttons open the same addresses as the help menu.
    shell.opened.clear();
    WhenAboutOpens([](CAboutDlg& about) {
        EXPECT_EQ(about.windowTitle(), "About");
        EXPECT_EQ(about.findChild<QLabel*>("1089")->text(), "Quillmore v3.1 build 1739");
        EXPECT_EQ(about.findChild<CLinkLabel*>("1092")->text(), "Visit Quillmore Homepage");
        EXPECT_EQ(about.findChild<CLinkLabel*>("1092")->Target(), kHomepage);
        EXPECT_EQ(about.findChild<CLinkLabel*>("1067")->Target(), kSupportAddress);
        about.findChild<QPushButton*>("1072")->click();
        about.findChild<QPushButton*>("1070")->click();
    });
    window.RunCommand(CMainDlg::CmdAbout);
    EXPECT_EQ(shell.opened, QStringList({kUpdateCheckPage, kRecommendationAddress}));
}

TEST(HelpLinksTest, OnlyTheAboutBoxLinksSayThatNothingCouldOpenThem) {
    RecordingShell refusing(false);
    CMainDlg window(refusing);
    EXPECT_TRUE(MessagesOf([&] { window.RunCommand(CMainDlg::CmdTellAFriend); }).isEmpty());

    QStringList shown;
    WhenAboutOpens([&shown](CAboutDlg& about) {
        shown = MessagesOf([&about] { about.findChild<CLinkLabel*>("1067")->Open(); });
    });
    window.RunCommand(CMainDlg::CmdAbout);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("Unable to open hyperlink:\n\n")) << shown[0].toStdString();
}

} // namespace
