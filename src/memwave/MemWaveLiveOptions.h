#pragma once
// The memory-wave drawing's options from the live state: the ON word of the
// UI language and the settings mirror's FFT display value.
#include "memwave/paint/MemWavePaint.h"

MemWaveDrawOptions CurrentMemWaveDrawOptions(double zoom);
