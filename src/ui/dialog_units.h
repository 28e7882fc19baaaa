#pragma once

#include <QRect>
#include <QSize>

// Dialogs are laid out in dialog units of their font, Tahoma 8: a horizontal unit
// is a quarter of its average character width, a vertical one an eighth of its
// height, which at 96 dots per inch are 6 and 13 pixels. Qt scales the pixels on
// screens of higher density.
inline int DialogUnitsToPixelsX(int units) {
    return (units * 6 + 2) / 4;
}
inline int DialogUnitsToPixelsY(int units) {
    return (units * 13 + 4) / 8;
}
inline QSize DialogUnitsToPixels(const QSize& units) {
    return {DialogUnitsToPixelsX(units.width()), DialogUnitsToPixelsY(units.height())};
}
inline QRect DialogUnitsToPixels(const QRect& units) {
    return {DialogUnitsToPixelsX(units.x()), DialogUnitsToPixelsY(units.y()),
            DialogUnitsToPixelsX(units.width()), DialogUnitsToPixelsY(units.height())};
}
