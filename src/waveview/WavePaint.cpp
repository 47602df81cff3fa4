#include "waveview/WavePaint.h"

#include <QFontMetrics>
#include <QLine>
#include <QPaintEngine>
#include <QPainter>
#include <QPoint>
#include <QVector>
#include <cmath>
#include <unordered_map>

#include "common/DSOSettings.h"
#include "link/Formatters.h"
#include "link/LinkState.h"
#include "link/ReplyParse.h"
#include "link/Vocabulary.h"

const char* const MakerName = "TARVO";

QFont WaveDrawOptions::DefaultWaveFont() {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(10);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

WaveDrawOptions CurrentWaveDrawOptions(double zoom) {
    WaveDrawOptions o;
    o.Zoom = zoom;
    o.OnWord = ValueWord(vwOn);
    o.ModelEU = Link().ModelEU;
    o.LiveFftDisplayWord = DSOSettings().FFTDisplay;
    o.LiveFftFullScreen = Link().SystemDataBuf[37];
    return o;
}

namespace {
const QString Alternation = QStringLiteral("ALTERNATION");

// Drawing state of one pass: the picture's fore colour, draw width and font,
// with the picture's operations rounded to whole pixels.
class Pen {
public:
    Pen(QPainter& p, const WaveDrawOptions& o) : p_(p), geo_(SafeZoom(o.Zoom)) {
        normal_ = o.Font;
        normal_.setBold(false);
        bold_ = o.Font;
        bold_.setBold(true);
        ascentNormal_ = QFontMetrics(normal_).ascent();
        ascentBold_ = QFontMetrics(bold_).ascent();
        p_.setRenderHint(QPainter::Antialiasing, false);
        p_.setRenderHint(QPainter::TextAntialiasing, false);
        // Single pixels and level runs go straight into a plain 32-bit image
        // when nothing (transform, clip, opacity, blending) could change
        // them on the way; any other device takes the painter's own path.
        if (p_.device() && p_.device()->devType() == QInternal::Image && p_.paintEngine() &&
            p_.paintEngine()->type() == QPaintEngine::Raster && p_.worldTransform().isIdentity() &&
            !p_.hasClipping() && p_.opacity() == 1.0 &&
            p_.compositionMode() == QPainter::CompositionMode_SourceOver) {
            auto* img = static_cast<QImage*>(p_.device());
            const auto f = img->format();
            if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
                f == QImage::Format_ARGB32_Premultiplied) {
                direct_ = img;
                bits_ = img->bits();
                stride_ = img->bytesPerLine();
                w_ = img->width();
                h_ = img->height();
            }
        }
        SetWidth(1);
        SetBold(false);
    }

    const WaveGeometry& Geo() const { return geo_; }
    double Z() const { return geo_.Zoom; }

    void SetFore(const QColor& c) {
        fore_ = c;
        ApplyPen();
    }
    void SetWidth(int w) {
        width_ = w;
        ApplyPen();
    }
    void SetBold(bool on) {
        bold = on;
        p_.setFont(on ? bold_ : normal_);
    }

    void Line(double x1, double y1, double x2, double y2) {
        p_.drawLine(QPoint(Near(x1), Near(y1)), QPoint(Near(x2), Near(y2)));
    }
    // A closed outline: a line to each further vertex in turn.
    void Outline(std::initializer_list<QPointF> vertices) {
        QPoint pts[8];
        int n = 0;
        for (const QPointF& v : vertices) pts[n++] = QPoint(Near(v.x()), Near(v.y()));
        p_.drawPolyline(pts, n);
    }
    // Texts are drawn once into a transparent image and reused: without
    // antialiasing the glyph pixels are the same as drawn in place.
    // Other devices (a printer's page) get the text drawn in place.
    void Text(double x, double y, const QString& s) {
        if (!direct_) {
            p_.drawText(QPoint(Near(x), Near(y) + (bold ? ascentBold_ : ascentNormal_)), s);
            return;
        }
        const QImage& img = TextImage(s);
        if (!img.isNull()) p_.drawImage(QPoint(Near(x), Near(y)), img);
    }
    void Points(const QVector<QPoint>& pts) {
        if (!direct_) {
            p_.drawPoints(pts.constData(), int(pts.size()));
            return;
        }
        const QRgb c = fore_.rgba();
        for (const QPoint& q : pts) Put(q.x(), q.y(), c);
    }
    // A path of horizontal and vertical segments only, end points included.
    void AxisPolyline(const QVector<QPoint>& pts) {
        if (!direct_ || width_ > 1) {
            if (pts.size() == 1)
                p_.drawPoints(pts.constData(), 1);
            else
                p_.drawPolyline(pts.constData(), int(pts.size()));
            return;
        }
        const QRgb c = fore_.rgba();
        const int w = w_, h = h_;
        if (pts.size() == 1) Put(pts[0].x(), pts[0].y(), c);
        for (int k = 1; k < pts.size(); ++k) {
            const QPoint a = pts[k - 1], b = pts[k];
            if (a.y() == b.y()) {
                if (a.y() < 0 || a.y() >= h) continue;
                QRgb* line = Row(a.y());
                const int x1 = std::max(0, std::min(a.x(), b.x()));
                const int x2 = std::min(w - 1, std::max(a.x(), b.x()));
                for (int x = x1; x <= x2; ++x) line[x] = c;
            } else {
                const int y1 = std::min(a.y(), b.y()), y2 = std::max(a.y(), b.y());
                for (int y = y1; y <= y2; ++y) Put(a.x(), y, c);
            }
        }
    }
    void Polyline(const QVector<QPoint>& pts) {
        if (!direct_ || width_ > 1) {
            p_.drawPolyline(pts.constData(), int(pts.size()));
            return;
        }
        const QRgb c = fore_.rgba();
        for (int k = 1; k < pts.size(); ++k) Segment(pts[k - 1], pts[k], c);
    }
    void Lines(const QVector<QLine>& lines) { p_.drawLines(lines.constData(), int(lines.size())); }
    void Dot2(double x, double y) { p_.fillRect(Near(x) - 1, Near(y) - 1, 2, 2, fore_); }
    void Fill(const QColor& c) {
        p_.fillRect(0, 0, geo_.PictureWidth(), geo_.PictureHeight(), c);
    }

    bool bold = false;

private:
    const QImage& TextImage(const QString& s) {
        struct Key {
            QString text, font;
            QRgb colour;
            bool operator==(const Key& o) const {
                return colour == o.colour && text == o.text && font == o.font;
            }
        };
        struct KeyHash {
            size_t operator()(const Key& k) const {
                return qHash(k.text) ^ (qHash(k.font) * 31) ^ k.colour;
            }
        };
        static std::unordered_map<Key, QImage, KeyHash> cache;
        const QFont& f = bold ? bold_ : normal_;
        Key key{s, f.key(), fore_.rgba()};
        auto it = cache.find(key);
        if (it != cache.end()) return it->second;
        if (cache.size() > 2000) cache.clear();
        const QFontMetrics fm(f);
        const int w = std::max(1, fm.horizontalAdvance(s) + fm.maxWidth());
        const int h = std::max(1, fm.height() + 2);
        QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        {
            QPainter tp(&img);
            tp.setRenderHint(QPainter::TextAntialiasing, false);
            tp.setFont(f);
            tp.setPen(fore_);
            tp.drawText(QPoint(0, bold ? ascentBold_ : ascentNormal_), s);
        }
        return cache.emplace(std::move(key), std::move(img)).first->second;
    }

    static double SafeZoom(double z) {
        return (std::isfinite(z) && z >= WaveGeometry::MinZoom) ? std::min(z, WaveGeometry::MaxZoom)
                                                                : WaveGeometry::MinZoom;
    }
    void ApplyPen() {
        QPen pen(fore_);
        pen.setWidth(width_ <= 1 ? 0 : width_);
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::MiterJoin);
        p_.setPen(pen);
    }

    QPainter& p_;
    WaveGeometry geo_;
    QColor fore_ = WaveColors::Black();
    int width_ = 1;
    QFont normal_, bold_;
    int ascentNormal_ = 0, ascentBold_ = 0;
    // A line with both end points, one pixel per step of its longer axis.
    void Segment(QPoint a, QPoint b, QRgb c) {
        int x0 = a.x(), y0 = a.y();
        const int x1 = b.x(), y1 = b.y();
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        if (dx > 4 * w_ || -dy > 4 * h_) {  // far outside: leave it to the painter's clipping
            p_.drawLine(a, b);
            return;
        }
        int err = dx + dy;
        for (;;) {
            Put(x0, y0, c);
            if (x0 == x1 && y0 == y1) break;
            const int e2 = 2 * err;
            if (e2 >= dy) err += dy, x0 += sx;
            if (e2 <= dx) err += dx, y0 += sy;
        }
    }
    QRgb* Row(int y) { return reinterpret_cast<QRgb*>(bits_ + qsizetype(y) * stride_); }
    void Put(int x, int y, QRgb c) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) Row(y)[x] = c;
    }

    QImage* direct_ = nullptr;
    uchar* bits_ = nullptr;
    qsizetype stride_ = 0;
    int w_ = 0, h_ = 0;
};

