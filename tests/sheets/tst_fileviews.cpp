#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "SheetSamples.h"
#include "ViewControls.h"
#include "TestEnv.h"
#include "common/DSOSettings.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "link/Formatters.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "measure/frmMeasure.h"
#include "memwave/frmOpenWaveform.h"
#include "platform/dialogs/MsgBox.h"
#include "replay/frmRecordPlay.h"
#include "sheets/FileFunc.h"
#include "sheets/SheetDocument.h"
#include "sheets/SheetFile.h"
#include "sheets/SheetTreeBinder.h"
#include "sheets/ViewHost.h"
#include "sheets/ViewRecords.h"
#include "sheets/ViewWindows.h"
#include "sheets/frmData.h"
#include "waveview/frmWave.h"

Q_DECLARE_METATYPE(ViewKind)

namespace {

// The Wave and Data windows as the application makes them (the sheet
// prepares them through their typed calls).
QWidget* StubWindow(ViewKind kind, const QString&) {
    if (kind == ViewWave) return new frmWave;
    return new frmData;
}

bool OpenFlag(ViewKind kind, int slot) { return ViewWindowOpen(kind, slot); }

// Lets every view window run its set-up tick, and closed windows go.
void SettleWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const bool settled = QTest::qWaitFor([] {
        for (int k = 0; k < ViewKindCount; ++k)
            for (int i = 0; i < ViewCount(ViewKind(k)); ++i)
                if (ExistingViewForm(ViewKind(k), i) && !OpenFlag(ViewKind(k), i)) return false;
        return true;
    });
    QVERIFY(settled);
}

QStringList NodeTexts() {
    QStringList texts;
    if (!SheetNodeInTree()) return texts;
    QTreeWidgetItem* node = SheetTree().SheetNode;
    for (int i = 0; i < node->childCount(); ++i) texts << node->child(i)->text(0);
    return texts;
}

}  // namespace

class FileViewsTest : public QObject {
    Q_OBJECT

    QTreeWidget* tree = nullptr;
    QList<QPair<int, int>> captionCalls;  // kind, slot
    QTemporaryDir tmp;

    void newSheet() {
        delete tree;
        tree = new QTreeWidget;
        SheetTree().SheetTreeView = tree;
        SheetTree().SheetRootNode = new QTreeWidgetItem(tree, QStringList{"Data Sheet"});
        SheetTree().SheetNode = new QTreeWidgetItem(SheetTree().SheetRootNode, QStringList{"Untitle"});
    }

private slots:
    void initTestCase() {
        TestEnv::Init();
        TestEnv::UseLanguage(LangEnglish);
        RegisterMeasureWindow();
        RegisterRecordWindow();
        RegisterMemoryWaveWindow();
        SetViewFormFactory(ViewWave, [](int) { return StubWindow(ViewWave, "frmWave"); });
        SetViewFormFactory(ViewData, [](int) { return StubWindow(ViewData, "frmData"); });
        ViewHost().SetCaptions = [this](ViewKind kind, int slot, int) { captionCalls.append({kind, slot}); };
    }

    void init() {
        UnloadAllViews();
        for (int k = 0; k < ViewKindCount; ++k)
            for (int i = 0; i < SlotCount(ViewKind(k)); ++i)
                if (QWidget* left = ExistingViewForm(ViewKind(k), i)) {
                    delete left;
                    SetViewForm(ViewKind(k), i, nullptr);
                }
        SettleWindows();
        SheetSamples::Clear(Sheets());
        Sheets().SheetModified = false;
        Link().LAPresent = false;
        DSOSettings().MathDisplay = ValueWord(vwOff);
        newSheet();
        MsgBoxService::ClearLog();
        captionCalls.clear();
    }

    void cleanupTestCase() {
        UnloadAllViews();
        SettleWindows();
        delete tree;
    }

