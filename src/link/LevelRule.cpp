#include "link/LevelRule.h"

#include "link/Converters.h"
#include "link/SettingCatalog.h"
#include "link/Vocabulary.h"

bool IsAcLineSource(const QString& source) {
    return source == QLatin1String("ACLINE") || (!source.isEmpty() && source == ValueWord(vwAcLine));
}

bool IsLogicSource(const QString& source) { return source.startsWith('D') && IsSourceReply(source); }

LevelRule LevelRuleOf(const QString& source, LevelTrigger trigger) {
    LevelRule r;
    if (source == QLatin1String("CH1") || source == QLatin1String("CH2")) {
        r.by = LevelBy::Channel;
        r.channel = source == QLatin1String("CH1") ? 1 : 2;
    } else if (source == QLatin1String("EXT")) {
        r.by = LevelBy::Fixed;
        r.scale = "0.2";
    } else if (source == QLatin1String("EXT5")) {
        r.by = LevelBy::Fixed;
        r.scale = "1";
    } else if (IsLogicSource(source) && (trigger == LevelTrigger::Edge || trigger == LevelTrigger::Pulse)) {
        r.by = LevelBy::Threshold;
        r.logicChannel = true;
    } else if (IsAcLineSource(source) && trigger == LevelTrigger::Pulse) {
        r.by = LevelBy::Threshold;
    }
    return r;
}

LevelRule LevelRuleOf(const CtrlSettings& s, int levelNumber) {
    const SettingDesc& d = SettingOf(levelNumber);
    if (d.levelTrigger == LevelTrigger::None) return {};
    const QString source = d.levelChannel ? "CH" + QString::number(d.levelChannel) : SettingValue(s, d.levelSource);
    return LevelRuleOf(source, d.levelTrigger);
}

bool LevelIsThreshold(const QString& source, LevelTrigger trigger) {
    return LevelRuleOf(source, trigger).by == LevelBy::Threshold;
}

bool LevelIsThreshold(const CtrlSettings& s, int levelNumber) {
    return LevelRuleOf(s, levelNumber).by == LevelBy::Threshold;
}
