#pragma once
// Colours of the instrument-screen pictures, black (colour) scheme first;
// in the white scheme every line, dot and text is black on white.
#include <QColor>

namespace WaveColors {
inline QColor Black() { return QColor(0, 0, 0); }
inline QColor White() { return QColor(255, 255, 255); }
inline QColor Grid() { return QColor(192, 192, 192); }
inline QColor Maker() { return QColor(255, 128, 0); }   // name, centre and trigger marks
inline QColor Ch1() { return QColor(255, 255, 0); }
inline QColor Ch2() { return QColor(0, 255, 255); }
inline QColor Math() { return QColor(128, 0, 255); }
inline QColor XY() { return QColor(0, 255, 0); }
inline QColor La() { return QColor(0, 255, 0); }
inline QColor LaSelected() { return QColor(255, 0, 0); }

// The colour of a scheme: `colour` in the black scheme, black in the white.
inline QColor Scheme(bool colourScheme, const QColor& colour) {
    return colourScheme ? colour : Black();
}
inline QColor Background(bool colourScheme) { return colourScheme ? Black() : White(); }
}  // namespace WaveColors
