#pragma once
// The shell's small pictures, drawn in code: toolbar buttons, the connection
// indicator, the document-kind pictures and the splash artwork.
#include <QIcon>
#include <QPixmap>

QIcon ToolbarIcon(const QString& key);    // by toolbar button key ("New", "Connect", ...)
QPixmap LedPixmap(bool connected);        // 16 x 16: green (connected) or dark red
QIcon DocKindIcon(int kind);              // DocumentKind 1..7
QPixmap SplashLogo(const QSize& size);
QIcon AppIcon();                          // the application's own: a scope screen with a trace
