// The waveform window's cursors under the mouse, and its picture taken out:
// BMP export, preview and printing (to a PDF file here).
#include <QCheckBox>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QToolButton>
#include <QTemporaryDir>
#include <QtTest>

#include "PictureChecks.h"
#include "SheetSamples.h"
#include "TestEnv.h"
#include "common/DSOSettings.h"
#include "common/SheetModel.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/mouse/MouseControl.h"
#include "platform/print/PrintDocs.h"
#include "sheets/ViewWindows.h"
#include "waveview/frmWave.h"

namespace {
const QRgb CursorPen = qRgb(230, 200, 150);

// Pixels of the cursor pen in one column between two rows.
int penPixels(const QImage& img, int x, int top, int bottom) {
    int n = 0;
    for (int y = top; y <= bottom; ++y) n += img.pixel(x, y) == CursorPen;
    return n;
}

void send(QWidget* w, QEvent::Type type, double x, double y, Qt::MouseButtons held) {
    const QPointF at(x, y);
    QMouseEvent e(type, at, w->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
}  // namespace

class WaveViewOutputTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir;

    // A Wave view in slot 0 holding CH1 as a flat line across the middle,
    // at the fixed zoom 150% (picture 525 x 375), after its first tick.
    QPointer<frmWave> openView() {
        Sheets().WaveCount = 1;
        ResetViewRecord(ViewWave, 0);
        WaveInfo& w = Sheets().WaveViews[0];
        SheetSamples::FlatCh1(w, 100);
        w.Ch1Chosen = true;
        w.BestFit = false;
        auto* f = static_cast<frmWave*>(ViewForm(ViewWave, 0));
        f->resize(900, 700);
        f->Timer1->stop();
        f->Timer1_Timer();
        return f;
    }

private slots:
    void initTestCase() {
        TestEnv::Init();
        LoadValueWords(LangEnglish);
        LoadMeasureNames(LangEnglish);
        LoadMessages(LangEnglish);
        InstallWaveViewHooks();
        QVERIFY(dir.isValid());
    }
    void init() {
        DSOSettings().CH1Display = ValueWord(vwOn);
        MsgBoxService::ClearLog();
        FileDialogService::ClearLog();
    }
    void cleanup() {
        if (QWidget* w = ExistingViewForm(ViewWave, 0)) delete w;
        FileDialogService::SetAnswerer(nullptr);
        PrintService::SetPreviewAnswerer(nullptr);
        PrintService::SetPrintAnswerer(nullptr);
        MouseControl::SetCursor(MouseControl::PointerDefault);
    }

    void newWindowShowsTheWholePanel() {
        // A window opens at the size its form is made with: the last
        // button of the panel must be inside it.
        frmWave f;
        const QRect print(f.cmdPrint->mapTo(&f, QPoint(0, 0)), f.cmdPrint->size());
        QVERIFY2(f.rect().contains(print), qPrintable(QString("Print at bottom %1, form height %2")
                                                          .arg(print.bottom()).arg(f.height())));
    }

    void dragMovesTheCursorWithinTheGraticule() {
        QPointer<frmWave> f = openView();
        QCOMPARE(f->ShownPicture().size(), QSize(525, 375));
        f->ChkCursorX->setChecked(true);
        // The load values followed the picture from 350 x 250 to 525 x 375.
        QCOMPARE(f->Cursors.X1, 65.5);
        QCOMPARE(f->Cursors.X2, 433.0);
        QVERIFY(penPixels(f->ShownPicture(), 66, 30, 345) > 50);  // 65.5 drawn at 66

        send(f->WavePic, QEvent::MouseButtonPress, 64, 200, Qt::LeftButton);
        send(f->WavePic, QEvent::MouseMove, 200, 210, Qt::LeftButton);
        QCOMPARE(MouseControl::Cursor(), int(MouseControl::PointerSizeWE));
        QCOMPARE(f->Cursors.X1, 200.0);
        QVERIFY(penPixels(f->ShownPicture(), 200, 30, 345) > 50);
        QCOMPARE(penPixels(f->ShownPicture(), 66, 30, 345), 0);
        // Past the left edge: held at the graticule's limit.
        send(f->WavePic, QEvent::MouseMove, 3, 210, Qt::LeftButton);
        QCOMPARE(f->Cursors.X1, 27.0);
        QVERIFY(penPixels(f->ShownPicture(), 27, 30, 345) > 50);
        send(f->WavePic, QEvent::MouseButtonRelease, 3, 210, Qt::NoButton);
        // After the release a move drags nothing.
        send(f->WavePic, QEvent::MouseMove, 300, 210, Qt::NoButton);
        QCOMPARE(f->Cursors.X1, 27.0);
        QCOMPARE(f->Cursors.X2, 433.0);
        QCOMPARE(MouseControl::Cursor(), int(MouseControl::PointerDefault));
        // The other cursor is still drawn where it was.
        QVERIFY(penPixels(f->ShownPicture(), 433, 30, 345) > 50);
    }

    // A change redraws the picture when it is next painted or read: a window
    // under others draws nothing until it is seen.
    void redrawWaitsUntilThePictureIsSeen() {
        QPointer<frmWave> f = openView();
        const QImage before = f->ShownPicture();
        f->GridCheck->setChecked(!f->GridCheck->isChecked());
        QVERIFY(f->PictureStale);
        QCOMPARE(f->WavePic->Picture, before);
        f->WavePic->grab();
        QVERIFY(!f->PictureStale);
        QVERIFY(f->WavePic->Picture != before);
    }

    void exportWritesThePictureAsShown() {
        QPointer<frmWave> f = openView();
        f->ChkCursorY->setChecked(true);
        const QString path = dir.filePath("picture.bmp");
        FileDialogService::SetAnswerer([&](const FileDialogRequest&) { return path; });
        f->cmdExport_Click();
        QCOMPARE(FileDialogService::Log().size(), 1);
        QCOMPARE(FileDialogService::Log()[0].title, QString("Export File"));
        QCOMPARE(FileDialogService::Log()[0].filter, QString("BitMap Files (*.bmp)|*.bmp"));
        QVERIFY(MsgBoxService::Log().isEmpty());
        const QImage written(path, "BMP");
        QCOMPARE(written.size(), QSize(525, 375));
        QCOMPARE(written.convertToFormat(QImage::Format_RGB32),
                 f->ShownPicture().convertToFormat(QImage::Format_RGB32));
        // The trace's row (screen value 100 at 150%) holds CH1's colour.
        int yellow = 0;
        for (int x = 25; x < 475; ++x) yellow += written.pixel(x, 175) == WaveColors::Ch1().rgb();
        QVERIFY(yellow > 400);
        QCOMPARE(f->ZoomFactor, 1.5);

        // Cancelled: nothing written, nothing said.
        FileDialogService::SetAnswerer([](const FileDialogRequest&) { return QString(); });
        const QStringList before = QDir(dir.path()).entryList(QDir::Files);
        f->cmdExport_Click();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), before);
        QVERIFY(MsgBoxService::Log().isEmpty());

