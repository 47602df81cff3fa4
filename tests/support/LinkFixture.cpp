#include "LinkFixture.h"

#include <QElapsedTimer>
#include <QTimer>
#include <memory>

#include "Simulator.h"
#include "TestEnv.h"
#include "common/DSOSettings.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "common/Wait.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/RS232Func.h"
#include "link/TransferJobs.h"
#include "link/TransferValues.h"
#include "link/Vocabulary.h"
#include "link/UsbFunc.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/visa/Visa.h"

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

bool StartUsbSimulator(Simulator& sim) {
    TestEnv::Init();
    if (!sim.Start()) return false;
    sim.SetEnvironment();
    Visa::SetDefaultTimeoutMs(500);
    OpenVisaRM();
    return true;
}

void StopSimulator(Simulator& sim) {
    CloseVisaRM();
    sim.Stop();
}

bool ReconnectUsb(Simulator& sim) {
    sim.SetFault("none");
    Shell().ScopeIOType = 0;
    return OpenUsbAsConnected();
}

bool ConnectOver(Simulator& sim, const QString& transport, QString& lastTransport) {
    Shell().ScopeIOType = transport == "pty" ? 2 : 0;
    sim.SetFault("none");
    if (!Link().IsConnected || lastTransport != transport) {
        DisconnectDSO();
        qputenv("KV2200_COM1", sim.CurrentPtyPath().toLocal8Bit());
        ConnectDSO();
        lastTransport = transport;
    }
    return Link().IsConnected;
}

void StartQuickSerialTick(QTimer& tick, Simulator& sim) {
    // The longest silence time-out of a serial wait (a binary reply's).
    constexpr int kLongestTimeoutTicks = 100;
    auto busySince = std::make_shared<QElapsedTimer>();
    QObject::connect(&tick, &QTimer::timeout, [&sim, busySince] {
        // (A reply that failed leaves WaitingReply set: a wait that ran out
        // is not watched.) Putting the link back in step waits for replies too.
        const bool waiting = Link().WaitingReply || Serial().Resyncing;
        if (!waiting || Serial().TickCount >= kLongestTimeoutTicks) {
            busySince->invalidate();
            NotifyWaiters();  // waits that poll the simulator look again
            return;
        }
        switch (sim.SerialLineState()) {
        case Simulator::SerialLine::Busy:
            // Only a broken exchange stays busy this long: then the wait is
            // let run out rather than hang the test.
            if (!busySince->isValid()) busySince->start();
            if (busySince->elapsed() < 20000) {
                NotifyWaiters();
                return;
            }
            SerialTick();
            return;
        case Simulator::SerialLine::Withheld:
            busySince->invalidate();
            for (int k = 0; k < kLongestTimeoutTicks; ++k) SerialTick();
            return;
        case Simulator::SerialLine::Idle:
            busySince->invalidate();
            SerialTick();
            return;
        }
    });
    tick.start(5);
}

void ResetInstrument(Simulator& sim) {
    SendCmd("*RST");
    QueryCmd("*IDN?");
    sim.ClearLog();
}

void ResetFetchState(Simulator& sim) {
    DSOSettings().CH1Display = OnWord();
    DSOSettings().CH2Display = OnWord();
    Shell().RefreshType = "Single";
    Shell().RefreshInterval = 1000;
    Sheets().SheetModified = false;
    MsgBoxService::ClearLog();
    sim.ClearLog();
}

int FetchCount(Simulator& sim) {
    int n = 0;
    for (const QString& c : sim.Log()) n += c.startsWith(":WAVEFORM:DATA?");
    return n;
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

QStringList JobResults(int code, int slot) {
    const auto& t = Transfer();
    QStringList out;
    if (code != JobWaveView) out << t.DataTitle.section("[Date:", 0, 0);
    if (code == JobMeasureCH1) {
        for (const auto& item : t.MeasureResults) out << item.Value;
    } else if (code == JobDataCH1) {
        out << QString::number(t.DataPointCount);
        for (int k = 1; k <= t.DataPointCount; ++k) out << t.DataTimeText[size_t(k)] + " " + t.DataVoltText[size_t(k)];
    } else {
        const WaveInfo& w = Sheets().WaveViews[size_t(slot)];
        out << w.TriggerMode << w.Ch1Scale << w.Ch2Scale << w.TimeScale << w.TimeOffset
            << QString("%1%2%3%4").arg(w.Ch1Fetched).arg(w.Ch2Fetched).arg(w.MathFetched).arg(w.LaFetched);
        for (const SampleArray* a : {&w.Ch1Samples, &w.Ch2Samples, &w.MathSamples, &w.LaSamples}) {
            QString row;
            for (int32_t v : *a) row += QString::number(v) + ",";
            out << row;
        }
    }
    return out;
}

QStringList ShownTexts() {
    QStringList out;
    for (const ShownMessage& m : MsgBoxService::Log()) out << m.text + " / " + m.title;
    return out;
}
QString DroppedLinkMessage(bool serial) {
    const MessageTableData& m = MessageTable();
    return serial ? LinkDroppedText(m.MsgRs232ReadFail) + " / " + m.MsgTitleRs232Read
                  : LinkDroppedText(m.MsgUsbReadFail) + " / " + m.MsgTitleUsbRead;
}
bool BeginsAsNaming(const QString& text, const CountedMessage& message) {
    for (const QString* form : {&message.one, &message.several})
        if (text.startsWith(form->section(QStringLiteral("%1"), 0, 0))) return true;
    return false;
}
void AnswerLikeAModalBox(QList<bool>& linkUp) {
    MsgBoxService::SetAnswerer([&linkUp](const ShownMessage&) {
        linkUp << Link().IsConnected;
        QElapsedTimer shown;
        shown.start();
        while (shown.elapsed() < 300) YieldOnce();
        linkUp << Link().IsConnected;
        return int(vbOK);
    });
}
}  // namespace LinkFixture
