#pragma once
// The per-user settings store of the application: one ini file,
// $XDG_CONFIG_HOME/Velmora/Velmora.ini on Linux (organisation and application
// name "Velmora", the application title). Sections and keys are those the
// application has always used ("General_KV2200M", "Recent Sheet_KV2200M", ...).
#include <QSettings>
#include <memory>

// A fresh handle on the store. Handles on the same file share Qt's cache, so a
// value written through one is seen by the next.
std::unique_ptr<QSettings> OpenSettingsStore();

// Reads one value as text; `fallback` when the key is absent.
QString GetStoredText(const QString& section, const QString& key, const QString& fallback = QString());
// Writes one value as text. False when the store could not be written.
bool SaveStoredText(const QString& section, const QString& key, const QString& value);
