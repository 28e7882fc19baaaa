#include "ui/main_dlg.h"

#include "app/settings_store.h"
#include "app/web_addresses.h"
#include "convert/conversion_controller.h"
#include "media/column_texts.h"
#include "platform/power.h"
#include "platform/shell.h"
#include "ui/about_dlg.h"
#include "ui/color_combo.h"
#include "ui/custom_format_dlg.h"
#include "ui/face_drag.h"
#include "ui/format_chooser.h"
#include "ui/main_skin.h"
#include "ui/opt_sheet.h"
#include "ui/skin_button.h"
#include "ui/sort_list.h"
#include "ui/source_adder.h"
#include "ui/window_front_end.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QUrl>

namespace {

enum class Look { TextButton, IconButton, LinkButton, Chooser, List };

// The controls of the window: number, look, text, tooltip and rectangle.
struct ControlSpec {
    int id;
    Look look;
    const char* text;
    const char* tooltip;
    QRect rect;
    MainSkin::Glyph glyph = MainSkin::Glyph::Help;
};

const ControlSpec kControls[] = {
    {CMainDlg::CmdAddFiles,
     Look::TextButton,
     QT_TRANSLATE_NOOP("CMainDlg", "&Add Files"),
     QT_TRANSLATE_NOOP("CMainDlg", "Add files"),
     {11, 72, 107, 27}},
    {CMainDlg::CmdAddFolder,
     Look::TextButton,
     QT_TRANSLATE_NOOP("CMainDlg", "Add &Folder"),
     QT_TRANSLATE_NOOP("CMainDlg", "Add files from a folder"),
     {11, 117, 107, 27}},
    {CMainDlg::CmdAddDvd,
     Look::TextButton,
     QT_TRANSLATE_NOOP("CMainDlg", "Add &DVD"),
     QT_TRANSLATE_NOOP("CMainDlg", "Add DVD video from a drive or folder"),
     {11, 163, 107, 27}},
    {CMainDlg::CmdRemoveAll,
     Look::TextButton,
     QT_TRANSLATE_NOOP("CMainDlg", "&Remove All"),
     QT_TRANSLATE_NOOP("CMainDlg", "Remove all files in list"),
     {11, 208, 107, 27}},
    {CMainDlg::CmdConvertAll,
     Look::TextButton,
     QT_TRANSLATE_NOOP("CMainDlg", "&Convert"),
     QT_TRANSLATE_NOOP("CMainDlg", "Convert all files"),
     {11, 254, 107, 27}},
    {CMainDlg::CmdConvertAllToOne,
     Look::TextButton,
     QT_TRANSLATE_NOOP("CMainDlg", "Con&vert to One"),
     QT_TRANSLATE_NOOP("CMainDlg", "Convert all files and combine to one file"),
     {11, 299, 107, 27}},
    {1039,
     Look::Chooser,
     nullptr,
     QT_TRANSLATE_NOOP("CMainDlg", "Output format"),
     {11, 338, 107, 22}},
    {CMainDlg::CmdOptions,
     Look::TextButton,
     QT_TRANSLATE_NOOP("CMainDlg", "&Options"),
     QT_TRANSLATE_NOOP("CMainDlg", "Options"),
     {11, 380, 107, 27}},
    {CMainDlg::CmdHomepage,
     Look::LinkButton,
     nullptr,
     QT_TRANSLATE_NOOP("CMainDlg", "Visit %1 Homepage"),
     {9, 618, 113, 20}},
    {CMainDlg::CmdHelpButton,
     Look::IconButton,
     nullptr,
     QT_TRANSLATE_NOOP("CMainDlg", "Help"),
     {867, 11, 21, 21},
     MainSkin::Glyph::Help},
    {CMainDlg::CmdMinimize,
     Look::IconButton,
     nullptr,
     QT_TRANSLATE_NOOP("CMainDlg", "Minimize"),
     {893, 11, 21, 21},
     MainSkin::Glyph::Minimize},
    {CMainDlg::CmdClose,
     Look::IconButton,
     nullptr,
     QT_TRANSLATE_NOOP("CMainDlg", "Close"),
     {918, 11, 21, 21},
     MainSkin::Glyph::Close},
    {1007, Look::List, nullptr, nullptr, {137, 63, 803, 575}},
};

enum class Rule { Always, Selected, NotEmpty, HasOutput, Never };

// The commands of the menus and shortcuts, with their enable rules.
struct CommandSpec {
    int id;
    const char* text; // a menu item's text; none for a shortcut alone
    const char* shortcut;
    Rule rule;
};

const CommandSpec kCommands[] = {
    {CMainDlg::CmdAddFiles, QT_TRANSLATE_NOOP("CMainDlg", "&Add Files..."), "Ctrl+O", Rule::Always},
    {CMainDlg::CmdAddFolder, QT_TRANSLATE_NOOP("CMainDlg", "Add &Folder"), "Ctrl+F", Rule::Always},
    {CMainDlg::CmdAddDvd, QT_TRANSLATE_NOOP("CMainDlg", "Add &DVD"), "Ctrl+D", Rule::Always},
    {CMainDlg::CmdRemove, QT_TRANSLATE_NOOP("CMainDlg", "&Remove"), "Del", Rule::Selected},
    {CMainDlg::CmdRemoveAll, QT_TRANSLATE_NOOP("CMainDlg", "R&emove All"), "Ctrl+Del",
     Rule::NotEmpty},
    {CMainDlg::CmdConvertSelected, QT_TRANSLATE_NOOP("CMainDlg", "Conver&t Selected"), "F4",
     Rule::Selected},
    {CMainDlg::CmdConvertAll, QT_TRANSLATE_NOOP("CMainDlg", "&Convert All"), "F5", Rule::NotEmpty},
    {CMainDlg::CmdConvertSelectedToOne, QT_TRANSLATE_NOOP("CMainDlg", "Con&vert Selected to One"),
     "F6", Rule::Selected},
    {CMainDlg::CmdConvertAllToOne, QT_TRANSLATE_NOOP("CMainDlg", "Convert All to &One"), "F7",
     Rule::NotEmpty},
    {CMainDlg::CmdPlaySource, QT_TRANSLATE_NOOP("CMainDlg", "&Play Source"), "F8", Rule::Selected},
    {CMainDlg::CmdPlayDestination, QT_TRANSLATE_NOOP("CMainDlg", "P&lay Destination"), "F9",
     Rule::HasOutput},
    {CMainDlg::CmdBrowseSource, QT_TRANSLATE_NOOP("CMainDlg", "&Browse Source Folder"), "F11",
     Rule::Selected},
    {CMainDlg::CmdBrowseDestination, QT_TRANSLATE_NOOP("CMainDlg", "Bro&wse Destination Folder"),
     "F12", Rule::HasOutput},
    {CMainDlg::CmdSelectedLength, QT_TRANSLATE_NOOP("CMainDlg", "Calculate Selected Len&gth"),
     "Ctrl+C", Rule::Selected},
    {CMainDlg::CmdAllLength, QT_TRANSLATE_NOOP("CMainDlg", "Calculate All Lengt&h"), "Ctrl+X",
     Rule::NotEmpty},
    {CMainDlg::CmdMoveUp, QT_TRANSLATE_NOOP("CMainDlg", "Move &Up"), "F2", Rule::Selected},
    {CMainDlg::CmdMoveDown, QT_TRANSLATE_NOOP("CMainDlg", "&Move Down"), "F3", Rule::Selected},
    {CMainDlg::CmdSelectAll, nullptr, "Ctrl+A", Rule::Always},
    {CMainDlg::CmdHelpTopics, QT_TRANSLATE_NOOP("CMainDlg", "&Help Topics"), "F1", Rule::Always},
    {CMainDlg::CmdTellAFriend, QT_TRANSLATE_NOOP("CMainDlg", "&Tell A Friend"), nullptr,
     Rule::Always},
    {CMainDlg::CmdFeedback, QT_TRANSLATE_NOOP("CMainDlg", "&Feedback and Support"), nullptr,
     Rule::Always},
    {CMainDlg::CmdHomepage, QT_TRANSLATE_NOOP("CMainDlg", "Home&page"), nullptr, Rule::Always},
    {CMainDlg::CmdCheckUpdates, QT_TRANSLATE_NOOP("CMainDlg", "&Check for Updates"), nullptr,
     Rule::Always},
    {CMainDlg::CmdAbout, QT_TRANSLATE_NOOP("CMainDlg", "&About..."), nullptr, Rule::Always},
};

// The menus' items in order; 0 is a separator, kAudioStreamsEntry the submenu.
constexpr int kAudioStreamsEntry = -1;
const std::vector<int> kPopupLayout = {
    kAudioStreamsEntry,
    0,
    CMainDlg::CmdConvertSelected,
    CMainDlg::CmdConvertAll,
    0,
    CMainDlg::CmdConvertSelectedToOne,
    CMainDlg::CmdConvertAllToOne,
    0,
    CMainDlg::CmdPlaySource,
    CMainDlg::CmdPlayDestination,
    0,
    CMainDlg::CmdBrowseSource,
    CMainDlg::CmdBrowseDestination,
    0,
    CMainDlg::CmdAddFiles,
    CMainDlg::CmdAddFolder,
    CMainDlg::CmdAddDvd,
    0,
    CMainDlg::CmdRemove,
    CMainDlg::CmdRemoveAll,
    0,
    CMainDlg::CmdSelectedLength,
    CMainDlg::CmdAllLength,
    0,
    CMainDlg::CmdMoveUp,
    CMainDlg::CmdMoveDown,
};
const std::vector<int> kHelpLayout = {
    CMainDlg::CmdHelpTopics,
    0,
    CMainDlg::CmdTellAFriend,
    CMainDlg::CmdFeedback,
    CMainDlg::CmdHomepage,
    CMainDlg::CmdCheckUpdates,
    0,
    CMainDlg::CmdAbout,
};

const CommandSpec* FindCommand(int id) {
    for (const CommandSpec& command : kCommands) {
        if (command.id == id)
            return &command;
    }
    return nullptr;
}

// The source list's columns: width, alignment and how a header click sorts.
struct ColumnSpec {
    int width;
    Qt::Alignment alignment;
    CSortList::SortKind kind;
};
const ColumnSpec kColumns[SourceListModel::ColumnCount] = {
    {175, Qt::AlignLeft, CSortList::SortKind::Text},
    {65, Qt::AlignRight, CSortList::SortKind::Duration},
    {45, Qt::AlignRight, CSortList::SortKind::Number},
    {48, Qt::AlignRight, CSortList::SortKind::Number},
    {55, Qt::AlignRight, CSortList::SortKind::Number},
    {70, Qt::AlignRight, CSortList::SortKind::Number},
    {75, Qt::AlignRight, CSortList::SortKind::Number},
    {65, Qt::AlignRight, CSortList::SortKind::Number},
    {50, Qt::AlignLeft, CSortList::SortKind::Text},
    {138, Qt::AlignLeft, CSortList::SortKind::Text},
};

QFont TahomaBold(bool underline) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    font.setBold(true);
    font.setUnderline(underline);
    return font;
}

} // namespace

