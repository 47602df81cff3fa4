// The Memory Wave window: its set-up from the record, opening a file,
// steps, the zoom box and its bounds, per-window cursor rescaling, and the
// picture's print (to a PDF file) and BMP export.
#include <QtTest>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include "PictureChecks.h"
#include "NonRegularFiles.h"
#include "TestEnv.h"
#include "WfmBuilder.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "link/Messages.h"
#include "memwave/frmOpenWaveform.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/print/PrintDocs.h"
#include "screen/WaveGeometry.h"
#include "sheets/SheetDocument.h"
#include "shell/Language.h"
#include "sheets/ViewWindows.h"

namespace {
// A normal-mode file: 1200 CH1 samples of code 75 (two divisions above the
// centre at 1 V/div), 100 kSa/s, 1 ms/div: the record fills the screen.
QByteArray FlatFile() {
    WfmBuilder b;
    b.points(1200).on(true, false, false).trigger(0);
    b.i32(36, 1000000).i32(52, 1000000).i64(84, 1000000000).f32(100, 1e5f);
    b.block(QByteArray(1200, char(75)));
    return b.bytes();
}

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return QString();
    return path;
}

bool Black(const QImage& img, int x, int y) { return img.pixel(x, y) == qRgb(0, 0, 0); }
}  // namespace

class MemWaveWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    frmOpenWaveform* Open(int slot) {
        MemWaveInfo& r = Sheets().MemWaveViews[size_t(slot)];
        r = MemWaveInfo();
        r.Name = QString("Memory Wave%1").arg(slot);
        r.BlackBackground = false;  // black on white: one colour to look for
        r.ShowGrid = false;
        Sheets().MemWaveCount = int16_t(std::max<int>(Sheets().MemWaveCount, slot + 1));
        auto* f = new frmOpenWaveform;
        SetViewForm(ViewMemoryWave, slot, f);
        f->resize(1000, 700);
        f->Timer1_Timer();
        return f;
    }

