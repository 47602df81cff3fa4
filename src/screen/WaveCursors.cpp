#include "screen/WaveCursors.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <QSize>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "link/Formatters.h"
#include "link/ReplyParse.h"
#include "platform/mouse/MouseControl.h"
#include "screen/WaveGeometry.h"

namespace {
double halfLine(double zoom) { return 200.0 * zoom / 2 + 25; }
double bottomRow(double zoom) { return 200.0 * zoom + 25; }
double rightColumn(double zoom) { return 300.0 * zoom + 25; }

// xPair(x1, x2, top, bottom) for each shown pair of time cursors and
// yPair(y1, y2) for each shown pair of level cursors; the lower pairs only
// on a split screen.
template <typename X, typename Y>
void forShownPairs(const CursorState& s, bool split, double zoom, X xPair, Y yPair) {
    const double m = halfLine(zoom), b = bottomRow(zoom);
    if (s.XOn) {
        xPair(s.X1, s.X2, 25.0, split ? m : b);
        if (split) xPair(s.LowerX1, s.LowerX2, m, b);
    }
    if (s.YOn) {
        yPair(s.Y1, s.Y2);
        if (split) yPair(s.LowerY1, double(s.LowerY2));
    }
}

// Below `lo` gives `lo`, otherwise above `hi` gives `hi`.
double clampTo(double v, double lo, double hi) {
    if (v < lo) return lo;
    if (v > hi) return hi;
    return v;
}
}  // namespace

int16_t CursorRow(double y) {
    if (!(y == y)) return 0;
    return int16_t(Near(clampTo(y, -32768.0, 32767.0)));
}

double CursorState::Y2Value(double y) const { return WholePixelY2 ? CursorRow(y) : y; }

bool CursorHit(double cursor, double pointer) { return pointer > cursor - 3 && pointer < cursor + 3; }

// ---------------------------------------------------------------------------
// Mouse.

void CursorMouseDown(CursorState& s, bool split, double zoom, double x, double y) {
    const bool lower = split && y >= float(halfLine(zoom));
    // The first cursor of a pair wins.
    auto pick = [](double c1, double c2, double at, bool& d1, bool& d2) {
        if (CursorHit(c1, at))
            d1 = true;
        else if (CursorHit(c2, at))
            d2 = true;
    };
    if (s.XOn) {
        if (lower)
            pick(s.LowerX1, s.LowerX2, x, s.DragLowerX1, s.DragLowerX2);
        else
            pick(s.X1, s.X2, x, s.DragX1, s.DragX2);
    }
    if (s.YOn) {
        if (lower)
            pick(s.LowerY1, s.LowerY2, y, s.DragLowerY1, s.DragLowerY2);
        else
            pick(s.Y1, s.Y2, y, s.DragY1, s.DragY2);
    }
}

CursorMoveResult CursorMouseMove(CursorState& s, bool split, double zoom, double x, double y) {
    using namespace MouseControl;
    if (!s.XOn && !s.YOn) return {PointerDefault, false};
    // The picked cursor follows the raw pointer; the drawing holds it in its limits.
    auto dragX = [x](bool first, double& c1, double& c2) {
        (first ? c1 : c2) = x;
        return CursorMoveResult{PointerSizeWE, true};
    };
    auto dragY = [y](bool first, double& c1, auto& c2, auto round) {
        if (first)
            c1 = y;
        else
            c2 = round(y);
        return CursorMoveResult{PointerSizeNS, true};
    };
    if (s.DragX1 || s.DragX2) return dragX(s.DragX1, s.X1, s.X2);
    if (s.DragLowerX1 || s.DragLowerX2) return dragX(s.DragLowerX1, s.LowerX1, s.LowerX2);
    if (s.DragY1 || s.DragY2)
        return dragY(s.DragY1, s.Y1, s.Y2, [&s](double v) { return s.Y2Value(v); });
    if (s.DragLowerY1 || s.DragLowerY2)
        return dragY(s.DragLowerY1, s.LowerY1, s.LowerY2, CursorRow);
    const double m = halfLine(zoom), b = bottomRow(zoom);
    const bool overY = CursorHit(s.Y1, y) || CursorHit(s.Y2, y) ||
                       (split && (CursorHit(s.LowerY1, y) || CursorHit(s.LowerY2, y)));
    if (s.YOn && overY && x > 25 && x < rightColumn(zoom)) return {PointerSizeNS, false};
    const bool overUpperX = CursorHit(s.X1, x) || CursorHit(s.X2, x);
    const bool overLowerX = CursorHit(s.LowerX1, x) || CursorHit(s.LowerX2, x);
    if (s.XOn && !split && overUpperX && y > 25 && y < b) return {PointerSizeWE, false};
    if (s.XOn && split && overUpperX && y > 25 && y < m) return {PointerSizeWE, false};
    if (s.XOn && split && overLowerX && y > m && y < b) return {PointerSizeWE, false};
    return {PointerDefault, false};
}

