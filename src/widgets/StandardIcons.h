#pragma once
// The style's standard icons, made once per kind. The style loads each one
// from image files, which costs more than a window with a few buttons; every
// window that shows one takes it from here.
#include <QIcon>
#include <QStyle>

QIcon StandardIcon(QStyle::StandardPixmap kind);
