#include "ui/color_combo.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

constexpr int kFormatRole = Qt::UserRole;
constexpr int kTextInset = 2;

// Entries drawn by their own colours: the highlight colours when selected, the
// entry's otherwise. Text on one line, two pixels in, "&" shown as it is.
class ColorEntryDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& palette = option.palette;
        painter->save();
        painter->fillRect(option.rect, selected ? palette.highlight()
                                                : index.data(Qt::BackgroundRole).value<QColor>());
        painter->setPen(selected ? palette.color(QPalette::HighlightedText)
                                 : index.data(Qt::ForegroundRole).value<QColor>());
        painter->setFont(option.font);
        const QRect textRect = option.rect.adjusted(kTextInset, 0, -kTextInset, 0);
        const QString text = option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(),
                                                           Qt::ElideRight, textRect.width());
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.backgroundColor = palette.color(QPalette::Highlight);
            option.widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter,
                                                  option.widget);
        }
        painter->restore();
    }

    // Every entry has the same height: one line of text and a little air.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(option.fontMetrics.height() + 4);
        return size;
    }
};

} // namespace

CColorCombo::CColorCombo(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new ColorEntryDelegate(this));
}

int CColorCombo::AddEntry(const QString& text, const QColor& textColor, const QColor& background) {
    return InsertEntry(count(), text, textColor, background);
}

int CColorCombo::InsertEntry(int position, const QString& text, const QColor& textColor,
                             const QColor& background) {
    position = std::clamp(position, 0, count());
    insertItem(position, text);
    setItemData(position, textColor, Qt::ForegroundRole);
    setItemData(position, background, Qt::BackgroundRole);
    return position;
}

void CColorCombo::DeleteEntry(int position) {
    removeItem(position);
}

OutputFormat* CColorCombo::Format(int position) const {
    return static_cast<OutputFormat*>(itemData(position, kFormatRole).value<void*>());
}

void CColorCombo::SetFormat(int position, OutputFormat* format) {
    if (position >= 0 && position < count())
        setItemData(position, QVariant::fromValue(static_cast<void*>(format)), kFormatRole);
}

QColor CColorCombo::TextColor(int position) const {
    return itemData(position, Qt::ForegroundRole).value<QColor>();
}

QColor CColorCombo::BackgroundColor(int position) const {
    return itemData(position, Qt::BackgroundRole).value<QColor>();
}

void CColorCombo::SetDroppedWidth(int pixels) {
    view()->setMinimumWidth(pixels);
}

// The closed box shows the chosen entry in its own text colour, as in the list.
void CColorCombo::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QColor color = TextColor(currentIndex());
    if (color.isValid())
        option.palette.setColor(QPalette::ButtonText, color);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}
