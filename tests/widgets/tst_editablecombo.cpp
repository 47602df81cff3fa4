#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

#include "widgets/EditableCombo.h"

// The editable box is the one setEditable(true) makes: a frameless line edit
// with the box's palette and a completer, the chosen item's text in it, a
// typed text that counts once entered, and a list that still opens.
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
            c->addItems({"x1", "x2", "x5"});
            c->setCurrentIndex(1);
            c->show();
        }
        QVERIFY(made.isEditable());
        QVERIFY(made.lineEdit() && made.lineEdit()->parent() == &made);
        QCOMPARE(made.lineEdit()->hasFrame(), reference.lineEdit()->hasFrame());
        QCOMPARE(made.lineEdit()->palette(), reference.lineEdit()->palette());
        QCOMPARE(bool(made.completer()), bool(reference.completer()));
        QCOMPARE(made.lineEdit()->text(), QString("x2"));

        QList<int> entered;
        for (QComboBox* c : {&reference, &made}) {
            QSignalSpy spy(c->lineEdit(), &QLineEdit::editingFinished);
            c->lineEdit()->setFocus();
            QTest::keyClicks(c->lineEdit(), "7");
            QTest::keyClick(c->lineEdit(), Qt::Key_Return);
            entered << int(spy.count());
            QCOMPARE(c->count(), 3);  // nothing inserted
            QCOMPARE(c->lineEdit()->text(), QString("x27"));
        }
        QVERIFY(entered[1] > 0);
        QCOMPARE(entered[1], entered[0]);

        made.showPopup();
        QVERIFY(made.view()->isVisible());
        QCOMPARE(made.view()->model()->rowCount(), 3);
        made.hidePopup();
    }
};

QTEST_MAIN(TestEditableCombo)
#include "tst_editablecombo.moc"
