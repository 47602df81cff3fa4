#pragma once
// The picture of a Record view: background, a graticule scaled to the
// picture (frame, centre axes, ticks, dotted division lines, maker text),
// the channel marker and labels, the trigger marker and time labels, and the
// 600-sample trace of the current frame. Plain painter functions: the
// window, the picture export and the printout all draw through them.
//
// Geometry of a picture of inner size w x h: W = w - 50, H = h - 50; the
// graticule spans x 25..W+25 and y 25..H+25, 12 x 8 divisions; the label row
// stands at y = H + 31.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>

#include "screen/ScreenColors.h"

class QPainter;
struct RecordInfo;

struct FrameStyle {
    QColor Ch1Color = WaveColors::Ch1();
    QColor Ch2Color = WaveColors::Ch2();
    QFont Font = DefaultFont();
    double Zoom = 1.0;  // scales the positions of the channel and trigger markers
    static QFont DefaultFont();
};

// The background of a scheme: black, or white (the shared colour schemes,
// screen/ScreenColors.h).
QColor RecordBackground(bool black);
// The trace colour of a channel in a scheme (black on the white one).
QColor RecordTraceColour(const QString& channel, bool black, const FrameStyle& style);

// The graticule alone (what a view shows before any frame).
void DrawRecordGrid(QPainter& p, QSize inner, bool black, const FrameStyle& style);
// The whole frame on a picture already cleared to its background: grid,
// channel labels and marker, time labels and markers, trace. The trace is
// left out when the record does not hold the current frame in whole.
void DrawRecordFrame(QPainter& p, QSize inner, const RecordInfo& r, const FrameStyle& style);
// The picture of a view: its frame once replay has shown one, else the
// graticule alone.
QImage RenderRecordPicture(QSize inner, const RecordInfo& r, const FrameStyle& style);
