// The progress window of a long text export.
#include <QtTest>

#include <QProgressBar>
#include <QScreen>
#include <stdexcept>

#include "TestEnv.h"
#include "common/SaveProgress.h"
#include "shell/MainWindow.h"
#include "shell/frmPrgressSave.h"

class LanguageProgressTest : public QObject {
    Q_OBJECT
    frmMain main_;

private slots:
    void initTestCase() {
        TestEnv::Init();
        SetMainForm(&main_);
        main_.show();
        InstallSaveProgressWindow();
    }

    void closeIsRefusedWhileTheExportWrites() {
        {
            SaveProgressScope scope;
            frmPrgressSave* w = CurrentSaveProgressWindow();
            QVERIFY(w);
            QVERIFY(w->isVisible());
            QCOMPARE(w->parentWidget(), static_cast<QWidget*>(&main_));
            QCOMPARE(w->windowTitle(), QString("Progress"));
            QCOMPARE(w->ProgressBar()->value(), 0);
            QVERIFY(SaveProgress().IsSavingCsv);

            QVERIFY(!w->close());
            QVERIFY(w->isVisible());
            scope.SetValue(40);
            QCOMPARE(w->ProgressBar()->value(), 40);
            scope.SetValue(130);
            QCOMPARE(w->ProgressBar()->value(), 100);

            scope.Finish();
            QVERIFY(!SaveProgress().IsSavingCsv);
            QVERIFY(!w->isVisible());
            QVERIFY(!CurrentSaveProgressWindow());
        }
        QVERIFY(!SaveProgress().IsSavingCsv);
    }

    void failedExportStillUnloadsTheWindow() {
        QPointer<frmPrgressSave> w;
        try {
            SaveProgressScope scope;
            w = CurrentSaveProgressWindow();
            throw std::runtime_error("disk full");
        } catch (const std::exception&) {
        }
        QVERIFY(!SaveProgress().IsSavingCsv);
        QVERIFY(w.isNull() || !w->isVisible());
        QVERIFY(!CurrentSaveProgressWindow());
    }

    void opensCentredWhateverItsLastPlace() {
        SaveProgressScope first;
        CurrentSaveProgressWindow()->move(3, 5);
        first.Finish();

        SaveProgressScope second;
        frmPrgressSave* w = CurrentSaveProgressWindow();
        const QRect screen = w->screen()->geometry();
        QCOMPARE(w->pos(), QPoint(screen.x() + (screen.width() - w->width()) / 2,
                                  screen.y() + (screen.height() - w->height()) / 2));
        QCOMPARE(w->ProgressBar()->value(), 0);
    }
};

QTEST_MAIN(LanguageProgressTest)
#include "tst_language_progress.moc"
