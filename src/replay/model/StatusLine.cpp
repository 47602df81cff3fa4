#include "replay/model/StatusLine.h"

#include <QPainter>

#include "common/LanguageId.h"
#include "replay/model/ReplayEngine.h"

QString TranslateRecordStatus(const QString& status, int lang) {
    if (lang != LangChinese && lang != LangEnglish) return status;
    const int other = lang == LangChinese ? LangEnglish : LangChinese;
    if (status == RecordOpenPrompt(other)) return RecordOpenPrompt(lang);
    for (int state = StateReplaying; state <= StateStop; ++state)
        if (status == ReplayStatusWord(state, other)) return ReplayStatusWord(state, lang);
    return status;
}

bool IsRecordOpenPrompt(const QString& status, int lang) {
    return (lang == LangChinese || lang == LangEnglish) && status == RecordOpenPrompt(lang);
}

QList<StatusText> RecordStatusTexts(int width, const QString& status, int frame, int count, int lang) {
    QList<StatusText> texts{{30, 8, status, QColor(255, 255, 255), true}};
    if (!IsRecordOpenPrompt(status, lang))
        texts.append({width - 70, 8, QString::number(frame) + '/' + QString::number(count), QColor(0, 255, 0), true});
    return texts;
}

void DrawStatusTexts(QPainter& p, int width, int height, const QColor& background, const QList<StatusText>& texts) {
    p.save();
    p.fillRect(0, 0, width, height, background);
    const int big = 1 << 14;
    for (const StatusText& t : texts) {
        QFont f = p.font();
        f.setBold(t.bold);
        p.setFont(f);
        p.setPen(t.color);
        p.drawText(QRect(t.x, t.y, big, big), Qt::AlignLeft | Qt::AlignTop, t.text);
    }
    p.restore();
}

void DrawRecordStatusLine(QPainter& p, int width, int height, const QColor& background,
                          const QString& status, int frame, int count, int lang) {
    DrawStatusTexts(p, width, height, background, RecordStatusTexts(width, status, frame, count, lang));
}
