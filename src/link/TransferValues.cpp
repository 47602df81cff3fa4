#include "link/TransferValues.h"

namespace {
constexpr int LabelChannelDisplay = 5;  // ControllerLabels: "Display" of a channel
}

QString OnWord() { return ValueWord(vwOn); }
QString OffWord() { return ValueWord(vwOff); }
QString DisplayLabel() { return ControllerLabel(LabelChannelDisplay); }
