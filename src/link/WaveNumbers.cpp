#include "link/WaveNumbers.h"

#include <cmath>
#include <initializer_list>
#include <utility>

#include "link/Formatters.h"
#include "link/ReplyParse.h"

namespace {
using TextRead = std::pair<double*, const QString*>;

void ReadTexts(std::initializer_list<TextRead> reads, double (*parse)(const QString&)) {
    for (const auto& [number, text] : reads) *number = parse(*text);
}
}  // namespace

void UpdateWaveNumbers(WaveInfo& w) {
    WaveNumbers& n = w.Numbers;
    ReadTexts({{&n.Ch1Offset, &w.Ch1Offset}, {&n.Ch2Offset, &w.Ch2Offset},
               {&n.Ch1Scale, &w.Ch1Scale}, {&n.Ch2Scale, &w.Ch2Scale}},
              ParseVolt);
    ReadTexts({{&n.TimeScale, &w.TimeScale}, {&n.TimeOffset, &w.TimeOffset},
               {&n.AltCh1TimeScale, &w.AltCh1TimeScale}, {&n.AltCh2TimeScale, &w.AltCh2TimeScale},
               {&n.AltCh1TimeOffset, &w.AltCh1TimeOffset},
               {&n.AltCh2TimeOffset, &w.AltCh2TimeOffset}},
              ParseTime);
    ReadTexts({{&n.Ch1ReadoutScale, &w.Ch1Scale}, {&n.Ch2ReadoutScale, &w.Ch2Scale}}, ParseVolt2);
    const SystemDataRecord& sd = w.SystemData;
    n.MathScale = PlainValue(sd.MathScale, 7);
    n.FftVrmsPerDiv = PlainValue(sd.FFTVrmsPerDiv, 7);
    n.FftDbPerDiv = PlainValue(sd.FFTDbPerDiv, 7);
    // The readouts take a scale that is not finite as it is.
    n.FftHzPerDiv = std::isfinite(sd.FFTHzPerDiv) ? PlainValue(sd.FFTHzPerDiv, 7)
                                                  : double(sd.FFTHzPerDiv);
}
