#include "memwave/MemWaveLiveOptions.h"

#include "common/DSOSettings.h"
#include "link/Vocabulary.h"

MemWaveDrawOptions CurrentMemWaveDrawOptions(double zoom) {
    MemWaveDrawOptions o;
    o.Zoom = zoom;
    o.OnWord = ValueWord(vwOn);
    o.LiveFftDisplayWord = DSOSettings().FFTDisplay;
    return o;
}
