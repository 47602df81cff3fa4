#pragma once
// What the transfer jobs use of the reply parsers, formatters, word tables
// and the settings mirror, in one place.
//
// STAND-IN: minimal local versions until the value formatters, vocabulary
// and settings mirror are merged; then this header only forwards to them.
#include <QString>

QString TrimReply(const QString& text);
QString FormatVolt(const QString& text);
QString FormatTime4(const QString& text);
QString FormatFreq(const QString& text);
QString FormatPercent(const QString& text);
QString OnOffToText(const QString& reply);

// The ON and OFF words of the value words, and the controller label "Display",
// in the UI language.
QString OnWord();
QString OffWord();
QString DisplayLabel();

struct TransferMirrorStandIn {
    QString MathDisplay, FFTDisplay, CH1Display, CH2Display;
};
TransferMirrorStandIn& DSOSettings();
