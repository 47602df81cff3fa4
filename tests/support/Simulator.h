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

    // Misbehaviour for the following replies: "none", "silent", "late <ms>",
    // "truncate <bytes>", "oversize <bytes>", "drop <bytes>", "garbage".
    void SetFault(const QString& fault);

    // Changes a setting of the simulated instrument (e.g. "IDN", "TARVO TECHNOLOGIES,KV2202E,...").
    void Set(const QString& key, const QString& value);
    // A setting of the simulated instrument as it would answer it.
    QString Get(const QString& key);

    // The pseudo-terminal now in use, asked of the simulator: a "drop" fault
    // hangs the old one up and opens a fresh one.
    QString CurrentPtyPath();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
