// Branches of the time base, main and per alternation channel.
#include "editors/ApplyCore.h"
#include "link/Converters.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/ReplyParse.h"
#include "link/SettingCatalog.h"
#include "link/Vocabulary.h"

namespace {
using S = CtrlSettings;

QString secondsArg(double x) { return FormatTimeSIDot(x).toUpper(); }

// The rest of the time base read back after the scale, the delay or the
// format changed: the delay, shown with five digits.
void readDelay(Applier& a) {
    const SettingDesc& d = SettingOf(&S::TimeBaseOffset);
    StoreReadBack(a.run, a.s.TimeBaseOffset, TrimReply(QueryCmd(d.query)), FormatTime5);
    a.show(d.number);
}
}  // namespace

void AddTimeBaseRows(std::vector<Row>& rows) {
    // The two alternation channels: the channel is selected first, 50 ms
    // after each command, and the value is read back.
    auto alt = [](int ch, QString S::*field) {
        Row r = SettingRow(field);
        r.select = AltChannelSelect(ch);
        r.selectPause = 50;
        r.pause = 50;
        r.readBack = true;
        return r;
    };
    for (int ch = 1; ch <= 2; ++ch) {
        Row scale = alt(ch, ch == 1 ? &S::AltCH1TimeBaseScale : &S::AltCH2TimeBaseScale);
        scale.storeChoice = false;  // the field takes only the value read back
        scale.arg = UpperArgument;
        rows.push_back(scale);
    }
    for (int ch = 1; ch <= 2; ++ch) {
        Row delay = alt(ch, ch == 1 ? &S::AltCH1TimeBaseOffset : &S::AltCH2TimeBaseOffset);
        delay.input = true;
        delay.numArg = secondsArg;
        delay.back = FormatTime5;  // shown with five digits, as the main delay
        rows.push_back(delay);
    }

    Row scale = SettingRow(&S::TimeBaseScale);
    scale.storeChoice = false;
    scale.arg = UpperArgument;
    scale.readBack = true;
    scale.also = [](Applier& a, const QString&) { readDelay(a); };
    rows.push_back(scale);

    // The delay stores nothing itself: the instrument's delay is read back.
    Row delay = SettingRow(&S::TimeBaseOffset);
    delay.input = true;
    delay.numArg = secondsArg;
    delay.pause = 100;
    delay.also = [](Applier& a, const QString&) { readDelay(a); };
    rows.push_back(delay);

    Row format = SettingRow(&S::TimeBaseFormat);
    format.storeChoice = false;
    format.arg = [](Applier&, const QString& v, const SettingDesc&) {
        QString text = v;
        return TimebaseFormatToKeyword(text);
    };
    format.pause = 100;
    format.readBack = true;
    // The reply is read with the blanks around it cut off.
    format.back = [](const QString& r) { return r.trimmed() == "SCANNING" ? "Roll" : r; };
    format.known = [](const QString& r) {
        const QString f = r.trimmed();
        return f == "Y-T" || f == "X-Y" || f == "SCANNING";
    };
    format.also = [](Applier& a, const QString&) {
        if (a.s.TimeBaseFormat == "X-Y") {
            // X-Y shows both channels; the instrument switches them on itself.
            a.s.CH1Display = a.s.CH2Display = ValueWord(vwOn);
            a.show(SettingNumber(&S::CH1Display));
            a.show(SettingNumber(&S::CH2Display));
        }
        const SettingDesc& d = SettingOf(&S::TimeBaseScale);
        StoreReadBack(a.run, a.s.TimeBaseScale, TrimReply(QueryCmd(d.query)), d.reply);
        a.show(d.number);
        readDelay(a);
    };
    rows.push_back(format);
}
