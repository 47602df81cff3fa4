#include "shell/ShellIcons.h"

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <QPainterPath>
#include <QRadialGradient>

namespace {
QPixmap blank(int w = 16, int h = 16) {
    QPixmap p(w, h);
    p.fill(Qt::transparent);
    return p;
}

void drawPage(QPainter& g, const QColor& fill) {
    g.setPen(QColor(60, 60, 60));
    g.setBrush(fill);
    QPolygon page({{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}});
    g.drawPolygon(page);
    g.drawLine(10, 1, 10, 4);
    g.drawLine(10, 4, 13, 4);
}

void drawScreen(QPainter& g, const QColor& trace) {
    g.setPen(QColor(40, 40, 40));
    g.setBrush(Qt::black);
    g.drawRect(1, 2, 13, 11);
    g.setPen(QPen(trace, 1));
    QPainterPath wave;
    wave.moveTo(2, 8);
    wave.cubicTo(4, 2, 6, 2, 8, 8);
    wave.cubicTo(10, 13, 12, 13, 14, 8);
    g.setBrush(Qt::NoBrush);
    g.drawPath(wave);
}

void drawPlug(QPainter& g, bool connected) {
    g.setPen(QPen(QColor(50, 50, 50), 1));
    g.setBrush(QColor(200, 200, 200));
    g.drawRect(2, 5, 5, 6);
    g.drawLine(0, 8, 2, 8);
    if (connected) {
        g.drawRect(7, 5, 5, 6);
        g.drawLine(12, 8, 15, 8);
        g.setPen(QPen(QColor(0, 140, 0), 2));
        g.drawLine(5, 14, 11, 14);
    } else {
        g.drawRect(10, 5, 5, 6);
        g.setPen(QPen(QColor(200, 0, 0), 2));
        g.drawLine(8, 3, 9, 13);
    }
}
}  // namespace

QIcon ToolbarIcon(const QString& key) {
    QPixmap p = blank();
    QPainter g(&p);
    if (key == "New") {
        drawPage(g, Qt::white);
    } else if (key == "Open") {
        g.setPen(QColor(120, 90, 0));
        g.setBrush(QColor(250, 210, 90));
        g.drawRect(1, 4, 13, 9);
        g.drawRect(1, 3, 5, 2);
    } else if (key == "Save") {
        g.setPen(QColor(20, 20, 80));
        g.setBrush(QColor(60, 80, 170));
        g.drawRect(1, 1, 13, 13);
        g.setBrush(Qt::white);
        g.drawRect(4, 1, 7, 5);
        g.drawRect(4, 9, 7, 5);
    } else if (key == "Connect") {
        drawPlug(g, true);
    } else if (key == "Disconnect") {
        drawPlug(g, false);
    } else if (key == "Controller") {
        g.setPen(QColor(60, 60, 60));
        for (int y : {3, 7, 11}) {
            g.drawLine(2, y, 13, y);
            g.setBrush(QColor(0, 120, 200));
            g.drawEllipse(QPoint(y == 7 ? 10 : 5, y), 2, 2);
        }
    } else if (key == "DataBrowser") {
        g.setPen(QColor(60, 60, 60));
        g.drawLine(3, 2, 3, 13);
        for (int y : {4, 8, 12}) {
            g.drawLine(3, y, 7, y);
            g.fillRect(8, y - 2, 6, 4, QColor(250, 210, 90));
        }
    } else if (key == "AddNewWaveform") {
        drawScreen(g, QColor(255, 255, 0));
    } else if (key == "AddNewMeasure") {
        drawPage(g, QColor(230, 240, 255));
        g.setPen(QColor(0, 0, 160));
        for (int y : {6, 9, 12}) g.drawLine(5, y, 11, y);
    } else if (key == "AddNewData") {
        drawPage(g, Qt::white);
        g.setPen(QColor(0, 120, 0));
        g.drawLine(6, 5, 6, 13);
        for (int y : {6, 9, 12}) g.drawLine(4, y, 12, y);
    } else if (key == "AddNewRecord") {
        drawScreen(g, QColor(0, 255, 255));
        g.setPen(Qt::NoPen);
        g.setBrush(QColor(220, 0, 0));
        g.drawEllipse(QPoint(12, 4), 2, 2);
    } else if (key == "AddNewMemoryWaveform") {
        drawScreen(g, QColor(0, 255, 0));
    } else if (key == "Options") {
        g.setPen(QPen(QColor(80, 80, 80), 2));
        g.setBrush(QColor(190, 190, 190));
        g.drawEllipse(QPoint(8, 8), 5, 5);
        g.setBrush(Qt::white);
        g.drawEllipse(QPoint(8, 8), 2, 2);
    }
    return QIcon(p);
}

QPixmap LedPixmap(bool connected) {
    QPixmap p = blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing, true);
    QRadialGradient grad(QPointF(6, 6), 8);
    grad.setColorAt(0, connected ? QColor(180, 255, 180) : QColor(255, 160, 160));
    grad.setColorAt(1, connected ? QColor(0, 170, 0) : QColor(150, 0, 0));
    g.setPen(QColor(40, 40, 40));
    g.setBrush(grad);
    g.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    return p;
}

QIcon DocKindIcon(int kind) {
    static const char* keys[] = {"", "DataBrowser", "Controller", "AddNewWaveform", "AddNewMeasure",
                                 "AddNewData", "AddNewRecord", "AddNewMemoryWaveform"};
    return ToolbarIcon(kind >= 1 && kind <= 7 ? keys[kind] : "");
}

QPixmap SplashLogo(const QSize& size) {
    QPixmap p(size);
    p.fill(QColor(10, 30, 60));
    QPainter g(&p);
    const int w = size.width(), h = size.height();
    // The grid lies on whole pixels and needs no smoothing; a point every few
    // pixels draws the same smooth curve. The splash is painted before the
    // main window, so its picture is kept cheap.
    g.setPen(QPen(QColor(40, 80, 120), 1, Qt::DotLine));
    for (int i = 1; i < 10; ++i) g.drawLine(i * w / 10, 0, i * w / 10, h);
    for (int i = 1; i < 8; ++i) g.drawLine(0, i * h / 8, w, i * h / 8);
    g.setRenderHint(QPainter::Antialiasing, true);
    QPolygonF wave;
    for (int x = 0; x < w + 4; x += 4) {
        const double at = std::min(x, w);
        wave << QPointF(at, h / 2 - (h / 3.0) * std::sin(at * 6.2831853 / (w / 2.0)));
    }
    g.setPen(QPen(QColor(255, 255, 0), 2));
    g.drawPolyline(wave);
    return p;
}

QIcon AppIcon() {
    static QIcon icon;
    if (!icon.isNull()) return icon;
    QIcon made;
    for (int side : {16, 32, 48}) {
        QPixmap p = blank(side, side);
        QPainter g(&p);
        g.scale(side / 16.0, side / 16.0);
        drawScreen(g, QColor(255, 255, 0));
        g.end();
        made.addPixmap(p);
    }
    icon = made;
    return icon;
}