void CursorMouseUp(CursorState& s) {
    s.DragX1 = s.DragX2 = s.DragY1 = s.DragY2 = false;
    s.DragLowerX1 = s.DragLowerX2 = s.DragLowerY1 = s.DragLowerY2 = false;
}

// ---------------------------------------------------------------------------
// Limits and sizes.

void ClampCursors(CursorState& s, bool split, double zoom) {
    const double xHi = 300.0 * zoom + 23, yHi = 200.0 * zoom + 23, m = halfLine(zoom);
    s.X1 = clampTo(s.X1, 27, xHi);
    s.X2 = clampTo(s.X2, 27, xHi);
    if (s.XOn && split) {
        s.LowerX1 = clampTo(s.LowerX1, 27, xHi);
        s.LowerX2 = clampTo(s.LowerX2, 27, xHi);
    }
    if (!s.YOn) return;
    if (!split) {
        s.Y1 = clampTo(s.Y1, 27, yHi);
        s.Y2 = s.Y2Value(clampTo(s.Y2, 27, yHi));
        return;
    }
    s.Y1 = clampTo(s.Y1, 27, m - 2);
    s.Y2 = s.Y2Value(clampTo(s.Y2, 27, m - 2));
    s.LowerY1 = clampTo(s.LowerY1, m + 2, yHi);
    s.LowerY2 = CursorRow(clampTo(s.LowerY2, m + 2, yHi));
    // A half less than 4 pixels high leaves one bound above the other.
    if (s.Y1 > m)
        s.Y1 = 25 * zoom + 25;
    else if (s.Y2 > m)
        s.Y2 = s.Y2Value(50 * zoom + 25);
    else if (s.LowerY1 < m)
        s.LowerY1 = 175 * zoom + 25;
    else if (s.LowerY2 < m)
        s.LowerY2 = CursorRow(m);
}

void RescaleCursors(CursorState& s, double w, double h) {
    auto along = [](double v, double prev, double now, bool& ok) {
        const double r = (v - 25) / prev * now + 25;
        ok = prev != 0 && std::isfinite(r);
        return ok ? r : v;
    };
    bool ok = false;
    for (double* x : {&s.X1, &s.X2, &s.LowerX1, &s.LowerX2}) *x = along(*x, s.PrevPicWidth, w, ok);
    s.Y1 = along(s.Y1, s.PrevPicHeight, h, ok);
    const double y2 = along(s.Y2, s.PrevPicHeight, h, ok);
    if (ok) s.Y2 = s.Y2Value(y2);
    s.LowerY1 = along(s.LowerY1, s.PrevPicHeight, h, ok);
    const double lowerY2 = along(s.LowerY2, s.PrevPicHeight, h, ok);
    if (ok) s.LowerY2 = CursorRow(lowerY2);
    s.PrevPicHeight = CursorRow(h);
    s.PrevPicWidth = w;
}

// ---------------------------------------------------------------------------
// Drawing.

