// The windows of the setting editors offscreen: the unit buttons, the
// threshold presets, Enter and Esc, the captions, and the coarse/fine
// stepping with its repeat and its remembered step choice.
#include <QtTest>

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "TestEnv.h"
#include "common/DSOSettings.h"
#include "common/ShellState.h"
#include "editors/AdjustLogic.h"
#include "editors/CtrlDialog.h"
#include "editors/EditDispatch.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

namespace {

EditPrep numberEdit(const QString& text) {
    EditPrep p;
    p.Outcome = EditOutcome::NumberEdit;
    p.Key = ControllerLabel(6) + ControllerLabel(9);
    p.InputText = text;
    p.UnitButtons = {true, true, true, true, true};
    return p;
}

EditPrep thresholdEdit(const QString& key) {
    EditPrep p;
    p.Outcome = EditOutcome::ChoiceEdit;
    p.Key = key;
    p.Choices = {"TTL", "ECL", "CMOS", ValueWord(vwUser)};
    p.Selected = 0;
    p.InputText = "1.4";
    p.UnitButtons = {true, true, true, true, false};
    p.ThresholdLayout = true;
    p.InputEnabled = false;
    return p;
}
// The coarse/fine dialog for CH1 (1X probe) showing `text`.
void prepareCh1(CtrlDialogAdjust& dialog, const QString& text) {
    DSOSettings().CH1Probe = "1X";
    EditPrep p;
    p.AdjustChannel = 1;
    p.FrameCaption = "Volt/Div";
    p.InputText = text;
    dialog.Prepare(p);
}

QStringList shownTexts() {
    QStringList out;
    for (const ShownMessage& m : MsgBoxService::Log()) out << m.text;
    return out;
}
}  // namespace

class CtrlDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TestEnv::Init(); }
    void init() {
        TestEnv::UseLanguage(LangEnglish);
        Link().IsConnected = false;  // the apply's presence check gets no reply
        MsgBoxService::ClearLog();
        SetDefaultCtrlSettings();
    }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // A unit button scales the box by its unit and applies; a box that is
    // not a number is refused before anything is sent.
    void unitButtons_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("refused");
        QTest::newRow("500 mV") << "C" << "500" << 4 << "0.5" << false;
        QTest::newRow("10 u") << "C" << "10" << 1 << "1e-05" << false;
        QTest::newRow("2 n") << "C" << "2" << 2 << "2e-09" << false;
        QTest::newRow("3 p") << "C" << "3" << 3 << "3e-12" << false;
        QTest::newRow("1,5 m, decimal comma") << "de_DE" << "1,5" << 0 << "0,0015" << false;
        QTest::newRow("letters") << "C" << "abc" << 0 << "abc" << true;
        QTest::newRow("point under a comma locale") << "de_DE" << "1.5.0" << 0 << "1.5.0" << true;
    }
    void unitButtons() {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(int, button);
        QFETCH(QString, box);
        QFETCH(bool, refused);
        QLocale::setDefault(QLocale(locale));
        CtrlDialog dialog;
        dialog.Prepare(numberEdit(typed), QString());
        dialog.show();
        QTest::mouseClick(dialog.cmdEnter[button], Qt::LeftButton);
        QCOMPARE(dialog.inputTxt->text(), box);
        QCOMPARE(dialog.isVisible(), refused);  // applied: closed (no instrument, and said so)
        const QList<ShownMessage> shown = MsgBoxService::Log();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, refused ? QString("Enter number only!") : MessageTable().MsgConnectFirst);
        QCOMPARE(shown[0].style, int(vbExclamation));
    }

    void thresholdPresets_data() {
        QTest::addColumn<bool>("threshold");  // the key is "LA" & "Threshold"
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("locale");
        QTest::newRow("TTL") << true << 0 << "1.4" << false << "C";
        QTest::newRow("ECL") << true << 1 << "-1.3" << false << "C";
        QTest::newRow("CMOS") << true << 2 << "2.5" << false << "C";
        QTest::newRow("USER") << true << 3 << "1.0" << true << "C";
        QTest::newRow("another key") << false << 3 << "1.4" << false << "C";
        // The box is read in the user's locale, so it is written in it too.
        QTest::newRow("USER, decimal comma") << true << 3 << "1,0" << true << "de_DE";
        QTest::newRow("TTL, decimal comma") << true << 0 << "1,4" << false << "de_DE";
    }
    void thresholdPresets() {
        QFETCH(bool, threshold);
        QFETCH(int, item);
        QFETCH(QString, box);
        QFETCH(bool, enabled);
        QFETCH(QString, locale);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        CtrlDialog dialog;
        dialog.Prepare(thresholdEdit(threshold ? ControllerLabel(14) + ControllerLabel(17) : "x"),
                       QString());
        dialog.show();
        dialog.Combo->setCurrentIndex(item);
        emit dialog.Combo->activated(item);
        QCOMPARE(dialog.inputTxt->text(), box);
        QCOMPARE(dialog.inputTxt->isEnabled(), enabled);
        for (int i = 0; i < 4; ++i) QCOMPARE(dialog.cmdEnter[i]->isEnabled(), enabled);
        QVERIFY(dialog.Combo->isVisible() && dialog.inputTxt->isVisible());
        QVERIFY(dialog.Combo->geometry().bottom() < dialog.inputTxt->geometry().top());
        QLocale::setDefault(before);
    }

    // Enter presses OK from the value box (a number box) and from the list;
    // Esc cancels.
    void enterPressesOk() {
        for (const Qt::Key k : {Qt::Key_Return, Qt::Key_Enter}) {
            CtrlDialog dialog;
            dialog.Prepare(numberEdit("1"), QString());
            dialog.show();
            MsgBoxService::ClearLog();
            QTest::keyClick(dialog.inputTxt, k);
            // OK ran: no instrument, so closed without a change, and said so.
            QVERIFY(!dialog.isVisible());
            QVERIFY(!dialog.Applied());
            QCOMPARE(shownTexts(), QStringList{MessageTable().MsgConnectFirst});
        }
        EditPrep p = numberEdit("1");
        p.Outcome = EditOutcome::ChoiceEdit;
        p.Choices = {"ON", "OFF"};
        // A value that is none of the choices shows an empty list: OK sends
        // nothing and the dialog waits for a choice.
        CtrlDialog none;
        none.Prepare(p, QString());
        none.show();
        MsgBoxService::ClearLog();
        QCOMPARE(none.Combo->currentIndex(), -1);
        QTest::keyClick(none.Combo, Qt::Key_Return);
        none.cmdOK_Click();
        QVERIFY(none.isVisible());
        QVERIFY(shownTexts().isEmpty());  // not even the presence check went out
        p.Selected = 0;
        CtrlDialog list;
        list.Prepare(p, QString());
        list.show();
        QTest::keyClick(list.Combo, Qt::Key_Return);
        QVERIFY(!list.isVisible());
        QVERIFY(!list.Applied());
        CtrlDialog other;
        other.Prepare(p, QString());
        other.show();
        QTest::keyClick(other.inputTxt, Qt::Key_Escape);
        QVERIFY(!other.isVisible());
    }

    // Enter presses OK in the coarse/fine dialog, from the value box or a button.
    void adjustEnterPressesOk() {
        CtrlDialogAdjust dialog;
        prepareCh1(dialog, "abc");
        dialog.show();
        QTest::keyClick(dialog.txtDispValue, Qt::Key_Return);
        QVERIFY(dialog.isVisible());  // refused: stays open for a correction
        QCOMPARE(shownTexts(), QStringList{MessageTable().MsgVoltsOnly});
        dialog.txtDispValue->setText("2.00V");
        QTest::keyClick(dialog.DotAddRainBtn, Qt::Key_Enter);
        QVERIFY(!dialog.isVisible());
        QVERIFY(dialog.Applied());
        QCOMPARE(DSOSettings().CH1Scale, QString("2.00V"));
    }

    void captions_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("texts");  // OK, Cancel, Coarse, Fine
        QTest::newRow("English") << 1 << QStringList{"OK", "Cancel", "Coarse", "Fine"};
        QTest::newRow("Chinese") << 0
                                 << QStringList{QString::fromUtf8("确定"), QString::fromUtf8("取消"),
                                                QString::fromUtf8("粗调"), QString::fromUtf8("微调")};
    }
    void captions() {
        QFETCH(int, language);
        QFETCH(QStringList, texts);
        TestEnv::UseLanguage(language);
        CtrlDialog d;
        CtrlDialogAdjust a;
        QCOMPARE((QStringList{d.cmdOK->text(), d.cmdCancel->text(), a.OptVoltDiv[0]->text(),
                              a.OptVoltDiv[1]->text()}),
                 texts);
        QCOMPARE(a.cmdAdjustOK->text(), texts[0]);
        QCOMPARE(a.cmdCancelAdjust->text(), texts[1]);
    }

    // Each dialog's window title names the setting it edits, in the UI
    // language, as the dispatcher prepares it.
    void windowTitleNamesTheSetting_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("value");
        for (int language : {LangEnglish, LangChinese}) {
            const char* name = language == LangEnglish ? "English" : "Chinese";
            QTest::addRow("Volt/Div, %s", name) << language << 6 << 8 << "1.00V";
            QTest::addRow("Offset, %s", name) << language << 6 << 9 << "1.50V";
            QTest::addRow("Level, %s", name) << language << 24 << 66 << "1.50div";
        }
    }
    void windowTitleNamesTheSetting() {
        QFETCH(int, language);
        QFETCH(int, group);
        QFETCH(int, item);
        QFETCH(QString, value);
        TestEnv::UseLanguage(language);
        const QString label = ControllerLabel(item);
        const EditPrep prep = PrepareEdit("KV2200M\\" + ControllerLabel(group) + "\\" + label + " [" + value + "]");
        QDialog* dialog = nullptr;
        CtrlDialog setting;
        CtrlDialogAdjust adjust;
        if (prep.Outcome == EditOutcome::AdjustEdit) {
            adjust.Prepare(prep);
            dialog = &adjust;
        } else {
            setting.Prepare(prep, QString());
            dialog = &setting;
        }
        QCOMPARE(dialog->windowTitle(), label);
        QVERIFY(!label.isEmpty());
    }

    // One step of the shown value (probe included), coarse or fine.
    void steps_data() {
        QTest::addColumn<QString>("probe");
        QTest::addColumn<int>("fine");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("result");
        QTest::newRow("coarse up, 10X") << "10X" << 0 << "50.0mV" << 1 << "100mV";
        QTest::newRow("coarse down, 10X") << "10X" << 0 << "50.0mV" << -1 << "20.0mV";
        QTest::newRow("coarse down at the end") << "10X" << 0 << "20.0mV" << -1 << "20.0mV";
        QTest::newRow("coarse down below 2 mV") << "1X" << 0 << "1.00mV" << -1 << "2.00mV";
        QTest::newRow("fine up") << "1X" << 1 << "2.00mV" << 1 << "2.05mV";
        QTest::newRow("fine down at the end") << "1X" << 1 << "2.00mV" << -1 << "2.00mV";
        QTest::newRow("fine up to the top") << "1X" << 1 << "9.90V" << 1 << "10.0V";
        QTest::newRow("fine up at the top") << "1X" << 1 << "10.0V" << 1 << "10.0V";
        QTest::newRow("100X coarse up") << "100X" << 0 << "5.00V" << 1 << "10.0V";
        QTest::newRow("unknown probe steps as 1X") << "3X" << 0 << "1.00V" << 1 << "2.00V";
        QTest::newRow("unreadable text, coarse up") << "1X" << 0 << "abc" << 1 << "5.00mV";
    }
    void steps() {
        QFETCH(QString, probe);
        QFETCH(int, fine);
        QFETCH(QString, shown);
        QFETCH(int, direction);
        QFETCH(QString, result);
        DSOSettings().CH2Probe = probe;
        AdjustState().CH2CoarseFine = uint8_t(fine);
        QCOMPARE(AdjustStep(shown, 1, direction), result);
        AdjustState() = AdjustStateData();
    }

    // Press: one step at once, then one per tick of the 200 ms timer until
    // the release.
    void holdRepeats() {
        CtrlDialogAdjust dialog;
        prepareCh1(dialog, "1.00V");
        dialog.StepPressed(1);
        QCOMPARE(dialog.txtDispValue->text(), QString("2.00V"));
        QVERIFY(dialog.Timer1.isActive());
        QCOMPARE(dialog.Timer1.interval(), 200);
        dialog.Timer1_Timer();
        dialog.Timer1_Timer();
        QCOMPARE(dialog.txtDispValue->text(), QString("10.0V"));
        QCOMPARE(dialog.Timer1.interval(), 200);
        dialog.StepReleased();
        QVERIFY(!dialog.Timer1.isActive());
        QCOMPARE(dialog.StepDirection, 0);
        dialog.StepPressed(-1);
        dialog.reject();  // closing ends a repeat whose release never came
        QVERIFY(!dialog.Timer1.isActive());
    }

    // The step choice is kept per channel and survives Cancel.
    void stepChoicePerChannel() {
        AdjustState() = AdjustStateData();
        EditPrep ch1, ch2;
        ch1.AdjustChannel = 1;
        ch2.AdjustChannel = 2;
        {
            CtrlDialogAdjust d;
            d.Prepare(ch1);
            d.show();
            QTest::mouseClick(d.OptVoltDiv[1], Qt::LeftButton);
            QTest::mouseClick(d.cmdCancelAdjust, Qt::LeftButton);
        }
        {
            CtrlDialogAdjust d;
            d.Prepare(ch2);
            QVERIFY(d.OptVoltDiv[0]->isChecked());
            QCOMPARE(AdjustState().AdjustMode, uint8_t(1));
        }
        CtrlDialogAdjust d;
        d.Prepare(ch1);
        QVERIFY(d.OptVoltDiv[1]->isChecked());
        QCOMPARE(AdjustState().CH1CoarseFine, uint8_t(1));
        QCOMPARE(AdjustState().CH2CoarseFine, uint8_t(0));
    }
};

QTEST_MAIN(CtrlDialogTest)
#include "tst_ctrldialog.moc"
