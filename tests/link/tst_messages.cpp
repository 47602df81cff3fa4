// The message table in both languages and its language switch.
#include <QtTest>

#include "TestEnv.h"
#include "link/Messages.h"

Q_DECLARE_METATYPE(QString MessageTableData::*)

class MessagesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::Init(); }

    // Runs first: nothing has loaded the table yet.
    void emptyUntilFirstLoaded() {
        QCOMPARE(MessageTable(), MessageTableData());
        QVERIFY(MessageTable().MsgUsbConnectFail.isEmpty());
        LoadMessages(7);
        QCOMPARE(MessageTable(), MessageTableData());
    }

    void texts_data() {
        QTest::addColumn<QString MessageTableData::*>("entry");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        using M = MessageTableData;
        QTest::newRow("usb connect") << &M::MsgUsbConnectFail << "Can't Connect to USB Device!" << "不能连接USB设备！";
        QTest::newRow("usb send") << &M::MsgTitleUsbSend << "USB Send Message" << "USB传送信息";
        QTest::newRow("usb read") << &M::MsgUsbReadFail << "Can't Read data from USB Device!"
                                  << "不能通过USB设备读取数据！";
        QTest::newRow("plain bang") << &M::MsgBadPortNumber << "Invalid port number!" << "无效端口数!";
        QTest::newRow("plain bang 2") << &M::MsgDeviceNotFound << "Device not found!" << "设备未找到!";
        QTest::newRow("no mark") << &M::MsgOpenSheetFirst << "Please Open or Creat a Data Sheet First!"
                                 << "请首先打开或创建一个数据浏览器";
        QTest::newRow("typo kept") << &M::MsgBadSheetFile << "Data Sheet File Format is Invaild !"
                                   << "数据文件格式无效！";
        QTest::newRow("trailing blank") << &M::MsgSaveSheetChanges << "Save the changes to the Data Sheet File? "
                                        << "是否保存对数据浏览器文件的更改？";
        QTest::newRow("trailing blank 2") << &M::MsgSaveCtrlChanges << "Save the changes to the Control File? "
                                          << "是否保存对控制器文件的更改？";
    }
    void texts() {
        QFETCH(QString MessageTableData::*, entry);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        LoadMessages(LangChinese);
        QCOMPARE(MessageTable().*entry, chinese);
        LoadMessages(LangEnglish);
        QCOMPARE(MessageTable().*entry, english);
    }

    void switchingBackRestoresTheTexts() {
        LoadMessages(LangEnglish);
        const MessageTableData english = MessageTable();
        QCOMPARE(english, MessagesFor(LangEnglish));
        LoadMessages(LangChinese);
        const MessageTableData chinese = MessageTable();
        QCOMPARE(chinese, MessagesFor(LangChinese));
        QVERIFY(chinese != english);
        // A value that is no language keeps the texts in force.
        LoadMessages(2);
        LoadMessages(-1);
        QCOMPARE(MessageTable(), chinese);
        LoadMessages(LangEnglish);
        QCOMPARE(MessageTable(), english);
    }
};

QTEST_MAIN(MessagesTest)
#include "tst_messages.moc"
