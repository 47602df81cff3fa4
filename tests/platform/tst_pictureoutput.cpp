// The picture service of every viewer: the print-document slot it is given,
// the dialog texts of both UI languages, the picture as handed in.
#include <QtTest>
#include <memory>

#include "PictureChecks.h"
#include "TestEnv.h"
#include "common/ShellState.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/print/PictureOutput.h"
#include "platform/print/PrintDocs.h"

Q_DECLARE_METATYPE(PrintSlot)

namespace {
QImage Picture() {
    QImage img(70, 50, QImage::Format_RGB32);
    img.fill(qRgb(0, 0, 0));
    img.setPixel(3, 4, qRgb(255, 255, 0));
    return img;
}

std::shared_ptr<PrintPreviewDoc>& SlotOf(PrintSlot slot) {
    PrintDocSlots& s = PrintDocs();
    switch (slot) {
        case PrintSlot::MemWave: return s.MemWavePrintDoc;
        case PrintSlot::Wave: return s.WavePrintDoc;
        case PrintSlot::Record: return s.RecordPrintDoc;
        case PrintSlot::Spare: break;
    }
    return s.SparePrintDoc;
}
}  // namespace

class PictureOutputTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::Init(); }
    void init() {
        MsgBoxService::ClearLog();
        FileDialogService::ClearLog();
    }
    void cleanup() {
        FileDialogService::SetAnswerer(nullptr);
        PrintService::SetPreviewAnswerer(nullptr);
        PrintService::SetPrintAnswerer(nullptr);
        PrintService::SetPrinterCheck(nullptr);
        Shell().UILanguage = LangEnglish;
        EmptyPrintDocSlots();
    }

    void documentStaysInTheGivenSlot_data() {
        QTest::addColumn<PrintSlot>("slot");
        QTest::addColumn<bool>("print");
        QTest::newRow("memory wave, preview") << PrintSlot::MemWave << false;
        QTest::newRow("record, print") << PrintSlot::Record << true;
        QTest::newRow("wave, print") << PrintSlot::Wave << true;
    }
    void documentStaysInTheGivenSlot() {
        QFETCH(PrintSlot, slot);
        QFETCH(bool, print);
        const auto earlier = std::make_shared<PrintPreviewDoc>();
        for (PrintSlot s : {PrintSlot::MemWave, PrintSlot::Wave, PrintSlot::Record, PrintSlot::Spare})
            SlotOf(s) = earlier;
        QImage got;
        PrintService::SetPreviewAnswerer(
            [&](const PrintPreviewDoc& d) { got = d.Pages()[0].pictures[0].picture; });
        PrintService::SetPrintAnswerer([&](const PrintPreviewDoc& d, QString*) {
            got = d.Pages()[0].pictures[0].picture;
            return true;
        });
        QVERIFY(PreviewOrPrintPicture(Picture(), slot, print));
        QCOMPARE(earlier.use_count(), 1L);  // every slot let it go
        const auto doc = SlotOf(slot);
        QVERIFY(doc);
        QCOMPARE(doc->Pages().size(), size_t(1));
        QCOMPARE(doc->Pages()[0].inches, QSizeF(8.5, 11.0));
        QCOMPARE(doc->Pages()[0].pictures[0].inches, QRectF(print ? 1.1 : 0.6, 2.0, 7.28, 5.2));
        // The picture went through the temporary file unchanged.
        QCOMPARE(got.convertToFormat(QImage::Format_RGB32), Picture());
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    void noPictureMakesNoDocument() {
        const auto earlier = std::make_shared<PrintPreviewDoc>();
        PrintDocs().RecordPrintDoc = earlier;
        bool shown = false;
        PrintService::SetPreviewAnswerer([&](const PrintPreviewDoc&) { shown = true; });
        QVERIFY(!PreviewOrPrintPicture(QImage(), PrintSlot::Record, false));
        QVERIFY(!shown);
        QCOMPARE(PrintDocs().RecordPrintDoc, earlier);
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbCritical));
    }

    // With no printer on the system (the print dialog would close at once,
    // as if cancelled) a print writes the page to a PDF file chosen in the
    // save dialog, as the preview's print to file does; a cancelled choice
    // writes nothing and is no failure. The preview still works.
    void noPrinterPrintsToPdf_data() {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("filter");
        QTest::newRow("English") << int(LangEnglish) << "No printer is installed: Print to File (PDF)"
                                 << "PDF Files (*.pdf)|*.pdf";
        QTest::newRow("Chinese") << int(LangChinese)
                                 << QString::fromUtf8("没有安装打印机：打印到文件 (PDF)")
                                 << QString::fromUtf8("PDF 文件 (*.pdf)|*.pdf");
    }
    void noPrinterPrintsToPdf() {
        QFETCH(int, lang);
        QFETCH(QString, title);
        QFETCH(QString, filter);
        Shell().UILanguage = lang;
        PrintService::SetPrinterCheck([] { return false; });
        QTemporaryDir dir;
        QString answer = dir.filePath("page");  // typed without its extension
        FileDialogService::SetAnswerer([&](const FileDialogRequest&) { return answer; });
        QVERIFY(PreviewOrPrintPicture(Picture(), PrintSlot::Wave, true));
        QCOMPARE(FileDialogService::Log().size(), 1);
        QCOMPARE(FileDialogService::Log()[0].kind, FileDialogKind::Save);
        QCOMPARE(FileDialogService::Log()[0].title, title);
        QCOMPARE(FileDialogService::Log()[0].filter, filter);
        QFile pdf(dir.filePath("page.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QVERIFY(bytes.contains("/Subtype /Image"));
        QVERIFY(MsgBoxService::Log().isEmpty());

        answer.clear();  // cancelled
        QVERIFY(PreviewOrPrintPicture(Picture(), PrintSlot::Wave, true));
        QCOMPARE(FileDialogService::Log().size(), 2);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"page.pdf"});
        QVERIFY(MsgBoxService::Log().isEmpty());

        bool shown = false;
        PrintService::SetPreviewAnswerer([&](const PrintPreviewDoc&) { shown = true; });
        QVERIFY(PreviewOrPrintPicture(Picture(), PrintSlot::Wave, false));
        QVERIFY(shown);
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    // A PDF file that cannot be written is said once, and no file is left.
    void unwritablePdfIsSaid() {
        PrintService::SetPrinterCheck([] { return false; });
        QTemporaryDir dir;
        const QString path = dir.filePath("no such folder/page.pdf");
        FileDialogService::SetAnswerer([&](const FileDialogRequest&) { return path; });
        QVERIFY(!PreviewOrPrintPicture(Picture(), PrintSlot::Wave, true));
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QVERIFY(!QFile::exists(path));
    }

    // The printed page carries the picture without loss: no JPEG in the PDF
    // (a print job is one), so yellow stays yellow and thin lines stay sharp.
    void printedPictureIsLossless() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath("page.pdf");
        PictureChecks::PrintToPdf(pdf, nullptr);
        QImage picture(700, 500, QImage::Format_RGB32);
        picture.fill(qRgb(255, 255, 0));
        for (int x = 0; x < 700; x += 7) picture.setPixel(x, 250, qRgb(0, 0, 0));
        QVERIFY(PreviewOrPrintPicture(picture, PrintSlot::Wave, true));
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.contains("/Subtype /Image"));
        QVERIFY(!bytes.contains("/DCTDecode"));
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    void exportDialogInTheUiLanguage() {
        QTemporaryDir dir;
        const QString path = dir.filePath("p.bmp");
        FileDialogService::SetAnswerer([&](const FileDialogRequest&) { return path; });
        Shell().UILanguage = LangChinese;
        QVERIFY(ExportPictureBmp(Picture()));
        QCOMPARE(FileDialogService::Log()[0].title, QString::fromUtf8("导出文件"));
        QCOMPARE(FileDialogService::Log()[0].filter, QString::fromUtf8("位图文件 (*.bmp)|*.bmp"));
        QCOMPARE(QImage(path, "BMP").convertToFormat(QImage::Format_RGB32), Picture());
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    // A name typed without an extension is saved as a BMP file it can be found by.
    void exportNameWithoutExtensionGetsBmp() {
        QTemporaryDir dir;
        FileDialogService::SetAnswerer([&](const FileDialogRequest&) { return dir.filePath("p"); });
        QVERIFY(ExportPictureBmp(Picture()));
        QVERIFY(!QFile::exists(dir.filePath("p")));
        QCOMPARE(QImage(dir.filePath("p.bmp"), "BMP").convertToFormat(QImage::Format_RGB32), Picture());
    }
};

QTEST_MAIN(PictureOutputTest)
#include "tst_pictureoutput.moc"
