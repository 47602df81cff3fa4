// The Record view's window: opening a record file, the replay it starts,
// closing while replaying, export, print and preview, the background
// schemes, and the status word after a language switch.
#include <QtTest>
#include <QTreeWidget>

#include "RcdBuilder.h"
#include "SpecialFiles.h"
#include "TestEnv.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "link/Messages.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/print/PrintDocs.h"
#include "replay/frmRecordPlay.h"
#include "sheets/FileFunc.h"
#include "sheets/SheetTreeBinder.h"
#include "sheets/ViewHost.h"
#include "sheets/ViewWindows.h"
#include "shell/Language.h"

class ReplayWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir tmp;
    QTreeWidget* tree = nullptr;
    QString answer;  // what the file dialog answers

    frmRecordPlay* Window() { return qobject_cast<frmRecordPlay*>(ExistingViewForm(ViewRecord, 0)); }
    RecordInfo& Rec() { return Sheets().RecordViews[0]; }

    QString WriteFile(const QString& name, const QByteArray& bytes) {
        const QString path = tmp.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return QString();
        return path;
    }

    // A Record view whose window has run its set-up, with a record of 5 frames open.
    frmRecordPlay* OpenedView() {
        AddNewRecord();
        frmRecordPlay* w = Window();
        if (!w || !QTest::qWaitFor([&] { return Rec().WindowOpen; })) return nullptr;
        RcdHeader h;
        h.first = 1;
        h.last = 5;
        answer = WriteFile("five.rcd", Rcd(h, Frames(5)));
        w->cmdRun_Click();
        return w;
    }

