// The window's CSV button: the refusal before the dialog, the dialog texts,
// the progress window, failures, and a second press while one export writes.
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include "TestEnv.h"
#include "common/SaveProgress.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "link/Messages.h"
#include "memwave/MemWaveCsvExport.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"
#include "sheets/ViewWindows.h"

class MemWaveCsvExportTest : public QObject {
    Q_OBJECT

    QWidget form;
    QTemporaryDir dir;
    QString answer;
    QStringList events;

private slots:
    void initTestCase() {
        TestEnv::Init();
        TestEnv::UseLanguage(LangEnglish);
        SetFormTag(&form, 1);
        FileDialogService::SetAnswerer([this](const FileDialogRequest&) { return answer; });
        SaveProgress().Show = [this] { events << "show"; };
        SaveProgress().SetValue = [this](int v) { events << QString::number(v); };
        SaveProgress().Unload = [this] { events << "unload"; };
    }

    void init() {
        MemWaveInfo& r = Sheets().MemWaveViews[1];
        r = MemWaveInfo();
        r.TriggerMode = "EDGE";
        r.MemoryPointCount = 2;
        r.SampleRate = 1e3f;
        r.ScreenData.CH1Shown = 1;
        r.ResetCopy.Ch1VoltsPerDiv = 1.0f;
        r.Ch1Memory = {125, 100, 0};
        MsgBoxService::ClearLog();
        FileDialogService::ClearLog();
        events.clear();
    }

    void noChannelNoDialog() {
        Sheets().MemWaveViews[1].ScreenData.CH1Shown = 0;
        ExportMemoryWaveCsv(&form);
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].text, QString("Invalid waveform data!"));
        QCOMPARE(FileDialogService::Log().size(), 0);
    }

    void cancelledDialog() {
        answer.clear();
        ExportMemoryWaveCsv(&form);
        QCOMPARE(FileDialogService::Log().size(), 1);
        QCOMPARE(FileDialogService::Log()[0].title, QString("Save To CSV file"));
        QCOMPARE(FileDialogService::Log()[0].filter, QString("CSV Files (*.csv)|*.csv"));
        QCOMPARE(FileDialogService::Log()[0].kind, FileDialogKind::Save);
        QVERIFY(MsgBoxService::Log().isEmpty());
        QVERIFY(events.isEmpty());
    }

    void writesWithProgress() {
        answer = dir.filePath("a.csv");
        ExportMemoryWaveCsv(&form);
        QFile f(answer);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("X,CH1\r\nSecond,Voltage\r\n-1.00E-03,0.00E00\r\n0.00E00,1.00E+00\r\n"));
        QCOMPARE(events, (QStringList{"show", "0", "0", "10", "20", "unload"}));
        QVERIFY(!SaveProgress().IsSavingCsv);
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    void failedWriteReported() {
        answer = dir.filePath("no/such/folder/a.csv");
        ExportMemoryWaveCsv(&form);
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbCritical));
        QVERIFY(!SaveProgress().IsSavingCsv);
        QVERIFY(events.contains("unload"));
    }

    // A press while an export writes starts nothing.
    void secondPressIgnored() {
        answer = dir.filePath("b.csv");
        SaveProgress().SetValue = [this](int v) {
            events << QString::number(v);
            ExportMemoryWaveCsv(&form);
        };
        ExportMemoryWaveCsv(&form);
        SaveProgress().SetValue = [this](int v) { events << QString::number(v); };
        QCOMPARE(FileDialogService::Log().size(), 1);
        QCOMPARE(events.count("show"), 1);
        QVERIFY(QFile::exists(answer));
    }

    void chineseDialogTexts() {
        QCOMPARE(CsvExportDialogTitle(LangChinese), QString::fromUtf8("保存到CSV文件"));
        QCOMPARE(CsvExportDialogFilter(LangChinese), QString::fromUtf8("CSV文件 (*.csv)|*.csv"));
    }
};

QTEST_MAIN(MemWaveCsvExportTest)
#include "tst_memwavecsvexport.moc"
