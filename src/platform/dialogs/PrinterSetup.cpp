#include "platform/dialogs/PrinterSetup.h"

#include <QPageSetupDialog>
#include <QPrinter>

QPrinter& SharedPrinter() {
    static QPrinter* printer = [] {
        auto* p = new QPrinter(QPrinter::HighResolution);
        p->setPageSize(QPageSize(QPageSize::Letter));
        return p;
    }();
    return *printer;
}

void ShowPageSetup(QWidget* parent) {
    QPageSetupDialog dlg(&SharedPrinter(), parent);
    dlg.setWindowTitle("Page Setup");
    dlg.exec();
}
