// The replay engine, driven as the window drives it: clicks, frame ticks,
// slider moves and the interval buttons' repeat ticks.
#include <QtTest>

#include "common/SheetModel.h"
#include "common/LanguageId.h"
#include "replay/model/ReplayEngine.h"

namespace {

struct Rig {
    RecordInfo r;
    QList<int> drawn;  // frames drawn, in order
    int controls = 0;
    ReplayEngine e{[this] { return &r; }};
    explicit Rig(int frames, bool loop = true) {
        r.Loaded = true;
        r.StartFrame = 1;
        r.FrameCount = int16_t(frames);
        r.CurrentFrame = 1;
        r.LoopReplay = loop;
        r.Samples.assign(size_t(frames) * RecordFrameSamples, 0);
        e.EngineHooks().DrawFrame = [this] { drawn << r.CurrentFrame; };
        e.EngineHooks().ControlsChanged = [this] { ++controls; };
        e.Setup();
        e.RecordLoaded();
    }
    // Ticks the frame timer while it runs, at most n times.
    void Run(int n) {
        for (int i = 0; i < n && e.Controls().FrameTimerOn; ++i) e.FrameTick();
    }
    bool Latched(int button) const {
        return !e.Controls().TransportEnabled[size_t(button)] &&
               e.Controls().DisabledPicture[size_t(button)] == 3 + 2 * button;
    }
};

}  // namespace

class ReplayEngineTest : public QObject {
    Q_OBJECT
private slots:
    void loadStartsTheReplayAtFrameOne() {
        Rig g(5);
        QCOMPARE(g.r.ReplayStatus, uint8_t(StateReplaying));
        QVERIFY(g.r.DisplayActive);
        QVERIFY(g.Latched(BtnPlay));
        QVERIFY(g.e.Controls().FrameTimerOn);
        QCOMPARE(g.e.Controls().FrameTimerMs, 50);
        QVERIFY(!g.e.Controls().IntervalButtonsEnabled);
        QCOMPARE(QList<int>({g.e.Controls().SliderMin, g.e.Controls().SliderMax, g.e.Controls().SliderValue}),
                 QList<int>({1, 5, 1}));
        QVERIFY(g.e.Controls().SliderEnabled);
        QCOMPARE(g.drawn, QList<int>({1}));
        QCOMPARE(g.r.StatusText, QString("Replaying"));
    }

    void withoutLoopTheReplayEndsPausedOnTheLastFrame() {
        Rig g(3, false);
        g.Run(10);
        QCOMPARE(g.drawn, QList<int>({1, 2, 3}));
        QCOMPARE(g.r.ReplayStatus, uint8_t(StatePause));
        QCOMPARE(g.r.StatusText, QString("Pause"));
        QVERIFY(g.Latched(BtnPause));
        QVERIFY(g.e.Controls().TransportEnabled[BtnPlay]);
        QVERIFY(!g.e.Controls().FrameTimerOn);
        g.e.Click(BtnPlay);  // again from frame 1
        QCOMPARE(g.r.CurrentFrame, int16_t(1));
        QCOMPARE(g.r.ReplayStatus, uint8_t(StateReplaying));
    }

    // Play after a replay without loop ended goes back to frame 1, the
    // slider with it: with two frames the next tick must still draw frame 2,
    // so that the frame on the picture is always the one the counter shows.
    void playAfterTheEndDrawsWhatTheCounterShows() {
        Rig g(2, false);
        g.Run(5);
        QCOMPARE(g.r.ReplayStatus, uint8_t(StatePause));
        g.e.Click(BtnPlay);
        QCOMPARE(g.e.Controls().SliderValue, 1);
        g.Run(5);
        QCOMPARE(g.drawn, QList<int>({1, 2, 1, 2}));
        QCOMPARE(g.r.ReplayStatus, uint8_t(StatePause));
        QCOMPARE(g.r.CurrentFrame, int16_t(2));
    }

    void withLoopTheFramesGoRound() {
        Rig g(3, true);
        g.Run(5);
        QCOMPARE(g.drawn, QList<int>({1, 2, 3, 1, 2, 3}));
        QCOMPARE(g.r.ReplayStatus, uint8_t(StateReplaying));
    }

