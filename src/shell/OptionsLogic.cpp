#include "shell/OptionsLogic.h"

#include "link/RS232Func.h"

#include <cmath>

#include "common/ShellState.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "shell/UsbChoice.h"

ShellDialogState& ShellDialogs() {
    static ShellDialogState s;
    return s;
}

const QStringList& BaudEntries() {
    static const QStringList l{"300", "2400", "4800", "9600", "19200", "38400"};
    return l;
}

const QStringList& IntervalEntries() {
    static const QStringList l{"1", "2", "5", "10", "20"};
    return l;
}

QStringList PortEntries() {
    QStringList l;
    // Each COM number with the device it opens on this machine.
    for (int i = 1; i <= 16; ++i) l << QString("COM%1  (%2)").arg(i).arg(CommDevicePath(i));
    return l;
}

QStringList GpibEntries() {
    QStringList l;
    for (int i = 0; i <= 30; ++i) l << QString::number(i);
    return l;
}

QString UsbSerialField(const QString& description) {
    const QStringList parts = description.split("::");
    if (parts.size() < 4) return description;
    return parts[3];
}

static const QString kNoDeviceZh = QString::fromUtf8("无设备");
static const QString kNoDeviceEn = QStringLiteral("No Device");

QStringList DeviceEntries(const QStringList& resources, int language) {
    if (resources.isEmpty()) return {language == LangChinese ? kNoDeviceZh : kNoDeviceEn};
    QStringList l;
    for (const QString& r : resources) l << UsbSerialField(r);
    return l;
}

bool IsNoDeviceEntry(const QString& text) { return text == kNoDeviceZh || text == kNoDeviceEn; }

OptionsChoice OptionsFromSettings(int deviceCount) {
    const ShellStateData& sh = Shell();
    OptionsChoice c;
    c.StartupCheckHardware = sh.StartupCheckHardware;
    c.StartupLoadSheet = sh.StartupLoadSheet;
    c.StartupLoadCtrl = sh.StartupLoadCtrl;
    c.IOType = sh.ScopeIOType == 2 ? 2 : 0;
    c.PortIndex = (sh.COM_Port >= 1 && sh.COM_Port <= 16) ? sh.COM_Port - 1 : 0;
    c.BaudIndex = BaudEntries().indexOf(sh.BaudRate);
    c.GpibIndex = GpibEntries().indexOf(QString::number(sh.GPIB_Addr));
    c.AutoRefresh = sh.RefreshType == "Auto";
    c.IntervalIndex = sh.RefreshInterval % 1000 == 0
                          ? IntervalEntries().indexOf(QString::number(sh.RefreshInterval / 1000))
                          : -1;
    const int chosen = UsbChoiceIndex();
    c.DeviceIndex = (deviceCount > 0 && chosen >= 1 && chosen <= deviceCount) ? chosen - 1 : 0;
    return c;
}

void ApplyOptionsOK(const OptionsChoice& c, const QStringList& resources) {
    ShellStateData& sh = Shell();
    const QString baud = (c.BaudIndex >= 0 && c.BaudIndex < BaudEntries().size()) ? BaudEntries()[c.BaudIndex]
                                                                                  : QString();
    if (Link().IsConnected) {
        if (!baud.isEmpty() && baud != sh.BaudRate) {
            SendCmd(":RS232:BAUD " + baud.trimmed());
            sh.BaudRate = baud;
        }
        DisconnectDSO();
    }
    sh.StartupCheckHardware = c.StartupCheckHardware;
    sh.StartupLoadSheet = c.StartupLoadSheet;
    sh.StartupLoadCtrl = c.StartupLoadCtrl;
    sh.RefreshType = c.AutoRefresh ? "Auto" : "Single";
    if (c.IntervalIndex >= 0 && c.IntervalIndex < IntervalEntries().size())
        sh.RefreshInterval = static_cast<int>(std::lround(IntervalEntries()[c.IntervalIndex].toDouble() * 1000));
    sh.ScopeIOType = c.IOType == 2 ? 2 : 0;
    if (c.PortIndex >= 0 && c.PortIndex < 16) sh.COM_Port = c.PortIndex + 1;
    if (!baud.isEmpty()) sh.BaudRate = baud;
    if (c.GpibIndex >= 0 && c.GpibIndex <= 30) sh.GPIB_Addr = c.GpibIndex;
    if (resources.isEmpty() || c.DeviceIndex < 0 || c.DeviceIndex >= resources.size()) {
        SetUsbDeviceChoice(0, QString());
    } else {
        SetUsbDeviceChoice(c.DeviceIndex + 1, resources[c.DeviceIndex]);
    }
    ShellDialogs().DialogOK = true;
}