// ---------------------------------------------------------------------------
// Graticule.

// Points at (x0 + v, y) for v = 0, step, ... while v <= length.
void AddRow(QVector<QPoint>& pts, double y, double x0, double length, double step) {
    const int row = Near(y);
    for (double v = 0; v <= length; v += step) pts.append(QPoint(Near(x0 + v), row));
}
void AddColumn(QVector<QPoint>& pts, double x, double y0, double length, double step) {
    const int col = Near(x);
    for (double v = 0; v <= length; v += step) pts.append(QPoint(col, Near(y0 + v)));
}

void DrawGraticule(Pen& pen, const WaveInfo& w) {
    const WaveGeometry& g = pen.Geo();
    const double z = g.Zoom, W = g.Width(), H = g.Height(), R = g.Right(), B = g.Bottom();
    const double cx = g.CentreX(), cy = g.CentreY();
    const bool colour = w.ColorDisplay;

    pen.Fill(colour ? WaveColors::Black() : WaveColors::White());
    pen.SetFore(colour ? WaveColors::Grid() : WaveColors::Black());

    pen.SetWidth(2);
    pen.Line(25, 25, R, 25);
    pen.Line(25, 25, 25, B);
    pen.Line(25, B, R, B);
    pen.Line(R, B, R, 25);

    pen.SetWidth(1);
    pen.Line(25, cy, R, cy);
    pen.Line(cx, 25, cx, B);

    QVector<QPoint> pts;
    pts.reserve(4096);
    const double s = w.SplitDisplay ? 6.25 : 5;
    for (double k = 1; k <= z; k += 0.1) {
        AddRow(pts, 25 + k, 25, W, 5 * z);
        AddRow(pts, 25 + 2 * k, 25, W, 25 * z);
        AddRow(pts, cy - k, 25, W, 5 * z);
        AddRow(pts, cy - 2 * k, 25, W, 25 * z);
        AddRow(pts, cy + k, 25, W, 5 * z);
        AddRow(pts, cy + 2 * k, 25, W, 25 * z);
        AddRow(pts, B - 2 * k, 25, W, 5 * z);
        AddRow(pts, B - 3 * k, 25, W, 25 * z);
        AddColumn(pts, 25 + k, 25, H, s * z);
        AddColumn(pts, 25 + 2 * k, 25, H, 25 * z);
        AddColumn(pts, cx - k, 25, H, s * z);
        AddColumn(pts, cx - 2 * k, 25, H, 25 * z);
        AddColumn(pts, cx + k, 25, H, s * z);
        AddColumn(pts, cx + 2 * k, 25, H, 25 * z);
        AddColumn(pts, R - 2 * k, 25, H, s * z);
        AddColumn(pts, R - 3 * k, 25, H, 25 * z);
    }

    if (w.ShowGrid) {
        if (w.SplitDisplay) {
            for (double k = 1; k <= z; k += 0.1) {
                AddRow(pts, H / 4 + 25 - k, 25, W, 5 * z);
                AddRow(pts, 3 * (H / 4) + 25 + k, 25, W, 5 * z);
            }
            for (double y = 25; y <= B; y += 12.5 * z) AddRow(pts, y, 25, W, 5 * z);
            for (double x = 25; x <= R; x += 25 * z) AddColumn(pts, x, 25, H, 6.25 * z);
        } else {
            for (double y = 25; y <= B; y += 25 * z) AddRow(pts, y, 25, W, 5 * z);
            for (double x = 25; x <= R; x += 25 * z) AddColumn(pts, x, 25, H, 5 * z);
        }
    }
    pen.Points(pts);

    pen.SetFore(colour ? WaveColors::Maker() : WaveColors::Black());
    pen.SetBold(true);
    pen.Text(25, 10, QString::fromLatin1(MakerName));
    pen.SetBold(false);
}