    // A record of one frame: with loop off the replay ends at once, paused,
    // instead of ticking forever; with loop on it goes on.
    void singleFrame() {
        Rig off(1, false);
        QVERIFY(!off.e.Controls().SliderEnabled);
        off.Run(3);
        QCOMPARE(off.r.ReplayStatus, uint8_t(StatePause));
        QVERIFY(!off.e.Controls().FrameTimerOn);
        Rig on(1, true);
        on.Run(3);
        QCOMPARE(on.r.ReplayStatus, uint8_t(StateReplaying));
        QCOMPARE(on.r.CurrentFrame, int16_t(1));
    }

    // From a state at a frame, one button: the state and frame after it.
    void transportButtons_data() {
        QTest::addColumn<int>("state");  // reached by Play/Pause/Stop first
        QTest::addColumn<int>("frame");
        QTest::addColumn<bool>("loop");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("toState");
        QTest::addColumn<int>("toFrame");
        QTest::newRow("pause keeps the frame") << 0 << 3 << true << int(BtnPause) << 1 << 3;
        QTest::newRow("stop goes to 1") << 0 << 3 << true << int(BtnStop) << 2 << 1;
        QTest::newRow("play from the last frame, no loop") << 1 << 5 << false << int(BtnPlay) << 0 << 1;
        QTest::newRow("play from the last frame, loop") << 1 << 5 << true << int(BtnPlay) << 0 << 5;
        QTest::newRow("next while replaying pauses") << 0 << 2 << true << int(BtnNext) << 1 << 3;
        QTest::newRow("previous while replaying pauses") << 0 << 2 << true << int(BtnPrev) << 1 << 1;
        QTest::newRow("next on the last, no loop") << 1 << 5 << false << int(BtnNext) << 1 << 5;
        QTest::newRow("next on the last, loop") << 1 << 5 << true << int(BtnNext) << 1 << 1;
        QTest::newRow("previous on 1, loop") << 1 << 1 << true << int(BtnPrev) << 1 << 1;
        QTest::newRow("stop then next stays stopped") << 2 << 1 << true << int(BtnNext) << 2 << 2;
        QTest::newRow("first keeps replaying") << 0 << 4 << true << int(BtnFirst) << 0 << 1;
        QTest::newRow("last while paused") << 1 << 2 << true << int(BtnLast) << 1 << 5;
        QTest::newRow("last while replaying, no loop, ends") << 0 << 2 << false << int(BtnLast) << 1 << 5;
        QTest::newRow("loop changes no state") << 0 << 2 << true << int(BtnLoop) << 0 << 2;
    }
    void transportButtons() {
        QFETCH(int, state);
        QFETCH(int, frame);
        QFETCH(bool, loop);
        QFETCH(int, button);
        QFETCH(int, toState);
        QFETCH(int, toFrame);
        Rig g(5, loop);
        g.e.SliderMoved(frame);
        g.e.Click(state);  // Play, Pause or Stop
        if (state == StateStop) {
            g.r.CurrentFrame = int16_t(frame);
            g.e.SliderMoved(frame);
        }
        QCOMPARE(int(g.r.CurrentFrame), frame);
        g.e.Click(button);
        QCOMPARE(int(g.r.ReplayStatus), toState);
        QCOMPARE(int(g.r.CurrentFrame), toFrame);
        QCOMPARE(g.e.Controls().SliderValue, toFrame);
        QVERIFY(g.Latched(toState));
        QCOMPARE(g.e.Controls().FrameTimerOn, toState == StateReplaying);
        QCOMPARE(g.e.Controls().IntervalButtonsEnabled, toState != StateReplaying);
        for (int b = 0; b < 3; ++b)
            if (b != toState) QVERIFY(g.e.Controls().TransportEnabled[size_t(b)]);
        QCOMPARE(g.r.StatusText, ReplayStatusWord(toState, LangEnglish));
        if (button == BtnLoop) QVERIFY(!g.r.LoopReplay);
    }

