#include "SimInstrument.h"

#include <QStringList>

#include "SimWaves.h"

namespace {
// Mnemonics in their mixed-case long form: the upper-case letters are the
// short form. A received mnemonic in either form (any case) becomes the long form.
const char* const kMnemonics[] = {
    "ACQuire", "ACTive", "ALTernation", "AUTO", "AVERages", "BAUD", "BWLimit",
    "CHANnel", "CLEar", "COUPling", "DATA", "DIGital", "DISPlay", "DURation",
    "EDGE", "FFT", "FORCetrig", "FORMat", "FREQuency", "GRID", "GROup", "HARDcopy",
    "HOLDoff", "INVert", "KEY", "LEVel", "LEVelA", "LEVelB", "LINE", "LOCation",
    "LOCK", "MATH", "MEASure", "MODE", "OFFSet", "PATTern", "PERSist", "POINts",
    "POLarity", "POSition", "PROBe", "PULSe", "QUALifier", "RS232", "SAMPle",
    "SCALe", "SENSitivity", "SLOPe", "SOURce", "STANdard", "STATus", "SWEep",
    "SYSTem", "THReshold", "TIME", "TIMebase", "TIMEOffset", "TIMEScale", "TRIGger",
    "TURN", "TYPE", "VIDeo", "WAVeform", "WIDTh", "WINDow",
};

QHash<QString, QString> buildMnemonicMap() {
    QHash<QString, QString> m;
    for (const char* entry : kMnemonics) {
        const QString mixed = QString::fromLatin1(entry);
        QString shortForm;
        for (QChar c : mixed)
            if (c.isUpper() || c.isDigit()) shortForm += c;
        m.insert(mixed.toUpper(), mixed.toUpper());
        if (!m.contains(shortForm)) m.insert(shortForm, mixed.toUpper());
    }
    return m;
}

// Defaults of the settings, by normalised header. The replies use the
// instrument's own words and number forms.
const QHash<QString, QString>& defaults() {
    static const QHash<QString, QString> d = {
        {"*IDN", "TARVO TECHNOLOGIES,KV2202E,SN0001,V1.00"},
        {":TRIGGER:STATUS", "RUN"},
        {":MATH:DISPLAY", "OFF"},
        {":FFT:DISPLAY", "OFF"},
        {":LA:DISPLAY", "OFF"},
        {":CHANNEL1:DISPLAY", "ON"},
        {":CHANNEL2:DISPLAY", "ON"},
        {":CHANNEL1:SCALE", "1.000e+00"},
        {":CHANNEL2:SCALE", "1.000e+00"},
        {":CHANNEL1:OFFSET", "0.000e+00"},
        {":CHANNEL2:OFFSET", "0.000e+00"},
        {":CHANNEL1:PROBE", "1X"},
        {":CHANNEL2:PROBE", "1X"},
        {":CHANNEL1:COUPLING", "DC"},
        {":CHANNEL2:COUPLING", "DC"},
        {":CHANNEL1:BWLIMIT", "OFF"},
        {":CHANNEL2:BWLIMIT", "OFF"},
        {":CHANNEL1:INVERT", "OFF"},
        {":CHANNEL2:INVERT", "OFF"},
        {":TIMEBASE:SCALE", "5.000e-04"},
        {":TIMEBASE:OFFSET", "0.000e+00"},
        {":TIMEBASE:FORMAT", "Y-T"},
        {":TRIGGER:MODE", "EDGE"},
        {":TRIGGER:EDGE:SOURCE", "CH1"},
        {":TRIGGER:EDGE:LEVEL", "0.000e+00"},
        {":TRIGGER:EDGE:SLOPE", "POSITIVE"},
        {":TRIGGER:EDGE:SWEEP", "AUTO"},
        {":TRIGGER:EDGE:COUPLING", "DC"},
        {":TRIGGER:EDGE:SENSITIVITY", "0.50div"},
        {":TRIGGER:HOLDOFF", "5.000e-07"},
        {":ACQUIRE:TYPE", "NORMAL"},
        {":ACQUIRE:MODE", "RTIME"},
        {":ACQUIRE:AVERAGES", "16"},
        {":DISPLAY:TYPE", "VECTORS"},
        {":DISPLAY:GRID", "FULL"},
        {":DISPLAY:PERSIST", "OFF"},
        {":RS232:BAUD", "9600"},
        {":KEY:LOCK", "DISABLE"},
        {":CHANNEL:ACTIVE", "CHANNEL1"},
        {":WAVEFORM:POINTS:MODE", "NORMAL"},
    };
    return d;
}
}  // namespace