// ---------------------------------------------------------------------------
// Markers and labels.

// Plain decimal text of a number, as the formatters read it.
QString Plain(double v) { return QString::number(v, 'g', 7); }

void FlagRight(Pen& pen, double Y) {
    pen.Outline({{6, Y}, {19, Y}, {23, Y + 5}, {19, Y + 10}, {6, Y + 10}, {6, Y}});
}

void TrigMarker(Pen& pen, double p, double T) {
    const double z = pen.Z();
    if (p > 3 && p < 296) {
        const double B = p * z + 21;
        pen.Outline({{B, T}, {B + 8, T}, {B + 8, T + 10}, {B + 4, T + 14}, {B, T + 10}, {B, T}});
        pen.SetBold(false);
        pen.Text(B + 1, T + 1, "T");
    } else if (p >= 296) {
        const double R = 300 * z + 8;
        pen.Outline({{R, T}, {R + 12, T}, {R + 16, T + 5}, {R + 12, T + 10}, {R, T + 10}, {R, T}});
        pen.SetBold(false);
        pen.Text(R + 3, T, "T");
    } else {  // p <= 3, or not a number
        pen.Outline({{42, T}, {30, T}, {26, T + 5}, {30, T + 10}, {42, T + 10}, {42, T}});
        pen.SetBold(false);
        pen.Text(33, T, "T");
    }
}