namespace {
// A line whose end point is left out, as a move-to / line-to pair draws it
// (the cursors' lines are all horizontal or vertical).
void lineTo(QPainter& p, int x0, int y0, int x1, int y1) {
    const int dx = (x1 > x0) - (x1 < x0), dy = (y1 > y0) - (y1 < y0);
    if (dx == 0 && dy == 0) return;
    p.drawLine(x0, y0, x1 - dx, y1 - dy);
}

void polyline(QPainter& p, std::initializer_list<QPointF> points) {
    QPolygon poly;
    for (const QPointF& pt : points) poly << QPoint(Near(pt.x()), Near(pt.y()));
    p.drawPolyline(poly);
}

void xLine(QPainter& p, double x, double top, double bottom) {
    lineTo(p, Near(x), Near(top + 5), Near(x), Near(bottom - 5));
}
void xHandles(QPainter& p, double x, double t, double u) {
    polyline(p, {{x - 5, t}, {x + 5, t}, {x, t + 5}, {x - 5, t}});
    polyline(p, {{x - 5, u}, {x + 5, u}, {x, u - 5}, {x - 5, u}});
}
void yLine(QPainter& p, double y, double r) { lineTo(p, 30, Near(y), Near(r - 5), Near(y)); }
void yHandles(QPainter& p, double y, double r) {
    polyline(p, {{25, y - 5}, {25, y + 5}, {30, y}, {25, y - 5}});
    polyline(p, {{r, y - 5}, {r, y + 5}, {r - 5, y}, {r, y - 5}});
}
}  // namespace

void DrawCursorLines(QPainter& p, CursorState& s, bool split, double zoom, const CursorColours& c) {
    ClampCursors(s, split, zoom);
    QPen dash(c.Pen, 0, Qt::DashDotDotLine), solid(c.Pen, 0, Qt::SolidLine);
    dash.setCosmetic(true);
    solid.setCosmetic(true);
    p.setBrush(Qt::NoBrush);
    const double r = rightColumn(zoom);
    auto xPair = [&](double x1, double x2, double t, double u) {
        p.setPen(dash);
        xLine(p, x1, t, u);
        xLine(p, x2, t, u);
        p.setPen(solid);
        xHandles(p, x1, t, u);
        xHandles(p, x2, t, u);
    };
    auto yPair = [&](double y1, double y2) {
        p.setPen(dash);
        yLine(p, y1, r);
        yLine(p, y2, r);
        p.setPen(solid);
        yHandles(p, y1, r);
        yHandles(p, y2, r);
    };
    forShownPairs(s, split, zoom, xPair, yPair);
}

// ---------------------------------------------------------------------------
// Readout texts.

namespace {
// A value that is not a finite number has no text.
const QString NoValue = QStringLiteral("????");

QString twoDecimals(double v) { return FormatWithMask(v, QStringLiteral("0.00")); }

// The general number text of a value, with ".".
QString decimalText(double v) { return QString::number(v, 'g', 15); }

// A parsed scale that is not a finite number counts as 0.
double finiteOr0(double v) { return std::isfinite(v) ? v : 0.0; }
}  // namespace

QString ConvertVoltToStr(double v) {
    if (!std::isfinite(v)) return NoValue;
    if (v >= 1) return FormatWithMask(v, QStringLiteral("0.0")) + "V";
    return FormatWithMask(v * 1000, QStringLiteral("0.0")) + "mV";
}

QString ConvertTimeToStr(double v) {
    if (!std::isfinite(v)) return NoValue;
    if (v >= 1) return twoDecimals(v) + "s";
    if (v >= 0.001) return twoDecimals(v * 1000) + "ms";
    if (v >= 0.000001) return twoDecimals(v * 1e6) + "us";
    if (v >= 1e-9) return twoDecimals(v * 1e9) + "ns";
    if (v >= 1e-12) return twoDecimals(v * 1e12) + "ps";
    if (v == 0) return QStringLiteral("0.000s");
    return QString();
}

