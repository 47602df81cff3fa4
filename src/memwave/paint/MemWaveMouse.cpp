#include "memwave/paint/MemWaveMouse.h"

#include <algorithm>
#include <cmath>

#include "screen/WaveGeometry.h"

namespace {
const QString Alternation = QStringLiteral("ALTERNATION");

bool Alt(const MemWaveInfo& r) { return r.TriggerMode == Alternation; }

bool Inside(double v, double lo, double hi) { return v >= lo && v <= hi; }
}  // namespace

bool IsBetween(int v, int a, int b) { return (v >= a && v <= b) || (v >= b && v <= a); }

bool HitTestTrace(const MemWaveInfo& r, int selector, int row,
                  const std::array<int16_t, MemWaveScreenPoints>& s, int column, int first,
                  int last, uint8_t* hitRow) {
    if (column < first || column > last) return false;
    const int j = 2 * (column - first);
    const bool alt = Alt(r);
    auto valid = [](int i) { return i >= 0 && i < MemWaveScreenPoints; };
    for (int ch = 0; ch < (selector == 2 ? 16 : 1); ++ch) {
        auto level = [&](int i) -> double {
            if (selector == 2)
                return r.ScreenData.LARowY[ch] - 10 * ((s[i] >> ch) & 1) - 25;
            const double d = alt ? 2 : 1;
            const double base = (alt && selector == 1) ? 100 : 0;
            return base + s[i] / d;
        };
        auto near = [&](int i) { return valid(i) && std::fabs(row - level(i)) < 3; };
        auto nearRounded = [&](int i) { return valid(i) && std::abs(row - Near(level(i))) < 3; };
        auto between = [&](int a, int b) {
            return valid(a) && valid(b) && IsBetween(row, Near(level(a)), Near(level(b)));
        };
        bool hit = near(j) || nearRounded(j + 1);
        if (!hit && column + 1 <= last)
            hit = near(j + 2) || nearRounded(j + 3) || between(j + 2, j);
        if (!hit) {
            if (column - 1 < first) {
                if (selector != 2) return false;
                continue;
            }
            hit = near(j - 2) || nearRounded(j - 1) || between(j - 1, j + 1);
        }
        if (hit) {
            if (selector == 2 && hitRow) *hitRow = static_cast<uint8_t>(ch);
            return true;
        }
    }
    return false;
}

void HitTestChannels(MemWaveMouse& m, const MemWaveInfo& r, double zoom, double x, double y) {
    m.OverCh1 = m.OverCh2 = m.OverLa = false;
    const int row = Near((y - 25) / zoom), column = Near((x - 25) / zoom);
    const SystemDataRecord& sd = r.ScreenData;
    const bool alt = Alt(r);
    if (r.HasCh1) {
        m.OverCh1 = HitTestTrace(r, 0, row, r.Ch1Screen, column,
                                 alt ? sd.UpperFirstX : sd.TraceFirstX,
                                 alt ? sd.UpperLastX : sd.TraceLastX);
        if (m.OverCh1) return;
    }
    if (r.HasCh2) {
        m.OverCh2 = HitTestTrace(r, 1, row, r.Ch2Screen, column,
                                 alt ? sd.LowerFirstX : sd.TraceFirstX,
                                 alt ? sd.LowerLastX : sd.TraceLastX);
        if (m.OverCh2) return;
    }
    // The logic points belong to the logic window's columns, where they are drawn.
    if (r.HasLa)
        m.OverLa = HitTestTrace(r, 2, row, r.LaScreen, column, sd.LAFirstX, sd.LALastX, &m.HitLaRow);
}

MemWaveMouseResult MemWaveMouseDown(MemWaveMouse& m, CursorState& c, MemWaveInfo& r, double zoom,
                                    double x, double y) {
    MemWaveMouseResult out;
    CursorMouseDown(c, r.SplitDisplay, zoom, x, y);
    const bool alt = Alt(r);
    auto start = [&](bool ch1) {
        (ch1 ? m.DragCh1 : m.DragCh2) = true;
        if (ch1)
            m.PressCh1Offset = r.Ch1OffsetVolts;
        else
            m.PressCh2Offset = r.Ch2OffsetVolts;
        m.PressDelay = alt ? (ch1 ? r.AltCh1DelayTime : r.AltCh2DelayTime) : r.DelayTime;
        m.PressX = x;
        m.PressY = y;
        out.pointer = PointerClosedHand;
    };
    if (m.OverCh1) {
        start(true);
    } else if (m.OverCh2) {
        start(false);
    } else if (m.OverLa && !r.SplitDisplay) {
        m.DragLa = true;
        m.PressDelay = r.DelayTime;
        m.PressX = x;
        m.PressY = y;
        out.pointer = PointerClosedHand;
    }
    return out;
}

