#include "LinkFixture.h"

#include "Simulator.h"
#include "TestEnv.h"
#include "common/ShellState.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Vocabulary.h"
#include "link/UsbFunc.h"
#include "platform/dialogs/MsgBox.h"

namespace LinkFixture {
bool StartSimulator(Simulator& sim) {
    TestEnv::Init();
    LoadValueWords(LangEnglish);
    LoadControllerLabels(LangEnglish);
    qputenv("KV2200_VISA_TIMEOUT_MS", "300");
    if (!sim.Start()) return false;
    sim.SetEnvironment();
    Shell().COM_Port = 1;
    OpenVisaRM();
    return true;
}

bool StartConnectedSimulator(Simulator& sim) {
    if (!StartSimulator(sim)) return false;
    Shell().ScopeIOType = 0;
    ConnectDSO();
    sim.Set(":TRIGGER:MODE", "EDGE");
    return Link().IsConnected;
}

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