CMainDlg::CMainDlg(platform::Shell& shell, FileDialogs& dialogs, platform::Power& power,
                   QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowSystemMenuHint),
      shell_(shell), tools_(ToolPaths::Locate()) {
    setObjectName(QStringLiteral("102"));
    SettingsStore store;
    store.LoadSettings(settings_, catalog_);
    store.LoadCustomFormats(customGroups_);
    setWindowTitle(QStringLiteral("Quillmore"));
    setWindowIcon(MainSkin::WindowIcon());
    setFixedSize(MainSkin::kFaceSize);

    BuildControls();
    BuildSourceList();
    BuildCommands();
    formatChooser_ = new FormatChooser(*chooser_, catalog_, customGroups_, settings_, this);
    connect(formatChooser_, &FormatChooser::CustomizeRequested, this, [this] {
        if (EditCustomFormats())
            formatChooser_->RebuildGroupEntries();
        else
            formatChooser_->SelectStoredFormat();
    });
    formatChooser_->Fill();

    frontEnd_ = std::make_unique<WindowFrontEnd>(*this, shell_, power);
    controller_ =
        std::make_unique<ConversionController>(model_, catalog_, settings_, tools_, *frontEnd_);
    frontEnd_->Follow(*controller_);
    adder_ = std::make_unique<SourceAdder>(*this, dialogs);
    setAcceptDrops(true);
    new FaceDrag(*this);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    store.CheckFirstRun(shell_);
}

