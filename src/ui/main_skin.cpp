#include "ui/main_skin.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kTitleBandBottom = 46; // rows 1 to 46
constexpr int kLeftPanelRight = 125; // columns 1 to 125
constexpr int kPanelLine = 126;
const QColor kBandTop(55, 126, 106);
const QColor kBandBottom(39, 76, 66);
const QColor kPanelTop(218, 217, 218);
const QColor kPanelBottom(188, 187, 188);
const QColor kPanelLineColor(96, 96, 96);
const QColor kListField(227, 227, 227);

void PaintTitle(QPainter& painter) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(26);
    font.setBold(true);
    QPainterPath name;
    name.addText(QPointF(16, 33), font, QStringLiteral("Quillmore"));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(20, 44, 38), 2.5));
    painter.setBrush(Qt::white);
    painter.drawPath(name);
    painter.setPen(Qt::NoPen);
    painter.drawPath(name); // the white over the inner half of the outline
    painter.setRenderHint(QPainter::Antialiasing, false);
}

QPixmap Canvas(const QSize& size, qreal ratio) {
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

void MainSkin::PaintFace(QPainter& painter, const QSize& size) {
    const int width = size.width();
    const int height = size.height();
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::black);
    painter.fillRect(QRect(1, 1, width - 2, height - 2), kListField);

    QLinearGradient band(0, 1, 0, kTitleBandBottom);
    band.setColorAt(0, kBandTop);
    band.setColorAt(1, kBandBottom);
    painter.fillRect(QRect(1, 1, width - 2, kTitleBandBottom), band);

    const int panelTop = kTitleBandBottom + 1;
    QLinearGradient panel(0, panelTop, 0, height - 2);
    panel.setColorAt(0, kPanelTop);
    panel.setColorAt(1, kPanelBottom);
    painter.fillRect(QRect(1, panelTop, kLeftPanelRight, height - 1 - panelTop), panel);
    painter.fillRect(QRect(kPanelLine, panelTop, 1, height - 1 - panelTop), kPanelLineColor);

    // A short shadow under the band, fading into the panel and the field.
    QLinearGradient shadow(0, panelTop, 0, panelTop + 4);
    shadow.setColorAt(0, QColor(0, 0, 0, 90));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    painter.fillRect(QRect(1, panelTop, width - 2, 4), shadow);

    PaintTitle(painter);
}

QPixmap MainSkin::ButtonFace(bool lit, qreal ratio) {
    QPixmap face = Canvas(kButtonFaceSize, ratio);
    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, kButtonFaceSize.height());
    fill.setColorAt(0, lit ? QColor(255, 255, 255) : QColor(244, 244, 244));
    fill.setColorAt(1, lit ? QColor(232, 236, 234) : QColor(208, 208, 208));
    painter.setBrush(fill);
    painter.setPen(QPen(QColor(140, 140, 140), 1));
    painter.drawRoundedRect(
        QRectF(0.5, 0.5, kButtonFaceSize.width() - 1.0, kButtonFaceSize.height() - 1.0), 6, 6);
    return face;
}

QIcon MainSkin::CaptionGlyph(Glyph glyph, qreal ratio) {
    QPixmap pixmap = Canvas(kGlyphSize, ratio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    switch (glyph) {
    case Glyph::Help: {
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(14);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRect(QPoint(0, 0), kGlyphSize), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case Glyph::Minimize:
        painter.drawLine(QPointF(4, 12), QPointF(12, 12));
        break;
    case Glyph::Close:
        painter.drawLine(QPointF(4, 4), QPointF(12, 12));
        painter.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    }
    return QIcon(pixmap);
}

QIcon MainSkin::WindowIcon() {
    QIcon icon;
    for (const int side : {16, 32, 48, 64}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(kBandTop);
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(QRectF(0, 0, side, side), side / 6.0, side / 6.0);
        painter.setPen(Qt::white);
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(side * 3 / 4);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRect(0, 0, side, side), Qt::AlignCenter, QStringLiteral("Q"));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
