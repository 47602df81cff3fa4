#include "SimInstrument.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>

#include "SimWaves.h"

namespace {
// Mnemonics in their mixed-case long form: the upper-case letters are the
// short form. A received mnemonic in either form (any case) becomes the long form.
const char* const kMnemonics[] = {
    "ACQuire", "ACTive", "ALTernation", "AUTO", "AVERages", "BAUD", "BWLimit",
    "CHANnel", "CLEar", "COUPling", "DATA", "DIGital", "DISPlay", "DURation",
    "EDGE", "FFT", "FORCetrig", "FORMat", "FREQuency", "GRID", "GROup", "HARDcopy",
    "HOLDoff", "INVert", "KEY", "LEVel", "LEVelA", "LEVelB", "LINE", "LOCation",
    "LOCK", "MATH", "MEASure", "MODE", "OFFSet", "OPERate", "PATTern", "PERSist",
    "POINts", "POLarity", "POSition", "PROBe", "PULSe", "QUALifier", "RESet",
    "RS232", "SAMPle", "SCALe", "SENSitivity", "SLOPe", "SOURce", "STANdard",
    "STATus", "SWEep", "SYSTem", "THReshold", "TIME", "TIMebase", "TIMEOffset",
    "TIMEScale", "TRIGger", "TURN", "TYPE", "VIDeo", "WAVeform", "WIDTh", "WINDow",
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

// Logic-analyser row positions packed four bits per channel, D0..D7 and D8..D15.
const char* const kLaLocationDefault = "1985229328,4275878552";

// The defaults of the settings, by normalised header without "?", in the
// form the instrument answers them. Alternation trigger settings are kept
// per channel but share one default.
const QHash<QString, QString>& defaults() {
    static const QHash<QString, QString> d = {
        {"*IDN", "TARVO TECHNOLOGIES,KV2202E,SN0001,V1.00"},
        {":TRIGGER:STATUS", "RUN"},
        {":MATH:DISPLAY", "OFF"},
        {":MATH:OPERATE", "A+B"},
        {":FFT:DISPLAY", "OFF"},
        {":CHANNEL:ACTIVE", "CHANNEL1"},
        {":CHANNEL1:DISPLAY", "ON"},
        {":CHANNEL2:DISPLAY", "ON"},
        {":CHANNEL1:SCALE", "1.000e+00"},
        {":CHANNEL2:SCALE", "1.000e+00"},
        {":CHANNEL1:OFFSET", "1.500e+00"},
        {":CHANNEL2:OFFSET", "-2.000e+00"},
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
        {":TRIGGER:HOLDOFF", "5.000e-07"},
        {":TRIGGER:EDGE:SOURCE", "CH1"},
        {":TRIGGER:EDGE:LEVEL", "0.000e+00"},
        {":TRIGGER:EDGE:SLOPE", "POSITIVE"},
        {":TRIGGER:EDGE:SWEEP", "AUTO"},
        {":TRIGGER:EDGE:COUPLING", "DC"},
        {":TRIGGER:EDGE:SENSITIVITY", "1.000e-01"},
        {":TRIGGER:PULSE:SOURCE", "CH1"},
        {":TRIGGER:PULSE:MODE", "+GREATER THAN"},
        {":TRIGGER:PULSE:WIDTH", "1.000e-06"},
        {":TRIGGER:PULSE:SWEEP", "AUTO"},
        {":TRIGGER:PULSE:COUPLING", "DC"},
        {":TRIGGER:PULSE:LEVEL", "0.000e+00"},
        {":TRIGGER:PULSE:SENSITIVITY", "1.000e-01"},
        {":TRIGGER:VIDEO:SOURCE", "CH1"},
        {":TRIGGER:VIDEO:POLARITY", "POSITIVE"},
        {":TRIGGER:VIDEO:MODE", "ALL LINES"},
        {":TRIGGER:VIDEO:LINE", "1"},
        {":TRIGGER:VIDEO:STANDARD", "NTSC"},
        {":TRIGGER:VIDEO:LEVEL", "0.000e+00"},
        {":TRIGGER:VIDEO:SENSITIVITY", "1.000e-01"},
        {":TRIGGER:SLOPE:SOURCE", "CH1"},
        {":TRIGGER:SLOPE:COUPLING", "DC"},
        {":TRIGGER:SLOPE:SWEEP", "AUTO"},
        {":TRIGGER:SLOPE:MODE", "+GREATER THAN"},
        {":TRIGGER:SLOPE:TIME", "1.000e-06"},
        {":TRIGGER:SLOPE:WINDOW", "PA"},
        {":TRIGGER:SLOPE:LEVELA", "5.000e-01"},
        {":TRIGGER:SLOPE:LEVELB", "0.000e+00"},
        {":TRIGGER:SLOPE:SENSITIVITY", "1.000e-01"},
        {":TRIGGER:PATTERN:PATTERN", "0,0,None"},
        {":TRIGGER:PATTERN:SWEEP", "AUTO"},
        {":TRIGGER:DURATION:PATTERN", "0,0,None"},
        {":TRIGGER:DURATION:QUALIFIER", "GREATER THAN"},
        {":TRIGGER:DURATION:TIME", "1.000e-06"},
        {":TRIGGER:DURATION:SWEEP", "AUTO"},
        {":TRIGGER:ALTERNATION:SOURCE", "CHANNEL1"},
        {":TRIGGER:ALTERNATION:TYPE", "EDGE"},
        {":TRIGGER:ALTERNATION:TIMESCALE", "5.000e-04"},
        {":TRIGGER:ALTERNATION:TIMEOFFSET", "0.000e+00"},
        {":TRIGGER:ALTERNATION:EDGE:SLOPE", "POSITIVE"},
        {":TRIGGER:ALTERNATION:EDGE:COUPLING", "DC"},
        {":TRIGGER:ALTERNATION:EDGE:LEVEL", "0.000e+00"},
        {":TRIGGER:ALTERNATION:EDGE:HOLDOFF", "5.000e-07"},
        {":TRIGGER:ALTERNATION:EDGE:SENSITIVITY", "1.000e-01"},
        {":TRIGGER:ALTERNATION:PULSE:MODE", "+GREATER THAN"},
        {":TRIGGER:ALTERNATION:PULSE:TIME", "1.000e-06"},
        {":TRIGGER:ALTERNATION:PULSE:COUPLING", "DC"},
        {":TRIGGER:ALTERNATION:PULSE:LEVEL", "0.000e+00"},
        {":TRIGGER:ALTERNATION:PULSE:HOLDOFF", "5.000e-07"},
        {":TRIGGER:ALTERNATION:PULSE:SENSITIVITY", "1.000e-01"},
        {":TRIGGER:ALTERNATION:VIDEO:POLARITY", "POSITIVE"},
        {":TRIGGER:ALTERNATION:VIDEO:MODE", "ALL LINES"},
        {":TRIGGER:ALTERNATION:VIDEO:LINE", "1"},
        {":TRIGGER:ALTERNATION:VIDEO:STANDARD", "NTSC"},
        {":TRIGGER:ALTERNATION:VIDEO:LEVEL", "0.000e+00"},
        {":TRIGGER:ALTERNATION:VIDEO:HOLDOFF", "5.000e-07"},
        {":TRIGGER:ALTERNATION:VIDEO:SENSITIVITY", "1.000e-01"},
        {":TRIGGER:ALTERNATION:SLOPE:COUPLING", "DC"},
        {":TRIGGER:ALTERNATION:SLOPE:MODE", "+GREATER THAN"},
        {":TRIGGER:ALTERNATION:SLOPE:TIME", "1.000e-06"},
        {":TRIGGER:ALTERNATION:SLOPE:LEVELA", "5.000e-01"},
        {":TRIGGER:ALTERNATION:SLOPE:LEVELB", "0.000e+00"},
        {":TRIGGER:ALTERNATION:SLOPE:HOLDOFF", "5.000e-07"},
        {":TRIGGER:ALTERNATION:SLOPE:SENSITIVITY", "1.000e-01"},
        {":LA:DISPLAY", "OFF"},
        {":LA:STATUS", "65535"},
        {":LA:LOCATION", kLaLocationDefault},
        {":LA:THRESHOLD", "TTL"},
        {":ACQUIRE:MODE", "REAL_TIME"},
        {":ACQUIRE:TYPE", "NORMAL"},
        {":ACQUIRE:AVERAGES", "16"},
        {":DISPLAY:TYPE", "VECTORS"},
        {":DISPLAY:PERSIST", "OFF"},
        {":DISPLAY:GRID", "FULL"},
        {":RS232:BAUD", "9600"},
        {":KEY:LOCK", "DISABLE"},
        {":WAVEFORM:POINTS:MODE", "NORMAL"},
        {":MEASURE:SOURCE", "CHANNEL1"},
        // The signals on the inputs (plain keys, settable through the control port).
        {"CH1FREQ", "1000"},
        {"CH1VPP", "3"},
        {"CH2FREQ", "1000"},
        {"CH2VPP", "2"},
        {"CH2RISE", "5e-06"},
    };
    return d;
}

QString num(double v) { return QString::number(v, 'e', 3); }

bool endsWithAny(const QString& h, std::initializer_list<const char*> tails) {
    for (const char* t : tails)
        if (h.endsWith(QLatin1String(t))) return true;
    return false;
}
}  // namespace

double SimValue(const QString& text, bool* ok) {
    static const QRegularExpression re(
        R"(^\s*([+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?)\s*([A-Za-z%]*)\s*$)");
    const auto m = re.match(text);
    if (ok) *ok = false;
    if (!m.hasMatch()) return 0;
    double v = m.captured(1).toDouble();
    QString suffix = m.captured(2);
    const bool megaHertz = suffix == "MHz" || suffix == "MHZ";
    suffix = suffix.toUpper();
    for (const char* unit : {"HZ", "DIV", "SA", "V", "S", "X", "%"}) {
        if (suffix.endsWith(QLatin1String(unit))) {
            suffix.chop(int(qstrlen(unit)));
            break;
        }
    }
    double factor = 1;
    if (megaHertz || suffix == "MA" || suffix == "MEG") factor = 1e6;
    else if (suffix.isEmpty()) factor = 1;
    else if (suffix == "G") factor = 1e9;
    else if (suffix == "K") factor = 1e3;
    else if (suffix == "M") factor = 1e-3;
    else if (suffix == "U") factor = 1e-6;
    else if (suffix == "N") factor = 1e-9;
    else if (suffix == "P") factor = 1e-12;
    else return 0;
    v *= factor;
    if (!std::isfinite(v)) return 0;
    if (ok) *ok = true;
    return v;
}

QString SimInstrument::NormaliseHeader(const QString& header) {
    static const QHash<QString, QString> map = buildMnemonicMap();
    QString h = header.trimmed().toUpper();
    const bool isQuery = h.endsWith('?');
    if (isQuery) h.chop(1);
    if (h.startsWith('*')) return h + (isQuery ? "?" : "");
    QStringList out;
    for (const QString& p : h.split(':')) {
        int cut = p.size();
        while (cut > 0 && p.at(cut - 1).isDigit()) --cut;
        const auto it = map.constFind(p.left(cut));
        out << (it != map.constEnd() ? *it : p.left(cut)) + p.mid(cut);
    }
    return out.join(':') + (isQuery ? "?" : "");
}

// Where a setting lives in the store: the normalised header without "?";
// alternation trigger settings once per alternation source channel.
QString SimInstrument::storeKey(const QString& key) const {
    const QString k = key.trimmed();
    if (k.compare("IDN", Qt::CaseInsensitive) == 0) return "*IDN";
    if (!k.startsWith(':') && !k.startsWith('*')) return k.toUpper();
    QString n = NormaliseHeader(k);
    if (n.endsWith('?')) n.chop(1);
    if (n.startsWith(":TRIGGER:ALTERNATION:") && n != ":TRIGGER:ALTERNATION:SOURCE")
        n += '#' + Get(":TRIGGER:ALTERNATION:SOURCE");
    return n;
}

QString SimInstrument::Get(const QString& key) const {
    const QString k = storeKey(key);
    const auto it = store_.constFind(k);
    if (it != store_.constEnd()) return *it;
    return defaults().value(k.section('#', 0, 0));
}

QString SimInstrument::GetAlternation(const QString& header, int channel) const {
    QString k = NormaliseHeader(header);
    if (k.endsWith('?')) k.chop(1);
    const auto it = store_.constFind(k + "#CHANNEL" + QString::number(channel));
    return it != store_.constEnd() ? *it : defaults().value(k);
}

void SimInstrument::Set(const QString& key, const QString& value) {
    store_.insert(storeKey(key), value);
}

SimReply SimInstrument::Handle(const QByteArray& line) {
    const QString text = QString::fromLatin1(line).trimmed();
    if (text.isEmpty()) return {};
    const int sp = text.indexOf(' ');
    QString header = NormaliseHeader(sp < 0 ? text : text.left(sp));
    const QString arg = sp < 0 ? QString() : text.mid(sp + 1).trimmed();
    if (header.endsWith('?')) {
        header.chop(1);
        return query(header, arg);
    }
    command(header, arg);
    // The screen copy is sent as a command and answered with the screen.
    if (header == ":HARDCOPY") return SimReply::binary(SimScreenCopy(*this));
    return {};
}

SimReply SimInstrument::query(const QString& header, const QString& arg) {
    if (header == ":SYSTEM:DATA") return SimReply::binary(SimSystemData(*this));
    if (header == ":WAVEFORM:DATA")
        return SimReply::binary(SimWaveformData(*this, arg.isEmpty() ? "CHANNEL1" : arg.toUpper()));
    if (header == ":ACQUIRE:SAMP" || header == ":ACQUIRE:SAMPLE")
        return SimReply::text(num(SimSampleRate(*this)).toLatin1());
    if (header.startsWith(":MEASURE:") && header != ":MEASURE:SOURCE") {
        // A reply a test planted (SET :MEASURE:<item> <reply>) stands for the
        // measured one of either channel.
        const QString planted = store_.value(header);
        if (!planted.isEmpty()) return SimReply::text(planted.toLatin1());
        const QString source = arg.isEmpty() ? Get(":MEASURE:SOURCE") : arg.toUpper();
        return SimReply::text(SimMeasure(*this, header.mid(9), source).toLatin1());
    }
    return SimReply::text(Get(header).toLatin1());
}

void SimInstrument::setLaBits(int first, int count, bool on) {
    quint32 status = quint32(Number(":LA:STATUS"));
    for (int i = first; i < first + count; ++i) {
        if (on) status |= 1u << i;
        else status &= ~(1u << i);
    }
    Set(":LA:STATUS", QString::number(status & 0xFFFF));
}

void SimInstrument::command(const QString& header, const QString& arg) {
    const QString a = arg.toUpper();
    if (header == ":RUN") return Set(":TRIGGER:STATUS", "RUN");
    if (header == ":STOP") return Set(":TRIGGER:STATUS", "STOP");
    if (header == "*RST") {
        const QString idn = Get("*IDN");
        store_.clear();
        return Set("*IDN", idn);
    }
    if (header == ":AUTO") {
        // Scales that show both signals whole, a few periods wide.
        for (const char* key : {":CHANNEL1:OFFSET", ":CHANNEL2:OFFSET", ":TIMEBASE:OFFSET"})
            Set(key, num(0));
        Set(":CHANNEL1:SCALE", num(SimAutoScale(Number("CH1VPP") / 6)));
        Set(":CHANNEL2:SCALE", num(SimAutoScale(Number("CH2VPP") / 6)));
        Set(":TIMEBASE:SCALE", num(SimAutoScale(0.5 / Number("CH1FREQ"))));
        Set(":TRIGGER:MODE", "EDGE");
        return Set(":TRIGGER:EDGE:LEVEL", num(0));
    }
    if (header == ":TRIG%50") return Set(":TRIGGER:EDGE:LEVEL", num(0));
    if (header == ":LA:POSITION:RESET") return Set(":LA:LOCATION", kLaLocationDefault);
    if (header.startsWith(":KEY:") && header != ":KEY:LOCK") return;  // key presses only
    if (arg.isEmpty()) return;  // other actions (":FORCETRIG", ":DISPLAY:CLEAR", ...)

    // One logic channel on or off, or moved to another row.
    static const QRegularExpression digital(R"(^:DIGITAL(\d+):(TURN|POSITION)$)");
    const auto dm = digital.match(header);
    if (dm.hasMatch()) {
        const int ch = dm.captured(1).toInt();
        if (ch > 15) return;
        if (dm.captured(2) == "TURN") return setLaBits(ch, 1, a == "ON");
        bool ok = false;
        const int pos = arg.toInt(&ok);
        if (!ok || pos < 0 || pos > 15) return;
        QStringList loc = Get(":LA:LOCATION").split(',');
        if (loc.size() != 2) loc = QString(kLaLocationDefault).split(',');
        const int half = ch < 8 ? 0 : 1, shift = 4 * (ch % 8);
        quint32 word = loc[half].toUInt();
        word = (word & ~(0xFu << shift)) | (quint32(pos) << shift);
        loc[half] = QString::number(word);
        return Set(":LA:LOCATION", loc.join(','));
    }
    if (header == ":LA:GROUP1") return setLaBits(0, 8, a == "ON");
    if (header == ":LA:GROUP2") return setLaBits(8, 8, a == "ON");

    // A trigger level has no meaning for the AC line or a logic channel: while
    // one is the method's source the level is not changed (it is kept in
    // volts for the next source).
    static const QRegularExpression level(R"(^:TRIGGER:(EDGE|PULSE|VIDEO|SLOPE):LEVEL[AB]?$)");
    const auto lm = level.match(header);
    if (lm.hasMatch()) {
        const QString source = Get(":TRIGGER:" + lm.captured(1) + ":SOURCE");
        if (source == "ACLINE" || source.startsWith('D')) return;
    }
    // Numbers: kept as the instrument answers them; a value that is not a
    // number leaves the setting as it was.
    if (endsWithAny(header, {":SCALE", ":OFFSET", ":LEVEL", ":LEVELA", ":LEVELB", ":HOLDOFF",
                             ":WIDTH", ":TIME", ":TIMESCALE", ":TIMEOFFSET", ":SENSITIVITY"})) {
        bool ok = false;
        const double v = SimValue(arg, &ok);
        const bool scale = header.endsWith("SCALE");  // volts or time per division
        if (ok && (!scale || v > 0)) Set(header, num(v));
        return;
    }
    if (header.endsWith(":PROBE")) {
        bool ok = false;
        const double v = SimValue(arg, &ok);
        if (ok && v > 0) Set(header, QString::number(v) + "X");
        return;
    }
    if (header == ":LA:STATUS" || header == ":ACQUIRE:AVERAGES" || header.endsWith(":VIDEO:LINE") ||
        header == ":RS232:BAUD") {
        bool ok = false;
        const qint64 v = arg.toLongLong(&ok);
        if (ok) Set(header, QString::number(header == ":LA:STATUS" ? (v & 0xFFFF) : v));
        return;
    }

    // Keywords: answered in capitals, some in another form.
    QString reply = a;
    if (header == ":TIMEBASE:FORMAT") {
        reply = a == "YT" ? "Y-T" : a == "XY" ? "X-Y" : "SCANNING";
    } else if (header == ":ACQUIRE:MODE") {
        reply = a == "RTIME" ? "REAL_TIME" : a == "ETIME" ? "EQUAL_TIME" : a;
    } else if (header.startsWith(":TRIGGER:") && header.endsWith(":SOURCE") &&
               header != ":TRIGGER:ALTERNATION:SOURCE") {
        reply = a == "CHANNEL1" ? "CH1" : a == "CHANNEL2" ? "CH2" : a;
        if (reply.startsWith("DIGITAL")) reply = "D" + reply.mid(7);
    } else if (header.endsWith(":PULSE:MODE") || header.endsWith(":SLOPE:MODE") ||
               header.endsWith(":DURATION:QUALIFIER")) {
        reply = QString(a).replace("LESSTHAN", "LESS THAN").replace("GREATERTHAN", "GREATER THAN");
    } else if (header.endsWith(":VIDEO:MODE")) {
        reply = a == "ALLLINES" ? "ALL LINES" : a == "ODDFIELD" ? "ODD FIELD"
              : a == "EVENFIELD" ? "EVEN FIELD" : a;
    } else if (header.endsWith(":VIDEO:STANDARD")) {
        reply = a == "PALSECAM" ? "PAL/SECAM" : a;
    } else if (header == ":LA:THRESHOLD") {
        bool ok = false;
        const double v = SimValue(arg, &ok);
        if (a == "TTL" || a == "ECL" || a == "CMOS") reply = a;
        else if (ok) reply = "User " + num(v);
        else return;
    } else if (header.endsWith(":PATTERN:PATTERN") || header.endsWith(":DURATION:PATTERN")) {
        const QStringList f = arg.split(',');
        bool okV = false, okM = false;
        const uint value = f.value(0).trimmed().toUInt(&okV);
        const uint mask = f.value(1).trimmed().toUInt(&okM);
        if (!okV || !okM || value > 0xFFFF || mask > 0xFFFF || (f.size() != 2 && f.size() != 4)) return;
        reply = QString::number(value) + ',' + QString::number(mask) + ',';
        if (f.size() == 4)
            reply += "DIG:" + f[2].trimmed() + ',' + (f[3].trimmed() == "1" ? "Positive" : "Negative");
        else
            reply += "None";
    }
    Set(header, reply);
}
