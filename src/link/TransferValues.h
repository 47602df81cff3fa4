#pragma once
// What the transfer jobs use of the reply parsers, formatters, word tables
// and the settings mirror, in one place.
#include <QString>

#include "common/DSOSettings.h"
#include "link/Converters.h"
#include "link/Formatters.h"
#include "link/ReplyParse.h"
#include "link/ScaleSteps.h"
#include "link/Vocabulary.h"

// The ON and OFF words of the value words, and the controller label of a
// channel's display setting, in the UI language.
QString OnWord();
QString OffWord();
QString DisplayLabel();
