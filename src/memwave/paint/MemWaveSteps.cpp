#include "memwave/paint/MemWaveSteps.h"

#include <cmath>

#include "link/Formatters.h"
#include "link/ScaleSteps.h"

void StepMemWaveScale(MemWaveInfo& r, int group, int direction, bool rescaleOffset) {
    const int16_t dir = direction < 0 ? -1 : 1;
    switch (group) {
        case StepCh1VoltsDiv:
        case StepCh2VoltsDiv: {
            float& vd = group == StepCh1VoltsDiv ? r.Ch1VoltsPerDiv : r.Ch2VoltsPerDiv;
            float& offset = group == StepCh1VoltsDiv ? r.Ch1OffsetVolts : r.Ch2OffsetVolts;
            const float old = vd;
            vd = StepVoltsPerDiv(vd, dir);
            if (rescaleOffset) {
                const double o = double(vd) * offset / old;
                if (old != 0 && std::isfinite(o)) offset = static_cast<float>(o);
            }
            break;
        }
        case StepTimeDiv: r.TimePerDiv = StepTimePerDiv(r.TimePerDiv, dir); break;
        case StepCh1TimeDiv: r.AltCh1TimePerDiv = StepTimePerDiv(r.AltCh1TimePerDiv, dir); break;
        case StepCh2TimeDiv: r.AltCh2TimePerDiv = StepTimePerDiv(r.AltCh2TimePerDiv, dir); break;
        default: break;
    }
}

QString MemWaveScaleText(const MemWaveInfo& r, int group) {
    switch (group) {
        case StepCh1VoltsDiv: return FormatVolt(PlainValue(r.Ch1VoltsPerDiv, 9));
        case StepCh2VoltsDiv: return FormatVolt(PlainValue(r.Ch2VoltsPerDiv, 9));
        case StepTimeDiv: return FormatTime4(PlainValue(r.TimePerDiv, 9));
        case StepCh1TimeDiv: return FormatTime4(PlainValue(r.AltCh1TimePerDiv, 9));
        case StepCh2TimeDiv: return FormatTime4(PlainValue(r.AltCh2TimePerDiv, 9));
        default: return QString();
    }
}

int MemWaveStepSelector(int group) {
    switch (group) {
        case StepCh1VoltsDiv: case StepCh1TimeDiv: return 0;
        case StepCh2VoltsDiv: case StepCh2TimeDiv: return 1;
        default: return 3;
    }
}

MemWavePanelLayout ArrangeMemoryWavePanel(const MemWaveInfo& r) {
    // Design widths and lefts (twips).
    constexpr int LblW = 705, BoxW = 1035, BtnW = 285, VoltL = 90, TimeW = 2895, AltW = 4815,
                  ResetW = 675;
    MemWavePanelLayout L;
    auto row = [&](int labelLeft, int& lbl, int& box, int& dec, int& inc) {
        lbl = labelLeft;
        box = lbl + 450;
        dec = BoxW + box + 60;
        inc = dec + BtnW + 40;
    };
    if (r.TriggerMode == QLatin1String("ALTERNATION")) {
        L.AltFrame = L.Placed = L.Ch1Row = L.Ch2Row = true;
        L.VoltDivWidth = 2 * (LblW + 420 + BoxW + BtnW);
        row(VoltL + 50, L.Ch1Label, L.Ch1Box, L.Ch1Dec, L.Ch1Inc);
        row(L.VoltDivWidth / 2 + VoltL - 50, L.Ch2Label, L.Ch2Box, L.Ch2Dec, L.Ch2Inc);
        L.RefreshWidth = AltW + L.VoltDivWidth + 600 + ResetW;
        L.TimeFrameLeft = L.VoltDivWidth + VoltL + 1500;
        L.ResetLeft = AltW + L.TimeFrameLeft - 1500 + 300;
        return L;
    }
    if (r.HasCh1 && !r.HasCh2) {
        L.Ch1Row = true;
        row(VoltL + 50, L.Ch1Label, L.Ch1Box, L.Ch1Dec, L.Ch1Inc);
        L.VoltDivWidth = LblW + 50 + 450 + BoxW + 60 + BtnW + 50;
    } else if (r.HasCh2 && !r.HasCh1) {
        L.Ch2Row = true;
        row(VoltL + 50, L.Ch2Label, L.Ch2Box, L.Ch2Dec, L.Ch2Inc);
        L.VoltDivWidth = LblW + 50 + 450 + BoxW + 60 + BtnW + 50;
    } else if (r.HasCh1 && r.HasCh2) {
        L.Ch1Row = L.Ch2Row = true;
        L.VoltDivWidth = 2 * (LblW + 450 + BoxW + 60 + BtnW);
        row(VoltL + 50, L.Ch1Label, L.Ch1Box, L.Ch1Dec, L.Ch1Inc);
        row(L.VoltDivWidth / 2 + VoltL, L.Ch2Label, L.Ch2Box, L.Ch2Dec, L.Ch2Inc);
    } else {
        return L;  // no channel: the controls keep their places
    }
    L.Placed = true;
    L.RefreshWidth = TimeW + L.VoltDivWidth + 600 + ResetW;
    L.TimeFrameLeft = L.VoltDivWidth + VoltL + 200;
    L.ResetLeft = TimeW + L.TimeFrameLeft + 120;
    return L;
}

QString MemWaveStepName(int group, int direction, int lang) {
    const bool chinese = lang == 0;
    const QString volts = chinese ? QString::fromUtf8("档位") : QStringLiteral("Volt/Div");
    const QString time = chinese ? QString::fromUtf8("时基") : QStringLiteral("Time/Div");
    QString name;
    switch (group) {
        case StepCh1VoltsDiv: name = "CH1 " + volts; break;
        case StepCh2VoltsDiv: name = "CH2 " + volts; break;
        case StepTimeDiv: name = time; break;
        case StepCh1TimeDiv: name = "CH1 " + time; break;
        default: name = "CH2 " + time; break;
    }
    if (direction < 0) name += chinese ? QString::fromUtf8(" 减小") : QStringLiteral(" down");
    if (direction > 0) name += chinese ? QString::fromUtf8(" 增大") : QStringLiteral(" up");
    return name;
}
