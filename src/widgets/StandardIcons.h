#pragma once
// The style's standard icons, made once per kind and only when first drawn or
// measured. The style loads each one from image files, which costs more than
// a window with a few buttons; every window that shows one takes it from here.
#include <QIcon>
#include <QProxyStyle>
#include <QStyle>
#include <map>

QIcon StandardIcon(QStyle::StandardPixmap kind);

// The application's style with its standard icons made once per kind and
// direction: Qt's own windows ask for them too (each MDI child window makes
// its system menu's icons), and the style reads them from image files at
// every call. Everything else is the base style's.
class IconCachingStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap kind, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;

private:
    mutable std::map<std::pair<int, bool>, QIcon> made_;
};