CMainDlg::~CMainDlg() {
    adder_.reset();      // a batch still adding works on the list too
    controller_.reset(); // it works on the list, which goes next
    model_.RemoveAllRows();
    SettingsStore().SaveSettings(kSettingsGeneralState, settings_, catalog_);
}

namespace {

CSkinButton* MakeButton(const ControlSpec& spec, QWidget* parent) {
    auto* button = new CSkinButton(parent);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    const qreal ratio = parent->devicePixelRatioF();
    switch (spec.look) {
    case Look::TextButton:
        button->setText(QCoreApplication::translate("CMainDlg", spec.text));
        button->setFont(TahomaBold(false));
        button->SetTextColors(QColor(53, 53, 53));
        button->SetTextOffset(0, -1);
        button->SetDrawBorder(false);
        button->SetFaces(MainSkin::ButtonFace(false, ratio), MainSkin::ButtonFace(true, ratio),
                         true);
        break;
    case Look::IconButton:
        button->SetDrawText(false);
        button->SetIcons(MainSkin::CaptionGlyph(spec.glyph, ratio), QIcon(), MainSkin::kGlyphSize,
                         false);
        break;
    case Look::LinkButton:
        button->setText(QUrl(QString::fromLatin1(kHomepage)).host());
        button->setFont(TahomaBold(true));
        button->SetTextColors(QColor(0, 0, 255), QColor(255, 0, 0));
        button->SetDrawBorder(false);
        button->SetPushOffset(false);
        break;
    default:
        break;
    }
    return button;
}

} // namespace

