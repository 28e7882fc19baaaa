#include "ui/custom_format_dlg.h"

#include "app/format_catalog.h"
#include "ui/input_name_dlg.h"
#include "ui/message_boxes.h"
#include "ui/ok_cancel_buttons.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace {

int FormatId(const QListWidgetItem* item) {
    return item->data(Qt::UserRole).toInt();
}

QPushButton* MakeButton(int id, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::number(id));
    button->setAutoDefault(false);
    return button;
}

QListWidget* MakeList(int id, QAbstractItemView::SelectionMode mode, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::number(id));
    list->setSelectionMode(mode);
    return list;
}

} // namespace

CCustomFormatDlg::CCustomFormatDlg(const FormatCatalog& catalog,
                                   const std::vector<CustomFormat>& groups, QWidget* parent)
    : QDialog(parent), catalog_(catalog), groups_(groups) {
    setObjectName(QString::number(IDD));
    setWindowTitle(tr("Customize Output Formats"));
    BuildControls();
    for (const CustomFormat& group : groups_)
        groupList_->addItem(group.name);
    add_->setEnabled(false);
    takeOut_->setEnabled(false);
    if (!groups_.empty())
        SelectGroup(0);
}

void CCustomFormatDlg::BuildControls() {
    // Made in the order the Tab key visits them.
    new_ = MakeButton(1143, tr("&New"), this);
    edit_ = MakeButton(1146, tr("&Edit"), this);
    remove_ = MakeButton(1145, tr("&Remove"), this);
    auto* groupsLabel = new QLabel(tr("&Custom Formats List:"), this);
    groupList_ = MakeList(1144, QAbstractItemView::SingleSelection, this);
    auto* availableLabel = new QLabel(tr("&Available Formats:"), this);
    available_ = MakeList(1138, QAbstractItemView::ExtendedSelection, this);
    add_ = MakeButton(1141, QStringLiteral(">>"), this);
    takeOut_ = MakeButton(1142, QStringLiteral("<<"), this);
    auto* membersLabel = new QLabel(tr("&Output Formats:"), this);
    members_ = MakeList(1139, QAbstractItemView::ExtendedSelection, this);
    QDialogButtonBox* buttons = MakeOkCancelButtons(this, &CCustomFormatDlg::OnOk);
    groupsLabel->setBuddy(groupList_);
    availableLabel->setBuddy(available_);
    membersLabel->setBuddy(members_);
    // Room for the longest format name and a good many rows.
    int widest = 0;
    for (const auto& format : catalog_.formats())
        widest = std::max(widest, fontMetrics().horizontalAdvance(format->ListText()));
    const int listWidth = widest + style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                          fontMetrics().averageCharWidth() * 4;
    for (QListWidget* list : {groupList_, available_, members_}) {
        list->setMinimumWidth(listWidth);
        list->setMinimumHeight(fontMetrics().height() * 20);
    }

    auto* groupButtons = new QHBoxLayout;
    groupButtons->addWidget(new_);
    groupButtons->addWidget(edit_);
    groupButtons->addWidget(remove_);
    auto* moveButtons = new QVBoxLayout;
    moveButtons->addStretch(1);
    moveButtons->addWidget(add_);
    moveButtons->addWidget(takeOut_);
    moveButtons->addStretch(1);
    auto* grid = new QGridLayout;
    grid->addWidget(groupsLabel, 0, 0);
    grid->addWidget(groupList_, 1, 0);
    grid->addLayout(groupButtons, 2, 0);
    grid->addWidget(availableLabel, 0, 1);
    grid->addWidget(available_, 1, 1, 2, 1);
    grid->addLayout(moveButtons, 1, 2, 2, 1);
    grid->addWidget(membersLabel, 0, 3);
    grid->addWidget(members_, 1, 3, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addWidget(buttons);
    ConnectControls();
}

void CCustomFormatDlg::ConnectControls() {
    connect(new_, &QPushButton::clicked, this, &CCustomFormatDlg::OnNew);
    connect(edit_, &QPushButton::clicked, this, &CCustomFormatDlg::OnEdit);
    connect(remove_, &QPushButton::clicked, this, &CCustomFormatDlg::OnRemove);
    connect(groupList_, &QListWidget::itemSelectionChanged, this, &CCustomFormatDlg::ShowGroup);
    connect(groupList_, &QListWidget::itemDoubleClicked, this, &CCustomFormatDlg::OnEdit);
    const auto moveIn = [this] { MoveFormats(available_, members_, add_); };
    const auto moveOut = [this] { MoveFormats(members_, available_, takeOut_); };
    connect(add_, &QPushButton::clicked, this, moveIn);
    connect(takeOut_, &QPushButton::clicked, this, moveOut);
    connect(available_, &QListWidget::itemDoubleClicked, this, moveIn);
    connect(members_, &QListWidget::itemDoubleClicked, this, moveOut);
    connect(available_, &QListWidget::itemSelectionChanged, this,
            [this] { add_->setEnabled(!available_->selectedItems().isEmpty()); });
    connect(members_, &QListWidget::itemSelectionChanged, this,
            [this] { takeOut_->setEnabled(!members_->selectedItems().isEmpty()); });
}

int CCustomFormatDlg::SelectedGroup() const {
    const QList<QListWidgetItem*> selected = groupList_->selectedItems();
    return selected.isEmpty() ? -1 : groupList_->row(selected.front());
}

void CCustomFormatDlg::SelectGroup(int index) {
    {
        const QSignalBlocker quiet(groupList_);
        groupList_->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    }
    ShowGroup();
}

// Both lists in catalogue order, whatever the order of the group's ids.
void CCustomFormatDlg::ShowGroup() {
    add_->setEnabled(false);
    takeOut_->setEnabled(false);
    available_->clear();
    members_->clear();
    const int group = SelectedGroup();
    if (group < 0)
        return;
    const std::vector<int>& ids = groups_[group].formatIds;
    for (const auto& format : catalog_.formats()) {
        const bool member = std::find(ids.begin(), ids.end(), format->id) != ids.end();
        auto* item = new QListWidgetItem(format->ListText(), member ? members_ : available_);
        item->setData(Qt::UserRole, format->id);
    }
}

void CCustomFormatDlg::MoveFormats(QListWidget* from, QListWidget* to, QPushButton* button) {
    while (!from->selectedItems().isEmpty()) {
        const QList<QListWidgetItem*> selected = from->selectedItems();
        const auto first = std::min_element(
            selected.begin(), selected.end(),
            [from](QListWidgetItem* a, QListWidgetItem* b) { return from->row(a) < from->row(b); });
        QListWidgetItem* item = from->takeItem(from->row(*first));
        int at = 0;
        while (at < to->count() && FormatId(to->item(at)) <= FormatId(item))
            ++at;
        to->insertItem(at, item);
        item->setSelected(false);
    }
    button->setEnabled(false);
    const int group = SelectedGroup();
    if (group < 0)
        return;
    std::vector<int>& ids = groups_[group].formatIds;
    ids.clear();
    for (int row = 0; row < members_->count(); ++row)
        ids.push_back(FormatId(members_->item(row)));
}

void CCustomFormatDlg::OnNew() {
    QString name;
    if (!CInputNameDlg::Ask(this, tr("Input a Name"), &name))
        return;
    groups_.push_back({name, {}});
    groupList_->addItem(name);
    SelectGroup(groupList_->count() - 1);
}

void CCustomFormatDlg::OnEdit() {
    const int group = SelectedGroup();
    if (group < 0)
        return;
    QString name = groups_[group].name;
    if (!CInputNameDlg::Ask(this, tr("Edit Name"), &name))
        return;
    groups_[group].name = name;
    groupList_->item(group)->setText(name);
    SelectGroup(group);
}

void CCustomFormatDlg::OnRemove() {
    const int group = SelectedGroup();
    if (group < 0)
        return;
    groups_.erase(groups_.begin() + group);
    {
        const QSignalBlocker quiet(groupList_);
        delete groupList_->takeItem(group);
        groupList_->clearSelection();
    }
    ShowGroup();
}

void CCustomFormatDlg::OnOk() {
    groupsOut_.clear();
    for (std::size_t i = 0; i < groups_.size(); ++i) {
        if (groups_[i].formatIds.empty()) {
            ShowWarning(
                this,
                tr("Please choose one output format at least for \"%1\".").arg(groups_[i].name));
            SelectGroup(int(i));
            return;
        }
        groupsOut_.push_back(groups_[i]);
    }
    accept();
}

std::optional<std::vector<CustomFormat>>
CCustomFormatDlg::Edit(QWidget* parent, const FormatCatalog& catalog,
                       const std::vector<CustomFormat>& groups) {
    CCustomFormatDlg dialog(catalog, groups, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Groups();
}
