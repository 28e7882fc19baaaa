#include "ui/format_chooser.h"

#include "app/convert_settings.h"
#include "app/format_catalog.h"
#include "convert/custom_group_entry.h"
#include "ui/color_combo.h"

namespace {

// Entry colours, given as the red, green and blue of the chooser's palette.
const QColor kEntryBackground(255, 255, 255);
const QColor kCommandColor(0xCC, 0x00, 0xCC);
const QColor kGroupColor(0x88, 0x00, 0x88);
// Catalogue entries change colour with each new category, in this turn.
const QColor kCategoryColors[] = {QColor(0xCC, 0x00, 0xCC), QColor(0x00, 0x00, 0x00),
                                  QColor(0x00, 0x00, 0xAA), QColor(0x00, 0x66, 0x00),
                                  QColor(0x99, 0x00, 0x00)};
constexpr int kDroppedWidth = 270;

} // namespace

FormatChooser::FormatChooser(CColorCombo& combo, FormatCatalog& catalog,
                             const std::vector<CustomFormat>& groups, ConvertSettings& settings,
                             QObject* parent)
    : QObject(parent), combo_(combo), catalog_(catalog), groups_(groups), settings_(settings) {
    commandEntry_.id = kCommandEntryId;
    connect(&combo_, &QComboBox::activated, this, &FormatChooser::OnActivated);
}

FormatChooser::~FormatChooser() = default;

void FormatChooser::Fill() {
    combo_.clear();
    const int command =
        combo_.AddEntry(tr("Customize Output Formats"), kCommandColor, kEntryBackground);
    combo_.SetFormat(command, &commandEntry_);
    InsertGroupEntries();

    int category = 1;
    const OutputFormat* previous = nullptr;
    for (const auto& format : catalog_.formats()) {
        if (previous && previous->category != format->category)
            ++category;
        previous = format.get();
        const int entry =
            combo_.AddEntry(format->ChooserText(), kCategoryColors[category % 5], kEntryBackground);
        combo_.SetFormat(entry, format.get());
    }
    combo_.SetDroppedWidth(kDroppedWidth);
    SelectStoredFormat();
}

void FormatChooser::InsertGroupEntries() {
    groupEntries_.clear();
    for (int position = 0; position < static_cast<int>(groups_.size()); ++position) {
        auto entry = std::make_unique<OutputFormat>(CustomGroupEntry(groups_[position], position));
        const int index = combo_.InsertEntry(1 + position, tr(" to %1").arg(entry->displayName),
                                             kGroupColor, kEntryBackground);
        combo_.SetFormat(index, entry.get());
        groupEntries_.push_back(std::move(entry));
    }
}

void FormatChooser::RebuildGroupEntries() {
    for (int index = combo_.count() - 1; index >= 0; --index) {
        const OutputFormat* entry = combo_.Format(index);
        if (entry && entry->category == FormatCategory::CustomGroup)
            combo_.DeleteEntry(index);
    }
    InsertGroupEntries();
    SelectStoredFormat();
}

int FormatChooser::FindEntry(int id) const {
    for (int index = 0; index < combo_.count(); ++index) {
        const OutputFormat* entry = combo_.Format(index);
        if (entry && entry->id == id)
            return index;
    }
    return -1;
}

void FormatChooser::SelectStoredFormat() {
    const int index = FindEntry(settings_.SelectedFormat);
    if (index > 0) {
        combo_.setCurrentIndex(index);
        return;
    }
    combo_.setCurrentIndex(1);
    OnActivated(combo_.currentIndex());
}

OutputFormat* FormatChooser::Selected() const {
    return combo_.Format(combo_.currentIndex());
}

void FormatChooser::OnActivated(int index) {
    const OutputFormat* entry = combo_.Format(index);
    if (index < 0 || !entry) {
        settings_.SelectedFormat = kNoChoiceFormatId;
        return;
    }
    if (entry->id != kCommandEntryId) {
        settings_.SelectedFormat = entry->id;
        return;
    }
    emit CustomizeRequested();
}