void CMainDlg::BuildControls() {
    for (const ControlSpec& spec : kControls) {
        QWidget* control = nullptr;
        if (spec.look == Look::Chooser) {
            chooser_ = new CColorCombo(this);
            chooser_->setMaxVisibleItems(22); // about 400 pixels dropped
            control = chooser_;
        } else if (spec.look == Look::List) {
            list_ = new CSortList(this);
            control = list_;
        } else {
            CSkinButton* button = MakeButton(spec, this);
            connect(button, &QPushButton::clicked, this, [this, id = spec.id] { Execute(id); });
            control = button;
        }
        control->setObjectName(QString::number(spec.id));
        control->setGeometry(spec.rect);
        if (spec.tooltip) {
            QString tooltip = tr(spec.tooltip);
            if (spec.look == Look::LinkButton)
                tooltip = tooltip.arg(QStringLiteral("Quillmore"));
            control->setToolTip(tooltip);
        }
        controls_.push_back(control);
    }
}

void CMainDlg::BuildSourceList() {
    list_->setModel(&model_);
    list_->SetSortValueRole(SourceListModel::SortValueRole);
    list_->header()->setStretchLastSection(false);
    for (int column = 0; column < SourceListModel::ColumnCount; ++column) {
        list_->header()->resizeSection(column, kColumns[column].width);
        list_->SetColumnAlignment(column, kColumns[column].alignment);
        list_->SetSortKind(column, kColumns[column].kind);
    }
    list_->installEventFilter(this);
    list_->viewport()->installEventFilter(this);
    connect(list_, &QAbstractItemView::doubleClicked, this, [this] { RunCommand(CmdPlaySource); });
    // New rows come into sight as they are added.
    connect(&model_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int, int last) { list_->scrollTo(model_.index(last, 0)); });
}

