#include "SimWaves.h"

#include "SimInstrument.h"

double SimValue(const QString& text) {
    bool ok = false;
    double v = text.trimmed().toDouble(&ok);
    return ok ? v : 0.0;
}

void SimStoreSetting(SimInstrument& inst, const QString& header, const QString& arg) {
    inst.Set(header, arg);
}

QByteArray SimSystemData(const SimInstrument&) { return QByteArray(116, '\0'); }
QByteArray SimWaveformData(const SimInstrument&, const QString&) { return QByteArray(600, char(125)); }
QByteArray SimScreenCopy(const SimInstrument&) { return QByteArray(320 * 234, '\0'); }
QString SimMeasure(const SimInstrument&, const QString&, const QString&) { return "0.000e+00"; }