private slots:
    void initTestCase() {
        TestEnv::Init();
        TestEnv::UseLanguage(LangEnglish);
        RegisterRecordWindow();
        ViewHost().SetCaptions = [](ViewKind, int, int) {};
        FileDialogService::SetAnswerer([this](const FileDialogRequest&) { return answer; });
    }

    void init() {
        UnloadAllViews();
        if (QWidget* left = ExistingViewForm(ViewRecord, 0)) {
            delete left;
            SetViewForm(ViewRecord, 0, nullptr);
        }
        Sheets() = SheetModelData();
        delete tree;
        tree = new QTreeWidget;
        SheetTree().SheetTreeView = tree;
        SheetTree().SheetRootNode = new QTreeWidgetItem(tree, QStringList{"Data Sheet"});
        SheetTree().SheetNode = new QTreeWidgetItem(SheetTree().SheetRootNode, QStringList{"Untitle"});
        Shell().UILanguage = LangEnglish;
        LoadMessages(LangEnglish);
        MsgBoxService::ClearLog();
        FileDialogService::ClearLog();
    }

    void openingAFileStartsTheReplay() {
        frmRecordPlay* w = OpenedView();
        QVERIFY(w);
        QCOMPARE(FileDialogService::Log().size(), 1);
        QCOMPARE(FileDialogService::Log()[0].title, QString("Open Record Files"));
        QCOMPARE(FileDialogService::Log()[0].filter, QString("Record Files (*.rcd)|*.rcd"));
        QVERIFY(MsgBoxService::Log().isEmpty());
        QCOMPARE(w->windowTitle(), Rec().Name + "  (" + answer + ")");
        QCOMPARE(Rec().ReplayStatus, uint8_t(StateReplaying));
        QCOMPARE(Rec().CurrentFrame, int16_t(1));
        QVERIFY(Sheets().SheetModified);
        QVERIFY(w->TimerInterval->isActive());
        QCOMPARE(w->TimerInterval->interval(), 50);
        QVERIFY(w->SliderFrame->isEnabled());
        QCOMPARE(w->SliderFrame->maximum(), 5);
        for (int i = 0; i < 7; ++i) QCOMPARE(w->AresBtnPlay[i]->isEnabled(), i != BtnPlay);
        QCOMPARE(w->PicMsg->Texts.size(), 2);
        QCOMPARE(w->PicMsg->Texts[0].text, QString("Replaying"));
        QCOMPARE(w->PicMsg->Texts[1].text, QString("1/5"));
        QCOMPARE(w->RecordWavePic->Picture.size(), w->RecordWavePic->size());

        // The frame timer moves the slider, which draws the next frame.
        QMetaObject::invokeMethod(w->TimerInterval, "timeout");
        QCOMPARE(Rec().CurrentFrame, int16_t(2));
        QCOMPARE(w->SliderFrame->value(), 2);
        // Dragging the slider pauses; letting go resumes from there.
        emit w->SliderFrame->sliderPressed();
        QCOMPARE(Rec().ReplayStatus, uint8_t(StatePause));
        w->SliderFrame->setValue(4);
        emit w->SliderFrame->sliderReleased();
        QCOMPARE(Rec().CurrentFrame, int16_t(4));
        QCOMPARE(Rec().ReplayStatus, uint8_t(StateReplaying));

        // The status word follows a language switch.
        SetRecordWindowCaptionsAll(LangChinese);
        Shell().UILanguage = LangChinese;
        QCOMPARE(w->PicMsg->Texts[0].text, QString::fromUtf8("正在回放"));
        QCOMPARE(w->AresBtnPlay[0]->toolTip(), QString::fromUtf8("开始回放"));

        // Closing the window while replaying leaves the view paused.
        w->close();
        QCOMPARE(Rec().ReplayStatus, uint8_t(StatePause));
        QVERIFY(!Rec().WindowOpen);
    }

    // A refused file shows its message and leaves the view as it was.
    // (A folder or a named pipe is never opened.)
    void refusedFileLeavesTheViewAlone_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("special");
        QTest::addColumn<QString>("message");
        RcdHeader off;
        off.ch1On = 0;
        RcdHeader longer;
        longer.last = 9;
        QTest::newRow("wrong magic") << QByteArray(100, 'x') << QString() << "The file format is error!";
        QTest::newRow("damaged stream") << RcdHeaderBytes(RcdHeader()) + QByteArray(30, 'z') << QString()
                                        << "File utility fail!";
        QTest::newRow("channel off") << Rcd(off, Frames(2)) << QString() << "The channel's data is invalid!";
        QTest::newRow("frames missing") << Rcd(longer, Frames(2)) << QString() << "The file format is error!";
        QTest::newRow("folder") << QByteArray() << "folder" << "The file format is error!";
        QTest::newRow("named pipe") << QByteArray() << "fifo" << "The file format is error!";
    }
    void refusedFileLeavesTheViewAlone() {
        QFETCH(QByteArray, file);
        QFETCH(QString, special);
        QFETCH(QString, message);
        frmRecordPlay* w = OpenedView();
        QVERIFY(w);
        w->RecordReplayPause();
        const std::vector<int16_t> samples = Rec().Samples;
        const QString title = w->windowTitle(), path = Rec().FilePath;
        Sheets().SheetModified = false;
        answer = special.isEmpty() ? WriteFile("bad.rcd", file) : SpecialFilePath(special, tmp);
        if (answer.isEmpty()) QSKIP("not on this system");
        w->cmdRun_Click();
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].text, message);
        QCOMPARE(Rec().Samples, samples);
        QCOMPARE(QList<int>({Rec().FrameCount, Rec().CurrentFrame, Rec().ReplayStatus}), QList<int>({5, 1, 1}));
        QCOMPARE(Rec().Channel, QString("CH1"));
        QCOMPARE(Rec().FilePath, path);
        QCOMPARE(w->windowTitle(), title);
        QVERIFY(!Sheets().SheetModified);

        // A cancelled dialog: nothing at all; a file that cannot be opened:
        // the system's reason.
        answer.clear();
        w->cmdRun_Click();
        QCOMPARE(MsgBoxService::Log().size(), 1);
        answer = tmp.filePath("no such file.rcd");
        w->cmdRun_Click();
        QCOMPARE(MsgBoxService::Log().size(), 2);
        QCOMPARE(MsgBoxService::Log()[1].style, int(vbCritical));
        QCOMPARE(Rec().FilePath, path);
    }

    void exportPrintAndPreview() {
        frmRecordPlay* w = OpenedView();
        QVERIFY(w);
        answer = tmp.filePath("frame.bmp");
        w->FlatBttn1_Click();  // pauses the replay and saves the picture on screen
        QCOMPARE(Rec().ReplayStatus, uint8_t(StatePause));
        QCOMPARE(FileDialogService::Log().last().title, QString("Export File"));
        QCOMPARE(FileDialogService::Log().last().filter, QString("BitMap Files (*.bmp)|*.bmp"));
        const QImage saved(answer);
        QCOMPARE(saved.size(), w->RecordWavePic->Picture.size());
        QCOMPARE(saved.pixelColor(100, 65), w->RecordWavePic->Picture.pixelColor(100, 65));

        // Export to a place that cannot be written: its reason, critical.
        answer = tmp.filePath("no such folder/frame.bmp");
        w->FlatBttn1_Click();
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbCritical));

        std::vector<PrintPreviewDoc::Placed> printed, previewed;
        PrintService::SetPrintAnswerer([&](const PrintPreviewDoc& d, QString*) {
            printed = d.Pages().at(0).pictures;
            return true;
        });
        PrintService::SetPreviewAnswerer([&](const PrintPreviewDoc& d) { previewed = d.Pages().at(0).pictures; });
        const QSize onScreen = w->RecordWavePic->Picture.size();
        w->FlatBttn2_Click();
        w->FlatBttn3_Click();
        PrintService::SetPrintAnswerer(nullptr);
        PrintService::SetPreviewAnswerer(nullptr);
        QCOMPARE(printed.size(), 1);
        QCOMPARE(previewed.size(), 1);
        QCOMPARE(printed[0].inches, QRectF(1.1, 2.0, 7.28, 5.2));
        QCOMPARE(previewed[0].inches, QRectF(0.6, 2.0, 7.28, 5.2));
        QCOMPARE(printed[0].picture.size(), QSize(700, 500));
        // 700 x 500: the trace of samples 100 at 100 * 450 / 200 + 25.
        QCOMPARE(printed[0].picture.pixelColor(400, 250), Shell().Ch1Color.isValid() ? Shell().Ch1Color : QColor(255, 255, 0));
        QVERIFY(PrintDocs().RecordPrintDoc);
        QVERIFY(!PrintTempPicturePath().startsWith(QCoreApplication::applicationDirPath()));
        QCOMPARE(w->RecordWavePic->Picture.size(), onScreen);  // the window looks as before
        QCOMPARE(MsgBoxService::Log().size(), 1);
        w->close();
        QVERIFY(!PrintDocs().RecordPrintDoc);
    }

    void backgroundSchemes() {
        AddNewRecord();
        frmRecordPlay* w = Window();
        QVERIFY(QTest::qWaitFor([&] { return Rec().WindowOpen; }));
        Sheets().SheetModified = false;
        w->FlatBttn4_Click();  // black already: nothing
        QVERIFY(!Sheets().SheetModified);
        w->FlatBttn5_Click();
        QVERIFY(!Rec().BlackBackground && Sheets().SheetModified);
        QCOMPARE(w->RecordWavePic->Picture.pixelColor(5, 5), QColor(Qt::white));
        QCOMPARE(w->RecordWavePic->Picture.pixelColor(26, 60), QColor(Qt::black));  // the frame, drawn black
        // Print and preview do nothing before a frame is shown.
        bool asked = false;
        PrintService::SetPrintAnswerer([&](const PrintPreviewDoc&, QString*) { return asked = true; });
        w->FlatBttn2_Click();
        PrintService::SetPrintAnswerer(nullptr);
        QVERIFY(!asked);
    }
};

QTEST_MAIN(ReplayWindowTest)
#include "tst_replaywindow.moc"
