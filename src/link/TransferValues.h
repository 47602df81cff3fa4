#pragma once
// What the transfer jobs use of the reply parsers, formatters, word tables
// and the settings mirror, in one place.
#include <QString>

#if __has_include("link/Formatters.h") && __has_include("link/Vocabulary.h")
#include "common/DSOSettings.h"
#include "link/Converters.h"
#include "link/Formatters.h"
#include "link/ReplyParse.h"
#include "link/ScaleSteps.h"
#include "link/Vocabulary.h"
#define KV_TRANSFER_VALUES_MERGED 1
#else
// TEMPORARY STAND-IN until the value formatters, vocabulary and settings
// mirror are in the tree; steps aside by itself once they are.
QString TrimReply(const QString& text);
QString FormatVolt(const QString& text);
QString FormatTime4(const QString& text);
QString FormatFreq(const QString& text);
QString FormatPercent(const QString& text);
QString OnOffToText(const QString& reply);
struct TransferMirrorStandIn {
    QString MathDisplay, FFTDisplay, CH1Display, CH2Display;
};
TransferMirrorStandIn& DSOSettings();
#endif

// The ON and OFF words of the value words, and the controller label of a
// channel's display setting, in the UI language.
QString OnWord();
QString OffWord();
QString DisplayLabel();