void CMainDlg::BuildCommands() {
    for (const CommandSpec& spec : kCommands) {
        auto* action = new QAction(spec.text ? tr(spec.text) : QString(), this);
        action->setObjectName(QString::number(spec.id));
        if (spec.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(spec.shortcut)));
        connect(action, &QAction::triggered, this, [this, id = spec.id] { RunCommand(id); });
        addAction(action); // the shortcut works wherever the focus is in the window
        actions_[spec.id] = action;
    }
    popup_ = BuildMenu(QStringLiteral("_POPUP_"), kPopupLayout);
    helpMenu_ = BuildMenu(QStringLiteral("_HELP_"), kHelpLayout);
    connect(popup_, &QMenu::aboutToShow, this, &CMainDlg::PreparePopupMenu);
    // Outside the menus every shortcut reaches RunCommand, which asks the rule.
    connect(popup_, &QMenu::aboutToHide, this, [this] { SetControlsEnabled(controlsEnabled_); });
}

QMenu* CMainDlg::BuildMenu(const QString& title, const std::vector<int>& layout) {
    auto* menu = new QMenu(title, this);
    for (const int entry : layout) {
        if (entry == 0)
            menu->addSeparator();
        else if (entry == kAudioStreamsEntry)
            audioStreams_ = menu->addMenu(tr("Audio &Streams"));
        else
            menu->addAction(actions_.at(entry));
    }
    return menu;
}

bool CMainDlg::CommandEnabled(int command) const {
    if (command >= kFirstAudioStreamCommand &&
        command < kFirstAudioStreamCommand + kAudioStreamCommands)
        return true;
    const CommandSpec* spec = FindCommand(command);
    switch (spec ? spec->rule : Rule::Never) {
    case Rule::Always:
        return true;
    case Rule::Selected:
        return list_->selectionModel()->hasSelection();
    case Rule::NotEmpty:
        return model_.rowCount() > 0;
    case Rule::HasOutput: {
        const int row = FocusedSelectedRow();
        return row >= 0 && !model_.Item(row)->outputPath.isEmpty();
    }
    case Rule::Never:
        return false;
    }
    return false;
}

void CMainDlg::RunCommand(int command) {
    if (controlsEnabled_ && CommandEnabled(command))
        Execute(command);
}

void CMainDlg::Execute(int command) {
    if (RunListCommand(command) || RunFileCommand(command) || RunWindowCommand(command))
        return;
    if (command >= kFirstAudioStreamCommand &&
        command < kFirstAudioStreamCommand + kAudioStreamCommands)
        ChooseAudioStream(command - kFirstAudioStreamCommand);
}

bool CMainDlg::RunListCommand(int command) {
    switch (command) {
    case CmdRemove:
        Remove();
        return true;
    case CmdRemoveAll:
        model_.RemoveAllRows();
        return true;
    case CmdMoveUp:
        MoveSelected(-1);
        return true;
    case CmdMoveDown:
        MoveSelected(1);
        return true;
    case CmdSelectedLength:
    case CmdAllLength:
        ShowTotalLength(command == CmdSelectedLength);
        return true;
    case CmdSelectAll:
        list_->selectAll();
        list_->setFocus();
        return true;
    default:
        return false;
    }
}

bool CMainDlg::RunFileCommand(int command) {
    switch (command) {
    case CmdAddFiles:
        AddFiles();
        return true;
    case CmdAddFolder:
        AddFolder();
        return true;
    case CmdAddDvd:
        AddDvd();
        return true;
    case CmdConvertSelected:
    case CmdConvertAll:
    case CmdConvertSelectedToOne:
    case CmdConvertAllToOne:
        StartConversion(command == CmdConvertSelected || command == CmdConvertSelectedToOne,
                        command == CmdConvertSelectedToOne || command == CmdConvertAllToOne);
        return true;
    case CmdPlaySource:
    case CmdPlayDestination:
    case CmdBrowseSource:
    case CmdBrowseDestination:
        OpenSourceOrOutput(command == CmdPlayDestination || command == CmdBrowseDestination,
                           command == CmdBrowseSource || command == CmdBrowseDestination);
        return true;
    default:
        return false;
    }
}

