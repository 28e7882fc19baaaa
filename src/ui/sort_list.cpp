#include "ui/sort_list.h"

#include <QHeaderView>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace {

// The decimal number a text starts with, after blanks; 0 when it starts with
// none. Read the same in every locale. *rest is the text after the number.
double LeadingNumber(const QString& text, QString* rest = nullptr) {
    qsizetype start = 0;
    while (start < text.size() && text.at(start).isSpace())
        ++start;
    qsizetype end = start;
    if (end < text.size() && (text.at(end) == u'-' || text.at(end) == u'+'))
        ++end;
    bool point = false;
    while (end < text.size() &&
           (text.at(end).isDigit() || (text.at(end) == u'.' && !std::exchange(point, true))))
        ++end;
    if (rest)
        *rest = text.mid(end);
    bool ok = false;
    const double value = text.mid(start, end - start).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

double SizeValue(const QString& text) {
    QString rest;
    double value = LeadingNumber(text, &rest);
    rest = rest.trimmed();
    const QChar unit = rest.isEmpty() ? QChar() : rest.at(0).toUpper();
    const char* const units = "KMGT";
    for (int power = 1; power <= 4; ++power) {
        if (unit == QLatin1Char(units[power - 1]))
            return value * std::pow(1024.0, power);
    }
    return value;
}

// h:m:s, m:s or s as seconds: the first part counts 0 when negative, each part
// after a colon is held between 0 and 59.
double DurationSeconds(const QString& text) {
    const QStringList parts = text.split(u':');
    double total = std::max(0.0, LeadingNumber(parts.first()));
    for (qsizetype i = 1; i < std::min<qsizetype>(parts.size(), 3); ++i)
        total = total * 60 + std::clamp(LeadingNumber(parts[i]), 0.0, 59.0);
    return total;
}

// The three numbers of a date joined by separator; false without two separators.
bool DateParts(const QString& text, QChar separator, std::array<double, 3>* parts) {
    const QStringList pieces = text.split(separator);
    if (pieces.size() < 3)
        return false;
    for (int i = 0; i < 3; ++i)
        (*parts)[i] = LeadingNumber(pieces[i]);
    return true;
}

int CompareNumbers(double a, double b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

// Dates compare by their parts in the given order; equal when either is no date.
int CompareDates(const QString& a, const QString& b, QChar separator,
                 const std::array<int, 3>& order) {
    std::array<double, 3> first{}, second{};
    if (!DateParts(a, separator, &first) || !DateParts(b, separator, &second))
        return 0;
    for (int part : order) {
        if (const int result = CompareNumbers(first[part], second[part]))
            return result;
    }
    return 0;
}

} // namespace

CSortList::CSortList(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    connect(header(), &QHeaderView::sectionClicked, this, &CSortList::SortByColumn);
}

void CSortList::SetSortKind(int column, SortKind kind) {
    if (column >= 0 && column < kMaxColumns)
        sortKinds_[column] = kind;
}

CSortList::SortKind CSortList::sortKind(int column) const {
    return column >= 0 && column < kMaxColumns ? sortKinds_[column] : SortKind::Text;
}

int CSortList::CompareTexts(SortKind kind, const QString& a, const QString& b) {
    switch (kind) {
    case SortKind::Text:
        return QString::localeAwareCompare(a, b);
    case SortKind::Number:
        return CompareNumbers(LeadingNumber(a), LeadingNumber(b));
    case SortKind::Size:
        return CompareNumbers(SizeValue(a), SizeValue(b));
    case SortKind::DashDate:
        return CompareDates(a, b, u'-', {0, 1, 2});
    case SortKind::SlashDate:
        return CompareDates(a, b, u'/', {2, 0, 1});
    case SortKind::Duration:
        return CompareNumbers(DurationSeconds(a), DurationSeconds(b));
    }
    return 0;
}

int CSortList::CompareCells(int column, const QModelIndex& a, const QModelIndex& b) const {
    const SortKind kind = sortKind(column);
    const QVariant first = a.data(sortValueRole_);
    const QVariant second = b.data(sortValueRole_);
    if (kind != SortKind::Text && first.isValid() && second.isValid())
        return CompareNumbers(first.toDouble(), second.toDouble());
    return CompareTexts(kind, a.data().toString(), b.data().toString());
}

void CSortList::SortByColumn(int column) {
    QAbstractItemModel* rows = model();
    if (!rows || column < 0 || column >= rows->columnCount())
        return;
    if (column == sortColumn_) {
        sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    } else {
        sortColumn_ = column;
        sortOrder_ = Qt::AscendingOrder;
    }
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(sortColumn_, sortOrder_);

    std::vector<int> order(rows->rowCount());
    std::iota(order.begin(), order.end(), 0);
    const int sign = sortOrder_ == Qt::AscendingOrder ? 1 : -1;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return sign * CompareCells(column, rows->index(a, column), rows->index(b, column)) < 0;
    });
    ArrangeRows(order);
}

// Moves the rows one by one into the given order of their old positions, so
// selections and the current row travel with them.
void CSortList::ArrangeRows(const std::vector<int>& order) {
    QAbstractItemModel* rows = model();
    std::vector<int> current(order.size()); // old position of the row now at each place
    std::iota(current.begin(), current.end(), 0);
    for (int place = 0; place < static_cast<int>(order.size()); ++place) {
        const auto found = std::find(current.begin() + place, current.end(), order[place]);
        const int from = static_cast<int>(found - current.begin());
        if (from == place)
            continue;
        if (!rows->moveRow(QModelIndex(), from, QModelIndex(), place))
            return;
        std::rotate(current.begin() + place, found, found + 1);
    }
}
