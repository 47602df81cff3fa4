// Branches of the pattern and duration code bits: one per logic channel.
#include "editors/ApplyCore.h"
#include "link/Converters.h"
#include "link/KV2200Cmd.h"
#include "link/SettingCatalog.h"
#include "link/Vocabulary.h"

void AddCodeRows(std::vector<Row>& rows) {
    for (int n = 15; n >= 0; --n) {
        // The bit's row and key are the pattern code's (the duration code's
        // are the same).
        Row r = SettingRow(SettingNumber(&CtrlSettings::TriggerPatternCode, 16 - n));
        r.custom = [n](Applier& a) {
            const QString value = a.v.ComboText;
            const bool pattern = a.s.TriggerMethod == ValueWord(vwPattern);
            const int number = pattern ? SettingNumber(&CtrlSettings::TriggerPatternCode, 16 - n)
                                       : SettingNumber(&CtrlSettings::TriggerDurationCode, 16 - n);
            SettingValue(a.s, number) = value;
            a.show(number);
            // The whole code of the method goes out at once; a second edge is
            // cleared on the way (its leaf is rewritten through the tree hook).
            const QString cmd = PatternTriggerCommand(a.s, n);
            if (!cmd.isEmpty()) SendCmd(cmd);
            return ApplyEnd::Applied;
        };
        rows.push_back(r);
    }
}
