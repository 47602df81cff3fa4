// Branches of the trigger method and of the trigger settings that several
// methods share, and the read-back of the current method's settings.
#include "editors/ApplyCore.h"
#include "link/Converters.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/ReplyParse.h"
#include "link/Vocabulary.h"

namespace {
enum { lTrigger = 24, lMethod = 25, lSource = 26, lMode = 28, lCoupling = 10,
       lLevel = 66, lSensitivity = 69, lHoldoff = 21 };

using Field = QString CtrlSettings::*;
enum Method { mEdge, mPulse, mVideo, mSlope, mPattern, mDuration, MethodCount };

int methodOf(const CtrlSettings& s) {
    static const int words[MethodCount] = {vwEdge, vwPulse, vwVideo, vwSlope, vwPattern,
                                           vwDuration};
    for (int m = 0; m < MethodCount; ++m)
        if (s.TriggerMethod == ValueWord(words[m])) return m;
    return -1;
}

const char* const kMethodKw[MethodCount] = {"EDGE", "PULSE", "VIDEO", "SLOPE", "PATTERN",
                                            "DURATION"};

struct PerMethod {
    Field field[MethodCount];
    int item[MethodCount];  // node (6, item); 0 = the method has no such row
};

// The field and node of a shared setting under the current method.
std::function<RowTarget(const CtrlSettings&)> byMethod(PerMethod p, int label) {
    return [p, label](const CtrlSettings& s) {
        const int m = methodOf(s);
        if (m < 0 || !p.item[m]) return RowTarget{};
        return RowTarget{p.field[m], 6, p.item[m], label, kMethodKw[m]};
    };
}

ApplyEnd method(Applier& a) {
    CtrlSettings& s = a.s;
    // The instrument keeps its method while it shows X-Y.
    if (s.TimeBaseFormat == "X-Y") return ApplyEnd::Silent;
    const QString value = a.v.ComboText;
    SendCmd(":TRIGGER:MODE " + TrigModeToKeyword(value));
    s.TriggerMethod = value;
    if (value == ValueWord(vwAlternative)) {
        GetTriggerAltTrigType(s, 1);
        GetTriggerAltTrigType(s, 2);
        s.TimeBaseFormat = "Y-T";
    } else {
        GetTriggerMethod(s);
    }
    a.rebuild();
    a.select(6, 2);
    a.node(6, 2, lMethod, s.TriggerMethod);
    return ApplyEnd::Applied;
}

ApplyEnd source(Applier& a) {
    CtrlSettings& s = a.s;
    const QString value = a.v.ComboText;
    const int m = methodOf(s);
    Field field = m == mEdge    ? &CtrlSettings::TriggerEdgeSource
                  : m == mVideo ? &CtrlSettings::TriggerVideoSource
                  : m == mPulse ? &CtrlSettings::TriggerPulseSource
                                : &CtrlSettings::TriggerSlopeSource;
    s.*field = value;
    a.node(6, 3, lSource, value);
    // The rows of EDGE and VIDEO depend on the source: the tree follows it.
    if (m == mEdge || m == mVideo) {
        a.rebuild();
        a.select(6, 3);
    }
    const QString kw = m >= 0 ? kMethodKw[m] : "SLOPE";
    SendCmd(":TRIGGER:" + kw + ":SOURCE " + TrigSourceToKeyword(value));
    return ApplyEnd::Applied;
}

// Scale of a trigger source for the level read-back: a number text, or the
// empty text for a logic channel (and for an unknown source).
QString sourceScale(const QString& source, bool acLine, bool* digital) {
    *digital = false;
    if (source == "CH1") return TrimReply(QueryCmd(":CHANNEL1:SCALE?"));
    if (source == "CH2") return TrimReply(QueryCmd(":CHANNEL2:SCALE?"));
    if (source == "EXT") return "0.2";
    if (source == "EXT5") return "1";
    if (acLine && source == ValueWord(vwAcLine)) return "0";
    *digital = true;
    return QString();
}

QString ask(const QString& query) { return TrimReply(QueryCmd(query)); }

// Level read-back: "div" of the reply over the scale; false (the procedure
// ends) when the scale reads 0.
bool levelDiv(const QString& query, const QString& scale, QString& field) {
    const QString div = FormatDiv(ask(query), scale);
    if (div.isEmpty()) return false;
    field = div;
    return true;
}

bool codes(const QString& query, CtrlCodeArray& array) {
    QString reply = ask(query);
    PatternText(reply, array);
    return true;
}

}  // namespace

