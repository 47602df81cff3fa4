#pragma once
// The one drawing path of the waveform view: paints a Wave view's record as
// the instrument's screen onto any QPainter (the window's picture, the BMP
// export, the printed page, a test's QImage).
//
// Layers, in order: graticule (DrawScrGrid: background, frame, centre lines,
// ticks, dotted grid, maker's name), content (DrawOSC: markers, labels,
// traces, logic-analyser lines), then the overlay hook (cursors and their
// readouts, owned by the caller). Antialiasing is off; every coordinate that
// becomes a pixel is rounded half to even; texts are anchored at their
// top-left corner.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <functional>

#include "common/SheetModel.h"
#include "screen/Graticule.h"
#include "screen/ScreenColors.h"
#include "screen/WaveGeometry.h"

class QPainter;

// Everything the drawing reads besides the record. Fill it from the live
// state with CurrentWaveDrawOptions; tests set the fields themselves.
struct WaveDrawOptions {
    double Zoom = 1.0;
    QString OnWord = QStringLiteral("ON");      // ON word of the current UI language
    int ModelEU = 0;                            // instrument connected now ends in E or U
    // Live values that the logic-analyser lines read (not the record's):
    // the settings mirror's FFT display word and byte 37 of the last screen
    // description read from the instrument.
    QString LiveFftDisplayWord;
    uint8_t LiveFftFullScreen = 0;
    QFont Font = DefaultWaveFont();             // bold and normal are derived from it
    // Cursor layer, painted last with the same geometry.
    std::function<void(QPainter&, const WaveGeometry&)> Overlay;

    static QFont DefaultWaveFont();
};

// Options from the live state: ON word, channel labels, ModelEU, the
// settings mirror's FFT word and the last screen description's byte 37.
WaveDrawOptions CurrentWaveDrawOptions(double zoom);

// The whole picture: graticule, content, overlay. The painter's target should
// be at least the picture's size (WaveGeometry(zoom).PictureWidth/Height).
void PaintWaveView(QPainter& p, const WaveInfo& w, const WaveDrawOptions& o);
// The same onto a new image of the picture's size.
QImage RenderWaveView(const WaveInfo& w, const WaveDrawOptions& o);

// The layers on their own.
void DrawScrGrid(QPainter& p, const WaveInfo& w, const WaveDrawOptions& o);
void DrawOSC(QPainter& p, const WaveInfo& w, const WaveDrawOptions& o);

// The graticule's style of a record: scheme, grid, split.
GraticuleStyle GraticuleOf(const WaveInfo& w);
