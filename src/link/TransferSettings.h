#pragma once
// The settings store the transfer window keeps its position in (section
// "Settings_KV2200M").
#include <QSettings>
#include <QString>

#if __has_include("common/SettingsStore.h")
#include "common/SettingsStore.h"

inline QString ReadTransferSetting(const QString& key, const QString& fallback) {
    return GetStoredText("Settings_KV2200M", key, fallback);
}
inline void WriteTransferSetting(const QString& key, const QString& value) {
    SaveStoredText("Settings_KV2200M", key, value);
}
#else
// TEMPORARY STAND-IN until the shell's settings store is in the tree; steps
// aside by itself once it is.
inline QString ReadTransferSetting(const QString& key, const QString& fallback) {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, "Velmora", "Velmora");
    return s.value("Settings_KV2200M/" + key, fallback).toString();
}
inline void WriteTransferSetting(const QString& key, const QString& value) {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, "Velmora", "Velmora");
    s.setValue("Settings_KV2200M/" + key, value);
}
#endif
