#include "widgets/FlatButton.h"

#include <QStyleOptionToolButton>
#include <QStylePainter>

#include "widgets/StandardIcons.h"

void FlatButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionToolButton opt;
    initStyleOption(&opt);
    opt.text = opt.text.trimmed();
    p.drawComplexControl(QStyle::CC_ToolButton, opt);
}

FlatButton* MakeFlatButton(QWidget* parent, const char* name, const QString& text,
                           QStyle::StandardPixmap icon) {
    auto* b = new FlatButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setAutoRaise(true);
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setIcon(StandardIcon(icon));
    return b;
}
