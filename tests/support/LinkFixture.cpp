#include "LinkFixture.h"

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

QStringList ShownTexts() {
    QStringList out;
    for (const ShownMessage& m : MsgBoxService::Log()) out << m.text + " / " + m.title;
    return out;
}
}  // namespace LinkFixture