    // Pressing the slider pauses a replay; releasing resumes from the frame
    // let go (from 1 when that is the last frame without loop).
    void sliderDragDuringReplay() {
        Rig g(5, false);
        g.e.SliderPressed();
        QCOMPARE(g.r.ReplayStatus, uint8_t(StatePause));
        g.e.SliderMoved(3);
        g.e.SliderReleased();
        QCOMPARE(g.r.ReplayStatus, uint8_t(StateReplaying));
        QCOMPARE(g.r.CurrentFrame, int16_t(3));

        g.e.SliderPressed();
        g.e.SliderMoved(5);  // the last frame without loop: the change ends the replay
        g.e.SliderReleased();
        QCOMPARE(g.r.ReplayStatus, uint8_t(StateReplaying));
        QCOMPARE(g.r.CurrentFrame, int16_t(1));

        g.e.Click(BtnPause);
        g.e.SliderPressed();  // not replaying: the release does not start it
        g.e.SliderMoved(2);
        g.e.SliderReleased();
        QCOMPARE(g.r.ReplayStatus, uint8_t(StatePause));
    }

    void heldIntervalButtonAccelerates() {
        Rig g(2);
        g.e.Click(BtnPause);
        g.r.FrameInterval = 0.05;
        g.e.IntervalHoldStep(true, 0);  // the press
        QVERIFY(qFuzzyCompare(g.r.FrameInterval, 0.051));
        QList<double> steps;
        double before = g.r.FrameInterval;
        int tick = 0;
        const auto hold = [&] {
            g.e.IntervalHoldStep(true, ++tick);
            steps << std::round((g.r.FrameInterval - before) * 1e6) / 1e6;
            before = g.r.FrameInterval;
        };
        for (int i = 0; i < 51; ++i) hold();
        QCOMPARE(steps.mid(0, 5), QList<double>(5, 0.0));  // nothing in the first half second
        QCOMPARE(steps.mid(5, 5), QList<double>(5, 0.002));
        QCOMPARE(steps[10], 0.005);
        QCOMPARE(steps[15], 0.010);
        QCOMPARE(steps[20], 0.020);
        QCOMPARE(steps[50], 0.050);
        while (g.r.FrameInterval <= 1.0) hold();
        hold();
        QCOMPARE(steps.last(), 0.5);  // above 1 s, steps of 0.01 s
        for (int i = 0; i < 300; ++i) hold();
        QCOMPARE(g.r.FrameInterval, MaxFrameInterval);

        g.r.FrameInterval = 0.001;
        g.e.IntervalHoldStep(false, 0);
        QCOMPARE(g.r.FrameInterval, MinFrameInterval);
        g.e.DefaultInterval();
        QCOMPARE(g.r.FrameInterval, DefaultFrameInterval);
        g.r.FrameInterval = 0.25;
        g.e.Click(BtnPlay);  // the new interval takes effect at the next play
        QCOMPARE(g.e.Controls().FrameTimerMs, 250);
        QCOMPARE(FrameIntervalText(0.05), QString("50.00ms"));
    }

    void setupOfAWindow() {
        // No record yet: nothing to press, the open prompt.
        RecordInfo r;
        ReplayEngine e([&] { return &r; });
        e.EngineHooks().Language = [] { return int(LangChinese); };
        e.Setup();
        for (bool enabled : e.Controls().TransportEnabled) QVERIFY(!enabled);
        QVERIFY(!e.Controls().SliderEnabled);
        QCOMPARE(r.StatusText, QString::fromUtf8("请打开波形录制文件。"));
        e.PlayRecord();  // nothing to play
        QVERIFY(!r.DisplayActive);

        // A view paused at frame 3 of 5, window opened again.
        RecordInfo v;
        v.Loaded = v.DisplayActive = true;
        v.FrameCount = 5;
        v.CurrentFrame = 3;
        v.ReplayStatus = StatePause;
        ReplayEngine f([&] { return &v; });
        f.Setup();
        QCOMPARE(QList<int>({f.Controls().SliderMin, f.Controls().SliderMax, f.Controls().SliderValue}),
                 QList<int>({1, 5, 3}));
        QVERIFY(!f.Controls().TransportEnabled[BtnPause]);
        QCOMPARE(f.Controls().DisabledPicture[BtnPause], 5);
        QVERIFY(f.Controls().TransportEnabled[BtnPlay]);
    }
};

QTEST_GUILESS_MAIN(ReplayEngineTest)
#include "tst_replayengine.moc"
