#include "link/TransferValues.h"

#ifdef KV_TRANSFER_VALUES_MERGED

namespace {
constexpr int LabelChannelDisplay = 5;  // ControllerLabels: "Display" of a channel
}

QString OnWord() { return ValueWord(vwOn); }
QString OffWord() { return ValueWord(vwOff); }
QString DisplayLabel() { return ControllerLabel(LabelChannelDisplay); }

#else
// TEMPORARY STAND-IN bodies (see the header).
#include <QLocale>
#include <cmath>

namespace {
double Val(const QString& t) {
    bool ok = false;
    const double v = QLocale::c().toDouble(TrimReply(t).trimmed(), &ok);
    return ok ? v : 0.0;
}
QString Si(double v, const char* unit, const QString& zero) {
    static const struct { double f; const char* p; } pre[] = {
        {1e9, "G"}, {1e6, "M"}, {1e3, "k"}, {1, ""}, {1e-3, "m"}, {1e-6, "u"}, {1e-9, "n"}, {1e-12, "p"}};
    for (const auto& p : pre)
        if (v != 0 && std::fabs(v) >= p.f) return QString::number(v / p.f, 'f', 2) + p.p + unit;
    return zero;
}
}  // namespace

QString TrimReply(const QString& text) {
    const int k = text.indexOf(QLatin1Char('\n'));
    return k < 0 ? text : text.left(k);
}
QString FormatVolt(const QString& t) { return Si(Val(t), "V", "0.00uV"); }
QString FormatTime4(const QString& t) { return Si(Val(t), "s", "0.000s"); }
QString FormatFreq(const QString& t) { return Val(t) <= 0 ? QString("??.???") : Si(Val(t), "Hz", "??.???"); }
QString FormatPercent(const QString& t) { return QString::number(Val(t) * 100, 'f', 2) + "%"; }
QString OnOffToText(const QString& reply) { return reply == "ON" ? OnWord() : OffWord(); }
QString OnWord() { return "ON"; }
QString OffWord() { return "OFF"; }
QString DisplayLabel() { return "Display"; }
TransferMirrorStandIn& DSOSettings() {
    static TransferMirrorStandIn m;
    return m;
}
#endif
