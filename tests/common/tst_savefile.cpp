// Files are written whole or not at all: under a file-size limit (the stand-in
// for a full disk that works with or without root) every writer fails, says
// why, and leaves the file it was to replace untouched.
#include <sys/resource.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "TestEnv.h"
#include "common/SaveFile.h"
#include "common/SheetModel.h"
#include "controller/CtrlDocument.h"
#include "controller/CtrlFile.h"
#include "controller/CtrlState.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/print/PrintDocs.h"
#include "sheets/DataTable.h"
#include "sheets/SheetFile.h"

namespace {
// Lowers the soft file-size limit for its lifetime. With SIGXFSZ ignored a
// write beyond it fails with EFBIG, as one on a full disk fails with ENOSPC.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ok = getrlimit(RLIMIT_FSIZE, &kept) == 0;
        rlimit lowered = kept;
        lowered.rlim_cur = bytes;
        ok = ok && setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        if (ok) setrlimit(RLIMIT_FSIZE, &kept);
    }
    bool ok = false;

private:
    rlimit kept{};
};

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using Writer = std::function<bool(const QString& path, QString* error)>;

// A writer that reports through a message box: its error is the message shown.
Writer shown(std::function<bool(const QString&)> write) {
    return [write](const QString& path, QString* error) {
        MsgBoxService::ClearLog();
        const bool ok = write(path);
        const auto log = MsgBoxService::Log();
        *error = log.isEmpty() ? QString() : log.last().text;
        return ok;
    };
}
}  // namespace
Q_DECLARE_METATYPE(Writer)

class SaveFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QByteArray big = QByteArray(100000, 'x');

private slots:
    void initTestCase() {
        TestEnv::Init();
        // A data table with rows to export.
        Sheets().DataCount = 1;
        DataInfo& d = Sheets().DataViews[0];
        d.HasData = true;
        d.PointCount = 2;
        d.Title = "CH1";
        d.TimeTexts = QStringList{"", "0.00E+00", "1.00E-03"};
        d.VoltTexts = QStringList{"", "1.00E+00", "2.00E+00"};
    }

    void writesWholeFile() {
        const QString path = dir.filePath("whole.bin");
        QString error;
        QVERIFY(SaveFileWhole(path, big, &error));
        QCOMPARE(fileBytes(path), big);
        // Streamed in pieces, replacing what was there.
        QVERIFY(SaveFileWhole(
            path, [](QIODevice& d) { return WriteAllTo(d, "ab") && WriteAllTo(d, "cd"); }, &error));
        QCOMPARE(fileBytes(path), QByteArray("abcd"));
    }

    void refusedWriteKeepsOriginal_data() {
        QTest::addColumn<Writer>("write");
        QTest::newRow("bytes") << Writer([this](const QString& p, QString* e) {
            return SaveFileWhole(p, big, e);
        });
        QTest::newRow("stream") << Writer([this](const QString& p, QString* e) {
            return SaveFileWhole(
                p,
                [this](QIODevice& d) {
                    for (int i = 0; i < 10; ++i) WriteAllTo(d, big);  // results ignored
                    return true;
                },
                e);
        });
        QTest::newRow("writer gives up") << Writer([](const QString& p, QString* e) {
            return SaveFileWhole(p, [](QIODevice&) { return false; }, e);
        });
        QTest::newRow("controller file") << shown([](const QString& p) { return WriteCtrlFile(p); });
        QTest::newRow("data table export")
            << shown([](const QString& p) { return ExportDataText(p, 0); });
        QTest::newRow("data sheet") << shown([](const QString& p) { return WriteDataSheet(p); });
        QTest::newRow("picture") << Writer([](const QString& p, QString* e) {
            QImage image(64, 64, QImage::Format_RGB32);
            image.fill(Qt::red);
            return SavePicture(image, p, e);
        });
    }
    void refusedWriteKeepsOriginal() {
        QFETCH(Writer, write);
        QTemporaryDir folder;
        const QString path = folder.filePath("kept.out");
        const QByteArray original = "ORIGINAL";
        QVERIFY(SaveFileWhole(path, original));
        QString error;
        bool ok = true;
        {
            FileSizeLimit limit(16);
            if (!limit.ok) QSKIP("the file-size limit cannot be set here");
            ok = write(path, &error);
        }
        QVERIFY(!ok);
        QVERIFY2(!error.isEmpty(), "the failure says why");
        QCOMPARE(fileBytes(path), original);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"kept.out"});  // no leftovers
    }

    // The document is still modified after a refused save, and bound to its file.
    void refusedControllerSaveKeepsDocumentModified() {
        const QString path = dir.filePath("doc.rmt");
        QVERIFY(SaveFileWhole(path, "ORIGINAL"));
        CtrlState().CtrlFileName = path;
        CtrlState().CtrlModified = true;
        bool saved = true;
        {
            FileSizeLimit limit(16);
            if (!limit.ok) QSKIP("the file-size limit cannot be set here");
            saved = SaveCtrl();
        }
        QVERIFY(!saved);
        QVERIFY(CtrlState().CtrlModified);
        QCOMPARE(fileBytes(path), QByteArray("ORIGINAL"));
        QVERIFY(SaveCtrl());  // and saves once there is room again
        QVERIFY(!CtrlState().CtrlModified);
    }

    void unwritableFolder() {
        QString error;
        QVERIFY(!SaveFileWhole(dir.filePath("no/such/folder/x.bin"), big, &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(SaveFileTest)
#include "tst_savefile.moc"
