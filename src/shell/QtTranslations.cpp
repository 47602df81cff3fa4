#include "shell/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
QTranslator*& installed() {
    static QTranslator* t = nullptr;
    return t;
}

void removeInstalled() {
    QTranslator*& t = installed();
    if (!t) return;
    QCoreApplication::removeTranslator(t);
    delete t;
    t = nullptr;
}
}  // namespace

bool ApplyQtTranslations(int lang) {
    if (lang == 1) {
        removeInstalled();
        return true;
    }
    if (lang != 0) return installed() != nullptr;
    if (installed()) return true;
    auto* t = new QTranslator;
    // "qtbase" holds the texts of the widgets, dialogs and print support.
    if (!t->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    installed() = t;
    return true;
}

bool QtTranslationsInstalled() { return installed() != nullptr; }
