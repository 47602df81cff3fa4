// Captions of document windows and of dialogs that caption themselves when
// they load; the record view's status line.
#include <QtTest>

#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <memory>

#include "TestEnv.h"
#include "common/SheetModel.h"
#include "sheets/ViewWindows.h"
#include "shell/Captions.h"
#include "shell/Language.h"

namespace {

// A bare window holding a widget for every control a table names (a list
// view for column rows, a tab strip for tab rows), with design texts.
std::unique_ptr<QWidget> WindowFor(const CaptionTable& table, const QString& name) {
    auto w = std::make_unique<QWidget>();
    w->setObjectName(name);
    w->setWindowTitle("design");
    for (const CaptionRow& row : table) {
        if (row.control.isEmpty() || FindCaptionControl(w.get(), row.control)) continue;
        QObject* o = nullptr;
        if (row.prop == CaptionProp::Column) {
            auto* t = new QTreeWidget(w.get());
            t->setHeaderLabels(QStringList(5, QString("design")));
            o = t;
        } else if (row.prop == CaptionProp::Tab) {
            auto* t = new QTabWidget(w.get());
            for (int i = 0; i < 3; ++i) t->addTab(new QWidget, "design");
            o = t;
        } else if (row.control.startsWith("Frame")) {
            o = new QGroupBox("design", w.get());
        } else if (row.control.startsWith("lbl") || row.control.startsWith("Lbl") ||
                   row.control.startsWith("Label")) {
            o = new QLabel("design", w.get());
        } else {
            o = new QPushButton("design", w.get());
        }
        o->setObjectName(row.control);
    }
    return w;
}

QString Text(QWidget* w, const QString& name) {
    QObject* o = FindCaptionControl(w, name);
    if (!o) return "<absent>";
    if (auto* g = qobject_cast<QGroupBox*>(o)) return g->title();
    return o->property("text").toString();
}
QString Tip(QWidget* w, const QString& name) {
    return FindCaptionControl(w, name)->property("toolTip").toString();
}
QString Column(QWidget* w, int n) {
    return w->findChild<QTreeWidget*>("MeasureView")->headerItem()->text(n - 1);
}

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
    void initTestCase() { TestEnv::Init(); }
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
            const CaptionTable& (*table)();
            void (*setter)(QWidget*, int);
        };
        const D ds[] = {{&OpenDocCaptionTable, &SetOpenDocCaptions},
                        {&NewDocCaptionTable, &SetNewDocCaptions},
                        {&OptionsCaptionTable, &SetOptionsCaptions},
                        {&AdjustDialogCaptionTable, &SetAdjustDialogCaptions},
                        {&PassFailCaptionTable, &SetPassFailCaptions},
                        {&VirtualPanelCaptionTable, &SetVirtualPanelCaptions},
                        {&VirtualKeyCaptionTable, &SetVirtualKeyCaptions},
                        {&SplashCaptionTable, &SetSplashCaptions}};
        auto w = WindowFor(ds[which].table(), "dialog");
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

    void arrayElementsAreFoundByEitherName() {
        QWidget w;
        auto* a = new QRadioButton("design", &w);
        a->setObjectName("NewOption(0)");
        auto* b = new QRadioButton("design", &w);
        b->setObjectName("NewOption_1");
        SetOpenDocCaptions(&w, 0);
        QCOMPARE(a->text(), QString("数据浏览器"));
        QCOMPARE(b->text(), QString("控制器"));
    }

    void otherLanguageKeepsDesignTexts() {
        auto w = WindowFor(OptionsCaptionTable(), "frmOptions");
        SetOptionsCaptions(w.get(), 2);
        QCOMPARE(w->windowTitle(), QString("design"));
        QCOMPARE(Text(w.get(), "HardwareCheck"), QString("design"));
        QCOMPARE(w->findChild<QTabWidget*>()->tabText(0), QString("design"));
    }

    void allWindowsSetterVisitsOpenViewsInSlotOrder() {
        // Slots 0 and 2 open, slot 1 closed, slot 3 beyond the count.
        std::vector<std::unique_ptr<QWidget>> ws;
        for (int i = 0; i < 4; ++i) {
            ws.push_back(WindowFor(MeasureWindowCaptionTable(), "frmMeasure"));
            SetViewForm(ViewMeasure, i, ws.back().get());
            Sheets().MeasureViews[i].WindowOpen = i != 1;
        }
        Sheets().MeasureCount = 3;
        QList<int> redisplayed;
        CaptionKindOf("frmMeasure").afterCaptions = [&](QWidget* w, int slot, int lang) {
            // The texts are on the window before its rows are shown again.
            QCOMPARE(Column(w, 5), QString("通过&失败"));
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
        auto w = WindowFor(WaveWindowCaptionTable(), "frmWave");
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

    void oneWindowSetterIgnoresSlotsOutOfRange() {
        SetRecordWindowCaptions(5, 0);
        SetMemoryWaveWindowCaptions(-1, 0);
        SetDataWindowCaptions(3, 0);  // no window in the slot
    }

    void dataAndMemoryWaveTables() {
        auto d = WindowFor(DataWindowCaptionTable(), "frmData");
        SetDataWindowCaptionsAll(0);  // not open: untouched
        QCOMPARE(Column(d.get(), 1), QString("design"));
        SetViewForm(ViewData, 0, d.get());
        Sheets().DataViews[0].WindowOpen = true;
        Sheets().DataCount = 1;
        SetDataWindowCaptions(0, 0);
        QCOMPARE(Column(d.get(), 2), QString("时间[S]"));
        QCOMPARE(Column(d.get(), 4), QString("design"));
        SetDataWindowCaptionsAll(1);
        QCOMPARE(Column(d.get(), 3), QString("Voltage[V]"));

        auto m = WindowFor(MemoryWaveWindowCaptionTable(), "frmOpenWaveform");
        SetViewForm(ViewMemoryWave, 0, m.get());
        SetMemoryWaveWindowCaptions(0, 0);
        QCOMPARE(Text(m.get(), "FlatBttn4"), QString("       位图 ."));
        QCOMPARE(Tip(m.get(), "FlatBttn3"), QString("输出CSV文件"));
        QCOMPARE(Text(m.get(), "FlatBttn3"), QString("design"));
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
        auto w = WindowFor(RecordWindowCaptionTable(), "frmRecordPlay");
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
