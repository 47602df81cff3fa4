#include <QGuiApplication>
#include <QtTest>

#include "platform/mouse/MouseControl.h"

class MouseControlTest : public QObject {
    Q_OBJECT
private slots:
    void pointerShapeIsHeldUntilTheDefault() {
        QVERIFY(MouseControl::SetCursor(MouseControl::PointerHourglass));
        QCOMPARE(MouseControl::Cursor(), 11);
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QVERIFY(MouseControl::SetCursor(MouseControl::PointerSizeWE));
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::SizeHorCursor);
        // A code outside 16 bits is refused and changes nothing.
        QVERIFY(!MouseControl::SetCursor(40000));
        QVERIFY(!MouseControl::SetCursor(-40000));
        QCOMPARE(MouseControl::Cursor(), 9);
        QVERIFY(MouseControl::SetCursor(MouseControl::PointerDefault));
        QCOMPARE(MouseControl::Cursor(), 0);
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

QTEST_MAIN(MouseControlTest)
#include "tst_mousecontrol.moc"
