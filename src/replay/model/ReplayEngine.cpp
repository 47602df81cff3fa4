#include "replay/model/ReplayEngine.h"

#include <cmath>
#include <limits>

#include "common/SheetModel.h"
#include "common/LanguageId.h"
#include "link/Formatters.h"

QString ReplayStatusWord(int state, int lang) {
    static const char* const zh[] = {"正在回放", "暂停", "停止"};
    static const char* const en[] = {"Replaying", "Pause", "Stop"};
    if (state < 0 || state > 2) return QString();
    return lang == LangChinese ? QString::fromUtf8(zh[state]) : QString::fromLatin1(en[state]);
}

QString RecordOpenPrompt(int lang) {
    return lang == LangChinese ? QString::fromUtf8("请打开波形录制文件。")
                               : QStringLiteral("Please open the waveform record file.");
}

QString FrameIntervalText(double seconds) { return FormatTime4(QString::number(seconds, 'g', 15)); }

int FrameTimerInterval(double seconds) {
    if (!(seconds > 0)) return 1;
    const double ms = std::nearbyint(qMin(seconds, MaxFrameInterval) * 1000.0);
    return qMax(1, int(ms));
}

int IntervalHoldMultiplier(int ticks) {
    if (ticks <= 5) return 0;
    if (ticks <= 10) return 2;
    if (ticks <= 15) return 5;
    if (ticks <= 20) return 10;
    if (ticks <= 50) return 20;
    return 50;
}

ReplayEngine::ReplayEngine(std::function<RecordInfo*()> record, Hooks hooks)
    : record_(std::move(record)), hooks_(std::move(hooks)) {}

RecordInfo* ReplayEngine::Rec() const { return record_ ? record_() : nullptr; }

void ReplayEngine::Changed() {
    if (hooks_.ControlsChanged) hooks_.ControlsChanged();
}

void ReplayEngine::Draw() {
    if (hooks_.DrawFrame) hooks_.DrawFrame();
}

int ReplayEngine::Language() const { return hooks_.Language ? hooks_.Language() : LangEnglish; }

void ReplayEngine::DispMsg() {
    RecordInfo* r = Rec();
    if (!r) return;
    r->StatusText = ReplayStatusWord(r->ReplayStatus, Language());
    if (hooks_.StatusChanged) hooks_.StatusChanged();
}

void ReplayEngine::Setup() {
    RecordInfo* r = Rec();
    if (!r) return;
    if (!r->DisplayActive && !r->Loaded) {
        for (bool& e : c_.TransportEnabled) e = false;
        c_.SliderEnabled = false;
        c_.SliderValue = qBound(c_.SliderMin, 1, c_.SliderMax);
        r->StatusText = RecordOpenPrompt(Language());
        if (hooks_.StatusChanged) hooks_.StatusChanged();
    }
    if (r->DisplayActive) {
        if (r->FrameCount > 1) {
            c_.SliderEnabled = true;
            c_.SliderMax = r->FrameCount;
            c_.SliderMin = 1;
            c_.SliderValue = qBound(1, int(r->CurrentFrame), int(r->FrameCount));
        } else {
            c_.SliderEnabled = false;
            c_.SliderValue = qBound(c_.SliderMin, 1, c_.SliderMax);
        }
        // The button of the state is latched; the frame timer is not touched.
        switch (r->ReplayStatus) {
        case StateReplaying:
            c_.DisabledPicture[0] = 3;
            c_.TransportEnabled[0] = false;
            c_.IntervalButtonsEnabled = false;
            break;
        case StatePause:
            c_.DisabledPicture[1] = 5;
            c_.TransportEnabled[1] = false;
            c_.IntervalButtonsEnabled = true;
            break;
        case StateStop:
            c_.DisabledPicture[2] = 7;
            c_.TransportEnabled[2] = false;
            c_.IntervalButtonsEnabled = true;
            break;
        default: break;
        }
    }
    Changed();
}