QString ConvertFreqToStr(double v) {
    if (!std::isfinite(v)) return NoValue;
    if (v >= 1e9) return twoDecimals(v / 1e9) + "GHz";
    if (v >= 1e6) return twoDecimals(v / 1e6) + "MHz";
    if (v >= 1000) return twoDecimals(v / 1000) + "KHz";
    return twoDecimals(v) + "Hz";
}

double GetTimeVlu(const QString& text) {
    // A time text read as the other reply texts are (the one reader).
    return ParseTime(text);
}

// ---------------------------------------------------------------------------
// Readout lines.

QList<ReadoutLine> CursorReadouts(const CursorState& s, const ReadoutSource& src,
                                  const ReadoutOptions& o, const CursorColours& c) {
    using Span = ReadoutSource::Span;
    QList<ReadoutLine> out;
    const double z = o.Zoom > 0 && std::isfinite(o.Zoom) ? o.Zoom : 0;
    const double r = rightColumn(z), m = halfLine(z);
    const bool split = src.Split();
    const double vFactor = split ? 2 : 1;
    // Divisions of a horizontal and a vertical distance (0 without a zoom).
    auto divX = [z](double d) { return z > 0 ? std::fabs(d) * 12 / 300 / z : 0.0; };
    auto divY = [z, vFactor](double d) { return z > 0 ? std::fabs(d) * 8 / 200 / z * vFactor : 0.0; };
    const double upperX = s.X1 - s.X2, lowerX = s.LowerX1 - s.LowerX2;
    const double upperY = s.Y1 - s.Y2, lowerY = s.LowerY1 - s.LowerY2;

    int upperRow = 5, lowerRow = 5;
    auto put = [&](bool lowerColumn, int column, const QColor& colour, const QString& text) {
        const int row = lowerColumn ? Near(m + lowerRow) : Near(upperRow + 25);
        out.append({QPoint(column, row), colour, text});
        (lowerColumn ? lowerRow : upperRow) += 20;
    };
    const int leftColumn = Near(r - 140);

    auto timeLines = [&](double d, double perDiv, bool lowerColumn) {
        const QString t = ConvertTimeToStr(divX(d) * finiteOr0(perDiv));
        const double sec = GetTimeVlu(QString(t).replace(',', '.'));
        const QString f = sec != 0 ? ConvertFreqToStr(1 / sec) : QStringLiteral("???.? Hz");
        put(lowerColumn, leftColumn, c.Time, "1/|X1-X2|=" + f);
        put(lowerColumn, leftColumn, c.Time, "|X1-X2|   =" + t);
    };
    auto voltLine = [&](double d, double perDiv, const QColor& colour, bool lowerColumn) {
        put(lowerColumn, leftColumn, colour,
            "|Y1-Y2|  =" + ConvertVoltToStr(divY(d) * finiteOr0(perDiv)));
    };
    const std::optional<ReadoutSource::FftScales> fft = src.Fft();
    auto fftLines = [&](double dx, double dy, bool lowerColumn) {
        if (s.XOn) {
            const QString v =
                fft->HzPerDiv > 0 ? FormatFreq(decimalText(divX(dx) * fft->HzPerDiv)) : NoValue;
            const QString t = "FFT|X1-X2|   =" + v;
            put(lowerColumn, Near(r - 8.0 * t.size() + 10), c.Fft, t);
        }
        if (s.YOn) {
            QString v;
            if (fft->Db)
                v = fft->DbPerDiv >= 1 ? FormatDb(decimalText(divY(dy) * fft->DbPerDiv)) + o.VrmsName
                                       : NoValue;
            else
                v = fft->VrmsPerDiv > 0 ? FormatVolt(decimalText(divY(dy) * fft->VrmsPerDiv)) + "rms"
                                        : NoValue;
            const QString t = "FFT|Y1-Y2|  =" + v;
            put(lowerColumn, Near(r - 8.0 * t.size()), c.Fft, t);
        }
    };

    if (!split && src.XYPlot()) {
        if (s.XOn)
            put(false, leftColumn, c.Ch1,
                "|X1-X2|  =" +
                    ConvertVoltToStr(divX(upperX) * finiteOr0(src.VoltsPerDiv(1).value_or(0))));
        if (s.YOn) voltLine(upperY, src.VoltsPerDiv(2).value_or(0), c.Ch2, false);
        return out;
    }
    if (split && src.TwoTimeBases()) {
        if (s.XOn) {
            if (const auto t = src.SecondsPerDiv(Span::Upper)) timeLines(upperX, *t, false);
            if (const auto t = src.SecondsPerDiv(Span::Lower)) timeLines(lowerX, *t, true);
        }
        if (s.YOn) {
            if (const auto v = src.VoltsPerDiv(1)) voltLine(upperY, *v, c.Ch1, false);
            if (const auto v = src.VoltsPerDiv(2)) voltLine(lowerY, *v, c.Ch2, true);
        }
        if (fft) {
            const bool lower = fft->LowerHalf;
            fftLines(lower ? lowerX : upperX, lower ? lowerY : upperY, lower);
        }
        return out;
    }
    // Full screen Y-T, or a screen split for the FFT (its lines from the lower pair).
    if (s.XOn)
        if (const auto t = src.SecondsPerDiv(Span::Whole)) timeLines(upperX, *t, false);
    if (s.YOn) {
        if (const auto v = src.VoltsPerDiv(1)) voltLine(upperY, *v, c.Ch1, false);
        if (const auto v = src.VoltsPerDiv(2)) voltLine(upperY, *v, c.Ch2, false);
    }
    if (fft) {
        if (split)
            fftLines(lowerX, lowerY, true);
        else
            fftLines(upperX, upperY, false);
    }
    return out;
}

