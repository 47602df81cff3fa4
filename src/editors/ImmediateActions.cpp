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


// A new level in divisions, with the source's offset as the download counts
// it; a scale that reads 0 or no reply keeps the old text, and so does a
// scale or level that is not a number (reported). Without an offset (`offset`
// null: its reply was unusable, and reported) the level is not read.
void StoreDivLevel(QString& field, const QString& levelQuery, const QString& scale, const double* offset) {
    if (!offset) return;
    const QString reply = Query(levelQuery);
    if (Link().ReplyFailed) return;
    if ((!scale.isEmpty() && !IsNumberReply(scale)) || (!reply.isEmpty() && !IsNumberReply(reply))) {
        StoreReadBack(field, reply, nullptr, false);
        return;
    }
    const QString div = LevelDivText(reply, *offset, scale);
    if (!div.isEmpty()) field = div;
}

// What the method's block of "Set Trig to 50%" reads and writes.
struct MethodBlock {
    const char* header;  // ":TRIGGER:EDGE" ...
    QString CtrlSettings::*source;
    QString CtrlSettings::*level;   // the level, or LevelA for SLOPE
    QString CtrlSettings::*levelB;  // SLOPE only
    int levelItem, levelBItem;
    bool sourceToText;    // the reply passes TrigSourceToText (EDGE)
    bool acLineDigital;   // the AC-line word reads a threshold (PULSE)
    bool otherDigital;    // any other source reads a threshold (EDGE, PULSE)
};

void ReadBackMethod(CtrlSettings& s, const MethodBlock& b) {
    const QString header = QString::fromLatin1(b.header);
    QString reply = Query(header + ":SOURCE?");
    if (Link().ReplyFailed) return;
    // A source that names none is not stored, and its level has no scale to go by.
    if (!StoreReadBack(s.*b.source, reply, b.sourceToText ? TrigSourceToText : nullptr, IsSourceReply(reply)))
        return;
    const QString src = s.*b.source;
    QString scale;
    bool digital = false, noScale = false;
    if (src == "CH1") scale = Query(":CHANNEL1:SCALE?");
    else if (src == "CH2") scale = Query(":CHANNEL2:SCALE?");
    else if (src == "EXT") scale = "0.2";
    else if (src == "EXT5") scale = "1";
    else if (src == ValueWord(vwAcLine)) {
        if (b.acLineDigital) digital = true;
        else if (b.otherDigital) scale = "0";
        else noScale = true;
    } else if (b.otherDigital) digital = true;
    else noScale = true;
    double offsetValue = 0;
    const double* offset = !digital && ReadLevelOffset(src, offsetValue) ? &offsetValue : nullptr;

    if (digital) {
        const QString threshold = Query(":LA:THRESHOLD?");
        QString level;
        if (!Link().ReplyFailed && StoreReadBack(level, threshold, LaThresholdToText, IsThresholdReply(threshold)) && !level.isEmpty())
            s.*b.level = level;
    } else if (b.levelB) {
        StoreDivLevel(s.*b.level, header + ":LEVELA?", noScale ? QString() : scale, offset);
        StoreDivLevel(s.*b.levelB, header + ":LEVELB?", noScale ? QString() : scale, offset);
    } else {
        StoreDivLevel(s.*b.level, header + ":LEVEL?", noScale ? QString() : scale, offset);
    }
    if (b.levelB) {
        SetCtrlNodeText(kGroupTrigger, b.levelItem, s.*b.level);
        SetCtrlNodeText(kGroupTrigger, b.levelBItem, s.*b.levelB);
    } else {
        SetCtrlNodeText(kGroupTrigger, b.levelItem, s.*b.level);
    }
    SetCtrlNodeText(kGroupTrigger, kSourceItem, src);
}

void ReadBackAlternation(CtrlSettings& s, bool ch1) {
    const QString n = ch1 ? "1" : "2";
    SendCmd(":TRIGGER:ALTERNATION:SOURCE CHANNEL" + n);
    const QString scale = Query(":CHANNEL" + n + ":SCALE?");
    double offsetValue = 0;
    const double* offset = ReadLevelOffset("CH" + n, offsetValue) ? &offsetValue : nullptr;
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
        StoreDivLevel(*level, ":TRIGGER:ALTERNATION:" + header + ":LEVEL?", scale, offset);
        SetCtrlNodeText(group, kAltLevelItem, *level);
    } else if (type == ValueWord(vwSlope)) {
        QString& a = ch1 ? s.AltCH1SlopeLevelA : s.AltCH2SlopeLevelA;
        QString& b = ch1 ? s.AltCH1SlopeLevelB : s.AltCH2SlopeLevelB;
        StoreDivLevel(a, ":TRIGGER:ALTERNATION:SLOPE:LEVELA?", scale, offset);
        SetCtrlNodeText(group, kAltLevelAItem, a);
        StoreDivLevel(b, ":TRIGGER:ALTERNATION:SLOPE:LEVELB?", scale, offset);
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
    ClearUnusableReadBack();
    SendCmd(":TRIG%50");
    CtrlSettings& s = DSOSettings();
    using C = CtrlSettings;
    const QString& m = s.TriggerMethod;
    if (m == ValueWord(vwEdge)) {
        ReadBackMethod(s, {":TRIGGER:EDGE", &C::TriggerEdgeSource, &C::TriggerEdgeLevel, nullptr,
                           7, 0, true, false, true});
    } else if (m == ValueWord(vwPulse)) {
        ReadBackMethod(s, {":TRIGGER:PULSE", &C::TriggerPulseSource, &C::TriggerPulseLevel,
                           nullptr, 8, 0, false, true, true});
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
    ClearUnusableReadBack();
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