    // Up to the limit every add makes a view named by its slot with a shown,
    // tagged window and a node; one more is refused and changes nothing.
    void addUpToTheLimitAndOnePast_data() {
        QTest::addColumn<ViewKind>("kind");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("word");
        QTest::newRow("Wave") << ViewWave << 16 << "Wave";
        QTest::newRow("Measure") << ViewMeasure << 16 << "Measure";
        QTest::newRow("Data") << ViewData << 16 << "Data";
        QTest::newRow("Record") << ViewRecord << 4 << "Record";
        QTest::newRow("Memory Wave") << ViewMemoryWave << 3 << "Memory Wave";
    }
    void addUpToTheLimitAndOnePast() {
        QFETCH(ViewKind, kind);
        QFETCH(int, limit);
        QFETCH(QString, word);
        QSignalSpy added(&SheetDoc(), &SheetDocument::viewAdded);
        for (int i = 0; i < limit; ++i) AddNewView(kind);
        QVERIFY2(MsgBoxService::Log().isEmpty(),
                 qPrintable(MsgBoxService::Log().value(0).text));
        QCOMPARE(int(ViewCount(kind)), limit);
        QCOMPARE(added.count(), limit);
        QVERIFY(Sheets().SheetModified);
        QStringList names;
        for (int i = 0; i < limit; ++i) {
            names << word + QString::number(i);
            QWidget* form = ExistingViewForm(kind, i);
            QVERIFY(form && form->isVisible());
            QCOMPARE(FormSlot(kind, form), i);
            QCOMPARE(form->windowTitle(), names.last());
            QCOMPARE(ViewNode(kind, i)->text(0), names.last());
            QCOMPARE(ViewNode(kind, i)->data(0, TreeImageRole).toInt(), int(kind) + 3);
        }
        QCOMPARE(NodeTexts(), names);
        QCOMPARE(captionCalls.size(), limit);
        SettleWindows();
        QVERIFY(OpenFlag(kind, limit - 1));

        Sheets().SheetModified = false;
        AddNewView(kind);
        QCOMPARE(int(ViewCount(kind)), limit);
        QVERIFY(!Sheets().SheetModified);
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].text, QString("Exceed maximum file numbers limit!"));
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbExclamation));
        QVERIFY(!ExistingViewForm(kind, limit));
    }

    void addWithoutASheetChangesNothing() {
        delete SheetTree().SheetNode;  // the sheet was closed
        for (int k = 0; k < ViewKindCount; ++k) AddNewView(ViewKind(k));
        QCOMPARE(MsgBoxService::Log().size(), ViewKindCount);
        for (const ShownMessage& m : MsgBoxService::Log()) {
            QCOMPARE(m.text, QString("Please Open or Creat a Data Sheet First!"));
            QCOMPARE(m.style, int(vbExclamation));
        }
        for (int k = 0; k < ViewKindCount; ++k) {
            QCOMPARE(int(ViewCount(ViewKind(k))), 0);
            QVERIFY(!ExistingViewForm(ViewKind(k), 0));
        }
        QVERIFY(!Sheets().SheetModified);
    }

    // A step that fails is passed over: the others still run, the failure is
    // shown once at the end, and the view counts.
    void failingStepIsReportedAndTheViewCounts() {
        SetViewFormFactory(ViewData, [](int) {
            auto* bare = new QWidget;  // a window without its channel options
            bare->setAttribute(Qt::WA_DeleteOnClose);
            return bare;
        });
        AddNewData();
        SetViewFormFactory(ViewData, [](int) { return StubWindow(ViewData, "frmData"); });
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QVERIFY(MsgBoxService::Log()[0].text.contains("cannot take a new view"));
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbOKOnly));
        QCOMPARE(int(Sheets().DataCount), 1);
        QCOMPARE(NodeTexts(), QStringList({"Data0"}));
        QCOMPARE(ExistingViewForm(ViewData, 0)->windowTitle(), QString("Data0"));
        delete ExistingViewForm(ViewData, 0);
    }

    // A slot that an earlier view left shows nothing of it in the new view,
    // and each kind gets its own defaults and controls.
    void addedViewsStartFresh() {
        Sheets().MeasureViews[0].Items[3].Enable = true;
        Sheets().MeasureViews[0].HasData = true;
        Sheets().DataViews[0].HasData = true;
        Sheets().DataViews[0].VoltTexts = QStringList{"old"};
        Sheets().DataViews[0].Title = "old title";
        Sheets().WaveViews[0].Ch1Samples[1] = 123;
        Sheets().RecordViews[0].Samples.assign(1024, 7);
        Sheets().MemWaveViews[0].Ch1Memory.assign(10, 7);
        Link().LAPresent = true;  // the Data view hides its LA option all the same
        for (int k = 0; k < ViewKindCount; ++k) AddNewView(ViewKind(k));
        QVERIFY(MsgBoxService::Log().isEmpty());

        const MeasureInfo& m = Sheets().MeasureViews[0];
        QVERIFY(!m.HasData);
        for (int k = 0; k < MeasureItemCount; ++k) QVERIFY(!m.Items[size_t(k)].Enable);
        const QList<QPair<double, double>> limits{{0.2, 0.1}, {2e6, 1e6}, {2e-6, 1e-6}, {2e-4, 1e-4},
                                                   {0.1, 0.05}, {0.2, 0.1}, {0.6, 0.4}};
        const int firstOf[] = {0, 7, 8, 11, 13, 15, 16};
        for (int g = 0; g < 7; ++g) {
            QCOMPARE(m.Items[size_t(firstOf[g])].Over, limits[g].first);
            QCOMPARE(m.Items[size_t(firstOf[g])].Under, limits[g].second);
        }
        QVERIFY(Sheets().DataViews[0].VoltTexts.isEmpty());
        QVERIFY(Sheets().DataViews[0].Title.isEmpty());
        QCOMPARE(Sheets().WaveViews[0].Ch1Samples[1], 0);
        QVERIFY(Sheets().RecordViews[0].Samples.empty());
        QVERIFY(Sheets().MemWaveViews[0].Ch1Memory.empty());

        // Wave: the boxes for an instrument with a logic analyser, MATH off.
        const WaveInfo& w = Sheets().WaveViews[0];
        QVERIFY(w.BestFit && w.ColorDisplay && w.ShowGrid && !w.SplitDisplay && !w.HasData);
        QWidget* wave = ExistingViewForm(ViewWave, 0);
        auto box = [&](int i) { return ViewControl<QCheckBox>(wave, QString("ChkCH(%1)").arg(i)); };
        QCOMPARE(box(1)->y() - box(0)->y(), 16);
        QCOMPARE(box(2)->y() - box(0)->y(), 32);
        QVERIFY(!box(3)->isHidden());
        QVERIFY(!box(2)->isEnabled() && !box(2)->isChecked());
        QCOMPARE(ViewControl<QWidget>(wave, "picRefreshProgress")->palette().color(QPalette::Window),
                 QColor(Qt::black));
        QCOMPARE(ViewControl<QWidget>(wave, "LblRefreshText")->palette().color(QPalette::WindowText),
                 QColor(255, 255, 192));

        QWidget* data = ExistingViewForm(ViewData, 0);
        auto option = [&](int i) { return ViewControl<QWidget>(data, QString("OptionCH(%1)").arg(i)); };
        QCOMPARE(option(1)->x() - option(0)->x(), 60);
        QVERIFY(option(2)->isHidden() && !option(2)->isEnabled());

        // Record: defaults, the start text in white bold at (30, 8), nothing to press yet.
        const RecordInfo& r = Sheets().RecordViews[0];
        QCOMPARE(r.FrameInterval, 0.05);
        QVERIFY(r.LoopReplay && !r.Loaded && !r.DisplayActive && r.BlackBackground && r.FilePath.isEmpty());
        QCOMPARE(r.StatusText, QString("Please open the waveform record file."));
        auto* record = qobject_cast<frmRecordPlay*>(ExistingViewForm(ViewRecord, 0));
        QVERIFY(record);
        QCOMPARE(record->PicMsg->Texts.size(), 1);
        QCOMPARE(record->PicMsg->Texts[0].x, 30);
        QCOMPARE(record->PicMsg->Texts[0].y, 8);
        QCOMPARE(record->PicMsg->Texts[0].text, r.StatusText);
        QCOMPARE(record->PicMsg->Texts[0].color, QColor(Qt::white));
        QVERIFY(record->PicMsg->Texts[0].bold);
        for (int i = 0; i <= 6; ++i) QVERIFY(!record->AresBtnPlay[i]->isEnabled());
        QCOMPARE(record->AresBtnPlay[7]->PictureDown().cacheKey(), record->ImageList->ListImage(2).cacheKey());
        QVERIFY(!record->SliderFrame->isEnabled());
        QCOMPARE(QList<int>({record->SliderFrame->minimum(), record->SliderFrame->maximum(),
                             record->SliderFrame->value()}),
                 QList<int>({1, 1000, 1}));
        QCOMPARE(record->lblTimeInterval->text(), FormatTime4("0.05"));

        // Memory Wave: scale controls and the alternation frame hidden; its slot drawn next.
        auto* mem = qobject_cast<frmOpenWaveform*>(ExistingViewForm(ViewMemoryWave, 0));
        QVERIFY(mem);
        QVERIFY(mem->txtCH1Div->isHidden() && mem->Label4->isHidden() && mem->framAltTimeDiv->isHidden());
        QCOMPARE(int(ScreenDCSlot()), 0);
        QCOMPARE(mem->windowTitle(), QString("Memory Wave0"));
    }

    // With the MATH display on and no logic analyser: MATH box offered, three
    // boxes 360 twips apart, LA box hidden and disabled.
    void waveViewFollowsTheInstrument() {
        DSOSettings().MathDisplay = ValueWord(vwOn);
        AddNewWaveform();
        QWidget* wave = ExistingViewForm(ViewWave, 0);
        auto box = [&](int i) { return ViewControl<QCheckBox>(wave, QString("ChkCH(%1)").arg(i)); };
        QVERIFY(box(2)->isEnabled());
        QCOMPARE(box(2)->y() - box(0)->y(), 48);
        QVERIFY(box(3)->isHidden() && !box(3)->isEnabled());
    }

    // The waveform view's own window takes a new view without a failure.
    void waveformWindowTakesANewView() {
        InstallWaveViewHooks();
        AddNewWaveform();
        AddNewWaveform();
        SettleWindows();
        QVERIFY2(MsgBoxService::Log().isEmpty(), qPrintable(MsgBoxService::Log().value(0).text));
        auto* wave = qobject_cast<frmWave*>(ExistingViewForm(ViewWave, 1));
        QVERIFY(wave);
        QCOMPARE(wave->windowTitle(), QString("Wave1"));
        QVERIFY(!wave->ChkCH[3]->isVisible() && !wave->ChkCH[2]->isChecked());
        RemoveWaveView(0);
        SettleWindows();
        QCOMPARE(ExistingViewForm(ViewWave, 0), wave);
        QCOMPARE(FormSlot(ViewWave, wave), 0);
        // With the logic analyser present the new view offers it, also after its set-up tick.
        Link().LAPresent = true;
        AddNewWaveform();
        SettleWindows();
        Link().LAPresent = false;
        auto* withLa = qobject_cast<frmWave*>(ExistingViewForm(ViewWave, 1));
        QVERIFY(withLa && Sheets().WaveViews[1].WindowOpen);
        QVERIFY(!withLa->ChkCH[3]->isHidden());
        UnloadAllViews();
        SettleWindows();
        SetViewFormFactory(ViewWave, [](int) { return StubWindow(ViewWave, "frmWave"); });
    }

    // Removing from the middle: later records, windows (re-tagged) and
    // nodes move down; the removed view's window and node are gone.
    void removeFromTheMiddleWithOpenWindows() {
        for (int i = 0; i < 3; ++i) AddNewMeasure();
        for (int i = 0; i < 2; ++i) AddNewRecord();
        SettleWindows();
        Sheets().MeasureViews[2].HasData = true;
        QWidget* second = ExistingViewForm(ViewMeasure, 1);
        QWidget* third = ExistingViewForm(ViewMeasure, 2);
        QPointer<QWidget> first = ExistingViewForm(ViewMeasure, 0);
        Sheets().SheetModified = false;
        QSignalSpy removed(&SheetDoc(), &SheetDocument::viewRemoved);

        RemoveMeasureView(0);
        SettleWindows();
        QVERIFY(Sheets().SheetModified);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(int(Sheets().MeasureCount), 2);
        QCOMPARE(Sheets().MeasureViews[0].Name, QString("Measure1"));
        QCOMPARE(Sheets().MeasureViews[1].Name, QString("Measure2"));
        QVERIFY(Sheets().MeasureViews[1].HasData);
        QVERIFY(!first);
        QCOMPARE(ExistingViewForm(ViewMeasure, 0), second);
        QCOMPARE(ExistingViewForm(ViewMeasure, 1), third);
        QCOMPARE(FormSlot(ViewMeasure, second), 0);
        QCOMPARE(FormSlot(ViewMeasure, third), 1);
        QVERIFY(!ExistingViewForm(ViewMeasure, 2));
        QVERIFY(OpenFlag(ViewMeasure, 0) && OpenFlag(ViewMeasure, 1));
        // The slot left free: a copy of the view now below it, no data, no window.
        QCOMPARE(Sheets().MeasureViews[2].Name, QString("Measure2"));
        QVERIFY(!Sheets().MeasureViews[2].HasData && !OpenFlag(ViewMeasure, 2));
        QCOMPARE(NodeTexts(), QStringList({"Measure1", "Measure2", "Record0", "Record1"}));
        QCOMPARE(ViewNode(ViewMeasure, 1)->text(0), QString("Measure2"));

        // The next add is named by its slot, so the name can repeat.
        AddNewMeasure();
        QCOMPARE(Sheets().MeasureViews[2].Name, QString("Measure2"));

        // A replaying Record view pauses when it is removed; the moved one
        // keeps its window and gets its caption with its file.
        Sheets().RecordViews[0].ReplayStatus = 0;
        Sheets().RecordViews[1].FilePath = "/tmp/r.rec";
        Sheets().RecordViews[1].DisplayActive = true;
        RemoveRecordView(0);
        SettleWindows();
        QCOMPARE(int(Sheets().RecordCount), 1);
        QCOMPARE(ExistingViewForm(ViewRecord, 0)->windowTitle(), QString("Record1  (/tmp/r.rec)"));
        QVERIFY(!Sheets().RecordViews[1].DisplayActive);
        // Removing the last view of a kind: its window goes, no other moves.
        RemoveRecordView(0);
        SettleWindows();
        QCOMPARE(int(Sheets().RecordCount), 0);
        QVERIFY(!ExistingViewForm(ViewRecord, 0));
        QVERIFY(!Sheets().RecordViews[0].DisplayActive);
    }

    // In the main window the views are child windows: unloading one closes
    // its frame too, and the view's window knows it is closed.
    void childWindowsGoWithTheirFrames() {
        QMdiArea area;
        ViewHost().Show = [&area](QWidget* form) {
            auto* frame = qobject_cast<QMdiSubWindow*>(form->parentWidget());
            if (!frame) frame = area.addSubWindow(form);
            frame->show();
        };
        AddNewMeasure();
        AddNewMeasure();
        SettleWindows();
        QCOMPARE(area.subWindowList().size(), 2);
        RemoveMeasureView(0);
        SettleWindows();
        QCOMPARE(area.subWindowList().size(), 1);
        QVERIFY(OpenFlag(ViewMeasure, 0));
        UnloadAllViews();
        SettleWindows();
        QVERIFY(area.subWindowList().isEmpty());
        QVERIFY(!OpenFlag(ViewMeasure, 0));
        ViewHost().Show = nullptr;
    }

    void removedReplayingRecordIsPaused() {
        AddNewRecord();
        SettleWindows();
        Sheets().RecordViews[0].ReplayStatus = 0;
        RemoveRecordView(0);
        QCOMPARE(Sheets().RecordViews[0].ReplayStatus, uint8_t(1));
    }

    // A damaged file is refused before the open sheet is let go; a good one
    // replaces it, windows and nodes included.
    void openingAFileKeepsTheSheetUnlessTheFileIsGood() {
        AddNewMeasure();
        AddNewRecord();
        SettleWindows();
        QWidget* measure = ExistingViewForm(ViewMeasure, 0);
        const QString bad = tmp.filePath("bad.vls");
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\"Tarvo Technologies,Inc. KV2200M Data Sheet\"\r\n\"S\"\r\n1\r\n");  // cut short
        f.close();
        QVERIFY(!OpenDataSheetFile(bad));
        SettleWindows();
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(int(Sheets().MeasureCount), 1);
        QCOMPARE(ExistingViewForm(ViewMeasure, 0), measure);
        QVERIFY(OpenFlag(ViewMeasure, 0));
        QCOMPARE(NodeTexts(), QStringList({"Measure0", "Record0"}));

        MsgBoxService::ClearLog();
        const QString good = tmp.filePath("good.vls");
        Sheets().SheetName = "Good";
        QVERIFY(WriteDataSheet(good));
        RemoveMeasureView(0);
        QVERIFY(OpenDataSheetFile(good));
        SettleWindows();
        QVERIFY(MsgBoxService::Log().isEmpty());
        QCOMPARE(NodeTexts(), QStringList({"Measure0", "Record0"}));
        QCOMPARE(SheetTree().SheetNode->text(0), QString("Good"));
        QVERIFY(ExistingViewForm(ViewMeasure, 0) && OpenFlag(ViewMeasure, 0));
        QVERIFY(ExistingViewForm(ViewRecord, 0) && OpenFlag(ViewRecord, 0));
    }

    // A sheet written, unloaded, read and rebuilt shows the same views.
    void sheetWrittenAndReadBackIsRebuilt() {
        for (int k = 0; k < ViewKindCount; ++k) AddNewView(ViewKind(k));
        AddNewWaveform();
        Sheets().SheetName = "Bench, 1";
        Sheets().RecordViews[0].FilePath = "/tmp/a.rec";
        Sheets().MemWaveViews[0].FilePath = "/tmp/m.wfm";  // not loaded: the name alone
        Sheets().WaveViews[1].HasData = true;
        Sheets().WaveViews[1].Ch1Fetched = true;
        Sheets().WaveViews[1].Ch1Samples[5] = 55;
        SettleWindows();
        Link().LAPresent = true;  // stored in every Wave view
        const QString path = tmp.filePath("views.vls");
        QVERIFY(WriteDataSheet(path));
        const QByteArray written = SheetFileText(Sheets(), true);

        UnloadAllViews();
        SettleWindows();
        for (int k = 0; k < ViewKindCount; ++k) {
            QCOMPARE(int(ViewCount(ViewKind(k))), 0);
            QVERIFY(!ExistingViewForm(ViewKind(k), 0));
        }
        QCOMPARE(Sheets().WaveViews[1].Ch1Samples[5], 55);  // records kept

        SheetSamples::Clear(Sheets());
        QVERIFY(ReadDataSheet(path));
        Link().LAPresent = false;
        RebuildSheetViews();
        SettleWindows();
        QVERIFY(MsgBoxService::Log().isEmpty());
        QCOMPARE(SheetFileText(Sheets(), true), written);
        QCOMPARE(SheetTree().SheetNode->text(0), QString("Bench, 1"));
        QCOMPARE(SheetTree().SheetRootNode->childCount(), 1);
        QCOMPARE(NodeTexts(), QStringList({"Wave0", "Wave1", "Measure0", "Data0", "Record0", "Memory Wave0"}));
        for (int k = 0; k < ViewKindCount; ++k) {
            QWidget* form = ExistingViewForm(ViewKind(k), 0);
            QVERIFY(form && form->isVisible());
            QCOMPARE(FormSlot(ViewKind(k), form), 0);
            QVERIFY(OpenFlag(ViewKind(k), 0));
        }
        QCOMPARE(ExistingViewForm(ViewRecord, 0)->windowTitle(), QString("Record0  (/tmp/a.rec)"));
        QCOMPARE(ExistingViewForm(ViewMemoryWave, 0)->windowTitle(), QString("Memory Wave0"));
        // The LA layout comes from the stored flag, not from the instrument now.
        QWidget* wave = ExistingViewForm(ViewWave, 1);
        QVERIFY(!ViewControl<QWidget>(wave, "ChkCH(3)")->isHidden());
        QCOMPARE(ViewNode(ViewWave, 1)->text(0), QString("Wave1"));
    }
};

QTEST_MAIN(FileViewsTest)
#include "tst_fileviews.moc"
