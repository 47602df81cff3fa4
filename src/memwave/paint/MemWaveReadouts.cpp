#include "memwave/paint/MemWaveReadouts.h"

#include <cmath>

namespace {
const QString Alternation = QStringLiteral("ALTERNATION");

std::optional<double> Positive(double v) {
    if (v > 0 && std::isfinite(v)) return v;
    return std::nullopt;
}
}  // namespace

bool MemWaveReadouts::Any() const { return r_.HasCh1 || r_.HasCh2 || r_.HasLa; }

bool MemWaveReadouts::Split() const { return r_.SplitDisplay; }

bool MemWaveReadouts::TwoTimeBases() const {
    return r_.SplitDisplay && r_.TriggerMode == Alternation;
}

std::optional<double> MemWaveReadouts::SecondsPerDiv(Span span) const {
    if (!Any()) return std::nullopt;
    if (r_.SplitDisplay) {
        if (!TwoTimeBases()) return std::nullopt;  // a split screen reads only in ALTERNATION
        if (span == Span::Upper) return Positive(r_.AltCh1TimePerDiv);
        if (span == Span::Lower) return Positive(r_.AltCh2TimePerDiv);
        return std::nullopt;
    }
    return Positive(r_.TimePerDiv);
}

std::optional<double> MemWaveReadouts::VoltsPerDiv(int channel) const {
    if (!Any()) return std::nullopt;
    const float v = channel == 1 ? r_.Ch1VoltsPerDiv : r_.Ch2VoltsPerDiv;
    if (r_.SplitDisplay) {
        if (!TwoTimeBases()) return std::nullopt;
        return Positive(v);
    }
    const bool on = channel == 1 ? r_.HasCh1 : r_.HasCh2;
    if (!on) return std::nullopt;
    return std::isfinite(v) ? double(v) : 0.0;
}

CursorState MemWaveCursorDefaults() {
    CursorState s;
    s.X1 = 50;
    s.X2 = 295;
    s.Y1 = 55;
    s.Y2 = 239;
    s.LowerX1 = 74;
    s.LowerX2 = 270;
    s.LowerY1 = 162.5;
    s.LowerY2 = 254;
    s.WholePixelY2 = false;
    return s;
}

void RescaleCursorY(CursorState& s, bool newSplit, bool oldSplit) {
    if (!s.YOn || newSplit == oldSplit) return;
    if (newSplit) {
        s.Y1 = (s.Y1 - 25) / 2 + 25;
        s.Y2 = (s.Y2 - 25) / 2 + 25;
    } else {
        s.Y1 = (s.Y1 - 25) * 2 + 25;
        s.Y2 = (s.Y2 - 25) * 2 + 25;
    }
}

void DrawMemWaveCursors(QImage& picture, CursorOverlayPicture& overlay, CursorState& s,
                        const MemWaveInfo& r, double zoom, const QFont& font) {
    overlay.Remove(picture);
    ReadoutOptions ro;
    ro.Zoom = zoom;
    overlay.Draw(picture, s, MemWaveReadouts(r), ro, CursorColoursFor(r.BlackBackground), font);
}
