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
#include "link/SettingCatalog.h"
#include "link/Vocabulary.h"
#include "platform/mouse/MouseControl.h"

namespace {

// Positions in the node table.
constexpr int kAltLevelItem = 17, kAltLevelAItem = 18, kAltLevelBItem = 19;

// A reply that did not come (time-out, cut, link lost) is no value: what it
// would have set is left as it was, and the action says so at its end.
QString Query(const QString& q) {
    Link().CommandSent = true;
    const QString reply = TrimReply(QueryCmd(q));
    if (Link().ReplyFailed) NoteUnusableReadBack();
    return reply;
}


// "Set Trig to 50%" under a trigger method: the method's source and its
// level rows (`levelB`: SLOPE's second) read back. Queries, converters, tree
// rows and the level rule's trigger are the settings catalog's.
void ReadBackMethod(CtrlSettings& s, int level, int levelB = 0) {
    const SettingDesc& lv = SettingOf(level);
    const SettingDesc& src = SettingOf(lv.levelSource);
    QString& source = SettingValue(s, src.number);
    QString& levelA = SettingValue(s, level);
    auto show = [&] {
        SetCtrlNodeText(lv.treeGroup, lv.treeItem, levelA);
        if (levelB) SetCtrlNodeText(lv.treeGroup, SettingOf(levelB).treeItem, SettingValue(s, levelB));
    };
    QString reply = Query(src.query);
    // A source that did not come or names none is not stored, and the level
    // the action moved has no scale to go by: it is not known.
    if (Link().ReplyFailed || !StoreReadBack(source, reply, src.reply, IsSourceReply(reply))) {
        MarkLevelNotKnown(levelA);
        if (levelB) MarkLevelNotKnown(SettingValue(s, levelB));
        return show();
    }
    const QString sourceText = source;
    const LevelBase base = ReadLevelBase(sourceText, lv.levelTrigger);
    if (!ReadLevelRow(lv.query, base, levelA) && levelB)
        MarkLevelNotKnown(SettingValue(s, levelB));
    else if (levelB)
        ReadLevelRow(SettingOf(levelB).query, base, SettingValue(s, levelB));
    show();
    SetCtrlNodeText(src.treeGroup, src.treeItem, sourceText);
}

void ReadBackAlternation(CtrlSettings& s, bool ch1) {
    const QString n = ch1 ? "1" : "2";
    SendCmd(":TRIGGER:ALTERNATION:SOURCE CHANNEL" + n);
    const LevelBase base = ReadLevelBase("CH" + n, LevelTrigger::Alternation);
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
    auto n = [](QString CtrlSettings::*f) { return SettingNumber(f); };
    if (m == ValueWord(vwEdge)) {
        ReadBackMethod(s, n(&C::TriggerEdgeLevel));
    } else if (m == ValueWord(vwPulse)) {
        ReadBackMethod(s, n(&C::TriggerPulseLevel));
    } else if (m == ValueWord(vwVideo)) {
        ReadBackMethod(s, n(&C::TriggerVideoLevel));
    } else if (m == ValueWord(vwSlope)) {
        ReadBackMethod(s, n(&C::TriggerSlopeLevelA), n(&C::TriggerSlopeLevelB));
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
