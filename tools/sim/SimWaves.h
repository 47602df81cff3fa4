#pragma once
// What the simulated instrument computes from its settings: the traces on its
// screen, the binary replies and the automatic measurements.
#include <QByteArray>
#include <QString>

class SimInstrument;

// The number at the start of a setting text, with an SI prefix or unit
// ("1.000e+00", "500us", "10X", "0.10div"); 0 when there is none.
double SimValue(const QString& text);

// Stores a received setting in the form the instrument answers it.
void SimStoreSetting(SimInstrument& inst, const QString& header, const QString& arg);

QByteArray SimSystemData(const SimInstrument& inst);
QByteArray SimWaveformData(const SimInstrument& inst, const QString& source);
QByteArray SimScreenCopy(const SimInstrument& inst);
QString SimMeasure(const SimInstrument& inst, const QString& item, const QString& source);
