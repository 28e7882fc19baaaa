#pragma once

#include "app/convert_settings.h"
#include "app/format_catalog.h"

#include <QSettings>
#include <QStringList>
#include <vector>

namespace platform {
class Shell;
}

// Groups of SaveSettings, combined as a bit set.
enum SettingsGroup : int {
    kSettingsOptions = 0x08,      // the options and every format's parameters
    kSettingsGeneralState = 0x10, // selected format, threads, priority, dialog folders
};

// Names of the recently-used lists.
inline constexpr const char* kRecentOutputFolders = "OutputFolder";
inline constexpr const char* kRecentFilterExts = "FilterExts";
inline constexpr int kMaxRecentEntries = 30;

// The per-user store of everything that survives a restart. Failures are silent:
// what cannot be read keeps its current value, what cannot be written is lost.
class SettingsStore {
public:
    SettingsStore();

    void LoadSettings(ConvertSettings& settings, FormatCatalog& catalog);
    void SaveSettings(int groups, const ConvertSettings& settings, const FormatCatalog& catalog);

    // Replaces the list with the stored groups.
    void LoadCustomFormats(std::vector<CustomFormat>& groups);
    void SaveCustomFormats(const std::vector<CustomFormat>& groups);

    // On the first start for this user: marks it done and opens the help page.
    void CheckFirstRun(platform::Shell& shell);

    // The list named kRecentOutputFolders or kRecentFilterExts, most recent first.
    // False when nothing is stored under that name.
    bool LoadRecentList(const QString& name, QStringList* entries);
    // Puts text at the top of the list (moving it when present) and stores the list.
    // An empty text changes nothing.
    void AddRecentEntry(const QString& name, const QString& text, QStringList* entries);

    // Sets one value by its stored name, from text, without storing it: a settings
    // field ("TargetExistsOpt", "OutputFormat") or a format parameter
    // ("H264VideoBitRate"; every format with that prefix). False, with a message,
    // for an unknown name or a value of the wrong kind.
    static bool SetValueByName(const QString& name, const QString& value, ConvertSettings& settings,
                               FormatCatalog& catalog, QString* message);

private:
    QSettings store_;
};

// Reads the ids of a stored group: the number at the start, then one after each
// comma, until the text ends or ends in a comma. Text without digits reads as 0.
std::vector<int> ParseFormatIds(const QString& text);
