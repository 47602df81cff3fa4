// The data table's text export, its list model and the refresh pacing,
// without the instrument.
#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "TestEnv.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"
#include "sheets/DataTable.h"
#include "sheets/ViewRefresh.h"
#include "sheets/frmData.h"
#include "sheets/ViewWindows.h"

namespace {
DataInfo smallTable() {
    DataInfo d;
    d.HasData = true;
    d.PointCount = 3;
    d.Title = "CH1 1.00V  500us 100MSa  Size=3  [Date:2026-12-09]";
    d.TimeTexts = QStringList{"entry0", "-1.50E-03", "0.00E+00", "1.50E-03", "beyond"};
    d.VoltTexts = QStringList{"entry0", "1.20E+00", "-8.00E-02", "3.00E-01", "beyond"};
    return d;
}
QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class DataExportTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir;

private slots:
    void initTestCase() { TestEnv::Init(); }
    void init() {
        MsgBoxService::ClearLog();
        FileDialogService::ClearLog();
    }

    void exportFileByteForByte_data() {
        QTest::addColumn<int>("points");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray head = "Tarvo Technologies,Inc. -[Data]\r\n\r\n\r\n\r\n"
                                "CH1 1.00V  500us 100MSa  Size=3  [Date:2026-12-09]\r\n\r\n\r\n"
                                "NO.\tTime\tVoltage\r\n\r\n";
        QTest::newRow("three points") << 3 << head + " 1 \t-1.50E-03\t1.20E+00\r\n"
                                                     " 2 \t0.00E+00\t-8.00E-02\r\n"
                                                     " 3 \t1.50E-03\t3.00E-01\r\n";
        QTest::newRow("no points: header lines only") << 0 << head;
        // A count beyond the stored texts never reads past them.
        QTest::newRow("count beyond the texts") << 99 << head + " 1 \t-1.50E-03\t1.20E+00\r\n"
                                                               " 2 \t0.00E+00\t-8.00E-02\r\n"
                                                               " 3 \t1.50E-03\t3.00E-01\r\n"
                                                               " 4 \tbeyond\tbeyond\r\n";
    }
    void exportFileByteForByte() {
        QFETCH(int, points);
        QFETCH(QByteArray, expected);
        DataInfo& r = Sheets().DataViews[2];
        r = smallTable();
        r.PointCount = points;
        const QString path = dir.filePath("table.txt");
        QVERIFY(ExportDataText(path, 2));
        QCOMPARE(fileBytes(path), expected);
        QVERIFY(MsgBoxService::Log().isEmpty());
    }

    // Texts outside ASCII (a settings line made in Chinese) are written as UTF-8.
    void exportWritesUtf8() {
        DataInfo d = smallTable();
        d.Title = QString::fromUtf8("通道1 1.00V");
        d.TimeTexts[1] = QString::fromUtf8("−1.50E-03");
        const QByteArray b = DataExportText(d, "Maker");
        QVERIFY(b.contains("\r\n" + QString::fromUtf8("通道1 1.00V").toUtf8() + "\r\n"));
        QVERIFY(b.contains("\r\n 1 \t" + QString::fromUtf8("−1.50E-03").toUtf8() + "\t1.20E+00\r\n 2 \t"));
    }

    void exportFailure_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("folder missing") << "missing/table.xls";
        QTest::newRow("path is a folder") << "folder";
    }
    void exportFailure() {
        QFETCH(QString, target);
        Sheets().DataViews[0] = smallTable();
        QVERIFY(QDir(dir.path()).mkpath("folder"));
        const QString path = dir.filePath(target);
        QVERIFY(!ExportDataText(path, 0));
        QVERIFY(!QFileInfo(path).isFile());
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].style, int(vbCritical));
        QVERIFY(!MsgBoxService::Log()[0].text.isEmpty());
    }

    // The Export button: either filter writes the same text; no data, no export.
    void exportButton() {
        Sheets().DataCount = 1;
        Sheets().DataViews[0] = smallTable();
        auto* f = new frmData;
        SetFormTag(f, 0);
        f->Timer1_Timer();
        QVERIFY(f->cmdExport->isEnabled());
        QStringList answers{dir.filePath("a.xls"), dir.filePath("a.txt"), ""};
        FileDialogService::SetAnswerer([&](const FileDialogRequest&) { return answers.takeFirst(); });
        for (int i = 0; i < 3; ++i) f->cmdExport_Click();
        FileDialogService::SetAnswerer(nullptr);
        const auto asked = FileDialogService::Log();
        QCOMPARE(asked.size(), 3);
        QCOMPARE(asked[0].kind, FileDialogKind::Save);
        QCOMPARE(asked[0].title, QString("Export File"));
        QCOMPARE(asked[0].filter, QString("Microsoft Excel Files (*.xls)|*.xls|Text Files (*.txt)|*.txt|"
                                          "All Files (*.*)|*.*"));
        QCOMPARE(fileBytes(dir.filePath("a.xls")), DataExportText(smallTable(), Shell().MakerName));
        QCOMPARE(fileBytes(dir.filePath("a.txt")), fileBytes(dir.filePath("a.xls")));

        // A view without data (a new view, whatever its slot held) exports nothing.
        ResetViewRecord(ViewData, 0);
        f->RefreshDataList();
        QVERIFY(!f->cmdExport->isEnabled());
        FileDialogService::ClearLog();
        f->cmdExport_Click();
        QVERIFY(FileDialogService::Log().isEmpty());
        delete f;
    }

    void tableModel() {
        Sheets().DataViews[1] = smallTable();
        const DataInfo* rec = &Sheets().DataViews[1];
        DataTableModel m([rec] { return rec; });
        QCOMPARE(m.rowCount(), 1000);
        QCOMPARE(m.index(999, 0).data().toString(), QString("1000"));
        QVERIFY(m.index(0, 1).data().toString().isEmpty());
        m.ShowData();
        QCOMPARE(m.rowCount(), 3);
        QCOMPARE(m.index(0, 0).data().toString(), QString("1"));
        QCOMPARE(m.index(0, 1).data().toString(), QString("-1.50E-03"));
        QCOMPARE(m.index(2, 2).data().toString(), QString("3.00E-01"));
        QVERIFY(m.setHeaderData(2, Qt::Horizontal, QString::fromUtf8("电压[V]")));
        QCOMPARE(m.headerData(2, Qt::Horizontal).toString(), QString::fromUtf8("电压[V]"));
    }

    void pacing_data() {
        QTest::addColumn<int>("configured");
        QTest::addColumn<int>("paced");
        QTest::newRow("zero") << 0 << 1000;
        QTest::newRow("negative") << -5 << 1000;
        QTest::newRow("tiny") << 1 << 100;
        QTest::newRow("one second") << 1000 << 1000;
        QTest::newRow("twenty seconds") << 20000 << 20000;
        QTest::newRow("huge") << 2000000000 << 3600000;
    }
    void pacing() {
        QFETCH(int, configured);
        QFETCH(int, paced);
        QCOMPARE(PacedInterval(configured), paced);
        // Due once the elapsed time reaches the interval, also when it passed it.
        Shell().RefreshInterval = configured;
        ViewRefresh().RefreshTick = paced - 1;
        QVERIFY(!RefreshDue());
        ViewRefresh().RefreshTick = paced + 37;
        QVERIFY(RefreshDue());
        ViewRefresh().RefreshTick = 0;
    }
};

QTEST_MAIN(DataExportTest)
#include "tst_dataexport.moc"
