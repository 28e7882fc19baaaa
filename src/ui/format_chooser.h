#pragma once

#include "app/output_format.h"

#include <QObject>
#include <memory>
#include <vector>

class CColorCombo;
class FormatCatalog;
struct ConvertSettings;

// The output format chooser's entries and choice: first the command entry
// "Customize Output Formats", then one entry per custom group, then every
// catalogue format coloured by its category. The choice is kept in the
// settings' SelectedFormat; an id no entry has falls back to the first format.
class FormatChooser : public QObject {
    Q_OBJECT

public:
    static constexpr int kCommandEntryId = 20000;
    static constexpr int kNoChoiceFormatId = 1160; // MP3

    FormatChooser(CColorCombo& combo, FormatCatalog& catalog,
                  const std::vector<CustomFormat>& groups, ConvertSettings& settings,
                  QObject* parent = nullptr);
    ~FormatChooser() override;

    // Fills the chooser and selects the stored format.
    void Fill();
    // After the groups changed: their entries anew, then the stored format again.
    void RebuildGroupEntries();
    // Selects the entry of the stored format; without one (or on the command
    // entry) the first format entry, which becomes the choice.
    void SelectStoredFormat();

    // The chosen entry's record: a catalogue format or a group's entry.
    OutputFormat* Selected() const;

signals:
    // The command entry was chosen: the groups are to be edited, after which
    // the owner calls RebuildGroupEntries (on OK) and SelectStoredFormat.
    void CustomizeRequested();

private:
    void OnActivated(int index);
    void InsertGroupEntries();
    int FindEntry(int id) const;

    CColorCombo& combo_;
    FormatCatalog& catalog_;
    const std::vector<CustomFormat>& groups_;
    ConvertSettings& settings_;
    // The records behind the command entry and the group entries.
    OutputFormat commandEntry_;
    std::vector<std::unique_ptr<OutputFormat>> groupEntries_;
};
