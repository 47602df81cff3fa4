// Branches of the trigger settings that belong to one method.
#include "editors/ApplyCore.h"
#include "link/Converters.h"
#include "link/CtrlPlaces.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/ReplyParse.h"

namespace {
using Conv = QString (*)(const QString&);

Row choice(int label, QString CtrlSettings::*field, int item, const QString& header, Conv conv) {
    Row r;
    r.key = {lbTrigger, label};
    r.target = {field, 6, item, label};
    r.header = header;
    if (conv) r.arg = [conv](const QString& v, const QString&) { return conv(v); };
    return r;
}

// A time typed in seconds: sent, then read back; the field holds only the
// instrument's value.
Row time(int label, QString CtrlSettings::*field, int item, const QString& header, int pause) {
    Row r;
    r.key = {lbTrigger, label};
    r.input = true;
    r.target = {field, 6, item, label};
    r.header = header + " ";
    r.numArg = [](double x) { return FormatTimeSI(x).toUpper(); };
    r.pause = pause;
    r.query = header + "?";
    r.back = FormatTime3;
    return r;
}

// A slope level: the source is asked first, then the command; the field
// keeps the chosen divisions.
Row slopeLevel(int label, QString CtrlSettings::*field, int item, const QString& header) {
    Row r = choice(label, field, item, header, nullptr);
    r.sendFirst = true;
    r.arg = [](const QString& v, const QString&) {
        return LevelArgument(v, TrimReply(QueryCmd(":TRIGGER:SLOPE:SOURCE?")));
    };
    return r;
}

QString syncKeyword(const QString& v) { return VideoSyncToKeyword(v).toUpper(); }
}  // namespace

void AddMethodRows(std::vector<Row>& rows) {
    using S = CtrlSettings;
    rows.push_back(choice(lbSlope, &S::TriggerEdgeSlope, 4, ":TRIGGER:EDGE:SLOPE ",
                          EdgeSlopeToKeyword));
    rows.push_back(choice(lbPulseMode, &S::TriggerPulseMode, 4, ":TRIGGER:PULSE:MODE ",
                          PulseModeToKeyword));
    rows.push_back(time(lbPulseWidth, &S::TriggerPulseWidth, 5, ":TRIGGER:PULSE:WIDTH", 0));
    rows.push_back(choice(lbPolarity, &S::TriggerVideoPolarity, 4, ":TRIGGER:VIDEO:POLARITY ",
                          VideoPolarityToKeyword));
    rows.push_back(choice(lbSync, &S::TriggerVideoSync, 5, ":TRIGGER:VIDEO:MODE ", syncKeyword));
    rows.push_back(choice(lbLineNumber, &S::TriggerVideoLine, 6, ":TRIGGER:VIDEO:LINE ", nullptr));
    Row standard = choice(lbVideoStandard, &S::TriggerVideoStandard, 7,
                          ":TRIGGER:VIDEO:STANDARD ", VideoStandardConv);
    standard.pause = 100;
    standard.also = [](Applier& a, const QString&) {
        // The line list depends on the standard: the instrument's line is read back.
        const QString line = TrimReply(QueryCmd(":TRIGGER:VIDEO:LINE?"));
        StoreReadBack(a.s.TriggerVideoLine, line, nullptr, IsNumberReply(line));
        a.node(6, 6, lbLineNumber, a.s.TriggerVideoLine);
    };
    rows.push_back(standard);
    rows.push_back(choice(lbSlopeMode, &S::TriggerSlopeMode, 4, ":TRIGGER:SLOPE:MODE ",
                          SlopeModeToKeyword));
    rows.push_back(time(lbSlopeTime, &S::TriggerSlopeTime, 5, ":TRIGGER:SLOPE:TIME", 0));
    rows.push_back(slopeLevel(lbLevelA, &S::TriggerSlopeLevelA, 9, ":TRIGGER:SLOPE:LEVELA "));
    rows.push_back(slopeLevel(lbLevelB, &S::TriggerSlopeLevelB, 10, ":TRIGGER:SLOPE:LEVELB "));
    rows.push_back(choice(lbQualifier, &S::TriggerDurationQualifier, 22,
                          ":TRIGGER:DURATION:QUALIFIER ", DurationQualToKeyword));
    rows.push_back(
        time(lbDurationTime, &S::TriggerDurationTime, 23, ":TRIGGER:DURATION:TIME", 100));
}
