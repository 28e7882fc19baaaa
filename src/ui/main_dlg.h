#pragma once

#include "app/convert_settings.h"
#include "app/format_catalog.h"
#include "engine/tool_paths.h"
#include "media/source_list_model.h"
#include "platform/power.h"
#include "ui/file_dialogs.h"

#include <QDialog>
#include <map>
#include <memory>
#include <vector>

class CColorCombo;
class CSortList;
class ConversionController;
class FormatChooser;
class QAction;
class QMenu;
class SourceAdder;
class WindowFrontEnd;
namespace platform {
class Shell;
}

// The program's only top-level window: a frameless 950 x 650 face with the
// command buttons, the output format chooser and the source list. It owns the
// catalogue, the custom groups, the settings and the list, and hands the four
// conversion commands to the conversion controller. Controls carry their
// numbers as object names; so do the menu actions of the commands.
class CMainDlg : public QDialog {
    Q_OBJECT

public:
    // The commands of the window, by their numbers.
    enum Command : int {
        CmdAddFiles = 32773,
        CmdAddFolder = 1024,
        CmdAddDvd = 32789,
        CmdRemove = 32772,
        CmdRemoveAll = 1005,
        CmdConvertSelected = 32786,
        CmdConvertAll = 32787,
        CmdConvertSelectedToOne = 32779,
        CmdConvertAllToOne = 32778,
        CmdPlaySource = 32775,
        CmdPlayDestination = 32781,
        CmdBrowseSource = 32777,
        CmdBrowseDestination = 32780,
        CmdSelectedLength = 32795,
        CmdAllLength = 32796,
        CmdMoveUp = 32793,
        CmdMoveDown = 32794,
        CmdSelectAll = 1156,
        CmdNoAudioStream = 32788,
        CmdOptions = 1014,
        CmdHelpButton = 1060,
        CmdMinimize = 1030,
        CmdClose = 1000,
        CmdHomepage = 32784,
        CmdHelpTopics = 57670,
        CmdTellAFriend = 32782,
        CmdFeedback = 32783,
        CmdCheckUpdates = 32785,
        CmdAbout = 1017,
    };
    static constexpr int kFirstAudioStreamCommand = 9000;
    static constexpr int kAudioStreamCommands = 100;

    // The shell, the file dialogs and the power are the desktop's; tests put
    // their own in their place.
    explicit CMainDlg(platform::Shell& shell, FileDialogs& dialogs = SystemFileDialogs(),
                      platform::Power& power = platform::SystemPower(), QWidget* parent = nullptr);
    // Removes every source (and its staged file) and stores the general state.
    ~CMainDlg() override;

    SourceListModel& model() { return model_; }
    ConvertSettings& settings() { return settings_; }
    FormatCatalog& catalog() { return catalog_; }
    const ToolPaths& tools() const { return tools_; }
    CSortList& list() const { return *list_; }
    QMenu& popupMenu() const { return *popup_; }
    QMenu& helpMenu() const { return *helpMenu_; }

    // Carries out a command as a menu item or its shortcut does: only when its
    // enable rule holds. Buttons carry theirs out unconditionally.
    void RunCommand(int command);
    bool CommandEnabled(int command) const;
    // The selected rows of the list, in ascending order.
    std::vector<int> SelectedRows() const;
    // Shows the list's menu with its audio streams of the focused row; what
    // the menu shows is ready when aboutToShow of popupMenu() arrives.
    void ShowPopupMenu(const QPoint& globalPosition);
    void PreparePopupMenu();

    // While a batch or a staging pass runs every control is off, the face stays
    // movable and the window cannot be closed.
    void SetControlsEnabled(bool enabled);

    // Adds files and folders handed over at once, as a drop onto the window
    // does: each folder's files in turn, the files under the file rule.
    void AddDropped(const QStringList& paths);

public slots:
    // The adding commands: the dialog that chooses, then the adding under the
    // busy dialog.
    void AddFiles();
    void AddFolder();
    void AddDvd();
    // The commands of other parts of the program; each stays empty until its
    // part arrives.
    void OpenOptions();
    // The custom output formats dialog; true when it ended with OK and the
    // groups were replaced.
    bool EditCustomFormats();
    void ShowHelpTopics();
    void TellAFriend();
    void SendFeedback();
    void CheckForUpdates();
    void ShowAbout();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void accept() override {}
    void reject() override {}

private:
    void BuildControls();
    void BuildSourceList();
    void BuildCommands();
    QMenu* BuildMenu(const QString& title, const std::vector<int>& layout);
    void ButtonClicked(int command);
    void Execute(int command);
    bool RunListCommand(int command);
    bool RunFileCommand(int command);
    bool RunWindowCommand(int command);
    void RefreshCommandStates();

    int FocusedSelectedRow() const;
    void Remove();
    void MoveSelected(int direction);
    void ShowTotalLength(bool selectedOnly);
    void OpenSourceOrOutput(bool output, bool browse);
    void FillAudioStreams(QMenu& submenu);
    void ChooseAudioStream(int stream);
    void StartConversion(bool selectedOnly, bool convertToOne);
    void ShowMessage(const QString& text);

    platform::Shell& shell_;
    FormatCatalog catalog_;
    ConvertSettings settings_;
    std::vector<CustomFormat> customGroups_;
    ToolPaths tools_;
    SourceListModel model_;

    CSortList* list_ = nullptr;
    CColorCombo* chooser_ = nullptr;
    FormatChooser* formatChooser_ = nullptr;
    QMenu* popup_ = nullptr;
    QMenu* audioStreams_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    std::map<int, QAction*> actions_;
    std::vector<QWidget*> controls_;
    bool controlsEnabled_ = true;

    std::unique_ptr<WindowFrontEnd> frontEnd_;
    std::unique_ptr<ConversionController> controller_;
    std::unique_ptr<SourceAdder> adder_;
};
