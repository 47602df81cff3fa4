#pragma once
// TEMPORARY STAND-IN, to be dropped: the settings mirror's math display field
// and the ON/OFF value words that the connect uses, until the values code
// that owns them is in the tree. Distinct names, so nothing clashes with the
// real ones meanwhile.
#include <QString>

inline QString& PendingMathDisplay() {
    static QString s;
    return s;
}
inline QString PendingReplyLine(const QString& reply) {
    const int k = reply.indexOf(QLatin1Char('\n'));
    return k < 0 ? reply : reply.left(k);
}
inline QString PendingOffWord() { return QStringLiteral("OFF"); }
inline QString PendingOnOffWord(const QString& reply) {
    return reply == QLatin1String("ON") ? QStringLiteral("ON") : PendingOffWord();
}
