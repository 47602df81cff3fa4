#pragma once
// Print documents: pages that place pictures at positions in inches, shown in
// a print preview or printed. A document lives while a print-document slot
// holds it; four application-wide slots are shared by the viewers of
// waveforms, memory waveforms and records.
//
// Preview and printing go through a service, so tests can answer them (for
// example by rendering the document into a PDF file).
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QPrinter;
class QWidget;

class PrintPreviewDoc {
public:
    struct Placed {
        QRectF inches;   // left, top, width, height on the page
        QImage picture;
    };
    struct Page {
        QSizeF inches{8.5, 11.0};   // portrait Letter unless set otherwise
        std::vector<Placed> pictures;
        void DrawPicture(const QRectF& inches, const QImage& picture) {
            pictures.push_back({inches, picture});
        }
    };

    // Starts the document again, without pages.
    void BeginDoc() { pages_.clear(); }
    // A new page at the end; the reference holds until the next AddPage.
    Page& AddPage() {
        pages_.emplace_back();
        return pages_.back();
    }
    const std::vector<Page>& Pages() const { return pages_; }

    // Places every page onto the printer: page size from the page, no
    // margins, each picture in its rectangle. False (with the reason) when
    // the printer cannot be painted on or reports an error.
    bool Render(QPrinter& printer, QString* error = nullptr) const;

    // The preview of the document.
    void ShowPreview(QWidget* parent = nullptr) const;
    // The print dialog, then the printing. A cancelled dialog prints nothing
    // and is no failure; a failure gives false and its reason. With no
    // printer on the system (the print dialog would close at once) the
    // document goes to a PDF file: PrintToPdfFile.
    bool PrintOut(QWidget* parent = nullptr, QString* error = nullptr) const;
    // The document as a PDF file, as the preview's "Print to File (PDF)"
    // writes it: the save dialog (NoPrinterPdfTitle(), "PDF Files (*.pdf)"
    // in the UI language) through the file-dialog service, then the file
    // written whole or not at all. A cancelled dialog writes nothing and is
    // no failure; a failure gives false and its reason.
    bool PrintToPdfFile(QWidget* parent = nullptr, QString* error = nullptr) const;

private:
    std::vector<Page> pages_;
};

// The four slots. A viewer's preview or print empties all four (in this
// order) and keeps its new document in its own slot; the viewer's window
// empties its own slot when it unloads.
struct PrintDocSlots {
    std::shared_ptr<PrintPreviewDoc> MemWavePrintDoc;
    std::shared_ptr<PrintPreviewDoc> WavePrintDoc;
    std::shared_ptr<PrintPreviewDoc> RecordPrintDoc;
    std::shared_ptr<PrintPreviewDoc> SparePrintDoc;
};
PrintDocSlots& PrintDocs();
void EmptyPrintDocSlots();

namespace PrintService {
// Replace the real preview dialog and the real print dialog with printing;
// nullptr restores the real ones.
void SetPreviewAnswerer(std::function<void(const PrintPreviewDoc&)> answerer);
void SetPrintAnswerer(std::function<bool(const PrintPreviewDoc&, QString* error)> answerer);
// Replace the question whether the system has any printer (true: one or
// more); nullptr asks the system again.
void SetPrinterCheck(std::function<bool()> anyPrinter);
}  // namespace PrintService

// The title of the save dialog of a print with no printer on the system,
// in the UI language.
QString NoPrinterPdfTitle();

// Picture files ------------------------------------------------------------------
// Writes the picture as a BMP file, whole or not at all. False with the
// reason when it cannot (an existing file then stays as it was).
bool SavePicture(const QImage& picture, const QString& path, QString* error = nullptr);
// Reads a picture file (a null image when it cannot).
QImage LoadPicture(const QString& path);
// Path of the temporary picture of previews and prints ("$Print.bmp" in a
// temporary folder of this process, removed when the application ends);
// empty when no temporary folder could be made.
QString PrintTempPicturePath();