void CentreMark(Pen& pen, double T) {
    const double A = 150 * pen.Z() + 21;
    pen.Outline({{A, T}, {A + 8, T}, {A + 4, T + 4}, {A, T}});
}

// The trigger point's screen column; a time/div that reads 0 gives no
// number, which places the left arrow.
double TriggerColumn(const QString& timeScale, const QString& delay) {
    const double scale = ParseTime(timeScale);
    const double d = ParseTime(delay);
    if (scale == 0 || !std::isfinite(scale)) return std::nan("");
    return 150 - d / scale * 25;
}

void DrawChannelMark(Pen& pen, bool ch1, const QString& offsetText, const QString& scaleText,
                     const QString& trig, bool fftOn, uint8_t fftFull) {
    const double z = pen.Z();
    const bool alt = trig == Alternation;
    const bool fftSplit = fftOn && fftFull == 0;
    const double d = (alt || fftSplit) ? 2 : 1;
    const double offset = ParseVolt(offsetText);
    const double scale = ParseVolt(scaleText);
    double y = 100 - offset / scale * 25;
    const QString digit = ch1 ? "1" : "2";
    if (y > 0 && y < 200) {
        y = y / d;
        const double h = (!ch1 && alt) ? pen.Geo().HalfShift() : 0;
        const double Y = y * z + (h + 25) - 5;
        FlagRight(pen, Y);
        pen.SetBold(false);
        pen.Text(10, Y - 1, digit);
    } else if (y >= 200) {
        // Bottom of the channel's area; CH2 on a screen split for the FFT
        // lies in the upper half like its marker and trace.
        const double bottom = ch1 ? 200 / d : (alt ? 200 : (fftSplit ? 100 : 200));
        const double Y = bottom * z + 25 - 13 - 2;
        pen.Outline({{12, Y}, {22, Y}, {22, Y + 13}, {17, Y + 17}, {12, Y + 13}, {12, Y}});
        pen.SetBold(false);
        pen.Text(14, ch1 ? Y + 2 : Y + 1, digit);
    } else {  // y <= 0 or not a number
        const double top = (!ch1 && alt) ? 100 : 0;
        const double Y = top * z + 25 + 13 + 2;
        pen.Outline({{12, Y}, {22, Y}, {22, Y - 13}, {17, Y - 17}, {12, Y - 13}, {12, Y}});
        pen.SetBold(false);
        pen.Text(14, ch1 ? Y - 13 : Y - 14, digit);
    }
    pen.SetBold(true);
    if (ch1)
        pen.Text(25, 203 * z + 25, "CH1 " + scaleText);
    else
        pen.Text(75 * z + 25, 203 * z + 25, "CH2 " + scaleText);
}

void DrawMathLabel(Pen& pen, const SystemDataRecord& sd, const QString& trig, bool fftOn) {
    const double z = pen.Z();
    const double y = 100.0 - (fftOn ? sd.FFTPosition : sd.MathPosition);
    if (!(y > 0 && y < 200)) return;
    const bool alt = trig == Alternation;
    const double half = pen.Geo().HalfShift();
    double d = 1, h = 0;
    if (!fftOn) {
        if (alt) d = 2, h = half;
    } else if (alt) {
        d = 2;
        h = sd.FFTLowerHalf != 0 ? half : 0;
    } else if (sd.FFTFullScreen == 0) {
        d = 2, h = half;
    }
    const double Y = (y / d) * z + 25 - 5 + h;
    FlagRight(pen, Y);
    pen.SetBold(false);
    pen.Text(9, Y - 3, "m");
    pen.SetBold(true);
    if (sd.MathOperation == 3) {
        const QString scale =
            sd.FFTScaleDb == 0
                ? "FFT " + FormatVolt(Plain(sd.FFTVrmsPerDiv)) + "rms/div  "
                : "FFT " + FormatDb(Plain(sd.FFTDbPerDiv)) + "Vrms/div ";
        pen.Text(25, 214 * z + 25, scale);
        pen.Text(150 * z + 25, 214 * z + 25, FormatFreq(Plain(sd.FFTHzPerDiv)) + "/div");
    } else {
        QString text = "Math scale " + FormatVolt(Plain(sd.MathScale));
        if (sd.MathOperation == 2) text += "2";
        pen.Text(25, 214 * z + 25, text);
    }
}

