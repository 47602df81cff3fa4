#include "measure/model/MeasureExport.h"

#include "link/MeasureCatalog.h"
#include "link/ReplyParse.h"

QByteArray MeasureExportText(const MeasureInfo& record, const QString& makerName, int language) {
    const QString eol = QStringLiteral("\r\n");
    const QChar tab = QLatin1Char('\t');
    QString out;
    out += makerName + QStringLiteral(" -[Measure]") + eol;
    out += eol + eol + eol + eol;
    out += record.Title + eol;
    out += eol;
    // The header is the same in either language.
    out += QString::fromUtf8("  类型\t   值\t  下限\t  上限\t通过&失败") + eol;
    for (int item : MeasureDisplayOrder) {
        const MeasureRow& m = MeasureOfItem(item);
        const MeasureItem& it = record.Items[size_t(item)];
        QString under, over;
        if (it.Enable) {
            under = FormatFamilyLimit(m.family, it.Under).Text;
            over = FormatFamilyLimit(m.family, it.Over).Text;
        }
        out += MeasureItemName(item, language) + tab + TrimReply(it.Value) + tab + under + tab + over +
               tab + it.Result + eol;
    }
    return out.toUtf8();
}
