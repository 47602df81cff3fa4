#include "platform/print/PictureOutput.h"

#include <QCoreApplication>
#include <memory>

#include "common/ShellState.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/print/PrintDocs.h"

namespace {
QString tr(const char* text) { return QCoreApplication::translate("PictureOutput", text); }

std::shared_ptr<PrintPreviewDoc>& slotOf(PrintSlot slot) {
    PrintDocSlots& s = PrintDocs();
    switch (slot) {
        case PrintSlot::MemWave: return s.MemWavePrintDoc;
        case PrintSlot::Record: return s.RecordPrintDoc;
        case PrintSlot::Spare: return s.SparePrintDoc;
        case PrintSlot::Wave: break;
    }
    return s.WavePrintDoc;
}

void showFailure(const QString& text, int style) {
    MsgBox(text, style, QCoreApplication::applicationName());
}
}  // namespace

QRectF PicturePlace(bool print) { return QRectF(print ? 1.1 : 0.6, 2.0, 7.28, 5.2); }

bool ExportPictureBmp(const QImage& picture, QWidget* parent) {
    const int lang = Shell().UILanguage;
    const QString title = lang == LangEnglish   ? QStringLiteral("Export File")
                          : lang == LangChinese ? QString::fromUtf8("导出文件")
                                                : QString();
    const QString what = lang == LangEnglish   ? QStringLiteral("BitMap Files ")
                         : lang == LangChinese ? QString::fromUtf8("位图文件 ")
                                               : QString();
    const QString path = GetSaveFileName(title, what + "(*.bmp)|*.bmp", parent);
    if (path.isEmpty()) return false;
    QString error;
    if (SavePicture(picture, path, &error)) return true;
    showFailure(error, vbCritical);
    return false;
}

bool PreviewOrPrintPicture(const QImage& picture, PrintSlot slot, bool print, QWidget* parent) {
    QString error;
    const QString temp = PrintTempPicturePath();
    if (!SavePicture(picture, temp, &error)) {
        if (temp.isEmpty()) error = tr("The temporary folder could not be made.");
        showFailure(error, vbCritical);
        return false;
    }
    EmptyPrintDocSlots();
    auto doc = std::make_shared<PrintPreviewDoc>();
    slotOf(slot) = doc;
    doc->BeginDoc();
    PrintPreviewDoc::Page& page = doc->AddPage();
    page.inches = QSizeF(8.5, 11.0);
    page.DrawPicture(PicturePlace(print), LoadPicture(temp));
    if (!print) {
        doc->ShowPreview(parent);
        return true;
    }
    if (doc->PrintOut(parent, &error)) return true;
    showFailure(error, vbOKOnly);
    return false;
}
