// The options dialog and the New/Open document choosers.
#include <QAbstractFileIconProvider>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QMimeDatabase>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include "TestEnv.h"
#include "common/ShellState.h"
#include "link/LinkState.h"
#include "platform/dialogs/FileDialog.h"
#include "shell/DocDialogs.h"
#include "shell/OptionsDialog.h"
#include "shell/OptionsLogic.h"
#include "shell/SoftwareSettings.h"
#include "shell/UsbChoice.h"

class DialogsTest : public QObject {
    Q_OBJECT

    static void defaults() {
        SetDefaultSoftwareSetting();
        Shell().UILanguage = LangEnglish;
        ResetUsbDeviceChoice();
        Link().IsConnected = false;
        ShellDialogs().DialogOK = false;
    }

private slots:
    void initTestCase() { TestEnv::Init(); }
    void init() { defaults(); }

    void serialField_data() {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("shown");
        QTest::newRow("usb instrument") << "USB0::0x0400::0x05DC::SN12345::INSTR" << "SN12345";
        QTest::newRow("no INSTR word") << "USB0::0x0400::0x05DC::SN9" << "SN9";
        QTest::newRow("too few separators") << "ASRL1::INSTR" << "ASRL1::INSTR";
        QTest::newRow("empty") << "" << "";
    }
    void serialField() {
        QFETCH(QString, description);
        QFETCH(QString, shown);
        QCOMPARE(UsbSerialField(description), shown);
    }

    void noDeviceEntryFollowsTheLanguage() {
        QCOMPARE(DeviceEntries({}, LangEnglish), QStringList{"No Device"});
        QCOMPARE(DeviceEntries({}, LangChinese), QStringList{QString::fromUtf8("无设备")});
        QCOMPARE(DeviceEntries({"USB0::1::2::A::INSTR", "USB0::1::2::B::INSTR"}, LangEnglish),
                 (QStringList{"A", "B"}));
    }

    void openingShowsTheSettingsWithoutChangingThem() {
        Shell().COM_Port = 17;
        Shell().BaudRate = "57600";  // not an entry
        Shell().RefreshType = "Auto";
        Shell().RefreshInterval = 5000;
        Shell().ScopeIOType = 2;
        Shell().StartupLoadSheet = true;
        SetUsbDeviceChoice(3, "USB0::1::2::C::INSTR");  // more than the (no) devices found
        frmOptions dlg;
        QCOMPARE(dlg.PortCombo->currentIndex(), 0);
        QCOMPARE(dlg.PortCombo->count(), 16);
        QVERIFY(dlg.PortCombo->itemText(15).startsWith("COM16  ("));
        QCOMPARE(dlg.BaudCombo->currentIndex(), -1);
        QCOMPARE(dlg.GPIB_AddrCombo->currentText(), QString("7"));
        QCOMPARE(dlg.IntervalCombo->currentText(), QString("5"));
        QVERIFY(dlg.IntervalCombo->isEnabled());
        QVERIFY(dlg.PortSelectOption[2]->isChecked());
        QVERIFY(dlg.SheetStartLoadChk->isChecked() && !dlg.HardwareCheck->isChecked());
        QCOMPARE(dlg.DeviceCombo->currentText(), QString("No Device"));
        QCOMPARE(dlg.tbsOptions->count(), 3);
        QCOMPARE(dlg.tbsOptions->currentIndex(), 0);
        dlg.OptRefreshType[0]->click();
        QVERIFY(!dlg.IntervalCombo->isEnabled());
        // Cancel changes nothing at all.
        dlg.cmdCancel_Click();
        QCOMPARE(Shell().COM_Port, 17);
        QCOMPARE(Shell().BaudRate, QString("57600"));
        QCOMPARE(Shell().RefreshType, QString("Auto"));
        QCOMPARE(UsbChoiceIndex(), 3);
        QCOMPARE(UsbChoiceResource(), QString("USB0::1::2::C::INSTR"));
        QVERIFY(!ShellDialogs().DialogOK);
    }

