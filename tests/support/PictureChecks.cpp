#include "PictureChecks.h"

#include <QPrinter>

#include "platform/print/PrintDocs.h"

namespace PictureChecks {

void PrintToPdf(const QString& pdfPath, QImage* printed) {
    PrintService::SetPrintAnswerer([pdfPath, printed](const PrintPreviewDoc& doc, QString* error) {
        if (printed && !doc.Pages().empty() && !doc.Pages()[0].pictures.empty())
            *printed = doc.Pages()[0].pictures[0].picture;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        return doc.Render(printer, error);
    });
}

}  // namespace PictureChecks
