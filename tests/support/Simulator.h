#pragma once
// Starts the simulated KV2200M (tools/sim) as a child process for one test
// and talks to its control port. The VISA side is reached through an alias
// (SetAliasEnv), the serial side through the pseudo-terminal path.
#include <QString>
#include <QStringList>
#include <memory>

class QProcess;

class Simulator {
public:
    Simulator();
    ~Simulator();

    // Starts the simulator (TCP and pseudo-terminal). False when it did not come up.
    bool Start(const QStringList& extraArgs = {});
    void Stop();

    int TcpPort() const;
    QString PtyPath() const;
    // The simulator's process id (0 when it is not running).
    qint64 ProcessId() const;

    // The USB-style name the alias gives the simulator.
    static QString AliasName() { return "USB0::0x0400::0x05DC::SIM0001::INSTR"; }
    // Sets KV2200_VISA_ALIASES so the USB search finds AliasName() at this simulator,
    // and KV2200_COM1 to the pseudo-terminal.
    void SetEnvironment() const;

    // One control line; returns the simulator's answer (without the final "OK"/"END").
    QString Control(const QString& line);

    // Every command and query received since the last ClearLog, one per entry,
    // without the line feed, in order, from both sides.
    QStringList Log();
    void ClearLog();

    // Misbehaviour for the replies to requests that follow: "none", "silent",
    // "late <ms>", "truncate <bytes>", "oversize <bytes>", "drop <bytes>",
    // "garbage". A request already written to the terminal is first taken
    // under the fault it was sent under (SettleSerial).
    void SetFault(const QString& fault);

    // Changes a setting of the simulated instrument (e.g. "IDN", "TARVO TECHNOLOGIES,KV2202E,...").
    void Set(const QString& key, const QString& value);
    // A setting of the simulated instrument as it would answer it.
    QString Get(const QString& key);

    // The pseudo-terminal now in use, asked of the simulator: a "drop" fault
    // hangs the old one up and opens a fresh one.
    QString CurrentPtyPath();

    // Waits until the simulator has read and handled every byte written to
    // its terminal before this call (a mark is written behind them and
    // awaited; the simulator drops it). `state` gets its "LINE?" word then.
    // False when the simulator did not answer.
    bool SettleSerial(QString* state = nullptr);
    // What the serial side holds for its client, as the simulator sees it
    // once it has settled (SettleSerial): Busy while a request is
    // unread or unanswered or reply bytes are unsent or unread by the client;
    // else Withheld while the last reply is kept back or was cut by the
    // fault; else Idle.
    enum class SerialLine { Busy, Withheld, Idle };
    SerialLine SerialLineState();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