bool GetTriggerMethod(CtrlSettings& s) {
    bool digital = false;
    QString scale;
    switch (methodOf(s)) {
    case mEdge: {
        const QString source = TrigSourceToText(ask(":TRIGGER:EDGE:SOURCE?"));
        if (source.isEmpty()) return false;
        s.TriggerEdgeSource = source;
        scale = sourceScale(source, true, &digital);
        s.TriggerEdgeSlope = EdgeSlopeToText(ask(":TRIGGER:EDGE:SLOPE?"));
        s.TriggerEdgeSweep = SweepToText(ask(":TRIGGER:EDGE:SWEEP?"));
        s.TriggerEdgeCoupling = CouplingToText(ask(":TRIGGER:EDGE:COUPLING?"));
        if (digital) {
            const QString t = LaThresholdToText(ask(":LA:THRESHOLD?"));
            if (!t.isEmpty()) s.TriggerEdgeLevel = t;
        } else if (scale != "0" && !levelDiv(":TRIGGER:EDGE:LEVEL?", scale, s.TriggerEdgeLevel)) {
            return false;
        }
        s.TriggerEdgeSensitivity = DivText(ask(":TRIGGER:EDGE:SENSITIVITY?"));
        break;
    }
    case mPulse: {
        s.TriggerPulseSource = ask(":TRIGGER:PULSE:SOURCE?");
        scale = sourceScale(s.TriggerPulseSource, false, &digital);
        s.TriggerPulseMode = PulseModeToText(ask(":TRIGGER:PULSE:MODE?"));
        s.TriggerPulseWidth = FormatTime3(ask(":TRIGGER:PULSE:WIDTH?"));
        s.TriggerPulseSweep = SweepToText(ask(":TRIGGER:PULSE:SWEEP?"));
        s.TriggerPulseCoupling = CouplingToText(ask(":TRIGGER:PULSE:COUPLING?"));
        if (digital) {
            const QString t = LaThresholdToText(ask(":LA:THRESHOLD?"));
            if (!t.isEmpty()) s.TriggerPulseLevel = t;
        } else if (!levelDiv(":TRIGGER:PULSE:LEVEL?", scale, s.TriggerPulseLevel)) {
            return false;
        }
        s.TriggerPulseSensitivity = DivText(ask(":TRIGGER:PULSE:SENSITIVITY?"));
        break;
    }
    case mVideo:
        s.TriggerVideoSource = ask(":TRIGGER:VIDEO:SOURCE?");
        scale = sourceScale(s.TriggerVideoSource, false, &digital);
        s.TriggerVideoPolarity = VideoPolarityToText(ask(":TRIGGER:VIDEO:POLARITY?"));
        s.TriggerVideoSync = VideoSyncToText(ask(":TRIGGER:VIDEO:MODE?"));
        s.TriggerVideoLine = ask(":TRIGGER:VIDEO:LINE?");
        s.TriggerVideoStandard = ask(":TRIGGER:VIDEO:STANDARD?");
        if (!levelDiv(":TRIGGER:VIDEO:LEVEL?", scale, s.TriggerVideoLevel)) return false;
        s.TriggerVideoSensitivity = DivText(ask(":TRIGGER:VIDEO:SENSITIVITY?"));
        break;
    case mSlope:
        s.TriggerSlopeSource = ask(":TRIGGER:SLOPE:SOURCE?");
        scale = sourceScale(s.TriggerSlopeSource, false, &digital);
        s.TriggerSlopeCoupling = CouplingToText(ask(":TRIGGER:SLOPE:COUPLING?"));
        s.TriggerSlopeSweep = SweepToText(ask(":TRIGGER:SLOPE:SWEEP?"));
        s.TriggerSlopeMode = SlopeModeToText(ask(":TRIGGER:SLOPE:MODE?"));
        s.TriggerSlopeTime = FormatTime3(ask(":TRIGGER:SLOPE:TIME?"));
        if (!levelDiv(":TRIGGER:SLOPE:LEVELA?", scale, s.TriggerSlopeLevelA)) return false;
        if (!levelDiv(":TRIGGER:SLOPE:LEVELB?", scale, s.TriggerSlopeLevelB)) return false;
        s.TriggerSlopeSensitivity = DivText(ask(":TRIGGER:SLOPE:SENSITIVITY?"));
        break;
    case mPattern:
        codes(":TRIGGER:PATTERN:PATTERN?", s.TriggerPatternCode);
        s.TriggerPatternSweep = SweepToText(ask(":TRIGGER:PATTERN:SWEEP?"));
        break;
    case mDuration:
        codes(":TRIGGER:DURATION:PATTERN?", s.TriggerDurationCode);
        s.TriggerDurationQualifier = DurationQualToText(ask(":TRIGGER:DURATION:QUALIFIER?"));
        s.TriggerDurationTime = FormatTime3(ask(":TRIGGER:DURATION:TIME?"));
        s.TriggerDurationSweep = SweepToText(ask(":TRIGGER:DURATION:SWEEP?"));
        break;
    default:
        break;
    }
    s.TriggerHoldoff = FormatTime3(ask(":TRIGGER:HOLDOFF?"));
    return true;
}