SimInstrument::SimInstrument() = default;

QString SimInstrument::NormaliseHeader(const QString& header) {
    static const QHash<QString, QString> map = buildMnemonicMap();
    QString h = header.trimmed().toUpper();
    const bool isQuery = h.endsWith('?');
    if (isQuery) h.chop(1);
    if (h.startsWith('*')) return h + (isQuery ? "?" : "");
    const QStringList parts = h.split(':');
    QStringList out;
    for (const QString& p : parts) {
        int cut = p.size();
        while (cut > 0 && p.at(cut - 1).isDigit()) --cut;
        const QString stem = p.left(cut);
        const QString digits = p.mid(cut);
        const auto it = map.constFind(stem);
        out << (it != map.constEnd() ? *it : stem) + digits;
    }
    return out.join(':') + (isQuery ? "?" : "");
}

QString SimInstrument::resolveKey(const QString& key) const {
    const QString k = key.trimmed();
    if (k.compare("IDN", Qt::CaseInsensitive) == 0) return "*IDN";
    if (k.startsWith(':') || k.startsWith('*')) {
        QString n = NormaliseHeader(k);
        if (n.endsWith('?')) n.chop(1);
        return n;
    }
    return k.toUpper();
}

QString SimInstrument::Get(const QString& key) const {
    const QString k = resolveKey(key);
    const auto it = store_.constFind(k);
    if (it != store_.constEnd()) return *it;
    return defaults().value(k);
}

void SimInstrument::Set(const QString& key, const QString& value) {
    store_.insert(resolveKey(key), value);
}

double SimInstrument::Number(const QString& key) const {
    return SimValue(Get(key));
}

SimReply SimInstrument::Handle(const QByteArray& line) {
    QString text = QString::fromLatin1(line).trimmed();
    if (text.isEmpty()) return {};
    const int sp = text.indexOf(' ');
    const QString rawHeader = sp < 0 ? text : text.left(sp);
    const QString arg = sp < 0 ? QString() : text.mid(sp + 1).trimmed();
    QString header = NormaliseHeader(rawHeader);
    if (header.endsWith('?')) {
        header.chop(1);
        return query(header, arg);
    }
    command(header, arg);
    // The screen copy is sent as a command and answered with the screen's bytes.
    if (header == ":HARDCOPY") return SimReply::binary(SimScreenCopy(*this));
    return {};
}

void SimInstrument::command(const QString& header, const QString& arg) {
    if (header == ":RUN") { Set(":TRIGGER:STATUS", "RUN"); return; }
    if (header == ":STOP") { Set(":TRIGGER:STATUS", "STOP"); return; }
    if (header.startsWith(":KEY:") && header != ":KEY:LOCK") return;  // key presses only
    if (arg.isEmpty()) return;  // an action without a value (":AUTO", ":DISPLAY:CLEAR", ...)
    SimStoreSetting(*this, header, arg);
}

SimReply SimInstrument::query(const QString& header, const QString& arg) {
    if (header == ":SYSTEM:DATA") return SimReply::binary(SimSystemData(*this));
    if (header == ":WAVEFORM:DATA") return SimReply::binary(SimWaveformData(*this, arg));
    if (header.startsWith(":MEASURE:")) {
        QString r = SimMeasure(*this, header.mid(9), arg);
        return SimReply::text(r.toLatin1());
    }
    return SimReply::text(Get(header).toLatin1());
}
