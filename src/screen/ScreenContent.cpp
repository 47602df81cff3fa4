#include "screen/ScreenContent.h"

#include <QPainter>

#include "link/Vocabulary.h"
#include "screen/Markers.h"

bool IsOnWordOf(const QString& word, const QString& onWord) {
    return !word.isEmpty() && (word == onWord || IsOnWordOfEitherLanguage(word));
}

void PaintScreenLayers(QPainter& p, const ScreenLayers& l) {
    p.save();
    {
        ScreenPen pen(p, l.Zoom, l.Font);
        DrawGraticule(pen, l.Style);
        l.Content(pen);
    }
    if (l.Overlay) {
        p.setRenderHint(QPainter::Antialiasing, false);
        l.Overlay(p, WaveGeometry(l.Zoom));
    }
    p.restore();
}

void PaintGraticuleLayer(QPainter& p, const ScreenLayers& l) {
    ScreenPen pen(p, l.Zoom, l.Font);
    DrawGraticule(pen, l.Style);
}

void PaintContentLayer(QPainter& p, const ScreenLayers& l) {
    ScreenPen pen(p, l.Zoom, l.Font);
    l.Content(pen);
}

QImage RenderScreenLayers(const ScreenLayers& l) {
    const WaveGeometry g(l.Zoom);
    QImage img(std::max(1, g.PictureWidth()), std::max(1, g.PictureHeight()), QImage::Format_RGB32);
    QPainter p(&img);
    PaintScreenLayers(p, l);
    return img;
}

void DrawChannelMarker(ScreenPen& pen, bool ch1, MarkPlace place, double Y, const QString& label) {
    const double z = pen.Z();
    const QString digit = ch1 ? "1" : "2";
    switch (place) {
        case MarkPlace::OnScreen:
            FlagRight(pen, Y);
            pen.SetBold(false);
            pen.Text(10, Y - 1, digit);
            break;
        case MarkPlace::Below:
            ArrowDown(pen, Y);
            pen.SetBold(false);
            pen.Text(14, ch1 ? Y + 2 : Y + 1, digit);
            break;
        case MarkPlace::Above:
            ArrowUp(pen, Y);
            pen.SetBold(false);
            pen.Text(14, ch1 ? Y - 13 : Y - 14, digit);
            break;
    }
    pen.SetBold(true);
    pen.Text(ch1 ? 25 : 75 * z + 25, 203 * z + 25, label);
}

void DrawTriggerMarkers(ScreenPen& pen, bool colour, double column) {
    pen.SetFore(colour ? WaveColors::Maker() : WaveColors::Black());
    CentreMark(pen, 26);
    TrigMarker(pen, column, 30);
}

void DrawAltTriggerMarkers(ScreenPen& pen, bool colour, double column1, double column2,
                           const QString& delay1, const QString& delay2,
                           const QString& timeScale1, const QString& timeScale2) {
    const double z = pen.Z();
    DrawTriggerMarkers(pen, colour, column1);
    CentreMark(pen, 100 * z + 26);
    TrigMarker(pen, column2, 100 * z + 30);
    const struct {
        QColor fore;
        double delayX, scaleY;
        const QString &delay, &scale;
    } halves[2] = {{WaveColors::Ch1(), 150, 85, delay1, timeScale1},
                   {WaveColors::Ch2(), 230, 185, delay2, timeScale2}};
    for (const auto& h : halves) {
        pen.SetBold(false);
        pen.SetFore(colour ? h.fore : WaveColors::Black());
        pen.Text(h.delayX * z + 25, 203 * z + 25, h.delay);
        if (h.scale.isNull()) continue;
        pen.SetBold(true);
        pen.Text(138 * z + 25, h.scaleY * z + 25, h.scale);
    }
}

void DrawXYLabels(ScreenPen& pen, bool colour, const QString& ch1, const QString& ch2) {
    const double z = pen.Z();
    pen.SetBold(true);
    pen.SetFore(colour ? WaveColors::XY() : WaveColors::Black());
    pen.Text(110 * z + 25, 10, "X-Y Mode");
    pen.SetFore(colour ? WaveColors::Ch1() : WaveColors::Black());
    pen.Text(25, 204 * z + 25, ch1);
    pen.SetFore(colour ? WaveColors::Ch2() : WaveColors::Black());
    pen.Text(75 * z + 25, 204 * z + 25, ch2);
}

bool LaChannelShown(const SystemDataRecord& sd, int c) {
    return c >= 0 && c < 16 && ((static_cast<uint16_t>(sd.LADisplayState) >> c) & 1);
}

void DrawLaLabels(ScreenPen& pen, const SystemDataRecord& sd, int current, bool colour, double base) {
    const double z = pen.Z();
    ForEachLaChannel(pen, sd, current, colour, [&](int c) {
        pen.SetBold(false);
        const int y = Near(base + (sd.LARowY[c] - 25) * z - 12);
        if (c < 10) {
            pen.Text(5, y, "D" + QString::number(c));
        } else {
            pen.Text(5, y, "D");
            pen.Text(12, y, QString::number(c / 10));
            pen.Text(17, y, QString::number(c % 10));
        }
    });
}
