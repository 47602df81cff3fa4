#include "common/SettingsStore.h"

std::unique_ptr<QSettings> OpenSettingsStore() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Velmora", "Velmora");
}

QString GetStoredText(const QString& section, const QString& key, const QString& fallback) {
    auto s = OpenSettingsStore();
    const QString full = section + "/" + key;
    if (!s->contains(full)) return fallback;
    return s->value(full).toString();
}

bool SaveStoredText(const QString& section, const QString& key, const QString& value) {
    auto s = OpenSettingsStore();
    s->setValue(section + "/" + key, value);
    s->sync();
    return s->status() == QSettings::NoError;
}