void DrawReadouts(QPainter& p, const QList<ReadoutLine>& lines, const QFont& font) {
    p.setFont(font);
    const int ascent = QFontMetrics(font, p.device()).ascent();
    for (const ReadoutLine& l : lines) {
        p.setPen(l.colour);
        p.drawText(l.at.x(), l.at.y() + ascent, l.text);
    }
}

void DrawCursorOverlay(QPainter& p, CursorState& s, const ReadoutSource& src,
                       const ReadoutOptions& o, const CursorColours& c, const QFont& font) {
    DrawCursorLines(p, s, src.Split(), o.Zoom, c);
    DrawReadouts(p, CursorReadouts(s, src, o, c), font);
}

namespace {
using Piece = CursorOverlayPicture::Piece;

// The overlay's pieces (the cursors already clamped), in drawing order: the
// shown cursors (all in the pen colour), then the readout lines.
std::vector<Piece> overlayPieces(const CursorState& s, bool split, double zoom,
                                 const QList<ReadoutLine>& lines, const QColor& pen) {
    std::vector<Piece> pieces;
    const double r = rightColumn(zoom);
    auto xPair = [&](double x1, double x2, double t, double u) {
        for (double x : {x1, x2}) pieces.push_back({Piece::XCursor, x, t, u, pen, {}});
    };
    auto yPair = [&](double y1, double y2) {
        for (double y : {y1, y2}) pieces.push_back({Piece::YCursor, y, r, 0, pen, {}});
    };
    forShownPairs(s, split, zoom, xPair, yPair);
    for (const ReadoutLine& l : lines)
        pieces.push_back({Piece::Readout, double(l.at.x()), double(l.at.y()), 0, l.colour, l.text});
    return pieces;
}

// The box a piece draws in, a pixel wider on every side than its lines
// reach; a text's box from the widest glyph, with room to spare (no layout
// of the text needed).
QRect pieceBox(const Piece& k, const QFontMetrics& fm) {
    auto box = [](double l, double t, double r, double b) {
        return QRect(QPoint(Near(l) - 1, Near(t) - 1), QPoint(Near(r) + 1, Near(b) + 1));
    };
    switch (k.kind) {
        case Piece::XCursor: return box(k.a - 5, k.b, k.a + 5, k.c);
        case Piece::YCursor: return box(25, k.a - 5, k.b, k.a + 5);
        case Piece::Readout: break;
    }
    return QRect(QPoint(int(k.a), int(k.b)), QSize(int(k.text.size()) * fm.maxWidth(), fm.height()))
        .adjusted(-4, -2, 4, 2);
}

// Draws one piece as the overlay does (a cursor: dash-dot-dot line, then its
// solid handles; a readout: its text at its top-left corner).
void drawPiece(QPainter& p, const Piece& k, int ascent) {
    if (k.kind == Piece::Readout) {
        p.setPen(k.colour);
        p.drawText(int(k.a), int(k.b) + ascent, k.text);
        return;
    }
    QPen dash(k.colour, 0, Qt::DashDotDotLine), solid(k.colour, 0, Qt::SolidLine);
    dash.setCosmetic(true);
    solid.setCosmetic(true);
    p.setBrush(Qt::NoBrush);
    p.setPen(dash);
    if (k.kind == Piece::XCursor)
        xLine(p, k.a, k.b, k.c);
    else
        yLine(p, k.a, k.b);
    p.setPen(solid);
    if (k.kind == Piece::XCursor)
        xHandles(p, k.a, k.b, k.c);
    else
        yHandles(p, k.a, k.b);
}

// Writes the patch's pixels back where they were taken.
void putBack(QImage& picture, const QPoint& at, const QImage& pixels) {
    const int bytes = pixels.width() * pixels.depth() / 8;
    for (int y = 0; y < pixels.height(); ++y)
        std::memcpy(picture.scanLine(at.y() + y) + at.x() * pixels.depth() / 8, pixels.constScanLine(y),
                    size_t(bytes));
}

// A picture whose pixels take a colour as it is when the painter draws it
// opaque and unblended, one 32-bit word per pixel.
bool wordPicture(const QImage& picture) {
    const QImage::Format f = picture.format();
    return (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
            f == QImage::Format_ARGB32_Premultiplied) &&
           picture.devicePixelRatio() == 1.0;
}
}  // namespace