void ReplayEngine::RecordLoaded() {
    RecordInfo* r = Rec();
    if (!r) return;
    if (r->FrameCount == 1) {
        c_.SliderEnabled = false;
        Changed();
        SetSliderValue(1);
    } else {
        c_.SliderEnabled = true;
        c_.SliderMax = qMax<int>(r->FrameCount, 1);
        c_.SliderMin = 1;
        c_.SliderValue = qBound(c_.SliderMin, c_.SliderValue, c_.SliderMax);
        Changed();
        SetSliderValue(r->StartFrame);
    }
    for (bool& e : c_.TransportEnabled) e = true;  // the loop button keeps its state
    Changed();
    PlayRecord();
}

void ReplayEngine::SetRecordReplayStatus(int state) {
    RecordInfo* r = Rec();
    if (!r) return;
    const int old = r->ReplayStatus;
    if (old >= 0 && old <= 2) {
        c_.DisabledPicture[size_t(old)] = 4 + 2 * old;
        c_.TransportEnabled[size_t(old)] = true;
    }
    if (state >= 0 && state <= 2) {
        c_.DisabledPicture[size_t(state)] = 3 + 2 * state;
        c_.TransportEnabled[size_t(state)] = false;
        c_.IntervalButtonsEnabled = state != StateReplaying;
        c_.FrameTimerOn = state == StateReplaying;
    }
    r->ReplayStatus = uint8_t(state);
    Changed();
}

int ReplayEngine::ClampFrame(int frame) {
    RecordInfo* r = Rec();
    const int count = qMax<int>(r->FrameCount, 1);
    if (frame < 1) frame = 1;
    else if (frame > count) frame = r->LoopReplay ? 1 : count;
    DispMsg();
    return frame;
}

bool ReplayEngine::SetSliderValue(int value) {
    value = qBound(c_.SliderMin, value, c_.SliderMax);
    if (value == c_.SliderValue) return false;
    c_.SliderValue = value;
    Changed();
    SliderChange();
    return true;
}

void ReplayEngine::SliderChange() {
    RecordInfo* r = Rec();
    if (!r) return;
    if (c_.SliderValue != r->CurrentFrame) {
        r->CurrentFrame = int16_t(c_.SliderValue);
        r->CurrentFrame = int16_t(ClampFrame(r->CurrentFrame));
    }
    if (r->DisplayActive) Draw();
    EndAtLastFrame();
}

// Without loop the replay ends on the last frame, in the state Pause.
void ReplayEngine::EndAtLastFrame() {
    RecordInfo* r = Rec();
    if (r->CurrentFrame == r->FrameCount && !r->LoopReplay) {
        SetRecordReplayStatus(StatePause);
        DispMsg();
    }
}

void ReplayEngine::Click(int button) {
    switch (button) {
    case BtnPlay: PlayRecord(); break;
    case BtnPause: RecordReplayPause(); break;
    case BtnStop: StopRecord(); break;
    case BtnFirst: FirstFrame(); break;
    case BtnLast: LastFrame(); break;
    case BtnNext: NextFrame(); break;
    case BtnPrev: PrevFrame(); break;
    case BtnLoop: ToggleLoop(); break;
    default: break;
    }
}

void ReplayEngine::PlayRecord() {
    RecordInfo* r = Rec();
    if (!r || !r->Loaded) return;
    if (r->CurrentFrame == r->FrameCount && !r->LoopReplay) {
        // Back to the first frame, the slider with it (without its change
        // handling: the frame is drawn below). A slider left on the last
        // frame would not move at the next tick, and that frame would never
        // be drawn while the counter shows it.
        r->CurrentFrame = 1;
        c_.SliderValue = qBound(c_.SliderMin, 1, c_.SliderMax);
    }
    SetRecordReplayStatus(StateReplaying);
    c_.FrameTimerMs = FrameTimerInterval(r->FrameInterval);
    r->Loaded = true;
    r->DisplayActive = true;
    Draw();
    c_.FrameTimerOn = true;
    Changed();
    DispMsg();
}

