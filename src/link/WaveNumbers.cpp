#include "link/WaveNumbers.h"

#include <cmath>

#include "link/Formatters.h"
#include "link/ReplyParse.h"

void UpdateWaveNumbers(WaveInfo& w) {
    WaveNumbers& n = w.Numbers;
    n.Ch1Offset = ParseVolt(w.Ch1Offset);
    n.Ch2Offset = ParseVolt(w.Ch2Offset);
    n.Ch1Scale = ParseVolt(w.Ch1Scale);
    n.Ch2Scale = ParseVolt(w.Ch2Scale);
    n.TimeScale = ParseTime(w.TimeScale);
    n.TimeOffset = ParseTime(w.TimeOffset);
    n.AltCh1TimeScale = ParseTime(w.AltCh1TimeScale);
    n.AltCh2TimeScale = ParseTime(w.AltCh2TimeScale);
    n.AltCh1TimeOffset = ParseTime(w.AltCh1TimeOffset);
    n.AltCh2TimeOffset = ParseTime(w.AltCh2TimeOffset);
    n.Ch1ReadoutScale = ParseVolt2(w.Ch1Scale);
    n.Ch2ReadoutScale = ParseVolt2(w.Ch2Scale);
    const SystemDataRecord& sd = w.SystemData;
    n.MathScale = PlainValue(sd.MathScale, 7);
    n.FftVrmsPerDiv = PlainValue(sd.FFTVrmsPerDiv, 7);
    n.FftDbPerDiv = PlainValue(sd.FFTDbPerDiv, 7);
    // The readouts take a scale that is not finite as it is.
    n.FftHzPerDiv = std::isfinite(sd.FFTHzPerDiv) ? PlainValue(sd.FFTHzPerDiv, 7)
                                                  : double(sd.FFTHzPerDiv);
}
