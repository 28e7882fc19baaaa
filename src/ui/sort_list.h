#pragma once

#include <QTreeView>
#include <array>

// A report-style list that sorts its model's rows when a column header is
// clicked: the rows themselves move (through the model's moveRows), so the
// model's order is the order shown and selections stay with their rows. Each
// column compares by its sort kind; a column whose model gives a value in the
// sort value role is compared by value, the others by their display texts.
class CSortList : public QTreeView {
    Q_OBJECT

public:
    enum class SortKind {
        Text,      // locale-aware text comparison
        Number,    // the leading decimal number
        Size,      // the leading number times its unit: K, M, G or T (1024 based)
        DashDate,  // a-b-c, by a, then b, then c
        SlashDate, // a/b/c, by c, then a, then b
        Duration,  // h:m:s, m:s or s, as seconds
    };
    static constexpr int kMaxColumns = 100;

    explicit CSortList(QWidget* parent = nullptr);

    // Columns 0 to 99; a higher column is ignored.
    void SetSortKind(int column, SortKind kind);
    SortKind sortKind(int column) const;
    // The model role holding the values to sort by; Qt::UserRole unless set.
    void SetSortValueRole(int role) { sortValueRole_ = role; }

    // What a header click does: the current column again reverses the direction,
    // another column becomes current, ascending.
    void SortByColumn(int column);
    int currentSortColumn() const { return sortColumn_; }
    Qt::SortOrder currentSortOrder() const { return sortOrder_; }

    // Negative, 0 or positive as a sorts before, with or after b by kind.
    static int CompareTexts(SortKind kind, const QString& a, const QString& b);

private:
    int CompareCells(int column, const QModelIndex& a, const QModelIndex& b) const;
    void ArrangeRows(const std::vector<int>& order);

    std::array<SortKind, kMaxColumns> sortKinds_{};
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    int sortValueRole_ = Qt::UserRole;
};
