#include "widgets/TextPicture.h"

#include <QPainter>

TextPicture::TextPicture(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
}

void TextPicture::Cls() {
    Texts.clear();
    update();
}

void TextPicture::TextOut(int x, int y, const QString& text, int length) {
    Texts.append({x, y, text.left(qMax(0, length)), ForeColor, FontBold});
    update();
}

void TextPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    for (const Text& t : Texts) {
        QFont f = font();
        f.setBold(t.bold);
        p.setFont(f);
        p.setPen(t.color);
        p.drawText(QRect(t.x, t.y, width(), height()), Qt::AlignLeft | Qt::AlignTop, t.text);
    }
}
