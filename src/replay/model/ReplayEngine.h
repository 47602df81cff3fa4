#pragma once
// The replay of a Record view: transport (play, pause, stop, first, last,
// next, previous, loop), the frame slider, the frame interval with its
// accelerating hold, and the status word. A plain class: the window forwards
// clicks, slider moves and the ticks of its two timers, and mirrors
// Controls() onto its widgets; tests call the same entry points.
//
// The state lives in the view's record (frame, count, state, loop, interval,
// status word); the engine reaches it through a function because a view can
// move to another slot while its window stays.
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

struct RecordInfo;

enum ReplayState : uint8_t { StateReplaying = 0, StatePause = 1, StateStop = 2 };

// Transport buttons, by index.
enum ReplayButton { BtnPlay = 0, BtnPause, BtnStop, BtnFirst, BtnLast, BtnNext, BtnPrev, BtnLoop };

constexpr double DefaultFrameInterval = 0.05;  // seconds
constexpr double MinFrameInterval = 0.001;
constexpr double MaxFrameInterval = 60.0;

// What the window shows of the replay.
struct ReplayControls {
    std::array<bool, 7> TransportEnabled{true, true, true, true, true, true, true};
    // The disabled pictures of Play, Pause and Stop (image numbers): the
    // latched look of the current state's button, the grey one otherwise.
    std::array<int, 3> DisabledPicture{4, 6, 8};
    bool IntervalButtonsEnabled = true;
    bool SliderEnabled = true;
    int SliderMin = 1, SliderMax = 1000, SliderValue = 1;
    bool FrameTimerOn = false;
    int FrameTimerMs = 50;
};

// The status words, by state and language (0 Chinese, 1 English); the open
// prompt is shown while no record is loaded.
QString ReplayStatusWord(int state, int lang);
QString RecordOpenPrompt(int lang);
// The interval's display text (50 ms gives "50.00ms").
QString FrameIntervalText(double seconds);
// The frame timer's interval in whole milliseconds, never below 1.
int FrameTimerInterval(double seconds);
// The hold's step multiplier after this many repeat ticks.
int IntervalHoldMultiplier(int ticks);

class ReplayEngine {
public:
    struct Hooks {
        std::function<void()> DrawFrame;        // draw the current frame
        std::function<void()> StatusChanged;    // the status line must be redrawn
        std::function<void()> ControlsChanged;  // Controls() changed
        std::function<void()> IntervalChanged;  // the interval label must be redrawn
        // The UI language of the status words (0 Chinese, 1 English), asked
        // for at every status change; English while unset.
        std::function<int()> Language;
    };

    explicit ReplayEngine(std::function<RecordInfo*()> record, Hooks hooks = {});

    const ReplayControls& Controls() const { return c_; }
    Hooks& EngineHooks() { return hooks_; }

    // The window's one-shot set-up: the slider, the buttons and the status
    // line take the record's look (no record yet: the open prompt).
    void Setup();
    // A record file was just committed to the record: the buttons are
    // enabled, the slider spans the frames, and the replay starts.
    void RecordLoaded();

    void Click(int button);
    void PlayRecord();
    void RecordReplayPause();
    void StopRecord();
    void FirstFrame();
    void LastFrame();
    void NextFrame();
    void PrevFrame();
    void ToggleLoop();

    // One tick of the frame timer.
    void FrameTick();

    // The slider: its value set by the user; pressed and released.
    void SliderMoved(int value);
    void SliderPressed();
    void SliderReleased();

    // A held interval button (up or down): its press (ticks 0) steps by one
    // step, each repeat tick `ticks` after the press by the hold's
    // multiplier of steps; a step is 0.01 s above 1 s, else 0.001 s, and the
    // interval stays within 0.001..60 s.
    void IntervalHoldStep(bool up, int ticks);
    void DefaultInterval();

    // Sets the state: the buttons, the interval buttons and the frame timer
    // follow it; it is stored in the record.
    void SetRecordReplayStatus(int state);
    // Redraws the status line with the state's word.
    void DispMsg();

private:
    RecordInfo* Rec() const;
    int ClampFrame(int frame);
    // Sets the slider's value (kept within its range); true when it
    // changed, which runs the change handling.
    bool SetSliderValue(int value);
    void SliderChange();
    void EndAtLastFrame();
    void Changed();
    void Draw();
    int Language() const;

    std::function<RecordInfo*()> record_;
    Hooks hooks_;
    ReplayControls c_;
    bool sliderPaused_ = false;
};
