#pragma once
// A picture that keeps its texts: cleared, then texts written at pixel
// positions in its fore colour and font.
#include <QColor>
#include <QList>
#include <QWidget>

class TextPicture : public QWidget {
    Q_OBJECT
public:
    explicit TextPicture(QWidget* parent);
    void Cls();
    // Writes the first `length` characters of text with its top-left corner at (x, y).
    void TextOut(int x, int y, const QString& text, int length);

    struct Text {
        int x, y;
        QString text;
        QColor color;
        bool bold;
    };
    QList<Text> Texts;
    QColor ForeColor = Qt::black;
    bool FontBold = false;

protected:
    void paintEvent(QPaintEvent*) override;
};
