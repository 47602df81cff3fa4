#include "platform/print/PrintDocs.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QBuffer>
#include <QTemporaryDir>

#include "common/SaveFile.h"
#include "common/ShellState.h"
#include "platform/dialogs/PrinterSetup.h"

namespace {
std::function<void(const PrintPreviewDoc&)>& previewAnswerer() {
    static std::function<void(const PrintPreviewDoc&)> f;
    return f;
}
std::function<bool(const PrintPreviewDoc&, QString*)>& printAnswerer() {
    static std::function<bool(const PrintPreviewDoc&, QString*)> f;
    return f;
}
std::function<bool()>& printerCheck() {
    static std::function<bool()> f;
    return f;
}
bool AnyPrinter() {
    if (printerCheck()) return printerCheck()();
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}
QString tr(const char* text) { return QCoreApplication::translate("PrintDocs", text); }
}  // namespace

bool PrintPreviewDoc::Render(QPrinter& printer, QString* error) const {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (pages_.empty()) return true;
    printer.setFullPage(true);
    auto layoutOf = [](const Page& page) {
        return QPageLayout(QPageSize(page.inches, QPageSize::Inch), QPageLayout::Portrait,
                           QMarginsF());
    };
    printer.setPageLayout(layoutOf(pages_.front()));
    QPainter p;
    if (!p.begin(&printer)) return fail(tr("The printer could not be opened."));
    // Pictures go to the page as they are: a PDF (and so a printer's job)
    // would otherwise carry them as JPEG, paling colours and smearing lines.
    p.setRenderHint(QPainter::LosslessImageRendering);
    const double dpiX = printer.logicalDpiX(), dpiY = printer.logicalDpiY();
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (i > 0) {
            printer.setPageLayout(layoutOf(pages_[i]));
            if (!printer.newPage()) {
                p.end();
                return fail(tr("The printer could not start a new page."));
            }
        }
        for (const Placed& item : pages_[i].pictures) {
            if (item.picture.isNull()) continue;
            const QRectF r(item.inches.left() * dpiX, item.inches.top() * dpiY,
                           item.inches.width() * dpiX, item.inches.height() * dpiY);
            p.drawImage(r, item.picture);
        }
    }
    p.end();
    if (printer.printerState() == QPrinter::Error) return fail(tr("The printer reported an error."));
    return true;
}

void PrintPreviewDoc::ShowPreview(QWidget* parent) const {
    if (previewAnswerer()) {
        previewAnswerer()(*this);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(SharedPrinter().printerName());
    QPrintPreviewDialog dlg(&printer, parent);
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested,
                     [this](QPrinter* target) { Render(*target); });
    dlg.exec();
}

bool PrintPreviewDoc::PrintOut(QWidget* parent, QString* error) const {
    if (printAnswerer()) return printAnswerer()(*this, error);
    // With no printer the print dialog would close at once, as if cancelled.
    if (!AnyPrinter()) {
        if (error) *error = NoPrinterText();
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(SharedPrinter().printerName());
    QPrintDialog dlg(&printer, parent);
    if (dlg.exec() != QDialog::Accepted) return true;
    return Render(printer, error);
}

QString NoPrinterText() {
    return Shell().UILanguage == LangChinese ? QString::fromUtf8("没有安装打印机，无法打印。")
                                             : QStringLiteral("No printer is installed: nothing can be printed.");
}

PrintDocSlots& PrintDocs() {
    static PrintDocSlots s;
    return s;
}

void EmptyPrintDocSlots() {
    PrintDocSlots& s = PrintDocs();
    s.MemWavePrintDoc.reset();
    s.WavePrintDoc.reset();
    s.RecordPrintDoc.reset();
    s.SparePrintDoc.reset();
}

namespace PrintService {
void SetPreviewAnswerer(std::function<void(const PrintPreviewDoc&)> answerer) {
    previewAnswerer() = std::move(answerer);
}
void SetPrintAnswerer(std::function<bool(const PrintPreviewDoc&, QString* error)> answerer) {
    printAnswerer() = std::move(answerer);
}
void SetPrinterCheck(std::function<bool()> anyPrinter) { printerCheck() = std::move(anyPrinter); }
}  // namespace PrintService

bool SavePicture(const QImage& picture, const QString& path, QString* error) {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (picture.isNull()) return fail(tr("There is no picture to write."));
    // Encoded in memory first, so a failed encoding touches no file.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "BMP"))
        return fail(tr("The picture could not be written."));
    return SaveFileWhole(path, bytes, error);
}

QImage LoadPicture(const QString& path) { return QImage(path, "BMP"); }

QString PrintTempPicturePath() {
    static QTemporaryDir dir;
    return dir.isValid() ? dir.filePath(QStringLiteral("$Print.bmp")) : QString();
}
