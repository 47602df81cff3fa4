// Branches of the run state, the two channels and the logic analyser.
#include "common/Pause.h"
#include "editors/ApplyCore.h"
#include "link/Converters.h"
#include "link/CtrlPlaces.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/ReplyParse.h"
#include "link/Vocabulary.h"

namespace {

using Field = QString CtrlSettings::*;

struct ChannelFields {
    Field display, scale, offset, coupling, bw, probe;
};

QString onOff(const QString& v, const QString&) { return OnOffToKeyword(v); }

void addChannel(std::vector<Row>& rows, int ch, const ChannelFields& f) {
    const int label = ch == 1 ? lbCH1 : lbCH2;
    const int g = ch == 1 ? 2 : 3;
    const QString c = ":CHANNEL" + QString::number(ch);
    // The row of one item: its node in the channel's group, its command under ":CHANNELn".
    auto item = [&](int l, Field field, int index, const char* name) {
        Row r;
        r.key = {label, l};
        r.target = {field, g, index, l};
        r.header = c + ":" + name + " ";
        return r;
    };

    Row display = item(lbChannelDisplay, f.display, 2, "DISPLAY");
    display.arg = onOff;
    display.query = c + ":DISPLAY?";
    display.back = OnOffToText;
    rows.push_back(display);

    Row offset = item(lbOffset, f.offset, 4, "OFFSET");
    offset.input = true;
    offset.limit = 400000.0f;
    offset.storeNumber = [](double x) { return FormatVolt(GeneralText(x)); };
    offset.numArg = GeneralText;
    offset.pause = 200;
    offset.query = c + ":OFFSET?";
    offset.back = FormatVolt;
    // The instrument keeps its trigger level in volts: the level rows of this
    // channel now stand at other divisions.
    offset.also = [ch](Applier& a, const QString&) { ReadBackChannelLevels(a, ch); };
    offset.alsoAfterLost = true;
    rows.push_back(offset);

    Row coupling = item(lbCoupling, f.coupling, 5, "COUPLING");
    coupling.arg = [](const QString& v, const QString&) { return CouplingToKeyword(v); };
    rows.push_back(coupling);

    Row bw = item(lbBWLimit, f.bw, 6, "BWLIMIT");
    bw.arg = onOff;
    rows.push_back(bw);

    Row probe = item(lbProbe, f.probe, 7, "PROBE");
    probe.arg = [](const QString& v, const QString&) { return v.left(v.size() - 1); };
    probe.pause = 200;
    probe.also = [f, g, c, ch](Applier& a, const QString&) {
        if (StoreReadBack(a.s.*f.scale, TrimReply(QueryCmd(c + ":SCALE?")), FormatVolt))
            a.node(g, 3, lbVoltDiv, a.s.*f.scale);
        if (StoreReadBack(a.s.*f.offset, TrimReply(QueryCmd(c + ":OFFSET?")), FormatVolt))
            a.node(g, 4, lbOffset, a.s.*f.offset);
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
    s.LADisplay = ValueWord(vwOff);
    if (high || low) {
        (high ? s.LAGroupHighDisplay : s.LAGroupLowDisplay) = value;
        a.nodeText(9, high ? 2 : 3, item + " [" + value + "]");
        for (int k = high ? 1 : 9, end = k + 8; k < end; ++k) {
            s.LAChannelDisplay[k] = value;
            a.nodeText(9, k + 4, "D" + QString::number(16 - k) + " [" + value + "]");
        }
        SendCmd(QString(":LA:GROUP%1 ").arg(high ? 2 : 1) + OnOffToKeyword(value));
    } else {
        s.LAChannelDisplay[16 - n] = value;
        a.nodeText(9, 20 - n, "D" + QString::number(n) + " [" + value + "]");
        SendCmd(":DIGITAL" + QString::number(n) + ":TURN " + OnOffToKeyword(value));
        groupRule(s.LAChannelDisplay, 1, s.LAGroupHighDisplay);
        groupRule(s.LAChannelDisplay, 9, s.LAGroupLowDisplay);
        a.nodeText(9, 2, "D15-D8 [" + s.LAGroupHighDisplay + "]");
        a.nodeText(9, 3, "D7-D0 [" + s.LAGroupLowDisplay + "]");
    }
    for (int k = 1; k <= 16; ++k)
        if (s.LAChannelDisplay[k] == ValueWord(vwOn)) s.LADisplay = ValueWord(vwOn);
    SendCmd(":LA:DISPLAY " + OnOffToKeyword(s.LADisplay));
    return ApplyEnd::Applied;
}

ApplyEnd laPosition(Applier& a) {
    const int n = channelOf(laItem(a.v.NodePath));
    if (n < 0) return ApplyEnd::Applied;
    const QString value = a.v.ComboText;
    a.s.LAChannelPosition[16 - n] = value;
    a.nodeText(10, 20 - n, "D" + QString::number(n) + " [" + value + "]");
    SendCmd(":DIGITAL" + QString::number(n) + ":POSITION " + value);
    return ApplyEnd::Applied;
}

ApplyEnd laThreshold(Applier& a) {
    const QString value = a.v.ComboText;
    if (value == "TTL" || value == "ECL" || value == "CMOS") {
        a.s.LAThreshold = value;
        SendCmd(":LA:THRESHOLD " + value);
    } else {
        double x = 0;
        if (!a.number(x)) return ApplyEnd::NumberRefused;
        SendCmd(":LA:THRESHOLD " + FormatVoltSI(x).toUpper());
        PauseMs(100);
        // The reply reads "USER" and a separator before the level; the typed
        // number itself is never stored.
        const QString reply = TrimReply(QueryCmd(":LA:THRESHOLD?"));
        QString back;
        if (StoreReadBack(back, reply, nullptr, IsThresholdReply(reply)) && reply.size() >= 5)
            a.s.LAThreshold = FormatVolt(reply.mid(5));
    }
    a.node(4, 11, lbThreshold, a.s.LAThreshold);
    return ApplyEnd::Applied;
}

ApplyEnd runStop(Applier& a) {
    a.s.RunStop = a.v.ComboText;
    a.node(1, 2, lbRunStop, a.s.RunStop);
    SendCmd(RunStateToCmd(a.s.RunStop));
    // In the roll format the instrument may change its time base on run/stop.
    // A format that did not come or makes no sense leaves the scale as it is,
    // and the apply says so.
    const QString reply = TrimReply(QueryCmd(":TIMEBASE:FORMAT?")).trimmed();
    QString format;
    if (StoreReadBack(format, reply, nullptr, IsKnownReply(TimebaseFormatToText, reply)) && format == "SCANNING") {
        if (StoreReadBack(a.s.TimeBaseScale, TrimReply(QueryCmd(":TIMEBASE:SCALE?")), FormatTime4))
            a.node(5, 15, lbTimeDiv, a.s.TimeBaseScale);
    }
    return ApplyEnd::Applied;
}

}  // namespace

void AddChannelRows(std::vector<Row>& rows) {
    Row run;
    run.key = {lbRunStop};
    run.custom = runStop;
    rows.push_back(run);
    addChannel(rows, 1, {&CtrlSettings::CH1Display, &CtrlSettings::CH1Scale,
                         &CtrlSettings::CH1Offset, &CtrlSettings::CH1Coupling,
                         &CtrlSettings::CH1BWLimit, &CtrlSettings::CH1Probe});
    addChannel(rows, 2, {&CtrlSettings::CH2Display, &CtrlSettings::CH2Scale,
                         &CtrlSettings::CH2Offset, &CtrlSettings::CH2Coupling,
                         &CtrlSettings::CH2BWLimit, &CtrlSettings::CH2Probe});
    Row display, position, threshold;
    display.key = {lbLA, lbChannelDisplay};
    display.custom = laDisplay;
    position.key = {lbLA, lbPosition};
    position.custom = laPosition;
    threshold.key = {lbLA, lbThreshold};
    threshold.custom = laThreshold;
    rows.push_back(display);
    rows.push_back(position);
    rows.push_back(threshold);
}
