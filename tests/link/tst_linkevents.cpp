// The link's events against the simulated instrument: a connect, a refused
// connect and a disconnect announce exactly the changes of the link state.
#include <QSignalSpy>
#include <QtTest>

#include "LinkFixture.h"
#include "Simulator.h"
#include "common/ShellState.h"
#include "link/KV2200Cmd.h"
#include "link/LinkEvents.h"
#include "link/LinkState.h"
#include "link/Messages.h"

class LinkEventsTest : public QObject {
    Q_OBJECT
    Simulator sim;

    static QList<bool> values(const QSignalSpy& spy) {
        QList<bool> out;
        for (const QList<QVariant>& args : spy) out.append(args.at(0).toBool());
        return out;
    }

private slots:
    void initTestCase() {
        QVERIFY(LinkFixture::StartSimulator(sim));
        LoadMessages(LangEnglish);
        Shell().ScopeIOType = 0;
    }
    void cleanupTestCase() { LinkFixture::StopSimulator(sim); }

    void connectAndDisconnect() {
        QSignalSpy connection(&LinkEvents(), &LinkEventSource::connectionChanged);
        QSignalSpy la(&LinkEvents(), &LinkEventSource::laPresentChanged);
        SetLinkLAPresent(true);  // left from an earlier session
        SetLinkLAPresent(true);  // the same value again: no event
        QCOMPARE(values(la), QList<bool>{true});

        ConnectDSO();
        QVERIFY(Link().IsConnected);
        QCOMPARE(values(connection), QList<bool>{true});
        QCOMPARE(values(la), (QList<bool>{true, false}));  // every connect starts without one

        DisconnectDSO();
        DisconnectDSO();
        MarkDisconnected();
        QVERIFY(!Link().IsConnected);
        QCOMPARE(values(connection), (QList<bool>{true, false}));
    }

    // A connect the instrument refuses leaves the link down: nothing to announce.
    void refusedConnect() {
        QSignalSpy connection(&LinkEvents(), &LinkEventSource::connectionChanged);
        sim.Set("IDN", "SOMEONE ELSE,X1,SN1,V1");
        ConnectDSO();
        QVERIFY(!Link().IsConnected);
        QVERIFY(connection.isEmpty());
    }
};

QTEST_MAIN(LinkEventsTest)
#include "tst_linkevents.moc"
