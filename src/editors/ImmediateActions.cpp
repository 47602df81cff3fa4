#include "editors/ImmediateActions.h"

#include "common/DSOSettings.h"
#include "common/Pause.h"
#include "controller/CtrlList.h"
#include "controller/CtrlTree.h"
#include "controller/SettingsTransfer.h"
#include "editors/ApplyCore.h"
#include "link/Converters.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/ReplyParse.h"
#include "link/Vocabulary.h"
#include "platform/mouse/MouseControl.h"

namespace {

// Positions in the node table.
constexpr int kGroupTrigger = CtrlGroup::Trigger, kSourceItem = 3;
constexpr int kAltLevelItem = 17, kAltLevelAItem = 18, kAltLevelBItem = 19;

// A reply that did not come (time-out, cut, link lost) is no value: what it
// would have set is left as it was, and the action says so at its end.
QString Query(const QString& q) {
    Link().CommandSent = true;
    const QString reply = TrimReply(QueryCmd(q));
    if (Link().ReplyFailed) NoteUnusableReadBack();
    return reply;
}


// What the method's block of "Set Trig to 50%" reads and writes.
struct MethodBlock {
    const char* header;  // ":TRIGGER:EDGE" ...
    QString CtrlSettings::*source;
    QString CtrlSettings::*level;   // the level, or LevelA for SLOPE
    QString CtrlSettings::*levelB;  // SLOPE only
    int levelItem, levelBItem;
    bool sourceToText;  // the reply passes TrigSourceToText (EDGE)
    bool acLineKept;    // the AC line keeps the level's text (EDGE)
    bool threshold;     // a source without a scale reads the threshold (EDGE, PULSE)
};

void ReadBackMethod(CtrlSettings& s, const MethodBlock& b) {
    const QString header = QString::fromLatin1(b.header);
    auto show = [&] {
        SetCtrlNodeText(kGroupTrigger, b.levelItem, s.*b.level);
        if (b.levelB) SetCtrlNodeText(kGroupTrigger, b.levelBItem, s.*b.levelB);
    };
    QString reply = Query(header + ":SOURCE?");
    // A source that did not come or names none is not stored, and the level
    // the action moved has no scale to go by: it is not known.
    if (Link().ReplyFailed ||
        !StoreReadBack(s.*b.source, reply, b.sourceToText ? TrigSourceToText : nullptr, IsSourceReply(reply))) {
        MarkLevelNotKnown(s.*b.level);
        if (b.levelB) MarkLevelNotKnown(s.*b.levelB);
        return show();
    }
    const QString src = s.*b.source;
    const LevelBase base = ReadLevelBase(src, b.acLineKept, b.threshold);
    if (!ReadLevelRow(header + (b.levelB ? ":LEVELA?" : ":LEVEL?"), base, s.*b.level) && b.levelB)
        MarkLevelNotKnown(s.*b.levelB);
    else if (b.levelB)
        ReadLevelRow(header + ":LEVELB?", base, s.*b.levelB);
    show();
    SetCtrlNodeText(kGroupTrigger, kSourceItem, src);
}

void ReadBackAlternation(CtrlSettings& s, bool ch1) {
    const QString n = ch1 ? "1" : "2";
    SendCmd(":TRIGGER:ALTERNATION:SOURCE CHANNEL" + n);
    const LevelBase base = ReadLevelBase("CH" + n, false, false);
    const QString type = ch1 ? s.AltCH1TrigType : s.AltCH2TrigType;
    const int group = ch1 ? CtrlGroup::AltCH1Trigger : CtrlGroup::AltCH2Trigger;
    QString& edge = ch1 ? s.AltCH1EdgeLevel : s.AltCH2EdgeLevel;
    QString& pulse = ch1 ? s.AltCH1PulseLevel : s.AltCH2PulseLevel;
    QString& video = ch1 ? s.AltCH1VideoLevel : s.AltCH2VideoLevel;
    QString* level = nullptr;
    QString header;
    if (type == ValueWord(vwEdge)) level = &edge, header = "EDGE";
    else if (type == ValueWord(vwPulse)) level = &pulse, header = "PULSE";
    else if (type == ValueWord(vwVideo)) level = &video, header = "VIDEO";
    if (level) {
        ReadLevelRow(":TRIGGER:ALTERNATION:" + header + ":LEVEL?", base, *level);
        SetCtrlNodeText(group, kAltLevelItem, *level);
    } else if (type == ValueWord(vwSlope)) {
        QString& a = ch1 ? s.AltCH1SlopeLevelA : s.AltCH2SlopeLevelA;
        QString& b = ch1 ? s.AltCH1SlopeLevelB : s.AltCH2SlopeLevelB;
        if (ReadLevelRow(":TRIGGER:ALTERNATION:SLOPE:LEVELA?", base, a))
            ReadLevelRow(":TRIGGER:ALTERNATION:SLOPE:LEVELB?", base, b);
        else
            MarkLevelNotKnown(b);
        SetCtrlNodeText(group, kAltLevelAItem, a);
        SetCtrlNodeText(group, kAltLevelBItem, b);
    }
}

}  // namespace

void RunAutoSet() {
    SendCmd(":AUTO");
    // The transfer window puts the default pointer back when it closes.
    MouseControl::SetCursor(MouseControl::PointerHourglass);
    PauseMs(4000);
    CtrlListForm()->cmdDownload_Click();
}

void RunSetTrigTo50() {
    ApplyRun run;
    SendCmd(":TRIG%50");
    CtrlSettings& s = DSOSettings();
    using C = CtrlSettings;
    const QString& m = s.TriggerMethod;
    if (m == ValueWord(vwEdge)) {
        ReadBackMethod(s, {":TRIGGER:EDGE", &C::TriggerEdgeSource, &C::TriggerEdgeLevel, nullptr,
                           7, 0, true, true, true});
    } else if (m == ValueWord(vwPulse)) {
        ReadBackMethod(s, {":TRIGGER:PULSE", &C::TriggerPulseSource, &C::TriggerPulseLevel,
                           nullptr, 8, 0, false, false, true});
    } else if (m == ValueWord(vwVideo)) {
        ReadBackMethod(s, {":TRIGGER:VIDEO", &C::TriggerVideoSource, &C::TriggerVideoLevel,
                           nullptr, 8, 0, false, false, false});
    } else if (m == ValueWord(vwSlope)) {
        ReadBackMethod(s, {":TRIGGER:SLOPE", &C::TriggerSlopeSource, &C::TriggerSlopeLevelA,
                           &C::TriggerSlopeLevelB, 9, 10, false, false, false});
    } else if (m == ValueWord(vwAlternative)) {
        ReadBackAlternation(s, true);
        ReadBackAlternation(s, false);
    }
    ReportUnusableReadBack();
}

void RunForceTrigger() { SendCmd(":FORCETRIG"); }
void RunLaReset() {
    ApplyRun run;
    SendCmd(":LA:POSITION:RESET");
    // The reset moves the logic channels: their rows are read back.
    if (Link().LAPresent) {
        const QString reply = Query(":LA:LOCATION?");
        QString location;
        if (StoreReadBack(location, reply, nullptr, IsLocationReply(reply)) && !location.isEmpty()) {
            CtrlSettings& s = DSOSettings();
            ApplyLaLocation(s, location);
            for (int n = 0; n <= 15; ++n)
                SetCtrlNodeText(CtrlGroup::LAPosition, 20 - n, s.LAChannelPosition[16 - n]);
        }
    }
    ReportUnusableReadBack();
}
void RunDisplayClear() { SendCmd(":DISPLAY:CLEAR"); }