bool CMainDlg::RunWindowCommand(int command) {
    switch (command) {
    case CmdOptions:
        OpenOptions();
        break;
    case CmdHelpButton: {
        const QWidget* button = findChild<QWidget*>(QString::number(CmdHelpButton));
        helpMenu_->popup(button->mapToGlobal(button->rect().bottomLeft() + QPoint(0, 1)));
        break;
    }
    case CmdMinimize:
        showMinimized();
        break;
    case CmdClose:
        close();
        break;
    case CmdHomepage:
        OpenAddress(shell_, kHomepage);
        break;
    case CmdHelpTopics:
        ShowHelpTopics();
        break;
    case CmdTellAFriend:
        TellAFriend();
        break;
    case CmdFeedback:
        SendFeedback();
        break;
    case CmdCheckUpdates:
        CheckForUpdates();
        break;
    case CmdAbout:
        ShowAbout();
        break;
    default:
        return false;
    }
    return true;
}

std::vector<int> CMainDlg::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int CMainDlg::FocusedSelectedRow() const {
    const QModelIndex focused = list_->currentIndex();
    return focused.isValid() && list_->selectionModel()->isRowSelected(focused.row())
               ? focused.row()
               : -1;
}

void CMainDlg::Remove() {
    for (std::vector<int> rows = SelectedRows(); !rows.empty(); rows = SelectedRows())
        model_.RemoveRow(rows.front());
}

// Each selected row changes places with its neighbour, nearest first; nothing
// moves when one of them is already at the end it moves towards.
void CMainDlg::MoveSelected(int direction) {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return;
    if (direction < 0) {
        if (rows.front() == 0)
            return;
        for (const int row : rows)
            model_.moveRow(QModelIndex(), row, QModelIndex(), row - 1);
        list_->scrollTo(model_.index(rows.front() - 1, 0));
    } else {
        if (rows.back() == model_.rowCount() - 1)
            return;
        for (auto row = rows.rbegin(); row != rows.rend(); ++row)
            model_.moveRow(QModelIndex(), *row, QModelIndex(), *row + 2);
        list_->scrollTo(model_.index(rows.back() + 1, 0));
    }
}

void CMainDlg::ShowTotalLength(bool selectedOnly) {
    qint64 seconds = 0;
    if (selectedOnly) {
        for (const int row : SelectedRows())
            seconds += model_.Item(row)->duration;
    } else {
        for (int row = 0; row < model_.rowCount(); ++row)
            seconds += model_.Item(row)->duration;
    }
    ShowMessage((selectedOnly ? tr("The total length of selected files is %1.")
                              : tr("The total length of all files is %1."))
                    .arg(DurationText(seconds)));
}

void CMainDlg::OpenSourceOrOutput(bool output, bool browse) {
    const int row = FocusedSelectedRow();
    if (row < 0)
        return;
    const SourceItem& item = *model_.Item(row);
    QString path = item.path;
    if (output)
        path = item.outputPath;
    else if (item.kind == KindDvdTitle)
        path = item.dvdFolder + QString::asprintf("VTS_%02d_1.VOB", item.titleSet);
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (browse)
        shell_.ShowInFileManager(path);
    else
        shell_.Open(path);
    QApplication::restoreOverrideCursor();
}

void CMainDlg::ShowPopupMenu(const QPoint& globalPosition) {
    popup_->exec(globalPosition);
}

void CMainDlg::PreparePopupMenu() {
    FillAudioStreams(*audioStreams_);
    for (const auto& [id, action] : actions_)
        action->setEnabled(controlsEnabled_ && CommandEnabled(id));
}

void CMainDlg::FillAudioStreams(QMenu& submenu) {
    submenu.clear();
    qDeleteAll(submenu.findChildren<QActionGroup*>());
    const int row = FocusedSelectedRow();
    // Without a row the entry shows greyed, as its only item is.
    submenu.menuAction()->setEnabled(row >= 0);
    if (row < 0) {
        QAction* none = submenu.addAction(tr("None"));
        none->setObjectName(QString::number(CmdNoAudioStream));
        none->setEnabled(false);
        return;
    }
    const SourceItem& item = *model_.Item(row);
    auto* group = new QActionGroup(&submenu);
    for (int stream = 0; stream < std::min(item.AudioStreamCount(), kAudioStreamCommands);
         ++stream) {
        QStringList parts;
        if (item.audioSampleRates[stream] != 0)
            parts.append(tr("%1 Hz").arg(item.audioSampleRates[stream]));
        if (item.audioBitRates[stream] != 0)
            parts.append(tr("%1 kbps").arg(item.audioBitRates[stream]));
        if (item.audioChannels[stream] != 0)
            parts.append(ChannelLayoutName(item.audioChannels[stream]));
        QAction* choice =
            submenu.addAction(QStringLiteral("&%1: ").arg(stream + 1) + parts.join(", "));
        const int command = kFirstAudioStreamCommand + stream;
        choice->setObjectName(QString::number(command));
        choice->setCheckable(true);
        choice->setChecked(stream == item.chosenAudioStream);
        group->addAction(choice);
        connect(choice, &QAction::triggered, this, [this, command] { RunCommand(command); });
    }
}

