#pragma once

#include <QIcon>
#include <QPixmap>
#include <QPushButton>

// A push button that paints itself over the window's skin: a face picture or
// an icon, its own font and text colours, an optional flat one-pixel border and
// a one-pixel push while pressed. In skin mode it paints no background, so the
// parent's face shows through at any scale.
class CSkinButton : public QPushButton {
    Q_OBJECT

public:
    explicit CSkinButton(QWidget* parent = nullptr);

    // An invalid hover colour means the text colour.
    void SetTextColors(const QColor& text, const QColor& hoverText = QColor());
    void SetTextOffset(int x, int y);
    void SetDrawText(bool on);
    void SetDrawFocus(bool on);
    void SetDrawBorder(bool on);
    void SetFlat(bool on);
    void SetPushOffset(bool on);
    // Off: the background is filled with the (hover) background colour.
    void SetSkinMode(bool on);
    void SetBackgroundColors(const QColor& background, const QColor& hoverBackground);

    // Face pictures, normal and under the mouse or pressed (a null hover face:
    // the normal one). With resize the button takes the face's size plus one
    // pixel for the push offset and two for the border, each way.
    void SetFaces(const QPixmap& face, const QPixmap& hoverFace, bool resize);
    // An icon drawn centred instead of a face; the same resizing rule.
    void SetIcons(const QIcon& icon, const QIcon& hoverIcon, const QSize& size, bool resize);

    bool IsHovering() const { return hovering_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool Lit() const { return hovering_ || isDown(); }
    void ResizeTo(const QSize& content);
    QRect DrawBorder(QPainter& painter, QRect area) const;
    void DrawImage(QPainter& painter, const QRect& area) const;

    QColor textColor_;
    QColor hoverTextColor_;
    QPoint textOffset_;
    bool drawText_ = true;
    bool drawFocus_ = false;
    bool drawBorder_ = true;
    bool flat_ = true;
    bool pushOffset_ = true;
    bool skinMode_ = true;
    QColor background_;
    QColor hoverBackground_;
    QPixmap face_;
    QPixmap hoverFace_;
    QIcon icon_;
    QIcon hoverIcon_;
    QSize iconSize_;
    bool hovering_ = false;
};
