// Branches of the pattern and duration code bits: one per logic channel.
#include "editors/ApplyCore.h"
#include "link/Converters.h"
#include "link/CtrlPlaces.h"
#include "link/KV2200Cmd.h"
#include "link/Vocabulary.h"

void AddCodeRows(std::vector<Row>& rows) {
    for (int n = 15; n >= 0; --n) {
        Row r;
        const int label = clD15 + 15 - n;
        r.key = {lbTrigger, lbCode, label};
        r.custom = [n, label](Applier& a) {
            const QString value = a.v.ComboText;
            const bool pattern = a.s.TriggerMethod == ValueWord(vwPattern);
            (pattern ? a.s.TriggerPatternCode : a.s.TriggerDurationCode)[16 - n] = value;
            a.node(21, 20 - n, label, value);
            // The whole code of the method goes out at once; a second edge is
            // cleared on the way (its leaf is rewritten through the tree hook).
            const QString cmd = PatternTriggerCommand(a.s, n);
            if (!cmd.isEmpty()) SendCmd(cmd);
            return ApplyEnd::Applied;
        };
        rows.push_back(r);
    }
}