void CMainDlg::ChooseAudioStream(int stream) {
    const int row = FocusedSelectedRow();
    SourceItem* item = model_.Item(row);
    if (!item || stream >= item->AudioStreamCount())
        return;
    item->chosenAudioStream = stream;
    model_.RefreshAudioColumns(row);
}

void CMainDlg::StartConversion(bool selectedOnly, bool convertToOne) {
    controller_->Start(formatChooser_->Selected(), selectedOnly, convertToOne);
}

void CMainDlg::ShowMessage(const QString& text) {
    QMessageBox::information(this, QStringLiteral("Quillmore"), text);
}

void CMainDlg::SetControlsEnabled(bool enabled) {
    controlsEnabled_ = enabled;
    for (QWidget* control : controls_)
        control->setEnabled(enabled);
    for (const auto& [id, action] : actions_)
        action->setEnabled(enabled);
}

void CMainDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    MainSkin::PaintFace(painter, size());
}

// Enter and Escape never close the window; only a close request does.
void CMainDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CMainDlg::closeEvent(QCloseEvent* event) {
    if (!controlsEnabled_) { // a batch runs: its progress window has Cancel
        event->ignore();
        return;
    }
    done(QDialog::Rejected);
    event->accept();
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == list_ || watched == list_->viewport()) &&
        event->type() == QEvent::ContextMenu) {
        auto* request = static_cast<QContextMenuEvent*>(event);
        ShowPopupMenu(request->reason() == QContextMenuEvent::Keyboard
                          ? list_->mapToGlobal(list_->rect().center())
                          : request->globalPos());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// Files and folders from any file manager arrive as local file addresses;
// nothing is taken while a batch runs.
void CMainDlg::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (controlsEnabled_ &&
        std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); }))
        event->acceptProposedAction();
}

void CMainDlg::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    if (!controlsEnabled_ || paths.isEmpty())
        return;
    event->acceptProposedAction();
    AddDropped(paths);
}

void CMainDlg::AddDropped(const QStringList& paths) {
    adder_->AddDropped(paths);
}

void CMainDlg::AddFiles() {
    adder_->AddFiles();
}

void CMainDlg::AddFolder() {
    adder_->AddFolder();
}

void CMainDlg::AddDvd() {
    adder_->AddDvd();
}

void CMainDlg::OpenOptions() {
    SettingsStore store;
    if (RunOptionsSheet(this, settings_, catalog_, model_, store, shell_))
        formatChooser_->SelectStoredFormat();
}

bool CMainDlg::EditCustomFormats() {
    std::optional<std::vector<CustomFormat>> edited =
        CCustomFormatDlg::Edit(this, catalog_, customGroups_);
    if (!edited)
        return false;
    customGroups_ = std::move(*edited);
    SettingsStore().SaveCustomFormats(customGroups_);
    return true;
}

// The help page opens in the browser, which keeps its own window: a second F1
// shows the page again rather than finding that window.
void CMainDlg::ShowHelpTopics() {
    if (tools_.programDir.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    shell_.Open(tools_.programDir + QStringLiteral("tessaline.html"));
    QApplication::restoreOverrideCursor();
}

void CMainDlg::TellAFriend() {
    OpenAddress(shell_, kRecommendationAddress);
}

void CMainDlg::SendFeedback() {
    OpenAddress(shell_, kSupportAddress);
}

void CMainDlg::CheckForUpdates() {
    OpenAddress(shell_, kUpdateCheckPage);
}

void CMainDlg::ShowAbout() {
    CAboutDlg about(shell_, this);
    about.exec();
}
