#include "LinkFixture.h"

#include <QTimer>

#include "Simulator.h"
#include "common/ShellState.h"
#include "link/RS232Func.h"

#include "link/LinkState.h"
#include "link/UsbFunc.h"
#include "platform/dialogs/MsgBox.h"

namespace LinkFixture {
bool OpenUsbAsConnected() {
    Usb().UsbDeviceIndex = 0;
    Usb().UsbResource.clear();
    Link().Connecting = true;
    OpenVisa();
    Link().Connecting = false;
    Link().IsConnected = Link().LinkOpen;
    return Link().IsConnected;
}

bool StartSimulatorLink(Simulator& sim, QTimer& tick) {
    Visa::SetDefaultTimeoutMs(300);
    if (!sim.Start()) return false;
    sim.SetEnvironment();
    Shell().COM_Port = 1;
    OpenVisaRM();
    QObject::connect(&tick, &QTimer::timeout, [] { SerialTick(); });
    tick.start(5);
    return true;
}

QStringList ShownTexts() {
    QStringList out;
    for (const ShownMessage& m : MsgBoxService::Log()) out << m.text + " / " + m.title;
    return out;
}
}  // namespace LinkFixture