void CursorOverlayPicture::Remove(QImage& picture) {
    for (const Patch& p : under_)
        if (p.pixels.format() == picture.format() &&
            picture.rect().contains(QRect(p.at, p.pixels.size())))
            putBack(picture, p.at, p.pixels);
    if (!covered_.empty() && picture.size() == coveredSize_ && picture.bytesPerLine() == coveredStride_) {
        auto* words = reinterpret_cast<QRgb*>(picture.bits());
        // Last first: a pixel two pieces set gets back what was under both.
        for (auto it = covered_.rbegin(); it != covered_.rend(); ++it) words[it->at] = it->value;
    }
    under_.clear();
    covered_.clear();
}

// The kept pieces' path: each piece drawn alone onto a clear image of its
// box once, the pixels it sets kept; then each pass writes them. False
// (nothing drawn) when a piece cannot be kept, so that the painter draws.
bool CursorOverlayPicture::DrawKept(QImage& picture, const std::vector<Piece>& pieces, const QFont& font) {
    if (!wordPicture(picture)) return false;
    if (picture.size() != keptSize_ || picture.bytesPerLine() != keptStride_ ||
        picture.dotsPerMeterX() != keptDpmX_ || picture.dotsPerMeterY() != keptDpmY_ || font != keptFont_) {
        kept_.clear();
        keptSize_ = picture.size();
        keptStride_ = picture.bytesPerLine();
        keptDpmX_ = picture.dotsPerMeterX();
        keptDpmY_ = picture.dotsPerMeterY();
        keptFont_ = font;
    }
    const QRect inside = picture.rect();
    const qsizetype wordsPerLine = keptStride_ / 4;
    std::optional<QFontMetrics> fm;
    std::vector<KeptPiece> now;
    now.reserve(pieces.size());
    bool usable = true;
    for (const Piece& k : pieces) {
        auto it = std::find_if(kept_.begin(), kept_.end(), [&](const KeptPiece& e) { return e.piece == k; });
        if (it != kept_.end()) {
            usable = usable && it->usable;
            now.push_back(std::move(*it));
            kept_.erase(it);
            continue;
        }
        if (!fm) fm.emplace(font, &picture);
        KeptPiece e{k, false, {}};
        const QRect box = pieceBox(k, *fm);
        // A cursor's lines clipped by the picture's edge may be dashed otherwise: the painter draws those.
        if (k.kind == Piece::Readout || inside.contains(box)) {
            QImage alone(box.size(), QImage::Format_ARGB32_Premultiplied);
            alone.setDotsPerMeterX(keptDpmX_);
            alone.setDotsPerMeterY(keptDpmY_);
            alone.fill(Qt::transparent);
            {
                QPainter p(&alone);
                p.setRenderHint(QPainter::Antialiasing, false);
                p.setFont(font);
                p.translate(-box.topLeft());
                drawPiece(p, k, fm->ascent());
            }
            // The pixels it sets within the picture; blended ones, or any on
            // the box's rim (it may reach further), leave it to the painter.
            const int w = alone.width(), h = alone.height();
            const QRect in = box.intersected(inside).translated(-box.topLeft());
            e.usable = true;
            e.ink.reserve(size_t(w + h) * 2);
            for (int y = 0; y < h && e.usable; ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(alone.constScanLine(y));
                const bool rimRow = y == 0 || y == h - 1, inRow = y >= in.top() && y <= in.bottom();
                const qsizetype rowAt = qsizetype(box.top() + y) * wordsPerLine + box.left();
                for (int x = 0; x < w; ++x) {
                    const QRgb v = line[x];
                    if (qAlpha(v) == 0) continue;
                    if (qAlpha(v) != 255 || rimRow || x == 0 || x == w - 1) {
                        e.usable = false;
                        break;
                    }
                    if (inRow && x >= in.left() && x <= in.right()) e.ink.push_back({quint32(rowAt + x), v});
                }
            }
            if (!e.usable) e.ink.clear();
        }
        usable = usable && e.usable;
        now.push_back(std::move(e));
    }
    kept_ = std::move(now);  // only the pieces of this pass
    if (!usable) return false;
    auto* words = reinterpret_cast<QRgb*>(picture.bits());
    coveredSize_ = keptSize_;
    coveredStride_ = keptStride_;
    for (const KeptPiece& e : kept_)
        for (const Pixel& px : e.ink) {
            covered_.push_back({px.at, words[px.at]});
            words[px.at] = px.value;
        }
    return true;
}

