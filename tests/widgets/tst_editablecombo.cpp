#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

#include "widgets/EditableCombo.h"

// The editable box is the one setEditable(true) makes: a frameless line edit
// with the box's palette, the chosen item's text in it, a typed text that
// counts once entered, and a list that still opens. It completes nothing: a
// typed "15" stays "15" where the list holds "150%".
class TestEditableCombo : public QObject {
    Q_OBJECT
private slots:
    void behavesAsSetEditable() {
        QComboBox reference, made;
        reference.setEditable(true);
        MakeEditable(&made);
        MakeEditable(&made);  // twice changes nothing
        for (QComboBox* c : {&reference, &made}) {
            c->setInsertPolicy(QComboBox::NoInsert);
            c->addItems({"x1", "x2", "x5", "150%"});
            c->setCurrentIndex(1);
            c->show();
        }
        QVERIFY(made.isEditable());
        QVERIFY(made.lineEdit() && made.lineEdit()->parent() == &made);
        QCOMPARE(made.lineEdit()->hasFrame(), reference.lineEdit()->hasFrame());
        QCOMPARE(made.lineEdit()->palette(), reference.lineEdit()->palette());
        QVERIFY(!made.completer() && !made.lineEdit()->completer());
        QCOMPARE(made.lineEdit()->text(), QString("x2"));

        QList<int> entered;
        for (QComboBox* c : {&reference, &made}) {
            QSignalSpy spy(c->lineEdit(), &QLineEdit::editingFinished);
            c->lineEdit()->setFocus();
            QTest::keyClicks(c->lineEdit(), "7");
            QTest::keyClick(c->lineEdit(), Qt::Key_Return);
            entered << int(spy.count());
            QCOMPARE(c->count(), 4);  // nothing inserted
            QCOMPARE(c->lineEdit()->text(), QString("x27"));
        }
        QVERIFY(entered[1] > 0);
        QCOMPARE(entered[1], entered[0]);
        QApplication::setActiveWindow(&made);
        made.lineEdit()->setFocus();
        QVERIFY(made.lineEdit()->hasFocus());
        made.lineEdit()->clear();
        QTest::keyClicks(made.lineEdit(), "15");
        QTest::keyClick(made.lineEdit(), Qt::Key_Return);
        QCOMPARE(made.lineEdit()->text(), QString("15"));

        made.showPopup();
        QVERIFY(made.view()->isVisible());
        QCOMPARE(made.view()->model()->rowCount(), 4);
        made.hidePopup();
    }
};

QTEST_MAIN(TestEditableCombo)
#include "tst_editablecombo.moc"
