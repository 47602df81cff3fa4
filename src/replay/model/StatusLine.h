#pragma once
// The status line of a Record view: the status word (the open prompt while no
// record is loaded, else the replay state's word) in white bold at (30, 8),
// and, unless the word is the open prompt, the counter "frame/count" in green
// 70 pixels from the right edge.
#include <QColor>
#include <QList>
#include <QString>

class QPainter;

// The status word in the language (a word of the other language becomes its
// pair); any other text is returned unchanged.
QString TranslateRecordStatus(const QString& status, int lang);
// True when the text is the "please open" word of the language.
bool IsRecordOpenPrompt(const QString& status, int lang);
// The texts of the status line, with their top-left corners, colours and
// weights, for a line `width` pixels wide.
struct StatusText {
    int x, y;
    QString text;
    QColor color;
    bool bold;
};
QList<StatusText> RecordStatusTexts(int width, const QString& status, int frame, int count, int lang);
// Draws texts at their top-left corners on a line cleared to the background.
void DrawStatusTexts(QPainter& p, int width, int height, const QColor& background, const QList<StatusText>& texts);
// Draws the status line, cleared to the background first.
void DrawRecordStatusLine(QPainter& p, int width, int height, const QColor& background,
                          const QString& status, int frame, int count, int lang);
