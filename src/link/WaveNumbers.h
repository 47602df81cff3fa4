#pragma once
// The numbers of a Wave record (`WaveInfo::Numbers`), read from its display
// texts and screen description. Call after writing any of them: the fetch's
// commit, the sheet reader and test fixtures do; the drawing only reads them.
#include "common/SheetModel.h"

void UpdateWaveNumbers(WaveInfo& w);
