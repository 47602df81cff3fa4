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
#include <QFile>
#include <QTemporaryDir>

#include "common/SaveFile.h"
#include "common/ShellState.h"
#include "platform/dialogs/FileDialog.h"
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
bool chinese() { return Shell().UILanguage == LangChinese; }
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
    // With no printer the print dialog would close at once, as if cancelled:
    // the document goes to a PDF file instead.
    if (!AnyPrinter()) return PrintToPdfFile(parent, error);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(SharedPrinter().printerName());
    QPrintDialog dlg(&printer, parent);
    if (dlg.exec() != QDialog::Accepted) return true;
    return Render(printer, error);
}

bool PrintPreviewDoc::PrintToPdfFile(QWidget* parent, QString* error) const {
    if (pages_.empty()) return true;
    const QString filter =
        chinese() ? QString::fromUtf8("PDF 文件 (*.pdf)|*.pdf") : QStringLiteral("PDF Files (*.pdf)|*.pdf");
    const QString path = GetSaveFileName(NoPrinterPdfTitle(), filter, parent);
    if (path.isEmpty()) return true;
    auto fail = [error](const char* english, const char* chineseText) {
        if (error) *error = chinese() ? QString::fromUtf8(chineseText) : QString::fromLatin1(english);
        return false;
    };
    // Rendered into a temporary file, then written whole: a failed print
    // leaves an existing file as it was.
    QTemporaryDir dir;
    if (!dir.isValid())
        return fail("The temporary folder could not be made: no PDF file was written.",
                    "无法建立临时文件夹，PDF 文件未写入。");
    QFile pdf(dir.filePath(QStringLiteral("print.pdf")));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf.fileName());
    if (!Render(printer, error)) return false;
    if (!pdf.open(QIODevice::ReadOnly)) return fail("The PDF file could not be made.", "PDF 文件无法生成。");
    return SaveFileWhole(path, pdf.readAll(), error);
}

QString NoPrinterPdfTitle() {
    return chinese() ? QString::fromUtf8("没有安装打印机：打印到文件 (PDF)")
                     : QStringLiteral("No printer is installed: Print to File (PDF)");
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
