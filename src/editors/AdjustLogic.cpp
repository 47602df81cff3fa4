#include "editors/AdjustLogic.h"

#include "common/Pause.h"
#include "controller/CtrlState.h"
#include "editors/ApplyCore.h"
#include "editors/CtrlApply.h"
#include "link/Formatters.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/ReplyParse.h"
#include "link/ScaleSteps.h"
#include "link/SettingCatalog.h"
#include "platform/dialogs/MsgBox.h"

#include <QLocale>
#include <cmath>
#include <cstring>

namespace {
// Single-precision number as plain text with "." (it goes into a command
// and through the formatter).
QString plain(float y) { return QString::number(double(y), 'g', 7); }
}  // namespace

AdjustStateData& AdjustState() {
    static AdjustStateData state;
    return state;
}

int GetCHProbeNum(const QString& probe) {
    static const struct { const char* text; int factor; } kProbes[] = {
        {"1X", 1}, {"2X", 2}, {"5X", 5}, {"10X", 10}, {"50X", 50}, {"100X", 100},
        {"500X", 500}, {"1000X", 1000},
    };
    for (const auto& p : kProbes)
        if (probe == QLatin1String(p.text)) return p.factor;
    return 0;
}

bool ReadBoxVolts(const QString& text, double& x) {
    x = 0;
    // The user's decimal mark reads as the point; the box's own texts carry ".".
    QString t = text.trimmed();
    t.replace(QLocale().decimalPoint(), QLatin1String("."));
    // A bare number is volts; blanks may stand between the number and its unit.
    const int end = int(t.size());
    int unit = t.endsWith(QLatin1Char('V')) ? end - 1 : end;
    const ushort before = unit < end && unit > 0 ? t[unit - 1].unicode() : 0;
    if (before && before < 0x80 && std::strchr("kmunp", char(before))) --unit;
    const QString number = t.left(unit).trimmed();
    const QString unitText = unit < end ? t.mid(unit) : QStringLiteral("V");
    const UnitNumber v = ReadUnitNumber(number + unitText, "V", "kmunp", Qt::CaseSensitive);
    x = v.value;
    return v.valid;
}

QString AdjustStep(const QString& shown, int mode, int direction) {
    const CtrlSettings& s = DSOSettings();
    const int probe = GetCHProbeNum(mode == 0 ? s.CH1Probe : s.CH2Probe);
    const float p = probe > 0 ? float(probe) : 1.0f;  // never divide by an unknown probe
    double volts = 0;
    ReadBoxVolts(shown, volts);  // a text it cannot read counts as 0
    const float x = float(volts) / p;
    const bool fine = (mode == 0 ? AdjustState().CH1CoarseFine : AdjustState().CH2CoarseFine) != 0;
    const int16_t count = direction > 0 ? 1 : direction < 0 ? -1 : 0;
    const float stepped = fine ? StepVoltsPerDivFine(x, count) : StepVoltsPerDiv(x, count);
    return FormatVolt(plain(p * stepped));
}

AdjustEnd ApplyAdjust(const QString& shown, int mode) {
    // What is stored, shown and sent is the one value of the setting's own
    // format (SettingCatalog), as the upload writes it from a file.
    double typed = 0;
    const int number = SettingNumber(mode == 0 ? &CtrlSettings::CH1Scale : &CtrlSettings::CH2Scale);
    const QString text =
        ReadBoxVolts(shown, typed) ? FormatNumber(SettingOf(number).format, double(float(typed))) : QString();
    const UnitNumber read = ReadVoltsText(text);
    const double value = read.value;
    if (!read.valid || !(value > 0)) {
        MsgBox(MessageTable().MsgVoltsOnly, vbExclamation);
        return AdjustEnd::NumberRefused;
    }
    const bool ch1 = mode == 0;
    const CtrlSettings& now = DSOSettings();
    const QString probe = ch1 ? now.CH1Probe : now.CH2Probe;
    const int p = GetCHProbeNum(probe);
    // The span the steps cover, times the probe (an unknown probe counts as 1X).
    const double factor = p > 0 ? p : 1;
    if (!VoltsPerDivInSpan(value / factor)) {
        MsgBox(MessageTable().MsgVoltDivRange.arg(FormatVolt(factor * kVoltsPerDivLow),
                                                  FormatVolt(factor * kVoltsPerDivHigh)),
               vbExclamation);
        return AdjustEnd::NumberRefused;
    }
    const bool wasConnected = Link().IsConnected;
    // Mirror and tree writes are staged as in the setting dialog's apply.
    const CtrlDialogValues none;
    ApplyRun run;
    Applier a(none, run);
    using S = CtrlSettings;
    const SettingDesc& scale = SettingOf(ch1 ? &S::CH1Scale : &S::CH2Scale);
    const SettingDesc& offset = SettingOf(ch1 ? &S::CH1Offset : &S::CH2Offset);
    const SettingDesc& probeSetting = SettingOf(ch1 ? &S::CH1Probe : &S::CH2Probe);

    SettingValue(a.s, scale.number) = text;
    a.show(scale.number);
    // A probe text outside the list is not sent: the instrument keeps its own.
    if (p > 0) SendCmd(probeSetting.command + " " + ProbeArgument(probe));
    SendCmd(scale.command + " " + plain(float(value)));
    PauseMs(200);
    StoreReadBack(run, SettingValue(a.s, offset.number), TrimReply(QueryCmd(offset.query)), offset.reply);
    a.show(offset.number);
    ReadBackChannelLevels(a, ch1 ? 1 : 2);

    if (LinkLostDuringApply(wasConnected)) return AdjustEnd::LinkLost;
    CommitApply(a);
    CtrlState().CtrlModified = true;
    ReportUnusableReadBack(run);
    return AdjustEnd::Applied;
}
