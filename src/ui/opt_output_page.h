#pragma once

#include "ui/opt_page.h"

#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class SettingsStore;
struct ConvertSettings;
namespace platform {
class Shell;
}

// The General page (dialog 211): which files adding folders accepts, how much of
// each source is converted, which audio stream, where outputs go and what happens
// when one exists. It edits the settings it is given.
class COptOutputPage : public COptPage {
    Q_OBJECT

public:
    enum { IDD = 211 };

    COptOutputPage(ConvertSettings& settings, SettingsStore& store, platform::Shell& shell,
                   QWidget* parent = nullptr);

    void Open() override;
    bool Leave() override;
    void Apply() override;

private:
    // The four fields of a length, and the box that switches it on.
    struct LengthFields {
        QCheckBox* box = nullptr;
        std::array<QSpinBox*, 4> parts{}; // hours, minutes, seconds, milliseconds
        int ConvertSettings::*enabled;
        int ConvertSettings::*length;
    };
    struct CheckBinding {
        QCheckBox* box;
        int ConvertSettings::*member;
    };

    void BuildGeneralSection();
    void BuildLengthRows();
    void BuildOutputSection();
    void BuildOutputOptions();
    QCheckBox* AddCheck(int id, const QString& text, int ConvertSettings::*member);
    void LoadHistories();
    void ReadControls();
    bool HasEmptyField();
    void EnableLength(LengthFields& fields, bool on);
    void OnLengthClicked(LengthFields& clicked, LengthFields& other);
    void OnExtensionFilterClicked();
    void OnOutputFolderChosen();
    void OnNormalizeHelp();
    void OnBrowse();
    void OnOpenFolder();

    ConvertSettings& settings_;
    SettingsStore& store_;
    platform::Shell& shell_;
    std::vector<CheckBinding> checks_;
    QCheckBox* extensionFilter_ = nullptr;
    QComboBox* extensions_ = nullptr;
    QSpinBox* audioStream_ = nullptr;
    LengthFields skip_;
    LengthFields convert_;
    LengthFields ignore_;
    QComboBox* outputFolder_ = nullptr;
    QComboBox* specificFolder_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPushButton* openFolder_ = nullptr;
    QCheckBox* keepTree_ = nullptr;
    QLabel* treeExample_ = nullptr;
    QComboBox* targetExists_ = nullptr;
};
