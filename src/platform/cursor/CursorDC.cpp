#include "platform/cursor/CursorDC.h"

#include <QPainter>

CursorColours CursorColoursFor(bool colourScheme) {
    CursorColours c;
    if (colourScheme) {
        c.Pen = QColor(230, 200, 150);
        c.Background = QColor(0, 0, 0);
        c.Ch1 = QColor(255, 255, 0);
        c.Ch2 = QColor(0, 255, 255);
        c.Time = QColor(255, 0, 255);
        c.Fft = QColor(128, 0, 255);
    } else {
        c.Pen = QColor(0, 0, 0);
        c.Background = QColor(255, 255, 255);
        c.Ch1 = c.Ch2 = c.Time = c.Fft = QColor(192, 192, 192);
    }
    return c;
}

CursorDrawResources& CursorDC() {
    static CursorDrawResources r;
    return r;
}

QPainter& CreateCursorDC(const QImage& picture, const CursorColours& colours) {
    FreeCursorDC();
    CursorDrawResources& r = CursorDC();
    r.CursorBitmap = std::make_unique<QImage>(
        picture.isNull() ? QImage(1, 1, QImage::Format_RGB32) : picture.copy());
    r.CursorMemDC = std::make_unique<QPainter>(r.CursorBitmap.get());
    r.CursorMemDC->setRenderHint(QPainter::Antialiasing, false);
    r.CursorMemDC->setBackground(colours.Background);
    r.CursorMemDC->setBackgroundMode(Qt::TransparentMode);
    QPen dash(colours.Pen, 0, Qt::DashDotDotLine);
    dash.setCosmetic(true);
    QPen solid(colours.Pen, 0, Qt::SolidLine);
    solid.setCosmetic(true);
    r.CursorDashPen = dash;
    r.CursorSolidPen = solid;
    r.Colours = colours;
    return *r.CursorMemDC;
}

QImage CopyBackCursorDC() {
    CursorDrawResources& r = CursorDC();
    if (r.CursorMemDC && r.CursorMemDC->isActive()) r.CursorMemDC->end();
    return r.CursorBitmap ? *r.CursorBitmap : QImage();
}

void FreeCursorDC() {
    CursorDrawResources& r = CursorDC();
    if (r.CursorMemDC) {
        if (r.CursorMemDC->isActive()) r.CursorMemDC->end();
        r.CursorMemDC.reset();
    }
    if (r.CursorBitmap) r.CursorBitmap.reset();
    r.CursorDashPen.reset();
    r.CursorSolidPen.reset();
}
