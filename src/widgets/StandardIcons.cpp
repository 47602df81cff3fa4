#include "widgets/StandardIcons.h"

#include <QApplication>
#include <map>

QIcon StandardIcon(QStyle::StandardPixmap kind) {
    static std::map<int, QIcon> made;
    const auto found = made.find(int(kind));
    if (found != made.end()) return found->second;
    const QIcon icon = QApplication::style()->standardIcon(kind);
    made.emplace(int(kind), icon);
    return icon;
}

QIcon IconCachingStyle::standardIcon(StandardPixmap kind, const QStyleOption* option,
                                     const QWidget* widget) const {
    // An option may ask for a state or size of its own: only the plain icon
    // is kept. Mirrored icons differ by direction.
    if (option) return QProxyStyle::standardIcon(kind, option, widget);
    const std::pair<int, bool> key(int(kind), QGuiApplication::isRightToLeft());
    const auto found = made_.find(key);
    if (found != made_.end()) return found->second;
    const QIcon icon = QProxyStyle::standardIcon(kind, option, widget);
    made_.emplace(key, icon);
    return icon;
}