void DrawTrigMark(Pen& pen, const QString& timeScale, const QString& delay, bool colour) {
    const double z = pen.Z();
    const double p = TriggerColumn(timeScale, delay);
    pen.SetFore(colour ? WaveColors::Maker() : WaveColors::Black());
    CentreMark(pen, 26);
    TrigMarker(pen, p, 30);
    pen.SetBold(false);
    pen.Text(200 * z + 25, 203 * z + 25, "Delay:" + delay);
    pen.SetFore(colour ? WaveColors::White() : WaveColors::Black());
    pen.SetBold(true);
    pen.Text(150 * z + 25, 203 * z + 25, timeScale);
}

void DrawAltTrigMark(Pen& pen, const WaveInfo& w, bool colour) {
    const double z = pen.Z();
    const double p1 = TriggerColumn(w.AltCh1TimeScale, w.AltCh1TimeOffset);
    const double p2 = TriggerColumn(w.AltCh2TimeScale, w.AltCh2TimeOffset);
    pen.SetFore(colour ? WaveColors::Maker() : WaveColors::Black());
    CentreMark(pen, 26);
    TrigMarker(pen, p1, 30);
    CentreMark(pen, 100 * z + 26);
    TrigMarker(pen, p2, 100 * z + 30);
    pen.SetBold(false);
    pen.SetFore(colour ? WaveColors::Ch1() : WaveColors::Black());
    pen.Text(150 * z + 25, 203 * z + 25, "Delay1: " + w.AltCh1TimeOffset);
    pen.SetBold(true);
    pen.Text(138 * z + 25, 85 * z + 25, w.AltCh1TimeScale);
    pen.SetBold(false);
    pen.SetFore(colour ? WaveColors::Ch2() : WaveColors::Black());
    pen.Text(230 * z + 25, 203 * z + 25, "Delay2: " + w.AltCh2TimeOffset);
    pen.SetBold(true);
    pen.Text(138 * z + 25, 185 * z + 25, w.AltCh2TimeScale);
}

void DrawXYLabel(Pen& pen, const WaveInfo& w) {
    const double z = pen.Z();
    const bool colour = w.ColorDisplay;
    pen.SetBold(true);
    pen.SetFore(colour ? WaveColors::XY() : WaveColors::Black());
    pen.Text(110 * z + 25, 10, "X-Y Mode");
    pen.SetFore(colour ? WaveColors::Ch1() : WaveColors::Black());
    pen.Text(25, 204 * z + 25, "CH1 " + w.Ch1Scale);
    pen.SetFore(colour ? WaveColors::Ch2() : WaveColors::Black());
    pen.Text(75 * z + 25, 204 * z + 25, "CH2 " + w.Ch2Scale);
    pen.SetBold(true);
}

// ---------------------------------------------------------------------------
// Traces.

constexpr int SampleSlots = static_cast<int>(std::tuple_size<SampleArray>::value);

// The shared polyline: a stroke joining elements i0-1 and i0 in the first
// column, then one element per step of 300/count columns while x <= xEnd.
// A count of 0 or an element past the array ends the trace there.
template <typename YMap>
void TracePolyline(Pen& pen, const SampleArray& s, int count, int i0, double x0, double xEnd,
                   YMap y, double firstEndY = std::nan("")) {
    if (count <= 0 || i0 < 1 || i0 >= SampleSlots) return;
    const double z = pen.Z();
    const double d = 300.0 / count * z;
    QVector<QPoint> pts;
    pts.reserve(int(std::min<double>(SampleSlots, (xEnd - x0) / d + 4)));
    const int xs = Near(x0);
    pts.append(QPoint(xs, Near(y(s[i0 - 1]))));
    pts.append(QPoint(xs, Near(std::isnan(firstEndY) ? y(s[i0]) : firstEndY)));
    int i = i0;
    for (double x = x0 + z; x <= xEnd; x += d) {
        if (++i >= SampleSlots) break;
        const int xi = Near(static_cast<float>(x - 0.1));
        pts.append(QPoint(xi, Near(y(s[i]))));
    }
    pen.Polyline(pts);
}

