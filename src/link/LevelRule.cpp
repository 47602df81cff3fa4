#include "link/LevelRule.h"

#include "link/Vocabulary.h"

bool IsAcLineSource(const QString& source) {
    return source == QLatin1String("ACLINE") || (!source.isEmpty() && source == ValueWord(vwAcLine));
}

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
    } else if (trigger == LevelTrigger::Pulse || (trigger == LevelTrigger::Edge && !IsAcLineSource(source))) {
        r.by = LevelBy::Threshold;
    }
    return r;
}
