#include "ui/skin_button.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

CSkinButton::CSkinButton(QWidget* parent) : QPushButton(parent) {
    textColor_ = hoverTextColor_ = palette().color(QPalette::ButtonText);
    background_ = hoverBackground_ = palette().color(QPalette::Button);
    setAttribute(Qt::WA_Hover);
}

void CSkinButton::SetTextColors(const QColor& text, const QColor& hoverText) {
    textColor_ = text;
    hoverTextColor_ = hoverText.isValid() ? hoverText : text;
    update();
}

void CSkinButton::SetTextOffset(int x, int y) {
    textOffset_ = QPoint(x, y);
    update();
}

void CSkinButton::SetDrawText(bool on) {
    drawText_ = on;
    update();
}

void CSkinButton::SetDrawFocus(bool on) {
    drawFocus_ = on;
    update();
}

void CSkinButton::SetDrawBorder(bool on) {
    drawBorder_ = on;
    update();
}

void CSkinButton::SetFlat(bool on) {
    flat_ = on;
    update();
}

void CSkinButton::SetPushOffset(bool on) {
    pushOffset_ = on;
    update();
}

void CSkinButton::SetSkinMode(bool on) {
    skinMode_ = on;
    update();
}

void CSkinButton::SetBackgroundColors(const QColor& background, const QColor& hoverBackground) {
    background_ = background;
    hoverBackground_ = hoverBackground;
    update();
}

void CSkinButton::SetFaces(const QPixmap& face, const QPixmap& hoverFace, bool resize) {
    face_ = face;
    hoverFace_ = hoverFace;
    icon_ = hoverIcon_ = QIcon();
    if (resize)
        ResizeTo(face.deviceIndependentSize().toSize());
    update();
}

void CSkinButton::SetIcons(const QIcon& icon, const QIcon& hoverIcon, const QSize& size,
                           bool resize) {
    icon_ = icon;
    hoverIcon_ = hoverIcon;
    iconSize_ = size;
    if (resize)
        ResizeTo(size);
    update();
}

void CSkinButton::ResizeTo(const QSize& content) {
    const int extra = (pushOffset_ ? 1 : 0) + (drawBorder_ ? 2 : 0);
    resize(content + QSize(extra, extra));
}

QSize CSkinButton::sizeHint() const {
    return size();
}

void CSkinButton::enterEvent(QEnterEvent* event) {
    hovering_ = true;
    update();
    QPushButton::enterEvent(event);
}

void CSkinButton::leaveEvent(QEvent* event) {
    hovering_ = false;
    update();
    QPushButton::leaveEvent(event);
}

// Flat: no line until the mouse is over it, raised under the mouse, sunken
// while pressed. The drawing area loses a pixel each side whenever the border
// is on, drawn or not.
QRect CSkinButton::DrawBorder(QPainter& painter, QRect area) const {
    if (!drawBorder_)
        return area;
    const bool pressed = isDown();
    if (!flat_ || hovering_ || pressed) {
        const QColor light = palette().color(QPalette::Light);
        const QColor dark = palette().color(QPalette::Shadow);
        const QRect edge = area;
        painter.setPen(pressed ? dark : light);
        painter.drawLine(edge.topLeft(), edge.topRight());
        painter.drawLine(edge.topLeft(), edge.bottomLeft());
        painter.setPen(pressed ? light : dark);
        painter.drawLine(edge.bottomLeft(), edge.bottomRight());
        painter.drawLine(edge.topRight(), edge.bottomRight());
    }
    return area.adjusted(1, 1, -1, -1);
}

void CSkinButton::DrawImage(QPainter& painter, const QRect& area) const {
    const bool lit = Lit() && isEnabled();
    if (!icon_.isNull()) {
        const QIcon& icon = lit && !hoverIcon_.isNull() ? hoverIcon_ : icon_;
        const QRect target(area.topLeft() + QPoint((area.width() - iconSize_.width()) / 2,
                                                   (area.height() - iconSize_.height()) / 2),
                           iconSize_);
        icon.paint(&painter, target, Qt::AlignCenter,
                   isEnabled() ? QIcon::Normal : QIcon::Disabled);
    } else if (!face_.isNull()) {
        const QPixmap& face = lit && !hoverFace_.isNull() ? hoverFace_ : face_;
        painter.drawPixmap(area.topLeft(), face);
    }
}

void CSkinButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!skinMode_)
        painter.fillRect(rect(), Lit() ? hoverBackground_ : background_);
    QRect area = DrawBorder(painter, rect());
    if (isDown() && pushOffset_)
        area.translate(1, 1);
    DrawImage(painter, area);
    if (drawText_) {
        painter.setFont(font());
        painter.setPen(!isEnabled() ? palette().color(QPalette::Disabled, QPalette::ButtonText)
                       : Lit()      ? hoverTextColor_
                                    : textColor_);
        painter.drawText(area.translated(textOffset_), Qt::AlignCenter | Qt::TextShowMnemonic,
                         text());
    }
    if (drawFocus_ && hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = area.adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}
