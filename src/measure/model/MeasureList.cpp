#include "measure/model/MeasureList.h"

#include "link/Messages.h"

QString VerdictText(Verdict verdict, int language) {
    if (language != 0 && language != 1) return QString();
    const bool en = language == 1;
    switch (verdict) {
    case Verdict::None: return QString();
    case Verdict::Pass: return en ? QStringLiteral("Pass") : QString::fromUtf8("通过");
    case Verdict::Fail: return en ? QStringLiteral("Fail") : QString::fromUtf8("失败");
    case Verdict::UnderLimit:
        return en ? QStringLiteral("Fail [Under Limit]") : QString::fromUtf8("失败 [低于下限]");
    case Verdict::OverLimit:
        return en ? QStringLiteral("Fail [Over Limit]") : QString::fromUtf8("失败 [高于上限]");
    }
    return QString();
}

Verdict Judge(const MeasureItem& item, UnitFamily family) {
    if (item.Value.isEmpty() || !item.Enable) return Verdict::None;
    const ParsedValue v = ParseFamilyValue(family, item.Value);
    if (!v.valid) return Verdict::Fail;
    if (v.value < item.Under) return Verdict::UnderLimit;
    if (v.value > item.Over) return Verdict::OverLimit;
    return Verdict::Pass;
}

QString UnreadMeasuresText(int unread, int asked) {
    if (unread <= 0) return QString();
    return MessageTable().MsgMeasuresUnread.arg(unread).arg(asked);
}

MeasureListRows NameRows(int language) {
    MeasureListRows rows;
    for (int r = 0; r < MeasureCount18; ++r) {
        const MeasureRow& m = MeasureOfItem(MeasureDisplayOrder[size_t(r)]);
        MeasureListRow& row = rows[size_t(r)];
        row.item = m.item;
        row.picture = m.picture;
        row.name = MeasureItemName(m.item, language);
    }
    return rows;
}

MeasureListRows JudgedRows(MeasureInfo& record, int language) {
    MeasureListRows rows = NameRows(language);
    for (MeasureListRow& row : rows) {
        MeasureItem& it = record.Items[size_t(row.item)];
        const UnitFamily family = MeasureOfItem(row.item).family;
        row.value = it.Value;
        it.Result.clear();
        const Verdict v = Judge(it, family);
        if (v == Verdict::None) continue;
        row.under = FormatFamilyLimit(family, it.Under).Text;
        row.over = FormatFamilyLimit(family, it.Over).Text;
        row.verdict = VerdictText(v, language);
        it.Result = row.verdict;
    }
    return rows;
}

std::vector<int> ShareColumnWidths(int room, const std::vector<int>& least) {
    std::vector<int> widths(least);
    std::vector<bool> sized(least.size(), false);
    int left = room;
    int open = int(least.size());
    // A column too wide for the equal share takes its least width; the
    // share of the others shrinks with it, so look again until none is.
    for (bool more = true; more && open > 0;) {
        more = false;
        const int share = left / open;
        for (size_t c = 0; c < least.size(); ++c)
            if (!sized[c] && least[c] > share) {
                sized[c] = true;
                left -= least[c];
                --open;
                more = true;
            }
    }
    for (size_t c = 0; c < least.size(); ++c)
        if (!sized[c]) widths[c] = left / open;
    return widths;
}