void DrawChannelWave(Pen& pen, const SampleArray& s, int count, bool ch1,
                     const SystemDataRecord& sd, const QString& trig, bool fftOn) {
    const double z = pen.Z();
    int start, end, i0;
    double base, scale;
    if (trig == Alternation) {
        start = ch1 ? sd.UpperFirstX : sd.LowerFirstX;
        end = ch1 ? sd.UpperLastX : sd.LowerLastX;
        base = ch1 ? 25 : 100 * z + 25;
        scale = z / 2;
        i0 = 2 * start + 2;
    } else {
        start = sd.TraceFirstX;
        end = sd.TraceLastX;
        base = 25;
        scale = (fftOn && sd.FFTFullScreen == 0) ? z / 2 : z;
        i0 = 2;
    }
    TracePolyline(pen, s, count, i0, Near(start * z) + 25, (end + 1) * z + 24,
                  [=](int32_t v) { return v * scale + base; });
}

void DrawMathWave(Pen& pen, const SampleArray& s, int count, const SystemDataRecord& sd,
                  const QString& trig) {
    const double z = pen.Z();
    const bool alt = trig == Alternation;
    const int start = alt ? sd.LowerFirstX : sd.TraceFirstX;
    const int end = alt ? sd.LowerLastX : sd.TraceLastX;
    const double base = alt ? 100 * z + 25 : 25;
    const double scale = alt ? z / 2 : z;
    TracePolyline(pen, s, count, 2 * start + 2, Near(start * z) + 25, (end + 1) * z + 24,
                  [=](int32_t v) { return v * scale + base; });
}

int FftSpan(int code) {
    switch (code) {
        case 1: return 5000;
        case 2: return 2500;
        case 3: return 1000;
        case 4: return 500;
        case 5: return 250;
        case 6: return 100;
        case 7: return 25;
        default: return 500;
    }
}

void DrawFFTWave(Pen& pen, const SampleArray& s, int count, const SystemDataRecord& sd,
                 const QString& trig, int modelEU) {
    const double z = pen.Z();
    const double yoff = modelEU == 0 ? 12.5 : 0;
    const double span = FftSpan(sd.FFTZoom);
    const int p = sd.FFTHorizPos;
    if ((span + 300) / 2 <= p) return;
    const int a = std::max(0, 150 - p);
    const int e = std::min(299, Near(150 - p + span / 2));
    const int i0 = std::max(2, 2 * p - 298);
    const double x0 = Near(a * z) + 25, xEnd = e * z + 24;
    if (sd.FFTFullScreen != 0) {
        TracePolyline(pen, s, count, i0, x0, xEnd, [=](int32_t v) { return v * z + 25; });
        return;
    }
    const double base = (trig == Alternation && sd.FFTLowerHalf == 0) ? 25 : 100 * z + 25;
    auto w = [=](int32_t v) { return std::min(v + yoff, 100.0); };
    const double firstEnd = (i0 < SampleSlots) ? Near(w(s[i0])) * z + base : 0;
    TracePolyline(pen, s, count, i0, x0, xEnd, [=](int32_t v) { return w(v) * z + base; },
                  firstEnd);
}

void DrawXYWave(Pen& pen, const SampleArray& xs, const SampleArray& ys, int count) {
    const double z = pen.Z();
    const int n = std::min(count, SampleSlots - 1);
    for (int i = 1; i <= n; ++i) pen.Dot2((250 - xs[i]) * z + 25, ys[i] * z + 25);
}

// ---------------------------------------------------------------------------
// Logic-analyser lines.

bool MaskBit(const SystemDataRecord& sd, int c) {
    return c >= 0 && c < 16 && ((static_cast<uint16_t>(sd.LADisplayState) >> c) & 1);
}

// Every shown logic channel in order, the selected one last in its own
// colour (all black in black and white).
template <typename F>
void ForEachLaChannel(Pen& pen, const WaveInfo& w, F each) {
    const SystemDataRecord& sd = w.SystemData;
    pen.SetFore(w.ColorDisplay ? WaveColors::La() : WaveColors::Black());
    for (int c = 0; c < 16; ++c)
        if (c != sd.LAState106 && MaskBit(sd, c)) each(c);
    if (MaskBit(sd, sd.LAState106)) {
        pen.SetFore(w.ColorDisplay ? WaveColors::LaSelected() : WaveColors::Black());
        each(sd.LAState106);
    }
}

