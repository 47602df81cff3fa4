#pragma once
// The simulated instrument's state and its command dispatcher. Transport-free:
// one line in (without its line feed), at most one reply out.
#include <QByteArray>
#include <QHash>
#include <QString>

struct SimReply {
    enum Kind { None, Text, Binary };
    Kind kind = None;
    QByteArray data;  // a text reply carries its trailing line feed

    static SimReply text(const QByteArray& t) { return {Text, t + '\n'}; }
    static SimReply binary(const QByteArray& b) { return {Binary, b}; }
};

class SimInstrument {
public:
    SimInstrument();

    // Handles one received command or query.
    SimReply Handle(const QByteArray& line);

    // The settings store, by normalised header (":CHANNEL1:SCALE") or by a
    // plain key ("IDN"). Get answers the stored value or the default.
    QString Get(const QString& key) const;
    void Set(const QString& key, const QString& value);

    // Upper case, long mnemonic forms: ":WAVeform:POINts:MODE" -> ":WAVEFORM:POINTS:MODE".
    static QString NormaliseHeader(const QString& header);

    // Numeric settings as the waveforms use them.
    double Number(const QString& key) const;

private:
    QString resolveKey(const QString& key) const;
    SimReply query(const QString& header, const QString& arg);
    void command(const QString& header, const QString& arg);

    QHash<QString, QString> store_;
};
