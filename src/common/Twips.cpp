#include "common/Twips.h"

#include <QGuiApplication>
#include <QScreen>

double ScreenTwipsPerPixel() {
    const QScreen* s = QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInchX() : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

int ScreenTwipsToPixels(double twips) { return static_cast<int>(twips / ScreenTwipsPerPixel() + 0.5); }