// One logic line as a single connected path: every segment starts where the
// previous one ended, so a run of the same level costs one vertex.
class LaPath {
public:
    explicit LaPath(int reserve) { pts_.reserve(reserve); }
    void Start(int x, int y) { pts_.append(QPoint(x, y)); horizontal_ = false; }
    // A level from the current point to x.
    void Level(int x, int y) {
        if (horizontal_ && pts_.last().y() == y) {
            pts_.last().setX(x);
        } else {
            pts_.append(QPoint(x, y));
            horizontal_ = true;
        }
    }
    // An edge at the current x to the other level.
    void Edge(int y) {
        pts_.append(QPoint(pts_.last().x(), y));
        horizontal_ = false;
    }
    const QVector<QPoint>& Points() const { return pts_; }

private:
    QVector<QPoint> pts_;
    bool horizontal_ = false;
};

void DrawLaBit(Pen& pen, const std::array<int32_t, 601>& words, int c, int code, int row,
               const SystemDataRecord& sd, int last, double yoffLines) {
    const double z = pen.Z();
    const int H = Near((code - 1) * z);
    const int LO = Near(row + yoffLines);
    const int HI = Near(row + yoffLines - H);
    auto bit = [&](int i) { return (i >= 0 && i <= 600) ? (words[i] >> c) & 1 : 0; };
    auto level = [&](int b) { return b ? HI : LO; };
    LaPath path(1300);
    const double xs = sd.TraceFirstX * z + 25;
    int xp = Near(xs);
    int P, C;
    if (bit(0) == bit(1)) {
        P = C = bit(0);
        path.Start(xp, level(C));
    } else {
        if (bit(2) == 0 && bit(3) == 0)
            P = 1, C = 0;
        else
            P = 0, C = 1;
        // The edge at the start, ending on the level the line goes on with.
        path.Start(xp, level(1 - C));
        path.Edge(level(C));
    }
    int i = 1;
    const double limit = (last + 1) * z + 24;
    for (double x = xs + z; x <= limit && i + 2 <= 600;) {
        const int x1 = Near(static_cast<float>(x - 0.1));
        const int b1 = bit(i + 1), b2 = bit(i + 2);
        i += 2;
        x += 0.5 * z;
        const int x2 = Near(static_cast<float>(x - 0.1));
        x += 0.5 * z;
        // First half xp..x1, second half x1..x2. Every case ends on the
        // level of the new C, which the next pass starts from.
        if (b1 == b2) {
            path.Level(x1, level(C));
            if (C != b1) path.Edge(level(b1));
            path.Level(x2, level(b1));
            P = C = b1;
        } else if (P == C) {
            path.Level(x1, level(C));
            path.Level(x2, level(C));
            path.Edge(level(1 - C));
            C = 1 - C;
        } else {
            if (C == 1) {
                path.Level(x1, HI);
                path.Edge(LO);
            } else {
                path.Level(x1, LO);
            }
            path.Level(x2, LO);
            path.Edge(HI);
            P = 0, C = 1;
        }
        xp = x2;
    }
    pen.AxisPolyline(path.Points());
}

// An empty word is never the ON word; a word stored while the other UI
// language was active still counts.
bool IsOnWord(const WaveDrawOptions& o, const QString& word) {
    return !word.isEmpty() && (word == o.OnWord || IsOnWordOfEitherLanguage(word));
}

bool LiveFftSplit(const WaveDrawOptions& o, const QString& fftWord) {
    return IsOnWord(o, fftWord) && o.LiveFftFullScreen == 0;
}

void DrawLaWave(Pen& pen, const WaveInfo& w, const WaveDrawOptions& o) {
    const SystemDataRecord& sd = w.SystemData;
    const double z = pen.Z();
    std::array<int32_t, 601> words{};
    int n = 0;
    for (int k = 4 * sd.TraceFirstX + 1; k <= 1200 && n <= 600; k += 2, ++n) {
        if (k < 0) continue;
        words[n] = (w.LaSamples[k + 1] * 256 + w.LaSamples[k]) & 0xFFFF;
    }
    const double yoff = LiveFftSplit(o, o.LiveFftDisplayWord) ? 25 - 100 * z : 25;
    auto draw = [&](int c) {
        const int code = c < 8 ? sd.LAState107 : sd.LAState108;
        const int row = Near((sd.LARowY[c] - 25) * z);
        DrawLaBit(pen, words, c, code, row, sd, sd.TraceLastX, yoff);
    };
    ForEachLaChannel(pen, w, draw);
}