    void okStoresEveryChoice() {
        frmOptions dlg;
        dlg.HardwareCheck->setChecked(true);
        dlg.CtrlStartLoadChk->setChecked(true);
        dlg.PortSelectOption[2]->setChecked(true);
        dlg.PortCombo->setCurrentIndex(3);
        dlg.BaudCombo->setCurrentText("38400");
        dlg.GPIB_AddrCombo->setCurrentIndex(30);
        dlg.OptRefreshType[0]->setChecked(true);  // Single: the interval is still stored
        dlg.IntervalCombo->setCurrentText("20");
        dlg.cmdOK_Click();
        const ShellStateData& sh = Shell();
        QVERIFY(ShellDialogs().DialogOK);
        QVERIFY(sh.StartupCheckHardware && sh.StartupLoadCtrl && !sh.StartupLoadSheet);
        QCOMPARE(sh.ScopeIOType, 2);
        QCOMPARE(sh.COM_Port, 4);
        QCOMPARE(sh.BaudRate, QString("38400"));
        QCOMPARE(sh.GPIB_Addr, 30);
        QCOMPARE(sh.RefreshType, QString("Single"));
        QCOMPARE(sh.RefreshInterval, 20000);
        QCOMPARE(UsbChoiceIndex(), 0);  // "No Device"
        QVERIFY(UsbChoiceResource().isEmpty());
    }

