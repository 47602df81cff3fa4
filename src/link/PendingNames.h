#pragma once
// TEMPORARY STAND-IN, to be dropped: the few names of the message table, the
// settings mirror and the value words that connect and the serial transport
// use, until their own headers are in the tree. Each block steps aside by
// itself once the real header exists.
#include <QString>

#if __has_include("link/Messages.h")
#include "link/Messages.h"
#else
struct MessageTableData {
    QString MsgDeviceNotFound = "Device not found!";
    QString MsgTitleConnect = "Connect to Oscilloscope";
    QString MsgTitleRs232Init = "RS232 Init";
    QString MsgBadPortNumber = "Invalid port number!";
    QString MsgTitleRs232Send = "RS232 Send Message";
};
inline MessageTableData& MessageTable() {
    static MessageTableData t;
    return t;
}
#endif

#if __has_include("common/DSOSettings.h")
#include "common/DSOSettings.h"
#else
struct CtrlSettings {
    QString MathDisplay;
};
inline CtrlSettings& DSOSettings() {
    static CtrlSettings s;
    return s;
}
#endif

#if !defined(KV_HAVE_VALUE_WORDS)
inline QString TrimReply(const QString& reply) {
    const int k = reply.indexOf(QLatin1Char('\n'));
    return k < 0 ? reply : reply.left(k);
}
inline QString OnWordStandIn() { return QStringLiteral("ON"); }
inline QString OffWordStandIn() { return QStringLiteral("OFF"); }
inline QString OnOffToText(const QString& reply) {
    return reply == QLatin1String("ON") ? OnWordStandIn() : OffWordStandIn();
}
#endif
