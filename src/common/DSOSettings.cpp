#include "common/DSOSettings.h"

#include <algorithm>

namespace {
template <typename Rec, typename Ptr>
std::vector<Ptr> valuesOf(Rec& s) {
    std::vector<Ptr> v;
    v.reserve(CtrlValueCount);
#define KV_CTRL_TEXT(name) v.push_back(&s.name);
#define KV_CTRL_ARRAY(name) for (int k = 1; k <= 16; ++k) v.push_back(&s.name[k]);
    KV_CTRL_SETTINGS_FIELDS(KV_CTRL_TEXT, KV_CTRL_ARRAY)
#undef KV_CTRL_TEXT
#undef KV_CTRL_ARRAY
    return v;
}
}  // namespace

std::vector<QString*> CtrlSettingsValues(CtrlSettings& s) {
    return valuesOf<CtrlSettings, QString*>(s);
}

std::vector<const QString*> CtrlSettingsValues(const CtrlSettings& s) {
    return valuesOf<const CtrlSettings, const QString*>(s);
}

QStringList CtrlSettingsNames() {
    QStringList names;
#define KV_CTRL_TEXT(name) names << QStringLiteral(#name);
#define KV_CTRL_ARRAY(name) \
    for (int k = 1; k <= 16; ++k) names << QStringLiteral(#name "(%1)").arg(k);
    KV_CTRL_SETTINGS_FIELDS(KV_CTRL_TEXT, KV_CTRL_ARRAY)
#undef KV_CTRL_TEXT
#undef KV_CTRL_ARRAY
    return names;
}

int CtrlValueNumber(const CtrlSettings& s, const QString* value) {
    const std::vector<const QString*> values = CtrlSettingsValues(s);
    const auto it = std::find(values.begin(), values.end(), value);
    return it == values.end() ? 0 : int(it - values.begin()) + 1;
}

bool CtrlSettings::operator==(const CtrlSettings& o) const {
    const auto a = CtrlSettingsValues(*this);
    const auto b = CtrlSettingsValues(o);
    for (size_t i = 0; i < a.size(); ++i)
        if (*a[i] != *b[i]) return false;
    return true;
}

CtrlSettings& DSOSettings() {
    static CtrlSettings s;
    return s;
}
