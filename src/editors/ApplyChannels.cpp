// Branches of the run state, the two channels and the logic analyser.
#include "common/Pause.h"
#include "editors/ApplyCore.h"
#include "link/Converters.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/ReplyParse.h"
#include "link/SettingCatalog.h"
#include "link/Vocabulary.h"

namespace {

using Field = QString CtrlSettings::*;
using S = CtrlSettings;

struct ChannelFields {
    Field display, scale, offset, coupling, bw, probe;
};

void addChannel(std::vector<Row>& rows, int ch, const ChannelFields& f) {
    Row display = SettingRow(f.display);
    display.readBack = true;
    rows.push_back(display);

    Row offset = SettingRow(f.offset);
    offset.input = true;
    offset.limit = 400000.0f;
    offset.storeNumber = [](double x) { return FormatVolt(GeneralText(x)); };
    offset.numArg = GeneralText;
    offset.pause = 200;
    offset.readBack = true;
    // The instrument keeps its trigger level in volts: the level rows of this
    // channel now stand at other divisions.
    offset.also = [ch](Applier& a, const QString&) { ReadBackChannelLevels(a, ch); };
    offset.alsoAfterLost = true;
    rows.push_back(offset);

    rows.push_back(SettingRow(f.coupling));
    rows.push_back(SettingRow(f.bw));

    Row probe = SettingRow(f.probe);
    probe.arg = [](Applier&, const QString& v, const SettingDesc&) { return ProbeArgument(v); };
    probe.pause = 200;
    probe.also = [f, ch](Applier& a, const QString&) {
        for (Field read : {f.scale, f.offset}) {
            const SettingDesc& d = SettingOf(read);
            if (StoreReadBack(a.run, a.s.*read, TrimReply(QueryCmd(d.query)), d.reply)) a.show(d.number);
        }
        ReadBackChannelLevels(a, ch);
    };
    rows.push_back(probe);
}

// The item of a node inside the LA group's sub-groups: the path's fourth part
// up to " [" ("root\LA\Display\D3 [ON]" gives "D3").
QString laItem(const QString& path) {
    QString rest = path;
    for (int i = 0; i < 3; ++i) {
        const int slash = rest.indexOf('\\');
        if (slash < 0) return QString();
        rest = rest.mid(slash + 1);
    }
    const int bracket = rest.indexOf('[');
    if (bracket < 1) return QString();
    return rest.left(bracket - 1).trimmed();
}

// The channel number of "Dn" (0..15), -1 for anything else.
int channelOf(const QString& item) {
    if (!item.startsWith('D')) return -1;
    bool ok = false;
    const int n = item.mid(1).trimmed().toInt(&ok);
    return ok && n >= 0 && n <= 15 ? n : -1;
}

// A group reads OFF as soon as one channel is OFF, ON when none is OFF and
// one is ON; other texts leave it as it was.
void groupRule(const CtrlCodeArray& d, int first, QString& group) {
    for (int k = first; k < first + 8; ++k) {
        if (d[k] == ValueWord(vwOn)) {
            group = ValueWord(vwOn);
        } else if (d[k] == ValueWord(vwOff)) {
            group = ValueWord(vwOff);
            return;
        }
    }
}

ApplyEnd laDisplay(Applier& a) {
    const QString item = laItem(a.v.NodePath);
    const QString value = a.v.ComboText;
    CtrlSettings& s = a.s;
    const bool high = item == "D15-D8", low = item == "D7-D0";
    const int n = channelOf(item);
    if (!high && !low && n < 0) return ApplyEnd::Applied;
    const int highGroup = SettingNumber(&S::LAGroupHighDisplay), lowGroup = SettingNumber(&S::LAGroupLowDisplay);
    s.LADisplay = ValueWord(vwOff);
    if (high || low) {
        const SettingDesc& group = SettingOf(high ? highGroup : lowGroup);
        SettingValue(s, group.number) = value;
        a.show(group.number);
        for (int k = high ? 1 : 9, end = k + 8; k < end; ++k) {
            s.LAChannelDisplay[k] = value;
            a.show(SettingNumber(&S::LAChannelDisplay, k));
        }
        SendCmd(group.elementCommand + " " + group.keyword(value));
    } else {
        const SettingDesc& d = SettingOf(&S::LAChannelDisplay, 16 - n);
        SettingValue(s, d.number) = value;
        a.show(d.number);
        SendCmd(d.elementCommand + " " + d.keyword(value));
        groupRule(s.LAChannelDisplay, 1, s.LAGroupHighDisplay);
        groupRule(s.LAChannelDisplay, 9, s.LAGroupLowDisplay);
        a.show(highGroup);
        a.show(lowGroup);
    }
    for (int k = 1; k <= 16; ++k)
        if (s.LAChannelDisplay[k] == ValueWord(vwOn)) s.LADisplay = ValueWord(vwOn);
    const SettingDesc& la = SettingOf(&S::LADisplay);
    SendCmd(la.command + " " + la.keyword(s.LADisplay));
    return ApplyEnd::Applied;
}

ApplyEnd laPosition(Applier& a) {
    const int n = channelOf(laItem(a.v.NodePath));
    if (n < 0) return ApplyEnd::Applied;
    const QString value = a.v.ComboText;
    const SettingDesc& d = SettingOf(&S::LAChannelPosition, 16 - n);
    SettingValue(a.s, d.number) = value;
    a.show(d.number);
    SendCmd(d.elementCommand + " " + value);
    return ApplyEnd::Applied;
}

ApplyEnd laThreshold(Applier& a) {
    const SettingDesc& d = SettingOf(&S::LAThreshold);
    const QString value = a.v.ComboText;
    if (value == "TTL" || value == "ECL" || value == "CMOS") {
        a.s.LAThreshold = value;
        SendCmd(d.command + " " + value);
    } else {
        double x = 0;
        if (!a.number(x)) return ApplyEnd::NumberRefused;
        SendCmd(d.command + " " + FormatVoltSI(x).toUpper());
        PauseMs(100);
        // The reply reads "USER" and a separator before the level; the typed
        // number itself is never stored.
        const QString reply = TrimReply(QueryCmd(d.query));
        QString back;
        if (StoreReadBack(a.run, back, reply, nullptr, IsThresholdReply(reply)) && reply.size() >= 5)
            a.s.LAThreshold = FormatVolt(reply.mid(5));
    }
    a.show(d.number);
    return ApplyEnd::Applied;
}

ApplyEnd runStop(Applier& a) {
    const SettingDesc& run = SettingOf(&S::RunStop);
    a.s.RunStop = a.v.ComboText;
    a.show(run.number);
    SendCmd(run.keyword(a.s.RunStop));  // the run state's keyword is its whole command
    // In the roll format the instrument may change its time base on run/stop.
    // A format that did not come or makes no sense leaves the scale as it is,
    // and the apply says so.
    const SettingDesc& format = SettingOf(&S::TimeBaseFormat);
    const QString reply = TrimReply(QueryCmd(format.query)).trimmed();
    QString text;
    if (StoreReadBack(a.run, text, reply, nullptr, IsKnownReply(format.reply, reply)) && text == "SCANNING") {
        const SettingDesc& scale = SettingOf(&S::TimeBaseScale);
        if (StoreReadBack(a.run, a.s.TimeBaseScale, TrimReply(QueryCmd(scale.query)), scale.reply))
            a.show(scale.number);
    }
    return ApplyEnd::Applied;
}

}  // namespace

void AddChannelRows(std::vector<Row>& rows) {
    auto custom = [&](int number, std::function<ApplyEnd(Applier&)> branch) {
        Row r = SettingRow(number);
        r.custom = std::move(branch);
        rows.push_back(r);
    };
    custom(SettingNumber(&S::RunStop), runStop);
    addChannel(rows, 1, {&S::CH1Display, &S::CH1Scale, &S::CH1Offset, &S::CH1Coupling, &S::CH1BWLimit, &S::CH1Probe});
    addChannel(rows, 2, {&S::CH2Display, &S::CH2Scale, &S::CH2Offset, &S::CH2Coupling, &S::CH2BWLimit, &S::CH2Probe});
    // The logic analyser's sub-groups: one branch for every row of each.
    custom(SettingNumber(&S::LAChannelDisplay, 1), laDisplay);
    custom(SettingNumber(&S::LAChannelPosition, 1), laPosition);
    custom(SettingNumber(&S::LAThreshold), laThreshold);
}
