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

// A reply that did not come (time-out, cut, link lost) is no value: what it
// would have set is left as it was, and the action says so at its end.
QString Query(ApplyRun& run, const QString& q) {
    Link().CommandSent = true;
    const QString reply = TrimReply(QueryCmd(q));
    if (Link().ReplyFailed) NoteUnusableReadBack(run);
    return reply;
}

// The level rows' tree rows show their values.
void showLevels(CtrlSettings& s, const std::vector<int>& levels) {
    for (int n : levels) SetCtrlNodeText(SettingOf(n).treeGroup, SettingOf(n).treeItem, SettingValue(s, n));
}

// "Set Trig to 50%" under a trigger method: the method's source and its
// level rows read back. Queries, converters, tree rows and the level rule's
// trigger are the settings catalog's.
void ReadBackMethod(ApplyRun& run, CtrlSettings& s, const std::vector<int>& levels) {
    const SettingDesc& lv = SettingOf(levels.front());
    const SettingDesc& src = SettingOf(lv.levelSource);
    QString& source = SettingValue(s, src.number);
    QString reply = Query(run, src.query);
    // A source that did not come or names none is not stored, and the level
    // the action moved has no scale to go by: it is not known.
    if (Link().ReplyFailed || !StoreReadBack(run, source, reply, src.reply, IsSourceReply(reply))) {
        for (int n : levels) MarkLevelNotKnown(SettingValue(s, n));
        return showLevels(s, levels);
    }
    const QString sourceText = source;
    ReadLevelRows(run, s, levels, ReadLevelBase(run, sourceText, lv.levelTrigger));
    showLevels(s, levels);
    SetCtrlNodeText(src.treeGroup, src.treeItem, sourceText);
}

// Under the alternation: channel `ch`'s level rows of its trigger type.
void ReadBackAlternation(ApplyRun& run, CtrlSettings& s, int ch) {
    SendCmd(AltChannelSelect(ch));
    const LevelBase base = ReadLevelBase(run, "CH" + QString::number(ch), LevelTrigger::Alternation);
    const std::vector<int> levels = AltLevelRows(s, ch);
    ReadLevelRows(run, s, levels, base);
    showLevels(s, levels);
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
    if (s.TriggerMethod == ValueWord(vwAlternative)) {
        ReadBackAlternation(run, s, 1);
        ReadBackAlternation(run, s, 2);
    } else if (const std::vector<int> levels = MethodLevelRows(s); !levels.empty()) {
        ReadBackMethod(run, s, levels);
    }
    ReportUnusableReadBack(run);
}

void RunForceTrigger() { SendCmd(":FORCETRIG"); }
void RunLaReset() {
    ApplyRun run;
    SendCmd(":LA:POSITION:RESET");
    // The reset moves the logic channels: their rows are read back.
    if (Link().LAPresent) {
        const QString reply = Query(run, SettingOf(&CtrlSettings::LAChannelPosition, 1).query);
        QString location;
        if (StoreReadBack(run, location, reply, nullptr, IsLocationReply(reply)) && !location.isEmpty()) {
            CtrlSettings& s = DSOSettings();
            ApplyLaLocation(s, location);
            for (int k = 16; k >= 1; --k) {
                const SettingDesc& d = SettingOf(&CtrlSettings::LAChannelPosition, k);
                SetCtrlNodeText(d.treeGroup, d.treeItem, SettingValue(s, d.number));
            }
        }
    }
    ReportUnusableReadBack(run);
}
void RunDisplayClear() { SendCmd(":DISPLAY:CLEAR"); }
