#include "shell/SoftwareSettings.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>

#include "common/SettingsStore.h"
#include "common/ShellState.h"
#include "shell/UsbChoice.h"

namespace {
const QString kGeneral = QStringLiteral("General_KV2200M");
const QString kIO = QStringLiteral("IO Settings_KV2200M");
const QString kRefresh = QStringLiteral("Refresh_KV2200M");
const QString kSettings = QStringLiteral("Settings_KV2200M");

std::optional<double> toNumber(const QString& text) {
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

// Reads one key: absent or unconvertible keeps `value` as it is.
template <typename T, typename Conv>
void readKey(QSettings& s, const QString& section, const QString& key, T& value, Conv conv) {
    const QString full = section + "/" + key;
    if (!s.contains(full)) return;
    if (auto v = conv(s.value(full).toString())) value = *v;
}

QString boolText(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

// A stored number outside its range gives the default.
void bound(int& value, int lo, int hi, int fallback) {
    if (value < lo || value > hi) value = fallback;
}

// A baud rate is a positive whole number written in digits, nothing else.
std::optional<QString> baudRateText(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 9) return std::nullopt;
    for (QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    if (t.toInt() <= 0) return std::nullopt;
    return t;
}
}  // namespace

std::optional<bool> StoredTextToBool(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare("True", Qt::CaseInsensitive) == 0) return true;
    if (t.compare("False", Qt::CaseInsensitive) == 0) return false;
    if (auto n = toNumber(t)) return *n != 0;
    return std::nullopt;
}

std::optional<int> StoredTextToInt(const QString& text) {
    auto n = toNumber(text);
    if (!n) return std::nullopt;
    const double r = std::nearbyint(*n);
    if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(r);
}

std::optional<float> StoredTextToFloat(const QString& text) {
    auto n = toNumber(text);
    if (!n || std::fabs(*n) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(*n);
}

QString FloatToStoredText(float value) { return QString::number(static_cast<double>(value), 'g', 7); }

void SetDefaultSoftwareSetting() {
    ShellStateData& sh = Shell();
    sh.StartupCheckHardware = false;
    sh.StartupLoadSheet = false;
    sh.StartupLoadCtrl = false;
    sh.ScopeIOType = 0;
    sh.COM_Port = 1;
    sh.BaudRate = "9600";
    sh.GPIB_Addr = 7;
    sh.RefreshType = "Single";
    sh.RefreshInterval = 1000;
}

MainRectTwips LoadSoftwareSetting() {
    ShellStateData& sh = Shell();
    // Defaults of a first run; each stored key that converts replaces its default.
    SetDefaultSoftwareSetting();
    MainRectTwips rect;

    auto s = OpenSettingsStore();
    auto asText = [](const QString& t) { return std::optional<QString>(t); };
    readKey(*s, kGeneral, "StartupCheckHardware", sh.StartupCheckHardware, StoredTextToBool);
    readKey(*s, kGeneral, "StartupLoadSheet", sh.StartupLoadSheet, StoredTextToBool);
    readKey(*s, kGeneral, "StartupLoadCtrl", sh.StartupLoadCtrl, StoredTextToBool);
    readKey(*s, kIO, "ScopeIOType", sh.ScopeIOType, StoredTextToInt);
    // Only 0 (USB) and 2 (RS-232) are links; anything else would write over USB
    // and read as if serial.
    if (sh.ScopeIOType != 0 && sh.ScopeIOType != 2) sh.ScopeIOType = 0;
    readKey(*s, kIO, "COM_Port", sh.COM_Port, StoredTextToInt);
    bound(sh.COM_Port, 1, 16, 1);
    readKey(*s, kIO, "BaudRate", sh.BaudRate, baudRateText);
    readKey(*s, kIO, "GPIB_Addr", sh.GPIB_Addr, StoredTextToInt);
    bound(sh.GPIB_Addr, 0, 30, 7);
    ResetUsbDeviceChoice();
    readKey(*s, kRefresh, "Refresh Type", sh.RefreshType, asText);
    readKey(*s, kRefresh, "Refresh Interval", sh.RefreshInterval, StoredTextToInt);
    bound(sh.RefreshInterval, MinRefreshIntervalMs, MaxRefreshIntervalMs, 1000);
    readKey(*s, kSettings, "MainLeft", rect.Left, StoredTextToFloat);
    readKey(*s, kSettings, "MainTop", rect.Top, StoredTextToFloat);
    readKey(*s, kSettings, "MainWidth", rect.Width, StoredTextToFloat);
    readKey(*s, kSettings, "MainHeight", rect.Height, StoredTextToFloat);
    return rect;
}

MainRectTwips FitMainRect(const MainRectTwips& r, const QRectF& available) {
    MainRectTwips f = r;
    const double minSide = 3000;  // 200 pixels at 15 twips a pixel
    f.Width = float(std::clamp<double>(r.Width, std::min(minSide, available.width()), available.width()));
    f.Height = float(std::clamp<double>(r.Height, std::min(minSide, available.height()), available.height()));
    f.Left = float(std::clamp<double>(r.Left, available.left(), available.left() + available.width() - f.Width));
    f.Top = float(std::clamp<double>(r.Top, available.top(), available.top() + available.height() - f.Height));
    return f;
}

bool SaveSoftwareSetting(const std::optional<MainRectTwips>& rect) {
    const ShellStateData& sh = Shell();
    auto s = OpenSettingsStore();
    s->setValue(kGeneral + "/StartupCheckHardware", boolText(sh.StartupCheckHardware));
    s->setValue(kGeneral + "/StartupLoadSheet", boolText(sh.StartupLoadSheet));
    s->setValue(kGeneral + "/StartupLoadCtrl", boolText(sh.StartupLoadCtrl));
    s->setValue(kIO + "/ScopeIOType", QString::number(sh.ScopeIOType));
    s->setValue(kIO + "/COM_Port", QString::number(sh.COM_Port));
    s->setValue(kIO + "/BaudRate", sh.BaudRate);
    s->setValue(kIO + "/GPIB_Addr", QString::number(sh.GPIB_Addr));
    s->setValue(kRefresh + "/Refresh Type", sh.RefreshType);
    s->setValue(kRefresh + "/Refresh Interval", QString::number(sh.RefreshInterval));
    if (rect) {
        s->setValue(kSettings + "/MainLeft", FloatToStoredText(rect->Left));
        s->setValue(kSettings + "/MainTop", FloatToStoredText(rect->Top));
        s->setValue(kSettings + "/MainWidth", FloatToStoredText(rect->Width));
        s->setValue(kSettings + "/MainHeight", FloatToStoredText(rect->Height));
    }
    s->sync();
    return s->status() == QSettings::NoError;
}
