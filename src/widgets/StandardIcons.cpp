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