        // A file that cannot be written is reported with the error icon.
        FileDialogService::SetAnswerer(
            [&](const FileDialogRequest&) { return dir.filePath("missing/folder/p.bmp"); });
        f->cmdExport_Click();
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbCritical));
        QVERIFY(!MsgBoxService::Log()[0].text.isEmpty());
    }

    void printGivesOneLetterPage() {
        QPointer<frmWave> f = openView();
        f->ChkCursorX->setChecked(true);
        const CursorState cursors = f->Cursors;
        auto earlier = std::make_shared<PrintPreviewDoc>();
        PrintDocs().MemWavePrintDoc = earlier;
        PrintDocs().SparePrintDoc = earlier;
        const QString pdf = dir.filePath("page.pdf");
        QImage printed;
        PictureChecks::PrintToPdf(pdf, &printed);
        f->cmdPrint_Click();
        QVERIFY(MsgBoxService::Log().isEmpty());

        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(QString::fromLatin1(bytes).count(QRegularExpression("/Type\\s*/Page\\b(?!s)")), 1);
        // A Letter page: 612 x 792 points.
        const QRegularExpressionMatch box =
            QRegularExpression("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]")
                .match(QString::fromLatin1(bytes));
        QVERIFY(box.hasMatch());
        QCOMPARE(box.captured(1).toDouble(), 612.0);
        QCOMPARE(box.captured(2).toDouble(), 792.0);

        // The document: the 700 x 500 drawing at 1.1 in from the left, 2 in down.
        const auto doc = PrintDocs().WavePrintDoc;
        QVERIFY(doc);
        QVERIFY(!PrintDocs().MemWavePrintDoc && !PrintDocs().SparePrintDoc);
        QCOMPARE(doc->Pages().size(), size_t(1));
        QCOMPARE(doc->Pages()[0].inches, QSizeF(8.5, 11.0));
        QCOMPARE(doc->Pages()[0].pictures[0].inches, QRectF(1.1, 2.0, 7.28, 5.2));
        QCOMPARE(printed.size(), QSize(700, 500));
        // The cursor keeps its place on the graticule: 65.5 at 150% is 79 at 200%.
        QVERIFY(penPixels(printed, 79, 30, 470) > 50);
        // The window is back at its own factor, its cursors untouched.
        QCOMPARE(f->ZoomFactor, 1.5);
        QCOMPARE(f->ShownPicture().size(), QSize(525, 375));
        QCOMPARE(f->Cursors.X1, cursors.X1);
        QCOMPARE(f->Cursors.X2, cursors.X2);

        // A print failure is reported once, plainly.
        PrintService::SetPrintAnswerer([](const PrintPreviewDoc&, QString* error) {
            *error = "The printer is out of paper.";
            return false;
        });
        f->cmdPrint_Click();
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].text, QString("The printer is out of paper."));
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbOKOnly));
    }

    void previewReplacesTheEarlierDocument() {
        QPointer<frmWave> f = openView();
        QList<QRectF> shown;
        PrintService::SetPreviewAnswerer([&](const PrintPreviewDoc& doc) {
            shown << doc.Pages()[0].pictures[0].inches;
        });
        f->cmdPreview_Click();
        std::weak_ptr<PrintPreviewDoc> first = PrintDocs().WavePrintDoc;
        QVERIFY(!first.expired());  // kept after the preview returned
        f->cmdPreview_Click();
        QVERIFY(first.expired());
        QCOMPARE(shown, (QList<QRectF>{QRectF(0.6, 2.0, 7.28, 5.2), QRectF(0.6, 2.0, 7.28, 5.2)}));
        QVERIFY(MsgBoxService::Log().isEmpty());
        // No picture to save (the window still loading): the failure is
        // reported and no page with an old picture is made.
        f->LayoutPending = true;
        f->WavePic->Picture = QImage();
        f->cmdPreview_Click();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbCritical));
        QCOMPARE(f->ZoomFactor, 1.5);
        // Closing the window releases its document.
        delete f.data();
        QVERIFY(!PrintDocs().WavePrintDoc);
    }
};

QTEST_MAIN(WaveViewOutputTest)
#include "tst_waveview_output.moc"
