// The key pad and the virtual panel against a fake command port: what each
// key sends, the held keys' repeat and how it stops, Esc, the logic-analyser
// key, the screen copy painted only when whole, zoom, and closing when the
// link drops.
#include <QtTest>

#include <QAbstractButton>
#include <QGroupBox>
#include <QPainter>
#include <QTimer>

#include "FakeCommandPort.h"
#include "LinkFixture.h"
#include "TestEnv.h"
#include "link/LinkEvents.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/ScreenCopyState.h"
#include "panel/PanelKeyBoard.h"
#include "panel/frmV_Key.h"
#include "panel/frmV_Panel.h"
#include "panel/model/PanelKeys.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/print/PrintDocs.h"
#include "shell/Language.h"
#include "widgets/HoldRepeat.h"
#include "widgets/OnScreen.h"

namespace {
// An identity whose 26th character marks the colour model, and one that does not.
const QString kColourIdn = "TARVO TECHNOLOGIES,KV2202C,SN1,V1\n";
const QString kMonoIdn = "TARVO TECHNOLOGIES,KV2202E,SN1,V1\n";

std::vector<uint8_t> screenWith(uint8_t index, int x, int y) {
    std::vector<uint8_t> s(74880, 0);
    s[size_t(y * 320 + x)] = index;
    return s;
}
FakeCommandPort::Chunk image(const std::vector<uint8_t>& s) {
    return {ScreenChunkRead::Received, FakeCommandPort::ScreenReply(s)};
}

bool isMain() { return BuildPanelBrand() == PanelBrand::Main; }
}  // namespace

class PanelWindowsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<FakeCommandPort> port;

    // The available area of the screen the windows open on.
    static QRect screenArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    QAbstractButton* key(PanelKeyBoard* keys, const char* control) {
        QAbstractButton* b = keys->Key(control);
        if (!b) qFatal("no key %s", control);
        return b;
    }

public:
    // The windows are tried on the smallest screen they are made for: under
    // the offscreen platform a 1024 x 768 one, set through its configuration
    // file (read when the application starts).
    static void initMain() { TestEnv::UseOffscreenScreen(1024, 768); }

