#pragma once

#include <QDialog>
#include <vector>

class COptPage;
class FormatCatalog;
class QStackedWidget;
class QTabBar;
class SettingsStore;
class SourceListModel;
struct ConvertSettings;
namespace platform {
class Shell;
}

// The Options sheet: the General page and the Video and Audio page, OK and
// Cancel. It edits the settings and catalogue it is given; RunOptionsSheet gives
// it copies.
class COptSheet : public QDialog {
    Q_OBJECT

public:
    enum Page { GeneralPage = 0, VideoAudioPage = 1, PageCount = 2 };

    COptSheet(ConvertSettings& settings, FormatCatalog& catalog, SettingsStore& store,
              platform::Shell& shell, QWidget* parent = nullptr);

    // Shows a page; one out of range shows the first.
    void SetActivePage(int index);
    int ActivePage() const;
    COptPage* Page(int index) const { return pages_[index]; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnTabChosen(int index);
    void OnOk();
    void ShowPage(int index);

    std::vector<COptPage*> pages_;
    std::vector<bool> opened_;
    QTabBar* tabs_ = nullptr;
    QStackedWidget* stack_ = nullptr;
};

// The Options command of the main window. Runs the sheet on copies of the
// settings and of every format's parameters, opening on OptStartPageIndex. On OK
// the copies replace the caller's values (the format chosen on the Video and
// Audio page becomes SelectedFormat), the extension filter is rebuilt, a changed
// RequestAudioIndex reaches every row of sources, and the options and every
// format's parameters are saved. Whatever the outcome, OptStartPageIndex becomes
// the page that was active at the end. Returns whether OK was pressed.
bool RunOptionsSheet(QWidget* parent, ConvertSettings& settings, FormatCatalog& catalog,
                     SourceListModel& sources, SettingsStore& store, platform::Shell& shell);
