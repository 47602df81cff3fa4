// The About box: captions, the engineering version key, the system-information tool.
#include <QtTest>

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include "TestEnv.h"
#include "common/ShellState.h"
#include "link/Messages.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/frmAbout.h"

namespace {
QString LabelText(QWidget* w, const char* name) { return w->findChild<QLabel*>(name)->text(); }
QString ButtonText(QWidget* w, const char* name) {
    return w->findChild<QPushButton*>(name)->text();
}
}  // namespace

class LanguageAboutTest : public QObject {
    Q_OBJECT
    QTemporaryDir bin_;
    QByteArray oldPath_;

private slots:
    void initTestCase() {
        TestEnv::Init();
        oldPath_ = qgetenv("PATH");
        qputenv("PATH", bin_.path().toUtf8());  // no system-information tool anywhere
    }
    void cleanupTestCase() { qputenv("PATH", oldPath_); }
    void init() {
        MsgBoxService::ClearLog();
        SysInfoService().Start = nullptr;
    }

    void captionsFollowTheLanguageAtLoad() {
        Shell().UILanguage = 0;
        frmAbout zh;
        QCOMPARE(zh.windowTitle(), QString("关于 Velmora"));
        QCOMPARE(LabelText(&zh, "lblVersion"), QString("版本 00.01.05"));
        QCOMPARE(LabelText(&zh, "lblDisclaimer"), QString(""));
        QCOMPARE(ButtonText(&zh, "cmdSysInfo"), QString("系统信息..."));
        QCOMPARE(LabelText(&zh, "lblTitle"), QString("Velmora for KV2200M Series"));

        Shell().UILanguage = 1;
        frmAbout en;
        QCOMPARE(en.windowTitle(), QString("About Velmora"));
        QCOMPARE(LabelText(&en, "lblVersion"), QString("Version 00.01.05"));
        QCOMPARE(LabelText(&en, "lblDisclaimer"), QString(" "));
        QCOMPARE(ButtonText(&en, "cmdOK"), QString("OK"));
        QCOMPARE(LabelText(&en, "lblTitle"), QString("Velmora for KV2200M Series"));
    }

    void f2ShowsEngineeringVersionFromAnyControl_data() {
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("english") << 1 << int(Qt::NoModifier);
        QTest::newRow("chinese, shift") << 0 << int(Qt::ShiftModifier);
        QTest::newRow("english, ctrl+alt") << 1 << int(Qt::ControlModifier | Qt::AltModifier);
    }
    void f2ShowsEngineeringVersionFromAnyControl() {
        QFETCH(int, lang);
        QFETCH(int, modifiers);
        Shell().UILanguage = lang;
        frmAbout box;
        box.show();
        auto* ok = box.findChild<QPushButton*>("cmdOK");
        QTest::keyClick(ok, Qt::Key_F3);
        QTest::keyClick(ok, Qt::Key_F2, Qt::KeyboardModifiers(modifiers));
        const QList<ShownMessage> shown = MsgBoxService::Log();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, QString("当前工程模式版本号为：00.01.05.00.00"));
        QCOMPARE(shown[0].title, QString("Velmora"));
        QCOMPARE(shown[0].style, int(vbOKOnly));
        QVERIFY(box.isVisible());
    }

    void missingToolGivesOneMessageInTheUiLanguage() {
        LoadMessages(0);
        frmAbout box;
        box.show();
        QTest::mouseClick(box.findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
        const QList<ShownMessage> shown = MsgBoxService::Log();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, QString("该时刻系统信息不可得到！"));
        QCOMPARE(shown[0].title, QString("Velmora"));
        QVERIFY(box.isVisible());
        LoadMessages(1);
    }

    void foundToolIsStartedOrReportedWhenItFails() {
        QFile tool(bin_.filePath("hardinfo"));
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.write("#!/bin/sh\nexit 0\n");
        tool.close();
        tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QStringList started;
        SysInfoService().Start = [&](const QString& p) {
            started << p;
            return true;
        };
        frmAbout box;
        box.StartSysInfo();
        QCOMPARE(started, QStringList{tool.fileName()});
        QVERIFY(MsgBoxService::Log().isEmpty());

        SysInfoService().Start = [](const QString&) { return false; };
        box.StartSysInfo();
        QCOMPARE(MsgBoxService::Log().size(), 1);
        QCOMPARE(MsgBoxService::Log()[0].text, QString("System Information Is Unavailable At This Time!"));
        tool.remove();
    }
};

QTEST_MAIN(LanguageAboutTest)
#include "tst_language_about.moc"