void DrawLaLabel(Pen& pen, const WaveInfo& w, const WaveDrawOptions& o) {
    const SystemDataRecord& sd = w.SystemData;
    const double z = pen.Z();
    const double yoff = LiveFftSplit(o, w.FftDisplayWord) ? 25 - 100 * z : 25;
    auto label = [&](int c) {
        pen.SetBold(false);
        const int y = Near(yoff + (sd.LARowY[c] - 25) * z - 12);
        if (c < 10) {
            pen.Text(5, y, "D" + QString::number(c));
        } else {
            pen.Text(5, y, "D");
            pen.Text(12, y, QString::number(c / 10));
            pen.Text(17, y, QString::number(c % 10));
        }
    };
    ForEachLaChannel(pen, w, label);
}

void DrawContent(Pen& pen, const WaveInfo& w, const WaveDrawOptions& o) {
    if (!w.HasData) return;
    const SystemDataRecord& sd = w.SystemData;
    const bool colour = w.ColorDisplay;
    pen.SetWidth(1);
    if (w.YTFormat || w.YTVariant) {
        const bool fftOn = IsOnWord(o, w.FftDisplayWord);
        // In black and white a split or other-format fetch draws every
        // fetched trace, whatever the screen description says is shown.
        auto shown = [&](uint8_t flag) { return flag == 1 || (!colour && w.YTVariant); };
        if (!colour) pen.SetFore(WaveColors::Black());
        if (w.Ch1Fetched) {
            if (colour) pen.SetFore(WaveColors::Ch1());
            DrawChannelMark(pen, true, w.Ch1Offset, w.Ch1Scale, w.TriggerMode, fftOn,
                            sd.FFTFullScreen);
            if (shown(sd.CH1Shown))
                DrawChannelWave(pen, w.Ch1Samples, w.PointCount, true, sd, w.TriggerMode, fftOn);
        }
        if (w.Ch2Fetched) {
            if (colour) pen.SetFore(WaveColors::Ch2());
            DrawChannelMark(pen, false, w.Ch2Offset, w.Ch2Scale, w.TriggerMode, fftOn,
                            sd.FFTFullScreen);
            if (shown(sd.CH2Shown))
                DrawChannelWave(pen, w.Ch2Samples, w.PointCount, false, sd, w.TriggerMode, fftOn);
        }
        if (w.MathFetched) {
            if (colour) pen.SetFore(WaveColors::Math());
            DrawMathLabel(pen, sd, w.TriggerMode, fftOn);
            if (fftOn) {
                if (shown(sd.FFTShown))
                    DrawFFTWave(pen, w.FftSamples, w.PointCount, sd, w.TriggerMode, o.ModelEU);
            } else if (shown(sd.MathShown)) {
                DrawMathWave(pen, w.MathSamples, w.PointCount, sd, w.TriggerMode);
            }
        }
        if (w.LaFetched) {
            DrawLaLabel(pen, w, o);
            if (shown(sd.LAShown)) DrawLaWave(pen, w, o);
        }
        if (w.TriggerMode == Alternation)
            DrawAltTrigMark(pen, w, colour);
        else
            DrawTrigMark(pen, w.TimeScale, w.TimeOffset, colour);
    } else if (w.XYFormat) {
        pen.SetFore(colour ? WaveColors::XY() : WaveColors::Black());
        DrawXYWave(pen, w.Ch1Samples, w.Ch2Samples, w.PointCount);
        DrawXYLabel(pen, w);
    }
}
}  // namespace

void DrawScrGrid(QPainter& p, const WaveInfo& w, const WaveDrawOptions& o) {
    Pen pen(p, o);
    DrawGraticule(pen, w);
}

void DrawOSC(QPainter& p, const WaveInfo& w, const WaveDrawOptions& o) {
    Pen pen(p, o);
    DrawContent(pen, w, o);
}

void PaintWaveView(QPainter& p, const WaveInfo& w, const WaveDrawOptions& o) {
    p.save();
    {
        Pen pen(p, o);
        DrawGraticule(pen, w);
        DrawContent(pen, w, o);
    }
    if (o.Overlay) {
        p.setRenderHint(QPainter::Antialiasing, false);
        o.Overlay(p, WaveGeometry(o.Zoom));
    }
    p.restore();
}

QImage RenderWaveView(const WaveInfo& w, const WaveDrawOptions& o) {
    const WaveGeometry g(o.Zoom);
    QImage img(std::max(1, g.PictureWidth()), std::max(1, g.PictureHeight()),
               QImage::Format_RGB32);
    QPainter p(&img);
    PaintWaveView(p, w, o);
    return img;
}
