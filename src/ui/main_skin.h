#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

class QPainter;

// The main window's artwork, drawn anew at any scale: the face behind the
// controls, the panels of the text buttons and the glyphs of the caption
// buttons. One place for every colour and shape of the window's look.
class MainSkin {
public:
    static constexpr QSize kFaceSize{950, 650};

    enum class Glyph { Help, Minimize, Close };

    // The window's face: black frame, green title band with the product name,
    // its shadow, the shaded left panel, the dark line and the list's field.
    static void PaintFace(QPainter& painter, const QSize& size);

    // The 106 x 26 panel of a text button; lit is the one under the mouse.
    // ratio is the screen's device pixel ratio, so the panel stays sharp.
    static QPixmap ButtonFace(bool lit, qreal ratio);
    static constexpr QSize kButtonFaceSize{106, 26};

    // The 16 x 16 glyph of a caption button.
    static QIcon CaptionGlyph(Glyph glyph, qreal ratio);
    static constexpr QSize kGlyphSize{16, 16};

    // The window's icon, drawn at the usual sizes.
    static QIcon WindowIcon();
};
