#pragma once
// A flat button: raised only under the pointer, its picture left of its
// caption. A caption may carry blanks that only pushed the text clear of
// the picture (the captions tables keep them): the button draws it without
// them, so a narrow button shows the word itself rather than an elided run
// of blanks. The caption is kept as set.
#include <QStyle>
#include <QToolButton>

class FlatButton : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A flat button named `name` with `text` beside the style's standard picture
// `icon` (made once, StandardIcons.h).
FlatButton* MakeFlatButton(QWidget* parent, const char* name, const QString& text,
                           QStyle::StandardPixmap icon);
