#include "shell/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
// Qt asks for the file dialog's type words ("Folder", "%1 File", "Drive")
// under the icon provider's context, while the catalogue holds them under the
// file dialog's: a word the first lookup misses is looked up there.
class CatalogueTranslator : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char* disambiguation,
                      int n) const override {
        QString text = QTranslator::translate(context, source, disambiguation, n);
        if (text.isEmpty() && qstrcmp(context, "QAbstractFileIconProvider") == 0)
            text = QTranslator::translate("QFileDialog", source, disambiguation, n);
        return text;
    }
};

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
    auto* t = new CatalogueTranslator;
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
