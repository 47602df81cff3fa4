// Captions of document windows and of dialogs that caption themselves when
// they load; the record view's status line.
#include <QtTest>

#include <QAccessible>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <functional>
#include <memory>

#include "TestEnv.h"
#include "ViewControls.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "controller/CtrlList.h"
#include "editors/CtrlDialog.h"
#include "measure/frmMeasure.h"
#include "measure/frmPassFailed.h"
#include "memwave/frmOpenWaveform.h"
#include "panel/frmV_Key.h"
#include "panel/frmV_Panel.h"
#include "replay/frmRecordPlay.h"
#include "sheets/DataSheetTree.h"
#include "sheets/DataTable.h"
#include "sheets/FetchingView.h"
#include "sheets/ViewRecords.h"
#include "sheets/ViewWindows.h"
#include "sheets/frmData.h"
#include "shell/Captions.h"
#include "shell/DocDialogs.h"
#include "shell/Language.h"
#include "shell/MainWindow.h"
#include "shell/OptionsDialog.h"
#include "shell/Splash.h"
#include "shell/frmAbout.h"
#include "platform/dialogs/MsgBox.h"
#include "waveview/frmWave.h"

namespace {

// The caption of a control named as the windows name them ("Name(i)" for an
// element of an array).
QString Text(QWidget* w, const QString& name) {
    QObject* o = FindViewControl(w, name);
    if (!o) return "<absent>";
    if (auto* g = qobject_cast<QGroupBox*>(o)) return g->title();
    return o->property("text").toString();
}
QString Tip(QWidget* w, const QString& name) {
    return FindViewControl(w, name)->property("toolTip").toString();
}
QString Column(frmMeasure* w, int n) { return w->MeasureView->headerItem()->text(n - 1); }
QString Column(frmData* w, int n) { return w->Table->headerData(n - 1, Qt::Horizontal).toString(); }

void ResetSheet() {
    SheetModelData& s = Sheets();
    for (int k = 0; k < ViewKindCount; ++k) {
        const auto kind = ViewKind(k);
        for (int i = 0; i < SlotCount(kind); ++i) {
            ResetViewRecord(kind, i);
            switch (kind) {
            case ViewWave: SetViewForm(ViewWave, i, nullptr); s.WaveViews[i].WindowOpen = false; break;
            case ViewMeasure: SetViewForm(ViewMeasure, i, nullptr); s.MeasureViews[i].WindowOpen = false; break;
            case ViewData: SetViewForm(ViewData, i, nullptr); s.DataViews[i].WindowOpen = false; break;
            case ViewRecord: SetViewForm(ViewRecord, i, nullptr); s.RecordViews[i].WindowOpen = false; break;
            case ViewMemoryWave: SetViewForm(ViewMemoryWave, i, nullptr); s.MemWaveViews[i].WindowOpen = false; break;
            }
        }
        ViewCount(kind) = 0;
    }
}

int GreenPixels(const QImage& img, int fromX) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = fromX; x < img.width(); ++x)
            if (img.pixelColor(x, y) == QColor(0, 255, 0)) ++n;
    return n;
}

}  // namespace

class LanguageWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        TestEnv::Init();
        InstallWaveViewHooks();
    }
    void init() { ResetSheet(); }
    void cleanup() {
        for (const char* k : {"frmMeasure", "frmRecordPlay"}) CaptionKindOf(k).afterCaptions = nullptr;
    }

    void dialogsTakeTheirLanguageWhenTheyLoad_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("expected");
        // 0 open doc, 1 new doc, 2 options, 3 adjust, 4 pass/fail, 5 panel, 6 key pad, 7 splash
        QTest::newRow("open title en") << 0 << 1 << "" << "Open Document";
        QTest::newRow("open title zh") << 0 << 0 << "" << "打开文档";
        QTest::newRow("new option array") << 1 << 0 << "NewOption(6)" << "波形文件窗口";
        QTest::newRow("options tab 1") << 2 << 0 << "tab1" << "常规";
        QTest::newRow("options tab 2") << 2 << 0 << "tab2" << "更新";
        QTest::newRow("options tab 3") << 2 << 0 << "tab3" << "通信设置";
        QTest::newRow("options radio") << 2 << 1 << "OptRefreshType(1)" << "Auto";
        QTest::newRow("adjust keeps title en") << 3 << 1 << "" << "design";
        QTest::newRow("adjust keeps title zh") << 3 << 0 << "" << "design";
        QTest::newRow("adjust fine") << 3 << 0 << "OptVoltDiv(1)" << "微调";
        QTest::newRow("pass/fail keeps title") << 4 << 0 << "" << "design";
        QTest::newRow("pass/fail bars") << 4 << 0 << "Frame1" << "通过 | 失败设置";
        QTest::newRow("pass/fail blanks") << 4 << 0 << "Frame4" << "下限设置     ";
        QTest::newRow("panel print") << 5 << 0 << "cmdPrint" << "  打印    ";
        QTest::newRow("panel zoom") << 5 << 0 << "cmdZoom" << " 缩放  ";
        QTest::newRow("key pad") << 6 << 0 << "" << "虚拟键盘";
        QTest::newRow("splash version") << 7 << 1 << "lblVersion" << "Version 00.01.05";
        QTest::newRow("splash version zh") << 7 << 0 << "lblVersion" << "版本 00.01.05";
    }
    void dialogsTakeTheirLanguageWhenTheyLoad() {
        QFETCH(int, which);
        QFETCH(int, lang);
        QFETCH(QString, control);
        QFETCH(QString, expected);
        struct D {
            std::function<QWidget*()> make;
            void (*setter)(QWidget*, int);
        };
        const D ds[] = {{[] { return new frmOpenDoc; }, &SetOpenDocCaptions},
                        {[] { return new frmNewDoc; }, &SetNewDocCaptions},
                        {[] { return new frmOptions; }, &SetOptionsCaptions},
                        {[] { return new CtrlDialogAdjust; }, &SetAdjustDialogCaptions},
                        {[] { return new frmPassFailed(0); }, &SetPassFailCaptions},
                        {[] { return new frmV_Panel; }, &SetVirtualPanelCaptions},
                        {[] { return new frmV_Key; }, &SetVirtualKeyCaptions},
                        {[] { return new frmSplash; }, &SetSplashCaptions}};
        std::unique_ptr<QWidget> w(ds[which].make());
        w->setWindowTitle("design");
        ds[which].setter(w.get(), lang);
        QString actual;
        if (control.isEmpty())
            actual = w->windowTitle();
        else if (control.startsWith("tab"))
            actual = w->findChild<QTabWidget*>()->tabText(control.mid(3).toInt() - 1);
        else
            actual = Text(w.get(), control);
        QCOMPARE(actual, expected);
    }

    // Every row of every table reaches its control on the real window, in
    // both languages; a table given a window of another class says so.
    void everyRowReachesItsControl() {
        frmMain main;
        main.MDIForm_Load();
        frmNewDoc newDoc;
        frmOpenDoc openDoc;
        frmOptions options;
        frmSplash splash;
        frmAbout about;
        CtrlDialogAdjust adjust;
        frmPassFailed passFail(0);
        frmV_Panel panel;
        frmV_Key keyPad;
        frmWave wave;
        frmData data;
        frmMeasure measure;
        frmRecordPlay record;
        frmOpenWaveform memWave;
        const QList<std::pair<QWidget*, const CaptionTable*>> pairs{
            {&main, &MainMenuCaptionTable()},
            {&main, &ToolbarCaptionTable()},
            {DataBrowserForm(), &DataSheetPopupCaptionTable()},
            {DataBrowserForm(), &DataSheetTreeCaptionTable()},
            {CtrlListForm(), &CtrlListPopupCaptionTable()},
            {CtrlListForm(), &CtrlListCaptionTable()},
            {main.DataSheetPaneClose, &PaneCloseCaptionTable()},
            {main.ControllerPaneClose, &PaneCloseCaptionTable()},
            {&newDoc, &NewDocCaptionTable()},
            {&openDoc, &OpenDocCaptionTable()},
            {&options, &OptionsCaptionTable()},
            {&splash, &SplashCaptionTable()},
            {&about, &AboutCaptionTable()},
            {&adjust, &AdjustDialogCaptionTable()},
            {&passFail, &PassFailCaptionTable()},
            {&panel, &VirtualPanelCaptionTable()},
            {&keyPad, &VirtualKeyCaptionTable()},
            {&wave, &WaveWindowCaptionTable()},
            {&data, &DataWindowCaptionTable()},
            {&measure, &MeasureWindowCaptionTable()},
            {&record, &RecordWindowCaptionTable()},
            {&memWave, &MemoryWaveWindowCaptionTable()},
        };
        int rows = 0;
        for (const auto& [window, table] : pairs) {
            QVERIFY(window);
            for (int lang : {0, 1}) QVERIFY2(ApplyCaptionTable(window, *table, lang), window->metaObject()->className());
            rows += int(table->size());
        }
        if (panel.cmdZoom) QVERIFY(ApplyCaptionTable(&panel, VirtualPanelZoomCaptionTable(), 0));
        QVERIFY(rows > 190);

        // The title row stands; each of the others is reported.
        for (size_t i = 1; i < NewDocCaptionTable().size(); ++i)
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("finds no control on frmOptions"));
        QVERIFY(!ApplyCaptionTable(&options, NewDocCaptionTable(), 0));
        main.MDIForm_Unload();
    }

    void otherLanguageKeepsDesignTexts() {
        frmOptions w;
        w.setWindowTitle("design");
        w.HardwareCheck->setText("design");
        w.tbsOptions->setTabText(0, "design");
        SetOptionsCaptions(&w, 2);
        QCOMPARE(w.windowTitle(), QString("design"));
        QCOMPARE(w.HardwareCheck->text(), QString("design"));
        QCOMPARE(w.tbsOptions->tabText(0), QString("design"));
    }

    void allWindowsSetterVisitsOpenViewsInSlotOrder() {
        // Slots 0 and 2 open, slot 1 closed, slot 3 beyond the count.
        std::vector<std::unique_ptr<frmMeasure>> ws;
        for (int i = 0; i < 4; ++i) {
            ws.push_back(std::make_unique<frmMeasure>());
            ws.back()->cmdRefresh->setText("design");
            SetViewForm(ViewMeasure, i, ws.back().get());
            Sheets().MeasureViews[i].WindowOpen = i != 1;
        }
        Sheets().MeasureCount = 3;
        QList<int> redisplayed;
        CaptionKindOf("frmMeasure").afterCaptions = [&](QWidget* w, int slot, int lang) {
            // The texts are on the window before its rows are shown again.
            QCOMPARE(Column(static_cast<frmMeasure*>(w), 5), QString("通过&失败"));
            QCOMPARE(lang, 0);
            redisplayed << slot;
        };
        SetMeasureWindowCaptionsAll(0);
        QCOMPARE(redisplayed, (QList<int>{0, 2}));
        QCOMPARE(Text(ws[0].get(), "cmdPassFailed"), QString("通过 | 失败 .  "));
        QCOMPARE(Text(ws[2].get(), "cmdRefresh"), QString(" 更新 ."));
        QCOMPARE(Tip(ws[2].get(), "cmdPassFailed"), QString("通过&失败"));
        QCOMPARE(Text(ws[1].get(), "cmdRefresh"), QString("design"));
        QCOMPARE(Text(ws[3].get(), "cmdRefresh"), QString("design"));

        // No views of a kind: nothing at all.
        Sheets().MeasureCount = 0;
        redisplayed.clear();
        SetMeasureWindowCaptionsAll(1);
        QVERIFY(redisplayed.isEmpty());
        QCOMPARE(Text(ws[0].get(), "cmdRefresh"), QString(" 更新 ."));
    }

    void refreshLabelDependsOnWhichSetter() {
        auto w = std::make_unique<frmWave>();
        SetViewForm(ViewWave, 0, w.get());
        Sheets().WaveViews[0].WindowOpen = true;
        Sheets().WaveCount = 1;
        SetWaveWindowCaptions(0, 0);
        QCOMPARE(Text(w.get(), "LblRefreshText"), QString("     更新"));
        QCOMPARE(Text(w.get(), "OptionColor(1)"), QString("黑白"));
        SetWaveWindowCaptionsAll(1);
        QCOMPARE(Text(w.get(), "LblRefreshText"), QString("Refreshing"));
        QCOMPARE(Text(w.get(), "OptionColor(1)"), QString("B&&W"));
        SetWaveWindowCaptionsAll(0);
        QCOMPARE(Text(w.get(), "LblRefreshText"), QString("更新"));
        QCOMPARE(Text(w.get(), "cmdPreview"), QString("         预览 ."));
    }

    // A slot out of range captions no window; an empty slot gets none made.
    void oneWindowSetterIgnoresSlotsOutOfRange() {
        auto w = std::make_unique<frmRecordPlay>();
        w->cmdRun->setToolTip(QString());
        SetViewForm(ViewRecord, 0, w.get());
        for (int slot : {-1, SlotCount(ViewRecord)}) SetRecordWindowCaptions(slot, 0);
        SetMemoryWaveWindowCaptions(-1, 0);
        QCOMPARE(Tip(w.get(), "cmdRun"), QString());
        SetDataWindowCaptions(3, 0);
        QVERIFY(!ExistingViewForm(ViewData, 3));
        SetRecordWindowCaptions(0, 0);
        QCOMPARE(Tip(w.get(), "cmdRun"), QString("打开波形录制文件"));
    }

    void dataAndMemoryWaveTables() {
        auto d = std::make_unique<frmData>();
        d->Table->setHeaderData(0, Qt::Horizontal, "design");
        SetDataWindowCaptionsAll(0);  // not open: untouched
        QCOMPARE(Column(d.get(), 1), QString("design"));
        SetViewForm(ViewData, 0, d.get());
        Sheets().DataViews[0].WindowOpen = true;
        Sheets().DataCount = 1;
        SetDataWindowCaptions(0, 0);
        QCOMPARE(Column(d.get(), 2), QString("时间[S]"));
        SetDataWindowCaptionsAll(1);
        QCOMPARE(Column(d.get(), 3), QString("Voltage[V]"));

        auto m = std::make_unique<frmOpenWaveform>();
        m->FlatBttn3->setText("design");
        SetViewForm(ViewMemoryWave, 0, m.get());
        SetMemoryWaveWindowCaptions(0, 0);
        QCOMPARE(Text(m.get(), "FlatBttn4"), QString("       位图 ."));
        QCOMPARE(Tip(m.get(), "FlatBttn3"), QString("输出CSV文件"));
        QCOMPARE(Text(m.get(), "FlatBttn3"), QString("design"));
    }

    // Screen readers hear the fetching views' Refresh as a toggle button in
    // the Auto refresh type (also while stopped) and as a push button in the
    // Single one, held down while it refreshes continuously, named so in the
    // UI language (also after a live switch), and the channel choices of the
    // data and measurement views as radio buttons with their checked state.
    void fetchingViewsControlsAreAnnouncedAsWhatTheyAre_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("options");
        QTest::addColumn<QString>("refreshType");
        QTest::newRow("waveform, auto") << int(ViewWave) << 0 << "Auto";
        QTest::newRow("waveform, single") << int(ViewWave) << 0 << "Single";
        QTest::newRow("data, auto") << int(ViewData) << 3 << "Auto";
        QTest::newRow("measurement, auto") << int(ViewMeasure) << 2 << "Auto";
        QTest::newRow("measurement, single") << int(ViewMeasure) << 2 << "Single";
    }
    void fetchingViewsControlsAreAnnouncedAsWhatTheyAre() {
        QFETCH(int, kind);
        QFETCH(int, options);
        QFETCH(QString, refreshType);
        const auto restoreType = qScopeGuard([was = Shell().RefreshType] { Shell().RefreshType = was; });
        Shell().RefreshType = refreshType;
        const bool toggles = refreshType == "Auto";
        std::unique_ptr<FetchingViewWindow> w;
        if (kind == ViewWave) w = std::make_unique<frmWave>();
        else if (kind == ViewData) w = std::make_unique<frmData>();
        else w = std::make_unique<frmMeasure>();
        SetViewForm(ViewKind(kind), 0, w.get());
        ViewWindowOpen(ViewKind(kind), 0) = true;
        ViewCount(ViewKind(kind)) = 1;
        // The switch's step for the open views of the kind.
        auto captionAll = [kind](int lang) {
            if (kind == ViewWave) SetWaveWindowCaptionsAll(lang);
            else if (kind == ViewData) SetDataWindowCaptionsAll(lang);
            else SetMeasureWindowCaptionsAll(lang);
        };
        captionAll(LangEnglish);

        QAccessibleInterface* refresh = QAccessible::queryAccessibleInterface(w->cmdRefresh);
        QVERIFY(refresh);
        auto expectRefresh = [&](bool on, const QString& name) {
            QCOMPARE(refresh->role(), QAccessible::Button);
            // Held down (a continuous refresh runs) it is a toggle in either type.
            QCOMPARE(bool(refresh->state().checkable), toggles || on);
            QCOMPARE(bool(refresh->state().checked), on);
            QCOMPARE(bool(refresh->state().pressed), on);
            QCOMPARE(refresh->text(QAccessible::Name), name);
        };
        expectRefresh(false, "Refresh");
        w->SetStopLook(true);
        expectRefresh(true, "Refresh: continuous refresh on");
        captionAll(LangChinese);
        expectRefresh(true, QString::fromUtf8("更新：连续更新中"));
        w->SetStopLook(false);
        expectRefresh(false, QString::fromUtf8("更新 ."));
        captionAll(LangEnglish);
        // The type chosen in the options is heard at once.
        const bool wasToggle = toggles;
        Shell().RefreshType = wasToggle ? "Single" : "Auto";
        QCOMPARE(bool(refresh->state().checkable), !wasToggle);
        Shell().RefreshType = refreshType;
        // A press through the screen reader is a press of Refresh (here:
        // not connected, so the one message says so).
        MsgBoxService::ClearLog();
        refresh->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(MsgBoxService::Log().size(), 1);

        const QList<QRadioButton*> choices = w->findChildren<QRadioButton*>(QRegularExpression("^OptionCH"));
        QCOMPARE(choices.size(), options);
        for (QRadioButton* o : choices) {
            o->setEnabled(true);
            o->setChecked(o == choices.value(0));
        }
        for (QRadioButton* o : choices) {
            QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(o);
            QCOMPARE(acc->role(), QAccessible::RadioButton);
            QVERIFY(acc->state().checkable);
            QCOMPARE(bool(acc->state().checked), o->isChecked());
            QCOMPARE(acc->text(QAccessible::Name), o->text());
        }
        // Chosen through the screen reader: it is the one checked, as a click makes it.
        if (choices.size() > 1) {
            QAccessible::queryAccessibleInterface(choices[1])
                ->actionInterface()
                ->doAction(QAccessibleActionInterface::toggleAction());
            QVERIFY(choices[1]->isChecked() && !choices[0]->isChecked());
            QVERIFY(QAccessible::queryAccessibleInterface(choices[1])->state().checked);
            QVERIFY(!QAccessible::queryAccessibleInterface(choices[0])->state().checked);
        }
        SetViewForm(ViewKind(kind), 0, nullptr);
    }

    void recordStatusIsTranslatedAndRedrawn_data() {
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("expected");
        QTest::newRow("prompt to zh") << "Please open the waveform record file." << 0 << "请打开波形录制文件。";
        QTest::newRow("pause to zh") << "Pause" << 0 << "暂停";
        QTest::newRow("replaying to en") << "正在回放" << 1 << "Replaying";
        QTest::newRow("stop to en") << "停止" << 1 << "Stop";
        QTest::newRow("same language") << "Stop" << 1 << "Stop";
        QTest::newRow("empty") << "" << 0 << "";
        QTest::newRow("other text") << "pause" << 0 << "pause";
        QTest::newRow("language 2") << "Pause" << 2 << "Pause";
    }
    void recordStatusIsTranslatedAndRedrawn() {
        QFETCH(QString, status);
        QFETCH(int, lang);
        QFETCH(QString, expected);
        auto w = std::make_unique<frmRecordPlay>();
        SetViewForm(ViewRecord, 0, w.get());
        Sheets().RecordViews[0].WindowOpen = true;
        Sheets().RecordViews[0].StatusText = status;
        Sheets().RecordCount = 1;
        QStringList redrawn;
        CaptionKindOf("frmRecordPlay").afterCaptions = [&](QWidget*, int slot, int) {
            redrawn << Sheets().RecordViews[slot].StatusText;
        };
        SetRecordWindowCaptionsAll(lang);
        QCOMPARE(Sheets().RecordViews[0].StatusText, expected);
        QCOMPARE(redrawn, lang == 2 ? QStringList() : QStringList{expected});
        if (lang != 2) QCOMPARE(Tip(w.get(), "AresBtnPlay(5)"), lang ? QString("Then next frame") : QString("后一帧"));
    }

    void statusLineCounterIsLeftOutOnlyForThePrompt_data() {
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("lang");
        QTest::addColumn<bool>("counter");
        QTest::newRow("prompt zh") << "请打开波形录制文件。" << 0 << false;
        QTest::newRow("prompt en") << "Please open the waveform record file." << 1 << false;
        QTest::newRow("other language's prompt") << "Please open the waveform record file." << 0 << true;
        QTest::newRow("paused") << "暂停" << 0 << true;
        QTest::newRow("empty") << "" << 1 << true;
    }
    void statusLineCounterIsLeftOutOnlyForThePrompt() {
        QFETCH(QString, status);
        QFETCH(int, lang);
        QFETCH(bool, counter);
        QImage img(400, 30, QImage::Format_RGB32);
        img.fill(Qt::red);
        {
            QPainter p(&img);
            DrawRecordStatusLine(p, img.width(), img.height(), Qt::black, status, 3, 120, lang);
        }
        QCOMPARE(img.pixelColor(0, 0), QColor(Qt::black));  // cleared to the background
        QCOMPARE(GreenPixels(img, 0) > 0, counter);
        if (counter) QCOMPARE(GreenPixels(img, 0), GreenPixels(img, img.width() - 70));
    }
};

QTEST_MAIN(LanguageWindowsTest)
#include "tst_language_windows.moc"
