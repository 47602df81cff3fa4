// The Record view's window: opening a record file, the replay it starts,
// closing while replaying, export, print and preview, the background
// schemes, and the status word after a language switch.
#include <QtTest>
#include <QTreeWidget>

#include "RcdBuilder.h"
#include "NonRegularFiles.h"
#include "TestEnv.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "link/Messages.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/print/PrintDocs.h"
#include "replay/frmRecordPlay.h"
#include "sheets/FileFunc.h"
#include "sheets/SheetFile.h"
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

    // Two frames, loop off: Play after the end starts again at frame 1, and
    // when the replay ends again on "Pause 2/2" the picture, and so the
    // export, is frame 2.
    void playAfterTheEndShowsTheFrameCounted() {
        AddNewRecord();
        frmRecordPlay* w = Window();
        QVERIFY(w && QTest::qWaitFor([&] { return Rec().WindowOpen; }));
        w->AresBtnPlay[BtnLoop]->click();
        QVERIFY(!Rec().LoopReplay);
        RcdHeader h;
        h.last = 2;
        answer = WriteFile("two.rcd", Rcd(h, Frames(2)));
        w->cmdRun_Click();
        const auto tick = [w] { QMetaObject::invokeMethod(w->TimerInterval, "timeout"); };
        tick();
        QCOMPARE(Rec().ReplayStatus, uint8_t(StatePause));
        const QImage frame2 = w->RecordWavePic->Picture;
        w->AresBtnPlay[BtnPlay]->click();
        QCOMPARE(w->SliderFrame->value(), 1);
        QVERIFY(w->RecordWavePic->Picture != frame2);  // frame 1
        tick();
        QCOMPARE(w->PicMsg->Texts[0].text, QString("Pause"));
        QCOMPARE(w->PicMsg->Texts[1].text, QString("2/2"));
        QCOMPARE(w->RecordWavePic->Picture, frame2);
        answer = tmp.filePath("two.bmp");
        w->FlatBttn1_Click();
        QCOMPARE(QImage(answer).convertToFormat(frame2.format()), frame2);
    }

    // Screen readers: every button and the slider are named by their tips in
    // the UI language, and the status line by its text, kept up to date.
    void controlsAndStatusLineAreNamed() {
        frmRecordPlay* w = OpenedView();
        QVERIFY(w);
        SetRecordWindowCaptionsAll(LangEnglish);
        QList<QWidget*> tipped{w->cmdRun, w->FlatBttn1, w->FlatBttn2, w->FlatBttn3, w->FlatBttn4, w->FlatBttn5,
                               w->AresBtnDefaultTime};
        for (ImageButton* b : w->AresBtnPlay) tipped << b;
        QCOMPARE(tipped.size(), 15);
        for (QWidget* c : tipped) {
            QVERIFY2(!c->accessibleName().isEmpty(), qPrintable(c->objectName()));
            QCOMPARE(c->accessibleName(), c->toolTip());
        }
        // The interval steps and the slider have no tip: a name of their own.
        QCOMPARE(w->AresBtnAdd->accessibleName(), QString("Increase Time Interval"));
        QCOMPARE(w->AresBtnSub->accessibleName(), QString("Decrease Time Interval"));
        QCOMPARE(w->SliderFrame->accessibleName(), QString("Select Frame"));
        QCOMPARE(w->AresBtnPlay[BtnPrev]->accessibleName(), QString("The last frame"));
        QCOMPARE(w->PicMsg->accessibleName(), QString("Replaying 1/5"));
        QMetaObject::invokeMethod(w->TimerInterval, "timeout");
        QCOMPARE(w->PicMsg->accessibleName(), QString("Replaying 2/5"));

        Shell().UILanguage = LangChinese;
        SetRecordWindowCaptionsAll(LangChinese);
        QCOMPARE(w->AresBtnPlay[BtnPrev]->accessibleName(), QString::fromUtf8("前一帧"));
        QCOMPARE(w->AresBtnAdd->accessibleName(), QString::fromUtf8("增加时间间隔"));
        QCOMPARE(w->PicMsg->accessibleName(), QString::fromUtf8("正在回放 2/5"));
        w->RecordReplayPause();
        QCOMPARE(w->PicMsg->accessibleName(), QString::fromUtf8("暂停 2/5"));
    }

    // A refused file shows its message and leaves the view as it was.
    // (A folder or a named pipe is never opened.)
    void refusedFileLeavesTheViewAlone_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("fileKind");
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
        QFETCH(QString, fileKind);
        QFETCH(QString, message);
        frmRecordPlay* w = OpenedView();
        QVERIFY(w);
        w->RecordReplayPause();
        const std::vector<int16_t> samples = Rec().Samples;
        const QString title = w->windowTitle(), path = Rec().FilePath;
        Sheets().SheetModified = false;
        answer = fileKind.isEmpty() ? WriteFile("bad.rcd", file) : NonRegularFilePath(fileKind, tmp);
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

    // A damaged data sheet cannot give a Record view fields its replay
    // cannot use. A view left with nothing to show holds no record: its
    // caption names no file (the file keeps the stored path).
    void sheetReplayFieldsAreBounded_data() {
        QTest::addColumn<int>("frames");  // frames stored
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("state");
        QTest::addColumn<double>("interval");
        QTest::addColumn<QList<int>>("expected");  // loaded, start, count, current, state
        QTest::addColumn<double>("expectedInterval");
        QTest::newRow("sound") << 3 << 1 << 3 << 2 << 1 << 0.2 << QList<int>{1, 1, 3, 2, 1} << 0.2;
        QTest::newRow("current past the count") << 3 << 1 << 3 << 9 << 2 << 0.05 << QList<int>{1, 1, 3, 3, 2} << 0.05;
        QTest::newRow("current 0") << 3 << 1 << 3 << 0 << 1 << 0.05 << QList<int>{1, 1, 3, 1, 1} << 0.05;
        QTest::newRow("negative current") << 3 << 1 << 3 << -3 << 1 << 0.05 << QList<int>{1, 1, 3, 1, 1} << 0.05;
        QTest::newRow("start 2: count cut to the frames held")
            << 2 << 2 << 3 << 3 << 1 << 0.05 << QList<int>{1, 1, 2, 2, 1} << 0.05;
        QTest::newRow("count 0: nothing to show") << 0 << 1 << 0 << 1 << 1 << 0.05 << QList<int>{0, 1, 0, 1, 1} << 0.05;
        QTest::newRow("negative count") << 0 << 1 << -4 << 1 << 1 << 0.05 << QList<int>{0, 1, -4, 1, 1} << 0.05;
        QTest::newRow("state 7") << 3 << 1 << 3 << 1 << 7 << 0.05 << QList<int>{1, 1, 3, 1, 1} << 0.05;
        QTest::newRow("interval 0") << 3 << 1 << 3 << 1 << 1 << 0.0 << QList<int>{1, 1, 3, 1, 1} << 0.05;
        QTest::newRow("negative interval") << 3 << 1 << 3 << 1 << 1 << -1.0 << QList<int>{1, 1, 3, 1, 1} << 0.05;
        QTest::newRow("tiny interval") << 3 << 1 << 3 << 1 << 1 << 2.5e-9 << QList<int>{1, 1, 3, 1, 1} << 0.001;
        QTest::newRow("huge interval") << 3 << 1 << 3 << 1 << 1 << 1e9 << QList<int>{1, 1, 3, 1, 1} << 60.0;
    }
    void sheetReplayFieldsAreBounded() {
        QFETCH(int, frames);
        QFETCH(int, start);
        QFETCH(int, count);
        QFETCH(int, current);
        QFETCH(int, state);
        QFETCH(double, interval);
        QFETCH(QList<int>, expected);
        QFETCH(double, expectedInterval);
        auto sheet = std::make_unique<SheetModelData>();
        sheet->RecordCount = 1;
        RecordInfo& r = sheet->RecordViews[0];
        r.Name = "Record0";
        r.Loaded = r.DisplayActive = true;
        r.StartFrame = int16_t(start);
        r.FrameCount = int16_t(count);
        r.CurrentFrame = int16_t(current);
        r.ReplayStatus = uint8_t(state);
        r.FrameInterval = interval;
        r.FilePath = "/data/old.rcd";
        r.Samples.assign(size_t(frames) * RecordFrameSamples, 7);
        // The file stores (count - start + 1) frames of a shown view.
        const QByteArray text = SheetFileText(*sheet, false);
        auto read = std::make_unique<SheetModelData>();
        QVERIFY(ParseSheetFile(text, *read));
        CommitDataSheet(std::move(*read));
        const RecordInfo& b = Sheets().RecordViews[0];
        QCOMPARE(QList<int>({b.Loaded && b.DisplayActive, b.StartFrame, b.FrameCount, b.CurrentFrame, b.ReplayStatus}),
                 expected);
        QCOMPARE(b.FrameInterval, expectedInterval);
        if (b.DisplayActive) QVERIFY(size_t(b.FrameCount) * RecordFrameSamples <= b.Samples.size());
        QCOMPARE(ViewTitle(ViewRecord, 0), b.Loaded ? QString("Record0  (/data/old.rcd)") : QString("Record0"));
    }
};

QTEST_MAIN(ReplayWindowTest)
#include "tst_replaywindow.moc"
