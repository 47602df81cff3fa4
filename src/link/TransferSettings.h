#pragma once
// The stored position of the transfer window (section "Settings_KV2200M").
#include <QString>

#include "common/SettingsStore.h"

inline QString ReadTransferSetting(const QString& key, const QString& fallback) {
    return GetStoredText("Settings_KV2200M", key, fallback);
}
inline void WriteTransferSetting(const QString& key, const QString& value) {
    SaveStoredText("Settings_KV2200M", key, value);
}
