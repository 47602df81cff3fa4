// The message table in both languages and its language switch.
#include <QRegularExpression>
#include <QtTest>

#include "TestEnv.h"
#include "link/Messages.h"

Q_DECLARE_METATYPE(QString MessageTableData::*)
Q_DECLARE_METATYPE(CountedMessage MessageTableData::*)

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
        QTest::newRow("link closed")
            << &M::MsgLinkClosed
            << "The link to the oscilloscope was closed. To connect again, choose Tools > Connect to Oscilloscope."
            << "与示波器的连接已关闭。如需重新连接，请选择“工具 > 连接示波器”。";
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

    // A link dropped for a failure: the transport's text first, the closed
    // line after it.
    void droppedLinkText() {
        LoadMessages(LangEnglish);
        QCOMPARE(LinkDroppedText(MessageTable().MsgRs232SendFail),
                 QString("Can't Send data to RS232 Port!\nThe link to the oscilloscope was closed. To connect "
                         "again, choose Tools > Connect to Oscilloscope."));
    }

    // Every message that names rows reads right for one row and for
    // several, in both languages: the English one-row form speaks of one
    // ("this", "It", "its level"), the other of several; the Chinese one-row
    // form has no plural pronoun.
    void countedMessagesForOneAndSeveral_data() {
        QTest::addColumn<CountedMessage MessageTableData::*>("entry");
        using M = MessageTableData;
        QTest::newRow("reply levels not known") << &M::MsgReplyLevelsNotKnown;
        QTest::newRow("upload levels not known") << &M::MsgUploadLevelsNotKnown;
        QTest::newRow("file levels not known") << &M::MsgCtrlLevelsNotKnown;
        QTest::newRow("upload file levels not known") << &M::MsgUploadFileLevelsNotKnown;
        QTest::newRow("upload levels unanswered") << &M::MsgUploadLevelsUnanswered;
        QTest::newRow("file values unknown") << &M::MsgCtrlValuesUnknown;
        QTest::newRow("upload unknown values") << &M::MsgUploadUnknownValues;
    }
    void countedMessagesForOneAndSeveral() {
        QFETCH(CountedMessage MessageTableData::*, entry);
        const QRegularExpression several("\\b(these|They|them|their|levels)\\b");
        const QRegularExpression one("\\b(this|It|it|its level)\\b");
        LoadMessages(LangEnglish);
        const CountedMessage& en = MessageTable().*entry;
        const QString oneRow = en.Naming({"A ▸ Level"});
        const QString twoRows = en.Naming({"A ▸ Level", "B ▸ Level"});
        QVERIFY2(oneRow.contains("\nA ▸ Level") && !oneRow.contains(several), qPrintable(oneRow));
        QVERIFY2(twoRows.contains("\nA ▸ Level\nB ▸ Level") && twoRows.contains(several) &&
                     !twoRows.section('\n', 0, 0).contains(one),
                 qPrintable(twoRows));
        QCOMPARE(en.Naming({"A", "B", "C"}), en.several.arg("A\nB\nC"));
        LoadMessages(LangChinese);
        const CountedMessage& zh = MessageTable().*entry;
        for (const QString& pronoun : {QString::fromUtf8("它们"), QString::fromUtf8("这些")})
            QVERIFY2(!zh.Naming({"A"}).contains(pronoun), qPrintable(zh.one));
        QVERIFY(zh.Naming({"A", "B"}).contains("A\nB"));
        LoadMessages(LangEnglish);
    }

    // The Upload's levels left out for their replies, as the user reads them.
    void levelsUnansweredReadsRight() {
        LoadMessages(LangEnglish);
        const CountedMessage& en = MessageTable().MsgUploadLevelsUnanswered;
        QCOMPARE(en.Naming({"Trigger ▸ EDGE ▸ Level"}),
                 QString("Upload incomplete: the oscilloscope's replies this trigger level is computed from did not "
                         "come or could not be read. It was not sent, so the oscilloscope keeps its level:\n"
                         "Trigger ▸ EDGE ▸ Level"));
        QCOMPARE(en.Naming({"CH1 ▸ Level", "CH2 ▸ Level"}),
                 QString("Upload incomplete: the oscilloscope's replies these trigger levels are computed from did "
                         "not come or could not be read. They were not sent, so the oscilloscope keeps its levels:\n"
                         "CH1 ▸ Level\nCH2 ▸ Level"));
        LoadMessages(LangChinese);
        QCOMPARE(MessageTable().MsgUploadLevelsUnanswered.Naming({"A"}),
                 QString::fromUtf8("上传未完成：计算以下触发电平所需的示波器应答未到或无法读取。它未被发送，示波器保持其电平：\nA"));
        LoadMessages(LangEnglish);
    }

    // A controller file a line too many or short: "the line" for one, "the
    // first of the lines" for several.
    void linesTooManyOrMissing() {
        LoadMessages(LangEnglish);
        const MessageTableData& m = MessageTable();
        QVERIFY(m.MsgCtrlLinesExtra.For(1).endsWith("the line too many is there or before it."));
        QVERIFY(m.MsgCtrlLinesExtra.For(3).endsWith("the first of the lines too many is there or before it."));
        QVERIFY(m.MsgCtrlLinesMissing.For(1).endsWith("the missing line is there or before it."));
        QVERIFY(m.MsgCtrlLinesMissing.For(2).endsWith("the first of the missing lines is there or before it."));
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
