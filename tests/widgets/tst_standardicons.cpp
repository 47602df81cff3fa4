#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QtTest>

#include "widgets/StandardIcons.h"

// A standard icon made when first drawn is the style's icon: the same
// sizes, the same pictures at every size and scale, drawn the same way.
class TestStandardIcons : public QObject {
    Q_OBJECT
private slots:
    void sameAsTheStyles_data() {
        QTest::addColumn<int>("kind");
        for (QStyle::StandardPixmap k :
             {QStyle::SP_BrowserReload, QStyle::SP_MediaStop, QStyle::SP_MediaPlay, QStyle::SP_FileIcon,
              QStyle::SP_DirIcon, QStyle::SP_FileLinkIcon, QStyle::SP_DialogSaveButton,
              QStyle::SP_DialogOpenButton, QStyle::SP_FileDialogContentsView,
              QStyle::SP_FileDialogDetailedView, QStyle::SP_ComputerIcon, QStyle::SP_DesktopIcon})
            QTest::newRow(qPrintable(QString::number(int(k)))) << int(k);
    }
    void sameAsTheStyles() {
        QFETCH(int, kind);
        const auto k = QStyle::StandardPixmap(kind);
        const QIcon style = QApplication::style()->standardIcon(k);
        const QIcon lazy = StandardIcon(k);
        QVERIFY(!style.isNull());
        QVERIFY(!lazy.isNull());
        QCOMPARE(lazy.availableSizes(), style.availableSizes());
        for (int side : {16, 20, 32}) {
            QCOMPARE(lazy.actualSize(QSize(side, side)), style.actualSize(QSize(side, side)));
            QCOMPARE(lazy.pixmap(side).toImage(), style.pixmap(side).toImage());
            QCOMPARE(lazy.pixmap(QSize(side, side), 2.0).toImage(), style.pixmap(QSize(side, side), 2.0).toImage());
            QCOMPARE(lazy.pixmap(side, QIcon::Disabled).toImage(), style.pixmap(side, QIcon::Disabled).toImage());
        }
        QImage drawnLazy(24, 24, QImage::Format_ARGB32_Premultiplied), drawnStyle = drawnLazy;
        drawnLazy.fill(Qt::white);
        drawnStyle.fill(Qt::white);
        {
            QPainter p(&drawnLazy);
            lazy.paint(&p, QRect(2, 2, 20, 20));
        }
        {
            QPainter p(&drawnStyle);
            style.paint(&p, QRect(2, 2, 20, 20));
        }
        QCOMPARE(drawnLazy, drawnStyle);
        // One icon per kind, shared by every caller.
        QCOMPARE(StandardIcon(k).cacheKey(), lazy.cacheKey());
    }
};

QTEST_MAIN(TestStandardIcons)
#include "tst_standardicons.moc"