void CursorOverlayPicture::Draw(QImage& picture, CursorState& s, const ReadoutSource& src,
                                const ReadoutOptions& o, const CursorColours& c, const QFont& font) {
    ClampCursors(s, src.Split(), o.Zoom);
    if ((!s.XOn && !s.YOn) || picture.isNull()) return;
    const QList<ReadoutLine> lines = CursorReadouts(s, src, o, c);
    const std::vector<Piece> pieces = overlayPieces(s, src.Split(), o.Zoom, lines, c.Pen);
    if (DrawKept(picture, pieces, font)) return;
    const QFontMetrics fm(font, &picture);
    for (const Piece& k : pieces) {
        const QRect in = pieceBox(k, fm).intersected(picture.rect());
        if (!in.isEmpty()) under_.push_back({in.topLeft(), picture.copy(in)});
    }
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing, false);
    DrawCursorLines(p, s, src.Split(), o.Zoom, c);
    DrawReadouts(p, lines, font);
}

void DrawForPrint(double& zoom, CursorState& cursors, bool drawNow,
                  const std::function<QSize()>& sizePicture, const std::function<void()>& redraw,
                  const std::function<void()>& output) {
    const double kept = zoom;
    zoom = 2.0;
    const QSize size = sizePicture();
    if (drawNow) {
        const CursorState shown = cursors;
        RescaleCursors(cursors, size.width(), size.height());
        redraw();
        cursors = shown;
    }
    output();
    zoom = kept;
}