private slots:
    void initTestCase() { TestEnv::Init(); }
    void init() { MsgBoxService::ClearLog(); }
    void cleanup() {
        for (int i = 0; i < MemWaveSlots; ++i)
            if (QWidget* f = ExistingViewForm(ViewMemoryWave, i)) {
                SetViewForm(ViewMemoryWave, i, nullptr);
                delete f;
            }
        FileDialogService::SetAnswerer(nullptr);
        PrintService::SetPrintAnswerer(nullptr);
        EmptyPrintDocSlots();
    }

    void setUpTakesTheRecordsOptions() {
        Sheets().SheetModified = false;
        frmOpenWaveform* f = Open(0);
        QVERIFY(!f->Initialising);
        QVERIFY(Sheets().MemWaveViews[0].WindowOpen);
        QVERIFY(!f->GridCheck->isChecked());
        QVERIFY(f->OptionColor[1]->isChecked());
        QVERIFY(!Sheets().SheetModified);  // the set-up is no change
        QCOMPARE(f->ZoomCombo->currentText(), QString("200%"));
        QCOMPARE(f->MemoryWavePic->Picture.size(), QSize(700, 500));
        f->GridCheck->setChecked(true);  // a click marks the sheet even without a file
        QVERIFY(Sheets().SheetModified);
        QVERIFY(Sheets().MemWaveViews[0].ShowGrid);
    }

    void openStepAndReset() {
        frmOpenWaveform* f = Open(0);
        const QString path = Write(dir, "flat.wfm", FlatFile());
        QVERIFY(f->OpenWaveformFile(path));
        MemWaveInfo& r = Sheets().MemWaveViews[0];
        QVERIFY(r.Loaded && r.HasCh1);
        QCOMPARE(f->windowTitle(), "Memory Wave0  (" + path + ")");
        QCOMPARE(f->txtCH1Div->text(), QString("1.00V"));
        QVERIFY(!f->txtCH1Div->isHidden() && f->txtCH2Div->isHidden());
        QCOMPARE(f->txtTimeDiv->text(), QString("1.000ms"));
        // Code 75 lies on row 50: picture row 125 at 200 %.
        QImage img = f->MemoryWavePic->Picture;
        QVERIFY(Black(img, 227, 125) && !Black(img, 227, 175));

        // CH1 up to 2 V/div: the trace halves its height above the centre.
        Sheets().SheetModified = false;
        f->StepPress(0, 1);
        QCOMPARE(f->txtCH1Div->text(), QString("2.00V"));
        QVERIFY(Sheets().SheetModified);
        f->StepRelease();
        img = f->MemoryWavePic->Picture;
        QVERIFY(Black(img, 227, 175) && !Black(img, 227, 125));

        // Reset brings the scale of the load back.
        f->Reset_Click();
        QCOMPARE(f->txtCH1Div->text(), QString("1.00V"));
        QVERIFY(Black(f->MemoryWavePic->Picture, 227, 125));
    }

    // A file that cannot be shown says why and leaves the view as it was:
    // damaged ones and those that are no waveform file with the format's
    // message (a folder or a named pipe never opened), one that cannot be
    // opened with the system's reason.
    void refusedFileLeavesTheViewAlone_data() {
        QTest::addColumn<QString>("fileKind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("formatMessage");
        QByteArray cut = FlatFile();
        cut.chop(100);
        QByteArray negative = FlatFile();
        negative.replace(28, 4, QByteArray::fromHex("ffffffff"));
        QTest::newRow("block past the end") << QString() << cut << true;
        QTest::newRow("negative count") << QString() << negative << true;
        QTest::newRow("not a waveform") << QString() << QByteArray("not a waveform") << true;
        QTest::newRow("10 M samples") << "10M" << QByteArray() << true;
        QTest::newRow("folder") << "folder" << QByteArray() << true;
        QTest::newRow("named pipe") << "fifo" << QByteArray() << true;
        QTest::newRow("missing") << "missing" << QByteArray() << false;
    }
    void refusedFileLeavesTheViewAlone() {
        QFETCH(QString, fileKind);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, formatMessage);
        frmOpenWaveform* f = Open(0);
        const QString good = Write(dir, "flat.wfm", FlatFile());
        QVERIFY(f->OpenWaveformFile(good));
        const MemWaveInfo& r = Sheets().MemWaveViews[0];
        const std::vector<int16_t> memory = r.Ch1Memory;
        const QImage shown = f->MemoryWavePic->Picture;
        const QString title = f->windowTitle();
        Sheets().SheetModified = false;

        QString path;
        if (fileKind.isEmpty()) {
            path = Write(dir, "bad.wfm", bytes);
        } else if (fileKind == "10M") {
            // 10 M samples of CH1 (a sparse file): past the 2,100,001 bytes read.
            path = Write(dir, "deep.wfm", WfmBuilder().points(10000000).on(true, false, false).bytes());
            QFile deep(path);
            if (!deep.resize(276 + 10000000)) QSKIP("no sparse file here");
        } else if (fileKind == "missing") {
            path = dir.filePath("no such file.wfm");
        } else {
            path = NonRegularFilePath(fileKind, dir);
            if (path.isEmpty()) QSKIP("not on this system");
        }
        QVERIFY(!f->OpenWaveformFile(path));
        QCOMPARE(MsgBoxService::Log().size(), 1);
        if (formatMessage) QCOMPARE(MsgBoxService::Log()[0].text, MessageTable().MsgFileFormatError);
        else QCOMPARE(MsgBoxService::Log()[0].style, int(vbCritical));
        QVERIFY(r.Loaded && r.Ch1Memory == memory && r.FilePath == good);
        QCOMPARE(f->windowTitle(), title);
        QCOMPARE(f->MemoryWavePic->Picture, shown);
        QVERIFY(!Sheets().SheetModified);
    }

    void zoomBox_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("refused");
        QTest::newRow("list entry") << "100%" << 1.0 << "100%" << false;
        QTest::newRow("typed 150 %") << "150 %" << 1.5 << "150%" << false;
        QTest::newRow("no percent sign") << "150" << 2.0 << "200%" << true;
        QTest::newRow("not a number") << "abc%" << 2.0 << "200%" << true;
        QTest::newRow("below the least") << "0%" << 0.01 << "1%" << false;
        QTest::newRow("the most") << "1000%" << 10.0 << "1000%" << false;
        QTest::newRow("above the most") << "5000%" << 2.0 << "200%" << true;
    }
    void zoomBox() {
        QFETCH(QString, typed);
        QFETCH(double, zoom);
        QFETCH(QString, shown);
        QFETCH(bool, refused);
        frmOpenWaveform* f = Open(0);
        f->ZoomCombo->setEditText(typed);
        f->ZoomCombo_Change();
        QCOMPARE(f->ZoomFactor, zoom);
        QCOMPARE(f->ZoomCombo->currentText(), shown);
        QCOMPARE(MsgBoxService::Log().size(), refused ? 1 : 0);
        if (refused) QCOMPARE(MsgBoxService::Log()[0].text, MessageTable().MsgInvalidZoom);
        const WaveGeometry g(zoom);
        QCOMPARE(f->MemoryWavePic->size(), QSize(g.PictureWidth(), g.PictureHeight()));
    }

    // Each window rescales its cursors from its own previous picture size.
    void cursorsFollowTheirOwnPicture() {
        frmOpenWaveform* a = Open(0);
        frmOpenWaveform* b = Open(1);
        const double bX2 = b->Cursors.X2;
        a->ZoomCombo->setCurrentIndex(0);
        a->ZoomCombo_Click();  // 700 -> 350 wide
        QCOMPARE(a->MemoryWavePic->width(), 350);
        b->Form_Resize();      // b's picture did not change size
        QCOMPARE(b->Cursors.X2, bX2);
        const double aX2 = a->Cursors.X2;
        a->ZoomCombo->setCurrentIndex(1);
        a->ZoomCombo_Click();
        QCOMPARE(a->Cursors.X2, (aX2 - 25) / 350 * 700 + 25);
    }

    // A view removed below a window moves it down a slot: it loads again
    // (zoom 200 %, the cursors of a new window) and sets up at the next tick;
    // a window below the removed view stays as it was.
    void movedDownLoadsAgain() {
        frmOpenWaveform* a = Open(0);
        const CursorState fresh = Open(1)->Cursors;
        frmOpenWaveform* c = Open(2);
        for (frmOpenWaveform* f : {a, c}) {
            f->ZoomCombo->setCurrentIndex(2);
            f->ZoomCombo_Click();  // 300 %
            f->Cursors.X1 = f->Cursors.Y1 = 200;
            f->ChkCursorX->setChecked(true);
        }
        const CursorState kept = a->Cursors;
        SheetDoc().RemoveView(ViewMemoryWave, 1);
        QCOMPARE(ExistingViewForm(ViewMemoryWave, 1), c);
        QVERIFY(c->Initialising);
        QCOMPARE(c->ZoomFactor, 2.0);
        c->Timer1_Timer();
        QVERIFY(!c->Initialising);
        QCOMPARE(c->MemoryWavePic->Picture.size(), QSize(700, 500));
        QVERIFY(!c->ChkCursorX->isChecked());
        for (auto v : {&CursorState::X1, &CursorState::X2, &CursorState::Y1, &CursorState::Y2,
                       &CursorState::LowerX1, &CursorState::LowerY1})
            QCOMPARE(c->Cursors.*v, fresh.*v);
        QVERIFY(!a->Initialising);
        QCOMPARE(a->ZoomFactor, 3.0);
        QCOMPARE(a->Cursors.X1, kept.X1);
        QCOMPARE(a->Cursors.Y1, kept.Y1);
    }

    // The captions that were cut show whole at the window's designed sizes,
    // in both languages: the output buttons (drawn without their padding
    // blanks, beside their picture), the cursor boxes beside their
    // indicator, the time/div label.
    void captionsFitInBothLanguages() {
        frmOpenWaveform* f = Open(0);
        for (int lang : {LangEnglish, LangChinese}) {
            SetMemoryWaveWindowCaptions(0, lang);
            auto fits = [](QWidget* w, const QString& text, int room) {
                const int need = w->fontMetrics().horizontalAdvance(text);
                if (need > room) qWarning() << w->objectName() << text << need << room;
                return need <= room;
            };
            for (QToolButton* b : {f->FlatBttn1, f->FlatBttn3, f->FlatBttn4, f->cmdPreview, f->cmdPrint}) {
                const int frame = b->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
                QVERIFY(fits(b, b->text().trimmed(), b->width() - 2 * frame - b->iconSize().width() - 4));
            }
            for (QCheckBox* c : {f->ChkCursorX, f->ChkCursorY}) {
                QStyleOptionButton o;
                o.initFrom(c);
                o.text = c->text();
                QVERIFY(fits(c, c->text(), c->style()->subElementRect(QStyle::SE_CheckBoxContents, &o, c).width()));
            }
            QVERIFY(fits(f->Label4, f->Label4->text(), f->Label4->contentsRect().width()));
        }
    }

    // Screen readers get a name for every step button and value box, in the
    // UI language, and the new one after a switch.
    void stepControlsNamedInTheUiLanguage() {
        Shell().UILanguage = LangChinese;
        frmOpenWaveform* f = Open(0);
        Shell().UILanguage = LangEnglish;
        auto names = [f] {
            QStringList n;
            for (QWidget* w : f->findChildren<QWidget*>())
                if (w->objectName().startsWith("abtn") || w->objectName().startsWith("txt"))
                    n << QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
            return n;
        };
        auto name = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
        const QStringList chinese = names();
        QCOMPARE(chinese.size(), 15);
        QCOMPARE(QSet<QString>(chinese.begin(), chinese.end()).size(), 15);  // each its own
        QCOMPARE(name(f->abtnCH1DivDec), QString::fromUtf8("CH1 档位 减小"));
        QCOMPARE(name(f->txtTimeDiv), QString::fromUtf8("时基"));
        InstallViewCaptionSetters();
        SetMemoryWaveWindowCaptionsAll(LangEnglish);
        QCOMPARE(name(f->abtnCH1DivDec), QString("CH1 Volt/Div down"));
        QCOMPARE(name(f->abtnCH2TimeDivInc), QString("CH2 Time/Div up"));
        QCOMPARE(name(f->txtCH2Div), QString("CH2 Volt/Div"));
        QCOMPARE(name(f->txtTimeDiv), QString("Time/Div"));
        QVERIFY(!names().contains(QString()));
    }

    void printOneLetterPage() {
        frmOpenWaveform* f = Open(0);
        QVERIFY(f->OpenWaveformFile(Write(dir, "flat.wfm", FlatFile())));
        f->ZoomCombo->setCurrentIndex(2);
        f->ZoomCombo_Click();  // 300 %
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
        const auto doc = PrintDocs().MemWavePrintDoc;
        QVERIFY(doc);
        QCOMPARE(doc->Pages()[0].pictures[0].inches, QRectF(1.1, 2.0, 7.28, 5.2));
        QCOMPARE(printed.size(), QSize(700, 500));  // at 200 % whatever the view's zoom
        QVERIFY(Black(printed, 227, 125));
        QCOMPARE(f->ZoomFactor, 3.0);
        QCOMPARE(f->MemoryWavePic->Picture.size(), QSize(1050, 750));
        delete f;
        QVERIFY(!PrintDocs().MemWavePrintDoc);  // the window's document goes with it
    }

    // A picture that cannot be saved leaves an existing file as it was.
    void failedBitmapLeavesTheOldFile() {
        frmOpenWaveform* f = Open(0);
        const QString path = Write(dir, "old.bmp", "keep");
        FileDialogService::SetAnswerer([&](const FileDialogRequest&) { return path; });
        f->MemoryWavePic->Picture = QImage();
        f->FlatBttn4_Click();
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbCritical));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("keep"));
        // Drawn, it is written whole.
        f->Form_Resize();
        f->FlatBttn4_Click();
        QCOMPARE(QImage(path).size(), QSize(700, 500));
    }
};

QTEST_MAIN(MemWaveWindowTest)
#include "tst_memwavewindow.moc"