void ReplayEngine::RecordReplayPause() {
    c_.FrameTimerOn = false;
    SetRecordReplayStatus(StatePause);
    DispMsg();
}

void ReplayEngine::StopRecord() {
    RecordInfo* r = Rec();
    if (!r) return;
    c_.FrameTimerOn = false;
    Changed();
    r->CurrentFrame = 1;
    SetSliderValue(1);
    SetRecordReplayStatus(StateStop);
    DispMsg();
}

void ReplayEngine::FirstFrame() {
    RecordInfo* r = Rec();
    if (!r) return;
    r->CurrentFrame = r->StartFrame;
    r->CurrentFrame = int16_t(ClampFrame(r->CurrentFrame));
    SetSliderValue(r->CurrentFrame);
}

void ReplayEngine::LastFrame() {
    RecordInfo* r = Rec();
    if (!r) return;
    r->CurrentFrame = r->FrameCount;
    r->CurrentFrame = int16_t(ClampFrame(r->CurrentFrame));
    SetSliderValue(r->CurrentFrame);
}

void ReplayEngine::NextFrame() {
    RecordInfo* r = Rec();
    if (!r) return;
    c_.FrameTimerOn = false;
    Changed();
    r->CurrentFrame = int16_t(ClampFrame(r->CurrentFrame + 1));
    SetSliderValue(r->CurrentFrame);
    if (r->ReplayStatus == StateReplaying) SetRecordReplayStatus(StatePause);
    DispMsg();
}

void ReplayEngine::PrevFrame() {
    RecordInfo* r = Rec();
    if (!r) return;
    c_.FrameTimerOn = false;
    Changed();
    r->CurrentFrame = int16_t(ClampFrame(r->CurrentFrame - 1));
    SetSliderValue(r->CurrentFrame);
    if (r->ReplayStatus == StateReplaying) SetRecordReplayStatus(StatePause);
    DispMsg();
}

void ReplayEngine::ToggleLoop() {
    RecordInfo* r = Rec();
    if (!r) return;
    r->LoopReplay = !r->LoopReplay;
    Changed();
}

void ReplayEngine::FrameTick() {
    RecordInfo* r = Rec();
    if (!r) return;
    r->CurrentFrame = int16_t(qMin<int>(r->CurrentFrame + 1, std::numeric_limits<int16_t>::max()));
    r->CurrentFrame = int16_t(ClampFrame(r->CurrentFrame));
    // When the slider already stands there (a single frame), no change runs:
    // the end of a replay without loop is still checked here.
    if (!SetSliderValue(r->CurrentFrame) && r->ReplayStatus == StateReplaying) EndAtLastFrame();
}

void ReplayEngine::SliderMoved(int value) { SetSliderValue(value); }

void ReplayEngine::SliderPressed() {
    RecordInfo* r = Rec();
    if (r && r->ReplayStatus == StateReplaying) {
        RecordReplayPause();
        sliderPaused_ = true;
    } else {
        sliderPaused_ = false;
    }
}

void ReplayEngine::SliderReleased() {
    if (sliderPaused_) PlayRecord();
}

void ReplayEngine::IntervalHoldStep(bool up, int ticks) {
    RecordInfo* r = Rec();
    if (!r) return;
    double& v = r->FrameInterval;
    if (!std::isfinite(v)) v = DefaultFrameInterval;
    const double step = v > 1.0 ? 0.01 : 0.001;
    const int m = ticks <= 0 ? 1 : IntervalHoldMultiplier(ticks);
    v = qBound(MinFrameInterval, v + (up ? 1 : -1) * m * step, MaxFrameInterval);
    if (hooks_.IntervalChanged) hooks_.IntervalChanged();
}

void ReplayEngine::DefaultInterval() {
    RecordInfo* r = Rec();
    if (!r) return;
    r->FrameInterval = DefaultFrameInterval;
    if (hooks_.IntervalChanged) hooks_.IntervalChanged();
}
