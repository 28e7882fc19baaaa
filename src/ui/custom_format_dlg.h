#pragma once

#include "app/output_format.h"

#include <QDialog>
#include <optional>
#include <vector>

class FormatCatalog;
class QListWidget;
class QPushButton;

// Dialog 218, "Customize Output Formats": creates, renames and deletes the
// custom groups and chooses each group's formats. It edits copies of the groups.
class CCustomFormatDlg : public QDialog {
    Q_OBJECT

public:
    enum { IDD = 218 };

    CCustomFormatDlg(const FormatCatalog& catalog, const std::vector<CustomFormat>& groups,
                     QWidget* parent = nullptr);

    // The edited groups in list order; filled when OK is accepted.
    const std::vector<CustomFormat>& Groups() const { return groupsOut_; }

    // Runs the dialog on the groups; the edited groups on OK, nothing on Cancel.
    // The caller then replaces its groups, saves them and rebuilds its chooser.
    static std::optional<std::vector<CustomFormat>>
    Edit(QWidget* parent, const FormatCatalog& catalog, const std::vector<CustomFormat>& groups);

private:
    void BuildControls();
    void ConnectControls();
    int SelectedGroup() const;
    void SelectGroup(int index);
    void ShowGroup();
    void MoveFormats(QListWidget* from, QListWidget* to, QPushButton* button);
    void OnNew();
    void OnEdit();
    void OnRemove();
    void OnOk();

    const FormatCatalog& catalog_;
    std::vector<CustomFormat> groups_;
    std::vector<CustomFormat> groupsOut_;
    QPushButton* new_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* remove_ = nullptr;
    QListWidget* groupList_ = nullptr;
    QListWidget* available_ = nullptr;
    QListWidget* members_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* takeOut_ = nullptr;
};
