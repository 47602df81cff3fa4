// Branches of the time base, main and per alternation channel.
#include "editors/ApplyCore.h"
#include "link/Converters.h"
#include "link/CtrlPlaces.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/ReplyParse.h"
#include "link/Vocabulary.h"

namespace {
using Field = QString CtrlSettings::*;

QString secondsArg(double x) { return FormatTimeSIDot(x).toUpper(); }
}  // namespace

void GetTimeBaseParameter(Applier& a) {
    StoreReadBack(a.s.TimeBaseOffset, TrimReply(QueryCmd(":TIMEBASE:OFFSET?")), FormatTime5);
    a.node(5, 16, lbDelay, a.s.TimeBaseOffset);
}

void AddTimeBaseRows(std::vector<Row>& rows) {
    // The two alternation channels: the channel is selected first, 50 ms
    // after each command, and the value is read back.
    auto alt = [](int ch, int label, int item, Field ch1, Field ch2, const QString& name) {
        Row r;
        r.key = {lbTimeBase, ch == 1 ? lbCH1 : lbCH2, label};
        r.target = {ch == 1 ? ch1 : ch2, ch == 1 ? 13 : 14, item, label};
        r.select = ":TRIGGER:ALTERNATION:SOURCE CHANNEL" + QString::number(ch);
        r.selectPause = 50;
        r.header = ":TRIGGER:ALTERNATION:" + name + " ";
        r.pause = 50;
        r.query = ":TRIGGER:ALTERNATION:" + name + "?";
        return r;
    };
    for (int ch = 1; ch <= 2; ++ch) {
        Row scale = alt(ch, lbTimeDiv, 15, &CtrlSettings::AltCH1TimeBaseScale,
                        &CtrlSettings::AltCH2TimeBaseScale, "TIMESCALE");
        scale.storeChoice = false;  // the field takes only the value read back
        scale.arg = Upper;
        scale.back = FormatTime4;
        rows.push_back(scale);
    }
    for (int ch = 1; ch <= 2; ++ch) {
        Row delay = alt(ch, lbDelay, 16, &CtrlSettings::AltCH1TimeBaseOffset,
                        &CtrlSettings::AltCH2TimeBaseOffset, "TIMEOFFSET");
        delay.input = true;
        delay.numArg = secondsArg;
        delay.back = FormatTime5;
        rows.push_back(delay);
    }

    Row scale;
    scale.key = {lbTimeBase, lbTimeDiv};
    scale.target = {&CtrlSettings::TimeBaseScale, 5, 15, lbTimeDiv};
    scale.storeChoice = false;
    scale.header = ":TIMEBASE:SCALE ";
    scale.arg = Upper;
    scale.query = ":TIMEBASE:SCALE?";
    scale.back = FormatTime4;
    scale.also = [](Applier& a, const QString&) { GetTimeBaseParameter(a); };
    rows.push_back(scale);

    // The delay stores nothing itself: the instrument's delay is read back.
    Row delay;
    delay.key = {lbTimeBase, lbDelay};
    delay.input = true;
    delay.target = {&CtrlSettings::TimeBaseOffset, 5, 16, lbDelay};
    delay.header = ":TIMEBASE:OFFSET ";
    delay.numArg = secondsArg;
    delay.pause = 100;
    delay.also = [](Applier& a, const QString&) { GetTimeBaseParameter(a); };
    rows.push_back(delay);

    Row format;
    format.key = {lbTimeBase, lbFormat};
    format.target = {&CtrlSettings::TimeBaseFormat, 5, 18, lbFormat};
    format.storeChoice = false;
    format.header = ":TIMEBASE:FORMAT ";
    format.arg = [](const QString& v, const QString&) {
        QString text = v;
        return TimebaseFormatToKeyword(text);
    };
    format.pause = 100;
    format.query = ":TIMEBASE:FORMAT?";
    format.back = [](const QString& r) { return r.trimmed() == "SCANNING" ? "Roll" : r; };
    format.known = [](const QString& r) {
        const QString f = r.trimmed();
        return f == "Y-T" || f == "X-Y" || f == "SCANNING";
    };
    format.also = [](Applier& a, const QString&) {
        if (a.s.TimeBaseFormat == "X-Y") {
            // X-Y shows both channels; the instrument switches them on itself.
            a.s.CH1Display = a.s.CH2Display = ValueWord(vwOn);
            a.node(2, 2, lbChannelDisplay, a.s.CH1Display);
            a.node(3, 2, lbChannelDisplay, a.s.CH2Display);
        }
        StoreReadBack(a.s.TimeBaseScale, TrimReply(QueryCmd(":TIMEBASE:SCALE?")), FormatTime4);
        a.node(5, 15, lbTimeDiv, a.s.TimeBaseScale);
        GetTimeBaseParameter(a);
    };
    rows.push_back(format);
}