private slots:
    void initTestCase() {
        TestEnv::Init();
        LoadMessages(LangEnglish);
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            QCOMPARE(screenArea(), QRect(0, 0, 1024, 768));
    }
    void init() {
        port = std::make_unique<FakeCommandPort>();
        port->replies.insert("*IDN?", kColourIdn);
        Link().IsConnected = true;
        Link().LinkOpen = true;
        Link().CommandSent = false;
        SetLinkLAPresent(false);
        MsgBoxService::ClearLog();
    }
    void cleanup() { port.reset(); }

    // Every one-shot key sends its own command once; only the panel's keys
    // mark a command as sent (a screen read they disturb is excused).
    void clickSendsTheKeysCommand_data() {
        QTest::addColumn<bool>("second");
        QTest::addColumn<bool>("inPanel");
        QTest::newRow("main key pad") << false << false;
        QTest::newRow("main panel") << false << true;
        QTest::newRow("second key pad") << true << false;
        QTest::newRow("second panel") << true << true;
    }
    void clickSendsTheKeysCommand() {
        QFETCH(bool, second);
        QFETCH(bool, inPanel);
        SetLinkLAPresent(true);
        const std::vector<PanelKey>& table = second ? SecondBrandKeys() : MainBrandKeys();
        PanelKeyBoard keys(inPanel, table, second ? SecondBrandRules() : MainBrandRules());
        for (const PanelKey& k : table) {
            if (k.action != KeyAction::Click) continue;
            port->sent.clear();
            Link().CommandSent = false;
            QTest::mouseClick(key(&keys, k.control), Qt::LeftButton);
            QCOMPARE(port->sent, QStringList{k.command});
            QCOMPARE(Link().CommandSent, inPanel);
        }
    }

    // The second brand's held key: nothing at the press, the bare command at
    // every 100 ms tick and once more on the click; the space bar clicks once.
    void secondBrandHeldKey() {
        PanelKeyBoard keys(true, SecondBrandKeys(), SecondBrandRules());
        keys.show();
        HoldRepeat& hold = keys.Hold();
        QCOMPARE(hold.Timer()->isActive(), false);
        QAbstractButton* b = key(&keys, "VK_H_Pos_Dec");
        QTest::mousePress(b, Qt::LeftButton);
        QVERIFY(port->sent.isEmpty());
        QCOMPARE(hold.Timer()->interval(), 100);
        hold.Tick();
        hold.Tick();
        QTest::mouseRelease(b, Qt::LeftButton);
        QCOMPARE(port->sent, QStringList(3, ":KEY:H_POS_INC"));
        QVERIFY(Link().CommandSent);  // in the panel
        port->sent.clear();
        b->setFocus();
        QTest::keyClick(b, Qt::Key_Space);
        QCOMPARE(port->sent, QStringList{":KEY:H_POS_INC"});
        QVERIFY(!hold.Held());
    }

    void heldKeyRepeatsAndStops() {
        if (!isMain()) QSKIP("the accelerating repeat is the main brand's");
        frmV_Key pad;
        pad.show();
        HoldRepeat& hold = pad.Keys()->Hold();
        QAbstractButton* b = key(pad.Keys(), "VK_H_Pos_Dec");
        QTest::mousePress(b, Qt::LeftButton);
        QVERIFY(hold.Held());
        for (int i = 0; i < 6; ++i) hold.Tick();
        QTest::mouseRelease(b, Qt::LeftButton);
        QVERIFY(!hold.Held());
        hold.Tick();
        QCOMPARE(port->sent, (QStringList{":KEY:H_POS_INC 0", ":KEY:H_POS_INC 0", ":KEY:H_POS_INC 0",
                                          ":KEY:H_POS_INC 0", ":KEY:H_POS_INC 0", ":KEY:H_POS_INC 0",
                                          ":KEY:H_POS_INC 2"}));
        QVERIFY(Link().CommandSent);  // the repeat ticks mark it, in the key pad too

        // The space bar on the focused held key sends nothing.
        port->sent.clear();
        b->setFocus();
        QTest::keyClick(b, Qt::Key_Space);
        QVERIFY(port->sent.isEmpty());
        QVERIFY(!hold.Held());

        // A release that never arrives: the next tick finds the key up and stops.
        QTest::mousePress(key(pad.Keys(), "VK_V_Pos_Inc"), Qt::LeftButton);
        key(pad.Keys(), "VK_V_Pos_Inc")->setDown(false);
        hold.Tick();
        QVERIFY(!hold.Held());
        QCOMPARE(port->sent, QStringList{":KEY:V_POS_INC 0"});

        // Leaving the key stops it; so does closing the window.
        QTest::mousePress(b, Qt::LeftButton);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(b, &leave);
        QVERIFY(!hold.Held());
        QTest::mousePress(b, Qt::LeftButton);
        pad.close();
        QVERIFY(!hold.Held());
    }

    void escClosesTheKeyPad() {
        frmV_Key pad;
        pad.show();
        QCOMPARE(frmV_Key::VirtualKeyShown(), isMain());
        QAbstractButton* b = key(pad.Keys(), "VK_Run");
        b->setFocus();
        QTest::keyClick(b, Qt::Key_Escape);
        QVERIFY(!pad.isVisible());
        QVERIFY(!frmV_Key::VirtualKeyShown());
        QVERIFY(port->sent.isEmpty());
    }

    void laKeyFollowsTheInstrument() {
        frmV_Key pad;
        QAbstractButton* la = key(pad.Keys(), "VK_La");
        QVERIFY(!la->isVisibleTo(&pad) && !la->isEnabled());
        SetLinkLAPresent(true);
        // The main brand's key follows; the second brand's keeps its state.
        QCOMPARE(la->isVisibleTo(&pad), isMain());
        QCOMPARE(la->isEnabled(), isMain());
    }

    // Colour and monochrome frames decoded at known pixels; a short or failed
    // copy leaves the last picture.
    void frameIsPaintedOnlyWhenWhole() {
        frmV_Panel panel;
        port->screenChunks = {image(screenWith(2, 100, 50))};
        panel.DrawBulkWave();
        QCOMPARE(panel.Picture().size(), QSize(320, 234));
        QCOMPARE(panel.Picture().pixel(100, 50), qRgb(255, 255, 0));
        QCOMPARE(panel.Picture().pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(port->sent, (QStringList{":HARDCOPY", "*IDN?"}));

        port->replies.insert("*IDN?", kMonoIdn);
        port->screenChunks = {image(screenWith(3, 7, 8))};
        panel.DrawBulkWave();
        QCOMPARE(panel.Picture().pixel(7, 8), qRgb(255, 255, 255));
        QCOMPARE(panel.Picture().pixel(100, 50), qRgb(0, 0, 0));
        const QImage last = panel.Picture();

        // A key pressed during the read ends it with what came: not painted.
        port->sent.clear();
        port->screenChunks = {{ScreenChunkRead::Failed, FakeCommandPort::ScreenReply(screenWith(5, 1, 1))}};
        port->duringScreenRead = [&] { QTest::mouseClick(key(panel.Keys(), "VK_Run"), Qt::LeftButton); };
        panel.DrawBulkWave();
        QCOMPARE(panel.Picture(), last);
        QCOMPARE(port->sent, (QStringList{":HARDCOPY", ":KEY:RUN"}));
        QVERIFY(MsgBoxService::Log().isEmpty());
        QVERIFY(Link().IsConnected);

        // Stop pressed during a read: the image that came is not painted.
        port->screenChunks = {image(screenWith(5, 1, 1))};
        port->duringScreenRead = [&] { panel.cmdStop_Click(); };
        panel.DrawBulkWave();
        QCOMPARE(panel.Picture(), last);
    }

    // Preview and print take the painted picture (a blank one while empty),
    // release the other viewers' documents, and the panel's document goes
    // when it closes.
    void previewAndPrintThePicture() {
        auto panel = std::make_unique<frmV_Panel>();
        const auto other = std::make_shared<PrintPreviewDoc>();
        PrintDocs().WavePrintDoc = other;
        QList<QRectF> placed;
        QList<QImage> pictures;
        auto take = [&](const PrintPreviewDoc& d) {
            placed << d.Pages()[0].pictures[0].inches;
            pictures << d.Pages()[0].pictures[0].picture.convertToFormat(QImage::Format_RGB32);
        };
        PrintService::SetPreviewAnswerer(take);
        PrintService::SetPrintAnswerer([&](const PrintPreviewDoc& d, QString*) {
            take(d);
            return true;
        });
        panel->cmdPreview_Click();
        QCOMPARE(pictures[0].size(), QSize(320, 234));
        QCOMPARE(pictures[0].pixel(100, 50), qRgb(0, 0, 0));
        port->screenChunks = {image(screenWith(2, 100, 50))};
        panel->DrawBulkWave();
        panel->cmdPrint_Click();
        QCOMPARE(pictures[1].pixel(100, 50), qRgb(255, 255, 0));
        QCOMPARE(placed, (QList<QRectF>{{0.6, 2.0, 7.28, 5.2}, {1.1, 2.0, 7.28, 5.2}}));
        QCOMPARE(other.use_count(), 1L);
        QVERIFY(PrintDocs().SparePrintDoc);
        panel->reject();
        QVERIFY(!PrintDocs().SparePrintDoc);
        QVERIFY(MsgBoxService::Log().isEmpty());
        PrintService::SetPreviewAnswerer(nullptr);
        PrintService::SetPrintAnswerer(nullptr);
    }

    // The shell's caption tables reach the panel's controls by name; the
    // knob keys' names for screen readers follow the language too.
    void captionsInBothLanguages_data() {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("run");
        QTest::addColumn<QString>("zoom");
        QTest::addColumn<QString>("keyPad");
        QTest::addColumn<QString>("levelDown");
        QTest::newRow("Chinese") << 0 << "虚拟面板" << "运行  " << " 缩放  " << "虚拟键盘" << QString("触发电平 \u2212");
        QTest::newRow("English") << 1 << "Virtual Panel" << "Run" << "Zoom" << "Virtual Keyboard"
                                 << QString("Trigger Level \u2212");
    }
    void captionsInBothLanguages() {
        QFETCH(int, lang);
        QFETCH(QString, title);
        QFETCH(QString, run);
        QFETCH(QString, zoom);
        QFETCH(QString, keyPad);
        QFETCH(QString, levelDown);
        frmV_Panel panel;
        frmV_Key pad;
        // Switched from the other language.
        SetVirtualPanelCaptions(&panel, 1 - lang);
        SetVirtualKeyCaptions(&pad, 1 - lang);
        SetVirtualPanelCaptions(&panel, lang);
        SetVirtualKeyCaptions(&pad, lang);
        QCOMPARE(panel.windowTitle(), title);
        QCOMPARE(panel.findChild<QAbstractButton*>("cmdRun")->text(), run);
        if (auto* z = panel.findChild<QAbstractButton*>("cmdZoom")) QCOMPARE(z->text(), zoom);
        QCOMPARE(pad.windowTitle(), keyPad);
        for (PanelKeyBoard* keys : {panel.Keys(), pad.Keys()}) {
            QCOMPARE(key(keys, "VK_Trig_Lvl_Dec")->accessibleName(), levelDown);
            // Every knob key has a name of its own.
            QSet<QString> names;
            for (const PanelKnob& k : PanelKnobs())
                for (const char* control : {k.dec, k.push, k.inc}) names << key(keys, control)->accessibleName();
            QCOMPARE(names.size(), int(PanelKnobs().size()) * 3);
        }
    }

    // The panel fits a 1024 x 768 screen at both sizes, every key inside the
    // window and its frame, none covering another key, the picture or the
    // tool strip. Opened where there is no room for it, and grown by Zoom
    // from the corner of a panel centred at single size, it is moved onto
    // the screen, frame included, every key on it.
    void panelFitsTheScreen_data() {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<QSize>("size");
        QTest::newRow("single size") << 0 << QSize(769, 349);
        if (isMain()) QTest::newRow("double size") << 1 << QSize(945, 583);
    }
    void panelFitsTheScreen() {
        QFETCH(int, zoom);
        QFETCH(QSize, size);
        SetLinkLAPresent(true);
        const QRect screen = screenArea();
        frmV_Panel panel;
        panel.move(screen.bottomRight() - QPoint(300, 100));
        panel.show();  // lays the frames out; the copy's start tick never comes
        QVERIFY(screen.contains(panel.frameGeometry()));
        panel.move(screen.topLeft() + QPoint(117, 207));
        if (zoom == 1) panel.cmdZoom_Click();
        QCOMPARE(panel.size(), size);
        QVERIFY(screen.contains(panel.frameGeometry()));
        auto inPanel = [&](const QWidget* w) { return QRect(w->mapTo(&panel, QPoint(0, 0)), w->size()); };
        const QRect picture = inPanel(panel.findChild<QWidget*>(isMain() ? "PanelWavePic" : "WavePic"));
        QVERIFY(picture.width() >= 320 << zoom && picture.height() >= 234 << zoom);
        QVERIFY(panel.rect().contains(picture));
        const QRect strip = inPanel(panel.findChild<QWidget*>("Frame1"));
        QList<QRect> placed{picture, strip};
        for (const PanelKey& k : PanelKeyCommands()) {
            const QAbstractButton* b = key(panel.Keys(), k.control);
            const QRect r = inPanel(b);
            QVERIFY2(b->isVisible() && r.width() >= 12 && r.height() >= 12, k.control);
            QVERIFY2(panel.rect().contains(r), k.control);
            QVERIFY2(b->parentWidget()->rect().contains(b->geometry()), k.control);
            QVERIFY2(screen.contains(QRect(b->mapToGlobal(QPoint(0, 0)), b->size())), k.control);
            for (const QRect& other : placed) QVERIFY2(!r.intersects(other), k.control);
            placed << r;
        }
        panel.reject();
    }

    // Opened, or grown by Zoom, where there is no room for it, the window is
    // moved onto the screen; once its frame is known (here at once) and has
    // stayed on the screen for a moment, its placement is done and a move is
    // the user's: dragged partly past the screen's edge, the window stays
    // there, also after the time in which a window manager's late answer
    // would be waited for.
    void windowStaysWhereTheUserMovesIt_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("panel opened") << "panel";
        if (isMain()) QTest::newRow("panel zoomed") << "zoom";
        QTest::newRow("key pad opened") << "key pad";
    }
    void windowStaysWhereTheUserMovesIt() {
        QFETCH(QString, window);
        const QRect screen = screenArea();
        std::unique_ptr<QDialog> w;
        if (window == "key pad")
            w = std::make_unique<frmV_Key>();
        else
            w = std::make_unique<frmV_Panel>();
        const QPoint noRoom = screen.bottomRight() - QPoint(300, 100);
        w->move(window == "zoom" ? screen.bottomRight() - QPoint(780, 360) : noRoom);
        w->show();
        if (auto* copy = w->findChild<QTimer*>("tDrawBmp")) copy->stop();  // no screen copy
        if (window == "zoom") {
            QVERIFY(screen.contains(w->frameGeometry()));
            static_cast<frmV_Panel*>(w.get())->cmdZoom_Click();
        }
        QVERIFY2(screen.contains(w->frameGeometry()), "placed");
        QTRY_VERIFY(!PlacingOnScreen(w.get()));
        QVERIFY(screen.contains(w->frameGeometry()));
        const QPoint dragged = screen.bottomRight() - QPoint(200, 150);
        w->move(dragged);
        QCOMPARE(w->pos(), dragged);
        QTest::qWait(1200);
        QVERIFY(w->isVisible());
        QCOMPARE(w->pos(), dragged);
        w->reject();
    }

    // The key pad of either brand fits a 1024 x 768 screen, every key inside
    // its frame, none covering another; opened where there is no room for
    // it, the pad is moved onto the screen, frame included, every key on it.
    void keyPadFitsTheScreen_data() {
        QTest::addColumn<bool>("second");
        QTest::newRow("main brand") << false;
        QTest::newRow("second brand") << true;
    }
    void keyPadFitsTheScreen() {
        QFETCH(bool, second);
        SetLinkLAPresent(true);
        const QRect screen = screenArea();
        const std::vector<PanelKey>& table = second ? SecondBrandKeys() : MainBrandKeys();
        // The built brand's pad as it opens; the other brand's keys as a window of their own.
        std::unique_ptr<QWidget> window;
        PanelKeyBoard* keys = nullptr;
        if (second == isMain()) {
            window = std::make_unique<PanelKeyBoard>(false, table, second ? SecondBrandRules() : MainBrandRules());
            keys = static_cast<PanelKeyBoard*>(window.get());
        } else {
            auto pad = std::make_unique<frmV_Key>();
            keys = pad->Keys();
            window = std::move(pad);
            window->move(screen.bottomRight() - QPoint(500, 200));
        }
        window->show();
        QVERIFY(window->frameGeometry().width() <= screen.width());
        QVERIFY(window->frameGeometry().height() <= screen.height());
        if (keys != window.get()) QVERIFY(screen.contains(window->frameGeometry()));
        QList<QRect> placed;
        for (const PanelKey& k : table) {
            const QAbstractButton* b = key(keys, k.control);
            const QRect r(b->mapTo(window.get(), QPoint(0, 0)), b->size());
            QVERIFY2(b->isVisible() && window->rect().contains(r), k.control);
            QVERIFY2(b->parentWidget()->rect().contains(b->geometry()), k.control);
            const QRect onScreen(b->mapToGlobal(QPoint(0, 0)), b->size());
            if (keys != window.get()) QVERIFY2(screen.contains(onScreen), k.control);
            for (const QRect& other : placed) QVERIFY2(!r.intersects(other), k.control);
            placed << r;
        }
    }

    // Every key's legend in the panel of either brand, at its normal size,
    // can be read and shows whole: each line is drawn (the key drawn with
    // that line alone in its place, and with no legend) with at least 7
    // pixels of ink from top to bottom where it holds a letter or a digit,
    // and with as much ink as the line drawn alone, unclipped, in the key's
    // type, inside the key's edges.
    void everyLegendReadableAndWhole_data() {
        QTest::addColumn<bool>("second");
        QTest::addColumn<int>("twoLineKeys");
        QTest::newRow("main brand") << false << 0;
        // MENU ON/OFF, Auto Setup, Save /Recall, Manual Trigger
        QTest::newRow("second brand") << true << 4;
    }
    void everyLegendReadableAndWhole() {
        QFETCH(bool, second);
        QFETCH(int, twoLineKeys);
        auto inkOf = [](const QImage& a, const QImage& b) {
            QRect ink;
            for (int y = 0; y < a.height(); ++y)
                for (int x = 0; x < a.width(); ++x)
                    if (a.pixel(x, y) != b.pixel(x, y)) ink |= QRect(x, y, 1, 1);
            return ink;
        };
        SetLinkLAPresent(true);
        frmV_Panel panel(nullptr, second ? PanelBrand::Second : PanelBrand::Main);
        panel.show();
        panel.findChild<QTimer*>("tDrawBmp")->stop();  // no screen copy
        int twoLines = 0;
        for (const PanelKey& k : second ? SecondBrandKeys() : MainBrandKeys()) {
            QAbstractButton* b = key(panel.Keys(), k.control);
            QVERIFY2(b->isVisible(), k.control);
            const QString legend = b->text();
            const QStringList lines = legend.split('\n');
            twoLines += lines.size() == 2;
            b->setText(QString());
            const QImage blank = b->grab().toImage();
            for (int i = 0; i < lines.size(); ++i) {
                QStringList only(lines.size(), QStringLiteral(" "));
                only[i] = lines[i];
                b->setText(only.join('\n'));
                const QRect ink = inkOf(b->grab().toImage(), blank);
                // The line alone, unclipped, in the key's type.
                QImage alone(300, 100, QImage::Format_RGB32), white(alone.size(), QImage::Format_RGB32);
                alone.fill(Qt::white);
                white.fill(Qt::white);
                {
                    QPainter p(&alone);
                    p.setFont(b->font());
                    p.drawText(alone.rect(), Qt::AlignCenter, lines[i]);
                }
                const QRect aloneInk = inkOf(alone, white);
                const QString what = QString("%1, line %2: ink %3 x %4 at (%5,%6) in a %7 x %8 key, alone %9 x %10")
                                         .arg(k.control).arg(i + 1).arg(ink.width()).arg(ink.height())
                                         .arg(ink.x()).arg(ink.y()).arg(b->width()).arg(b->height())
                                         .arg(aloneInk.width()).arg(aloneInk.height());
                QVERIFY2(!ink.isEmpty() && b->rect().adjusted(1, 1, -1, -1).contains(ink), qPrintable(what));
                QVERIFY2(ink.height() == aloneInk.height() && std::abs(ink.width() - aloneInk.width()) <= 1,
                         qPrintable(what));
                if (lines[i].contains(QRegularExpression("[A-Za-z0-9]")))
                    QVERIFY2(ink.height() >= 7, qPrintable(what));
            }
            b->setText(legend);
        }
        QCOMPARE(twoLines, twoLineKeys);
        panel.reject();
    }

    void zoomDoublesThePicture() {
        if (!isMain()) QSKIP("the second brand's panel has no zoom");
        frmV_Panel panel;
        port->screenChunks = {image(screenWith(2, 100, 50)), image(screenWith(2, 100, 50))};
        panel.DrawBulkWave();
        panel.cmdZoom_Click();
        QVERIFY(panel.Picture().isNull());  // empty until the next frame
        panel.DrawBulkWave();
        QCOMPARE(panel.Picture().size(), QSize(640, 468));
        QCOMPARE(panel.Picture().pixel(201, 101), qRgb(255, 255, 0));
        panel.cmdZoom_Click();
        QCOMPARE(panel.PanelZoom(), 0);
    }

    // The loop runs from the start tick; Stop during a read ends it and keeps
    // the picture, Run goes on, and the panel closes when the link drops.
    void liveLoopStopsRestartsAndClosesOnLinkLoss() {
        frmV_Panel panel;
        QSignalSpy finished(&panel, &QDialog::finished);
        port->screenChunks = {image(screenWith(2, 10, 10)),
                              {ScreenChunkRead::Received, "part"},  // ended by the stop
                              image(screenWith(3, 10, 10))};
        QList<bool> runEnabled;
        port->duringScreenRead = [&] {
            switch (port->screenReads) {
            case 1:
                runEnabled << panel.findChild<QAbstractButton*>("cmdRun")->isEnabled();
                break;
            case 2:  // Stop during the second read, then Run
                panel.cmdStop_Click();
                QTimer::singleShot(0, &panel, [&] { panel.cmdRun_Click(); });
                break;
            case 3:  // the link drops during the third read
                SetLinkConnected(false);
                break;
            }
        };
        panel.show();
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(runEnabled, QList<bool>{false});
        QCOMPARE(port->screenReads, 3);
        // The frame read while closing was not painted; the last one painted stays.
        QCOMPARE(panel.Picture().pixel(10, 10), qRgb(255, 255, 0));
        QVERIFY(!ScreenCopy().ScreenCopyOpen && !ScreenCopy().ScreenCopyRunning);
        QVERIFY(!frmV_Panel::VirtualPanelShown());
    }
};

QTEST_MAIN(PanelWindowsTest)
#include "tst_panelwindows.moc"
