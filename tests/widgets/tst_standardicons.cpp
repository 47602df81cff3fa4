#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
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
        // Measured in a small box before it is made, as the made icon measures.
        QCOMPARE(lazy.actualSize(QSize(10, 12)), style.actualSize(QSize(10, 12)));
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

    // The application's style hands out the same icons, made from the base
    // style when first drawn or measured (the tool bar's overflow arrow is
    // not square).
    void styleIconsAreTheBaseStyles() {
        const QList<QStyle::StandardPixmap> kinds = {
            QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_TitleBarCloseButton,
            QStyle::SP_TitleBarMinButton, QStyle::SP_ComputerIcon, QStyle::SP_DirIcon, QStyle::SP_MediaPlay,
            QStyle::SP_DesktopIcon, QStyle::SP_FileLinkIcon, QStyle::SP_FileIcon, QStyle::SP_BrowserReload};
        IconCachingStyle caching;
        QStyle* base = caching.baseStyle();
        for (QStyle::StandardPixmap k : kinds) {
            const QIcon real = base->standardIcon(k);
            for (QSize box : {QSize(16, 16), QSize(10, 12), QSize(16, 9), QSize(0, 0)}) {
                IconCachingStyle fresh;  // its icons not made yet
                QCOMPARE(fresh.standardIcon(k).actualSize(box), real.actualSize(box));
            }
            const QIcon icon = caching.standardIcon(k);
            QCOMPARE(icon.cacheKey(), caching.standardIcon(k).cacheKey());
            QCOMPARE(icon.availableSizes(), real.availableSizes());
            QCOMPARE(icon.actualSize(QSize(64, 64)), real.actualSize(QSize(64, 64)));
            QCOMPARE(icon.pixmap(16).toImage(), real.pixmap(16).toImage());
            QVERIFY(!icon.isNull());
        }
        // The overflow arrow as a tool bar asks for it, pointing either way.
        for (Qt::LayoutDirection way : {Qt::LeftToRight, Qt::RightToLeft}) {
            QStyleOptionToolBar option;
            option.direction = way;
            option.features = QStyleOptionToolBar::Movable;
            for (QStyle::StandardPixmap k :
                 {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
                const QIcon icon = caching.standardIcon(k, &option);
                const QIcon real = base->standardIcon(k, &option);
                QCOMPARE(icon.actualSize(QSize(16, 16)), real.actualSize(QSize(16, 16)));
                QCOMPARE(icon.pixmap(16).toImage(), real.pixmap(16).toImage());
            }
        }
        const QIcon left = caching.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, nullptr);
        QStyleOptionToolBar rightToLeft;
        rightToLeft.direction = Qt::RightToLeft;
        QVERIFY(caching.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, &rightToLeft).cacheKey() !=
                left.cacheKey());
    }
};

QTEST_MAIN(TestStandardIcons)
#include "tst_standardicons.moc"
