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

// The number of a setting text, in base units: a plain or exponent number,
// optionally followed by an SI prefix and a unit ("0.5MS", "10.00US", "1.4V",
// "0.10div", "10X", "1.000e+03"). As in the instrument's command language an
// "M" alone is milli in either case; "MA"/"MEG" (and "MHz") are mega.
// False in *ok (and 0) for anything else.
double SimValue(const QString& text, bool* ok = nullptr);

class SimInstrument {
public:
    SimInstrument() = default;

    // Handles one received command or query.
    SimReply Handle(const QByteArray& line);

    // The settings store. A key is a header (":CHANNEL1:SCALE", either
    // mnemonic form, with or without "?") or a plain key ("IDN", "CH1FREQ").
    // Get answers the stored value or the default, in the form the
    // instrument answers the query.
    QString Get(const QString& key) const;
    void Set(const QString& key, const QString& value);

    // Upper case, long mnemonic forms: ":WAVeform:POINts:MODE" -> ":WAVEFORM:POINTS:MODE".
    static QString NormaliseHeader(const QString& header);

    // An alternation trigger setting (":TRIGGER:ALTERNATION:TIMESCALE") of
    // channel 1 or 2, whatever the alternation source is now.
    QString GetAlternation(const QString& header, int channel) const;

    // A setting as a number (0 when it is not one).
    double Number(const QString& key) const { return SimValue(Get(key)); }
    bool IsOn(const QString& key) const { return Get(key) == "ON"; }

private:
    QString storeKey(const QString& header) const;
    SimReply query(const QString& header, const QString& arg);
    void command(const QString& header, const QString& arg);
    void setLaBits(int first, int count, bool on);

    QHash<QString, QString> store_;
};
