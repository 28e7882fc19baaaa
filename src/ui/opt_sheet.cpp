#include "ui/opt_sheet.h"

#include "app/convert_settings.h"
#include "app/format_catalog.h"
#include "app/settings_store.h"
#include "media/source_list_model.h"
#include "ui/ok_cancel_buttons.h"
#include "ui/opt_output_page.h"
#include "ui/opt_video_page.h"

#include <QKeySequence>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

COptSheet::COptSheet(ConvertSettings& settings, FormatCatalog& catalog, SettingsStore& store,
                     platform::Shell& shell, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Options"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    font.setWeight(QFont::Normal);
    setFont(font);

    tabs_ = new QTabBar(this);
    stack_ = new QStackedWidget(this);
    pages_ = {new COptOutputPage(settings, store, shell, stack_),
              new COptVideoPage(settings, catalog, stack_)};
    const QString titles[] = {tr("General"), tr("Video && Audio")};
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        tabs_->addTab(titles[i]);
        stack_->addWidget(pages_[i]);
    }
    opened_.assign(pages_.size(), false);
    connect(tabs_, &QTabBar::currentChanged, this, &COptSheet::OnTabChosen);

    // The keys a tabbed dialog answers to, for a tab strip of its own.
    for (const auto& [keys, step] :
         {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
          std::pair{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
          std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
          std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this, step = step] {
            tabs_->setCurrentIndex((tabs_->currentIndex() + step + tabs_->count()) %
                                   tabs_->count());
        });
    }

    QDialogButtonBox* buttons = MakeOkCancelButtons(this, &COptSheet::OnOk);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(stack_, 1);
    layout->addWidget(buttons);
    layout->setSpacing(0);
}

// A page is opened when it is first shown, so a page never shown keeps the
// values it was given and touches no history.
void COptSheet::showEvent(QShowEvent* event) {
    if (std::find(opened_.begin(), opened_.end(), true) == opened_.end())
        ShowPage(stack_->currentIndex());
    QDialog::showEvent(event);
}

void COptSheet::SetActivePage(int index) {
    if (index < 0 || index >= int(pages_.size()))
        index = 0;
    const QSignalBlocker quiet(tabs_);
    tabs_->setCurrentIndex(index);
    if (isVisible())
        ShowPage(index);
    else
        stack_->setCurrentIndex(index);
}

int COptSheet::ActivePage() const {
    return stack_->currentIndex();
}

void COptSheet::ShowPage(int index) {
    if (!opened_[index]) {
        opened_[index] = true;
        pages_[index]->Open();
    }
    stack_->setCurrentIndex(index);
}

void COptSheet::OnTabChosen(int index) {
    const int current = stack_->currentIndex();
    if (index == current)
        return;
    if (!pages_[current]->Leave()) {
        const QSignalBlocker quiet(tabs_);
        tabs_->setCurrentIndex(current);
        return;
    }
    ShowPage(index);
}

void COptSheet::OnOk() {
    if (!pages_[stack_->currentIndex()]->Leave())
        return;
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        if (opened_[i])
            pages_[i]->Apply();
    }
    accept();
}

bool RunOptionsSheet(QWidget* parent, ConvertSettings& settings, FormatCatalog& catalog,
                     SourceListModel& sources, SettingsStore& store, platform::Shell& shell) {
    ConvertSettings edited = settings;
    FormatCatalog editedCatalog;
    editedCatalog.CopyParametersFrom(catalog);

    COptSheet sheet(edited, editedCatalog, store, shell, parent);
    sheet.SetActivePage(settings.OptStartPageIndex);
    const bool ok = sheet.exec() == QDialog::Accepted;
    settings.OptStartPageIndex = sheet.ActivePage();
    if (!ok)
        return false;

    const int requestedStream = settings.RequestAudioIndex;
    edited.OptStartPageIndex = settings.OptStartPageIndex;
    settings = edited;
    settings.RebuildExtensionFilter();
    catalog.CopyParametersFrom(editedCatalog);
    if (settings.RequestAudioIndex != requestedStream)
        sources.ApplyRequestedAudioStream(settings.RequestAudioIndex);
    store.SaveSettings(kSettingsOptions, settings, catalog);
    return true;
}
