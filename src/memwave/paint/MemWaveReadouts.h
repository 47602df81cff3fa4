#pragma once
// The cursor readouts of a Memory Wave view: its record as the readouts'
// source. No readout while the record holds no channel; on the full screen
// the time lines need a positive time/div and a voltage line its channel;
// on the split screen (only in ALTERNATION mode) each half's lines need a
// positive scale of their own. The X-Y plot reads like the time display.
#include "common/SheetModel.h"
#include <QImage>

#include "screen/WaveCursors.h"

class MemWaveReadouts : public ReadoutSource {
public:
    explicit MemWaveReadouts(const MemWaveInfo& rec) : r_(rec) {}

    bool Split() const override;
    bool TwoTimeBases() const override;
    bool XYPlot() const override { return false; }
    std::optional<double> SecondsPerDiv(Span span) const override;
    std::optional<double> VoltsPerDiv(int channel) const override;

private:
    bool Any() const;
    const MemWaveInfo& r_;
};

// The load positions of a memory-wave window's cursors (Y2 any number).
CursorState MemWaveCursorDefaults();

// A newly loaded file switches the screen between full and split: the shown
// voltage cursors of the upper pair follow (squeezed into the upper half, or
// stretched back). Nothing else moves.
void RescaleCursorY(CursorState& s, bool newSplit, bool oldSplit);

// The cursor pass on the shown picture: the last overlay taken off, the
// cursors held in their limits, the shown ones drawn with their readouts
// (what they cover kept in `overlay`). After a full redraw of the picture
// the caller tells the overlay to Forget first.
void DrawMemWaveCursors(QImage& picture, CursorOverlayPicture& overlay, CursorState& s,
                        const MemWaveInfo& rec, double zoom, const QFont& font);