    void ctrlTabCyclesTheTabs() {
        frmOptions dlg;
        dlg.show();
        dlg.cmdOK->setFocus();
        QTest::keyClick(&dlg, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(dlg.tbsOptions->currentIndex(), 2);  // first -> last
        QTest::keyClick(&dlg, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(dlg.tbsOptions->currentIndex(), 0);  // last -> first
        QTest::keyClick(&dlg, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(dlg.tbsOptions->currentIndex(), 1);
    }

    void okChoosesTheListedDevice() {
        const QStringList found{"USB0::1::2::A::INSTR", "USB0::1::2::B::INSTR", "USB0::1::2::C::INSTR"};
        OptionsChoice c = OptionsFromSettings(3);
        QCOMPARE(c.DeviceIndex, 0);  // none chosen yet: the first entry
        c.DeviceIndex = 2;
        ApplyOptionsOK(c, found);
        QCOMPARE(UsbChoiceIndex(), 3);
        QCOMPARE(UsbChoiceResource(), found[2]);
        QCOMPARE(OptionsFromSettings(3).DeviceIndex, 2);
        QCOMPARE(OptionsFromSettings(2).DeviceIndex, 0);  // the chosen one is gone
    }

    void docChoosers_data() {
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<int>("option");  // -1: press OK at once
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("dialogOK");
        QTest::addColumn<int>("kind");
        QTest::newRow("new, OK at once") << true << -1 << true << true << 1;
        QTest::newRow("new, wave data") << true << 4 << true << true << 5;
        QTest::newRow("new, memory wave") << true << 6 << true << true << 7;
        QTest::newRow("new, cancel") << true << 3 << false << false << 99;
        QTest::newRow("open, controller") << false << 1 << true << true << 2;
        QTest::newRow("open, cancel") << false << 1 << false << false << 99;
    }
    void docChoosers() {
        QFETCH(bool, isNew);
        QFETCH(int, option);
        QFETCH(bool, ok);
        QFETCH(bool, dialogOK);
        QFETCH(int, kind);
        ShellDialogs().NewDocKind = 99;
        std::unique_ptr<DocKindDialog> dlg;
        if (isNew) dlg = std::make_unique<frmNewDoc>();
        else dlg = std::make_unique<frmOpenDoc>();
        QCOMPARE(dlg->NewOption.size(), isNew ? 7 : 2);
        QVERIFY(dlg->NewOption[0]->isChecked());
        if (option >= 0) dlg->NewOption[option]->setChecked(true);
        if (ok) dlg->cmdOK_Click();
        else dlg->cmdCancel_Click();
        QCOMPARE(ShellDialogs().DialogOK, dialogOK);
        QCOMPARE(ShellDialogs().NewDocKind, kind);
    }

    void fileFilters_data() {
        QTest::addColumn<QString>("pairs");
        QTest::addColumn<QString>("qt");
        QTest::newRow("one pair") << "Data Sheet Files (*.vls)|*.vls" << "Data Sheet Files (*.vls)";
        QTest::newRow("two pairs") << "Excel (*.xls)|*.xls|Text (*.txt)|*.txt" << "Excel (*.xls);;Text (*.txt)";
        QTest::newRow("pattern not in text") << "Bitmap|*.bmp" << "Bitmap (*.bmp)";
        QTest::newRow("several patterns") << "Pictures|*.bmp;*.png" << "Pictures (*.bmp *.png)";
    }
    void fileFilters() {
        QFETCH(QString, pairs);
        QFETCH(QString, qt);
        QCOMPARE(QtFileFilter(pairs), qt);
    }

    void fileDialogServiceIsAnswered() {
        FileDialogService::SetAnswerer([](const FileDialogRequest& r) {
            return r.kind == FileDialogKind::Save ? QString("/tmp/x.vls") : QString();
        });
        FileDialogService::ClearLog();
        QCOMPARE(GetSaveFileName("Save", "Data Sheet Files (*.vls)|*.vls"), QString("/tmp/x.vls"));
        QVERIFY(GetOpenFileName("Open", "Control Files (*.rmt)|*.rmt").isEmpty());
        QCOMPARE(FileDialogService::Log().size(), 2);
        QCOMPARE(FileDialogService::Log()[1].filter, QString("Control Files (*.rmt)|*.rmt"));
        FileDialogService::SetAnswerer(nullptr);
    }

    // The real dialog tells a file's type by its name alone: listing a
    // folder reads no file (a file such as /proc/kmsg never answers).
    void realDialogReadsNoFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("noextension");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<<>>\nendobj\n");
        f.close();
        const QMimeDatabase db;
        const QMimeType pdf = db.mimeTypeForName("application/pdf");
        if (db.mimeTypeForFile(path) != pdf) QSKIP("no content types on this system");
        std::unique_ptr<QFileDialog> dlg(MakeFileDialog({FileDialogKind::Open, "Open", "All Files|*", {}}));
        QVERIFY(dlg->testOption(QFileDialog::DontUseNativeDialog));
        QAbstractFileIconProvider* icons = dlg->iconProvider();
        QVERIFY(icons);
        const QFileInfo info(path);
        QCOMPARE(icons->type(info), db.mimeTypeForFile(info, QMimeDatabase::MatchExtension).comment());
        QVERIFY(icons->type(info) != pdf.comment());
        QVERIFY(!icons->icon(info).isNull());
        // And a file named as a PDF is one, whatever it holds.
        QFile named(dir.filePath("words.pdf"));
        QVERIFY(named.open(QIODevice::WriteOnly) && named.write("plain words\n") > 0);
        named.close();
        QCOMPARE(icons->type(QFileInfo(named.fileName())), pdf.comment());
    }

    // The real dialog gives back what was chosen in it, a save name with the
    // chosen filter's extension; a cancel gives nothing.
    void realDialogReturnsTheChoice() {
        QTemporaryDir dir;
        auto answerWith = [](const QString& name) {
            QTimer::singleShot(0, [name] {
                auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (!dlg) return;
                if (name.isEmpty()) return dlg->reject();
                dlg->selectFile(name);
                QMetaObject::invokeMethod(dlg, "accept");
            });
        };
        answerWith(dir.filePath("mysheet"));
        QCOMPARE(GetSaveFileName("Save", "Data Sheet Files (*.vls)|*.vls"), dir.filePath("mysheet.vls"));
        answerWith(QString());
        QVERIFY(GetOpenFileName("Open", "Data Sheet Files (*.vls)|*.vls").isEmpty());
    }

    // A save name typed without an extension gets the chosen filter's one.
    void saveNameGetsTheFilterExtension_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("saved");
        const QString sheet = "Data Sheet Files (*.vls)|*.vls";
        const QString table = "Microsoft Excel Files (*.xls)|*.xls|Text Files (*.txt)|*.txt|All Files (*.*)|*.*";
        QTest::newRow("sheet") << "/d/mysheet" << sheet << 0 << "/d/mysheet.vls";
        QTest::newRow("name with its extension") << "/d/mysheet.vls" << sheet << 0 << "/d/mysheet.vls";
        QTest::newRow("name with another extension") << "/d/a.b" << sheet << 0 << "/d/a.b";
        QTest::newRow("dot in the folder only") << "/d.x/mysheet" << sheet << 0 << "/d.x/mysheet.vls";
        QTest::newRow("trailing dot") << "/d/mysheet." << sheet << 0 << "/d/mysheet.vls";
        QTest::newRow("controller") << "/d/c" << "(*.rmt)|*.rmt" << 0 << "/d/c.rmt";
        QTest::newRow("table as Excel") << "/d/t" << table << 0 << "/d/t.xls";
        QTest::newRow("table as text") << "/d/t" << table << 1 << "/d/t.txt";
        QTest::newRow("all files") << "/d/t" << table << 2 << "/d/t";
        QTest::newRow("cancelled") << "" << sheet << 0 << "";
    }
    void saveNameGetsTheFilterExtension() {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(int, chosen);
        QFETCH(QString, saved);
        FileDialogService::SetAnswerer([&](const FileDialogRequest&) { return typed; });
        FileDialogService::SetChosenFilter(chosen);
        QCOMPARE(GetSaveFileName("Save", filter), saved);
        // An open dialog returns the path as chosen.
        QCOMPARE(GetOpenFileName("Open", filter), typed);
        FileDialogService::SetAnswerer(nullptr);
    }

    void escapeCancels() {
        frmNewDoc dlg;
        dlg.show();
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(!ShellDialogs().DialogOK);
    }
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