void AddTriggerRows(std::vector<Row>& rows) {
    Row m;
    m.key = {lTrigger, lMethod};
    m.custom = method;
    rows.push_back(m);

    Row src;
    src.key = {lTrigger, lSource};
    src.custom = source;
    rows.push_back(src);

    using S = CtrlSettings;
    Row mode;
    mode.key = {lTrigger, lMode};
    mode.pick = byMethod({{&S::TriggerEdgeSweep, &S::TriggerPulseSweep, nullptr,
                           &S::TriggerSlopeSweep, &S::TriggerPatternSweep,
                           &S::TriggerDurationSweep},
                          {5, 7, 0, 8, 22, 24}},
                         lMode);
    mode.header = ":TRIGGER:%1:SWEEP ";
    mode.arg = [](const QString& v, const QString&) { return SweepToKeyword(v); };
    rows.push_back(mode);

    Row coupling;
    coupling.key = {lTrigger, lCoupling};
    coupling.pick = byMethod({{&S::TriggerEdgeCoupling, &S::TriggerPulseCoupling, nullptr,
                               &S::TriggerSlopeCoupling, nullptr, nullptr},
                              {6, 6, 0, 7, 0, 0}},
                             lCoupling);
    coupling.header = ":TRIGGER:%1:COUPLING ";
    coupling.arg = [](const QString& v, const QString&) { return CouplingToKeyword(v); };
    rows.push_back(coupling);

    // The level is converted with the source the instrument reports.
    Row level;
    level.key = {lTrigger, lLevel};
    level.pick = byMethod({{&S::TriggerEdgeLevel, &S::TriggerPulseLevel, &S::TriggerVideoLevel,
                            nullptr, nullptr, nullptr},
                           {7, 8, 8, 0, 0, 0}},
                          lLevel);
    level.header = ":TRIGGER:%1:LEVEL ";
    level.arg = [](const QString& v, const QString& kw) {
        return TriggerLevelText(v, ask(":TRIGGER:" + kw + ":SOURCE?"));
    };
    rows.push_back(level);

    Row sens;
    sens.key = {lTrigger, lSensitivity};
    sens.pick = byMethod({{&S::TriggerEdgeSensitivity, &S::TriggerPulseSensitivity,
                           &S::TriggerVideoSensitivity, &S::TriggerSlopeSensitivity, nullptr,
                           nullptr},
                          {8, 9, 9, 11, 0, 0}},
                         lSensitivity);
    sens.header = ":TRIGGER:%1:SENSITIVITY ";
    rows.push_back(sens);

    // One holdoff for every method; only its node moves.
    Row hold;
    hold.key = {lTrigger, lHoldoff};
    hold.input = true;
    hold.pick = byMethod({{&S::TriggerHoldoff, &S::TriggerHoldoff, &S::TriggerHoldoff,
                           &S::TriggerHoldoff, &S::TriggerHoldoff, &S::TriggerHoldoff},
                          {9, 10, 10, 12, 23, 25}},
                         lHoldoff);
    hold.header = ":TRIGGER:HOLDOFF ";
    hold.numArg = [](double x) { return FormatTimeSI(x).toUpper(); };
    hold.pause = 100;
    hold.query = ":TRIGGER:HOLDOFF?";
    hold.back = FormatTime3;
    rows.push_back(hold);
}
