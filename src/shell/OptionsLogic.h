#pragma once
// What the options dialog shows and what its OK does, without the widgets.
#include <QString>
#include <QStringList>

struct ShellDialogState {
    bool DialogOK = false;  // the last modal dialog was closed with OK
    int NewDocKind = 1;     // DocumentKind chosen in the New or Open dialog
};
ShellDialogState& ShellDialogs();

const QStringList& BaudEntries();      // "300" ... "38400"
const QStringList& IntervalEntries();  // seconds: "1", "2", "5", "10", "20"
QStringList PortEntries();             // "COM1" ... "COM16"
QStringList GpibEntries();             // "0" ... "30"

// The serial-number field of a VISA resource description: the text between
// the third and the fourth "::" (or the end). A description with fewer than
// three separators is shown whole.
QString UsbSerialField(const QString& description);
// The device list: one serial field per resource, or the single no-device
// entry of the language ("无设备" for 0, "No Device" otherwise).
QStringList DeviceEntries(const QStringList& resources, int language);
bool IsNoDeviceEntry(const QString& text);

// The dialog's selections. An index of -1 selects nothing.
struct OptionsChoice {
    bool StartupCheckHardware = false;
    bool StartupLoadSheet = false;
    bool StartupLoadCtrl = false;
    int IOType = 0;         // 0 USB, 2 RS-232
    int PortIndex = 0;      // COM_Port - 1
    int BaudIndex = -1;
    int GpibIndex = -1;
    bool AutoRefresh = false;
    int IntervalIndex = -1;
    int DeviceIndex = 0;    // into the device list (0 also for "No Device")
};

// The selections an opening shows for the current settings, with `deviceCount`
// instruments found. Nothing is changed: a port outside 1..16 shows COM1, a
// stored value that is not an entry selects nothing.
OptionsChoice OptionsFromSettings(int deviceCount);

// OK: when connected, sends ":RS232:BAUD <rate>" if the rate changed and then
// disconnects; then stores every choice in the settings (a list with nothing
// selected keeps its setting) and the USB device choice. Sets DialogOK.
void ApplyOptionsOK(const OptionsChoice& choice, const QStringList& resources);