namespace {
MemWaveMouseResult Hover(MemWaveMouse& m, const MemWaveInfo& r, double zoom, double x, double y) {
    MemWaveMouseResult out;
    const WaveGeometry g(zoom);
    if (Inside(x, 25, g.Right()) && Inside(y, 25, g.Bottom())) {
        HitTestChannels(m, r, zoom, x, y);
        out.pointer = (m.OverCh1 || m.OverCh2 || m.OverLa) ? PointerOpenHand : PointerArrow;
    } else {
        out.pointer = PointerArrow;
    }
    return out;
}
}  // namespace

MemWaveMouseResult MemWaveMouseMove(MemWaveMouse& m, CursorState& c, MemWaveInfo& r, double zoom,
                                    double x, double y) {
    const WaveGeometry g(zoom);
    const double Z = zoom;
    if (!m.TraceDrag()) {
        if (c.XOn || c.YOn) {
            const CursorMoveResult cm = CursorMouseMove(c, r.SplitDisplay, zoom, x, y);
            if (cm.redraw || cm.shape != 0 || c.Dragging()) {
                MemWaveMouseResult out;
                out.pointer = cm.shape;
                out.redraw = cm.redraw;
                return out;
            }
        }
        return Hover(m, r, zoom, x, y);
    }
    MemWaveMouseResult out;
    out.modified = true;
    out.redraw = true;
    const bool alt = Alt(r);
    const bool inX = Inside(x, 25, g.Right());
    const double dx = (x - m.PressX) / Z, dy = (y - m.PressY) / Z;
    if (m.DragCh1 || m.DragCh2) {
        const bool ch1 = m.DragCh1;
        float& offset = ch1 ? r.Ch1OffsetVolts : r.Ch2OffsetVolts;
        const double voltsDiv = ch1 ? r.Ch1VoltsPerDiv : r.Ch2VoltsPerDiv;
        const double pressOffset = ch1 ? m.PressCh1Offset : m.PressCh2Offset;
        if (alt) {
            const double top = ch1 ? 25 : 25 + 100 * Z, bottom = ch1 ? 25 + 100 * Z : g.Bottom();
            if (Inside(y, top, bottom))
                offset = static_cast<float>(pressOffset - dy * voltsDiv * 2 / 25);
            if (inX) {
                double& delay = ch1 ? r.AltCh1DelayTime : r.AltCh2DelayTime;
                const double timeDiv = ch1 ? r.AltCh1TimePerDiv : r.AltCh2TimePerDiv;
                delay = m.PressDelay - dx * timeDiv / 25;
            }
            out.rezoom = ch1 ? 0 : 1;
        } else {
            if (Inside(y, 25, g.Bottom()))
                offset = static_cast<float>(pressOffset - dy * voltsDiv / 25);
            if (inX) r.DelayTime = m.PressDelay - dx * r.TimePerDiv / 25;
            out.rezoom = 3;
        }
        return out;
    }
    // A logic row: it becomes the selected channel and snaps to the 16 rows.
    const int hit = m.HitLaRow & 15;
    r.ScreenData.LAState106 = static_cast<uint8_t>(hit);
    const int rowPos = Near((y - 25) / Z + 25);
    int rowY = 222 - Near((222 - rowPos) / 12.0) * 12;
    r.ScreenData.LARowY[hit] = static_cast<int16_t>(std::clamp(rowY, 42, 222));
    if (inX) r.DelayTime = m.PressDelay - dx * r.TimePerDiv / 25;
    out.rezoom = 3;
    return out;
}

void MemWaveMouseUp(MemWaveMouse& m, CursorState& c) {
    CursorMouseUp(c);
    m.DragCh1 = m.DragCh2 = m.DragLa = false;
    m.OverCh1 = m.OverCh2 = m.OverLa = false;
}
