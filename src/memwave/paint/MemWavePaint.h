#pragma once
// The drawing of a Memory Wave view: its record as the instrument's screen
// on any QPainter (the window's picture, the BMP export, the printed page, a
// test's QImage).
//
// Layers, in order: graticule (DrawMemWaveGrid: the shared one, with the
// record's scheme, grid and split), content (DrawMemWaveOSC: channel
// markers, traces, logic labels and lines, trigger markers, or the X-Y plot).
// The cursor overlay is the caller's pass on top. The record is only read.
#include <QFont>
#include <QImage>
#include <QString>

#include "common/SheetModel.h"
#include "screen/Graticule.h"

class QPainter;

// Everything the drawing reads besides the record. The window fills it from
// the live state (CurrentMemWaveDrawOptions, memwave/MemWaveLiveOptions.h);
// tests set the fields themselves.
struct MemWaveDrawOptions {
    double Zoom = 1.0;
    QString OnWord = QStringLiteral("ON");  // ON word of the UI language
    // The settings mirror's FFT display value: the logic rows move up by
    // half the screen while it is ON and the record's FFT byte is 0.
    QString LiveFftDisplayWord;
    QFont Font = DefaultScreenFont();
};

GraticuleStyle MemWaveGraticule(const MemWaveInfo& rec);

void DrawMemWaveGrid(QPainter& p, const MemWaveInfo& rec, const MemWaveDrawOptions& o);
// Nothing while the record holds no file.
void DrawMemWaveOSC(QPainter& p, const MemWaveInfo& rec, const MemWaveDrawOptions& o);
// Grid, then content.
void PaintMemWaveView(QPainter& p, const MemWaveInfo& rec, const MemWaveDrawOptions& o);
// The same onto a new picture of the zoom's size (350 x 250 x zoom).
QImage RenderMemWaveView(const MemWaveInfo& rec, const MemWaveDrawOptions& o);

// The channel marker's screen row: 100 - offset / volts/div x 25. A volts/div
// of 0 (or a value that is not finite) gives the centre line, 100.
double ChannelMarkRow(float offset, float voltsDiv);
// The trigger marker's screen column: 150 - delay / time/div x 25; a time/div
// of 0 (or not finite) gives the centre column, 150.
double TriggerMarkColumn(double delay, double timeDiv);
