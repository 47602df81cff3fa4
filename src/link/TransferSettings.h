#pragma once
// The settings store the transfer window keeps its position in.
//
// STAND-IN until the shell's settings store is merged; then it forwards to it.
#include <QSettings>

inline QSettings TransferSettingsStoreStandIn() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "Velmora", "KV2200M");
}
#define TransferSettingsStore TransferSettingsStoreStandIn
