// Branches of the trigger settings that belong to one method.
#include "editors/ApplyCore.h"
#include "link/Converters.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/ReplyParse.h"
#include "link/SettingCatalog.h"

namespace {
using S = CtrlSettings;

// A time typed in seconds: sent, then read back; the field holds only the
// instrument's value.
Row time(QString S::*field, int pause) {
    Row r = SettingRow(field);
    r.input = true;
    r.numArg = [](double x) { return FormatTimeSI(x).toUpper(); };
    r.pause = pause;
    r.readBack = true;
    return r;
}

// A slope level: the source is asked first, then the command; the field
// keeps the chosen divisions.
Row slopeLevel(QString S::*field) {
    Row r = SettingRow(field);
    r.sendFirst = true;
    r.arg = LevelRowArgument;
    return r;
}
}  // namespace

void AddMethodRows(std::vector<Row>& rows) {
    rows.push_back(SettingRow(&S::TriggerEdgeSlope));
    rows.push_back(SettingRow(&S::TriggerPulseMode));
    rows.push_back(time(&S::TriggerPulseWidth, 0));
    rows.push_back(SettingRow(&S::TriggerVideoPolarity));
    Row sync = SettingRow(&S::TriggerVideoSync);
    sync.arg = UpperKeyword;
    rows.push_back(sync);
    rows.push_back(SettingRow(&S::TriggerVideoLine));
    Row standard = SettingRow(&S::TriggerVideoStandard);
    standard.pause = 100;
    standard.also = [](Applier& a, const QString&) {
        // The line list depends on the standard: the instrument's line is read back.
        const SettingDesc& line = SettingOf(&S::TriggerVideoLine);
        const QString reply = TrimReply(QueryCmd(line.query));
        StoreReadBack(a.run, a.s.TriggerVideoLine, reply, nullptr, IsNumberReply(reply));
        a.show(line.number);
    };
    rows.push_back(standard);
    rows.push_back(SettingRow(&S::TriggerSlopeMode));
    rows.push_back(time(&S::TriggerSlopeTime, 0));
    rows.push_back(slopeLevel(&S::TriggerSlopeLevelA));
    rows.push_back(slopeLevel(&S::TriggerSlopeLevelB));
    rows.push_back(SettingRow(&S::TriggerDurationQualifier));
    rows.push_back(time(&S::TriggerDurationTime, 100));
}
