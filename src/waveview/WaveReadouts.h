#pragma once
// The cursor readouts of a Wave view: its record as the readouts' source.
#include <QString>

#include "common/SheetModel.h"
#include "screen/WaveCursors.h"

class WaveReadouts : public ReadoutSource {
public:
    // `onWord`: the ON word of the UI language (the FFT's readouts show while
    // the record's FFT word is it, or the ON word of either language).
    explicit WaveReadouts(const WaveInfo& w, QString onWord = QStringLiteral("ON"))
        : w_(w), onWord_(std::move(onWord)) {}

    bool Split() const override;
    bool TwoTimeBases() const override;
    bool XYPlot() const override;
    // A scale text that is empty gives no value; one that reads as no finite
    // number counts as 0.
    std::optional<double> SecondsPerDiv(Span span) const override;
    std::optional<double> VoltsPerDiv(int channel) const override;
    // Shown while the math channel is chosen and its FFT word is ON.
    std::optional<FftScales> Fft() const override;

private:
    const WaveInfo& w_;
    QString onWord_;
};

// The readout lines of a record (the ON word "ON").
QList<ReadoutLine> CursorReadouts(const CursorState& s, const WaveInfo& w, const ReadoutOptions& o,
                                  const CursorColours& c);
