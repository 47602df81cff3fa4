#pragma once
// The data sheet: the one open document, a named collection of views of five
// kinds. Each view is a record in a fixed array of records of its kind: plain
// data, reached by (kind, slot). Its window and its node in the data browser
// are kept apart, by the same (kind, slot), in sheets/ (ViewWindows.h,
// SheetTreeBinder.h). A record outlives its window: closing a window keeps
// the view and its data; opening the view again creates a new window in the
// same slot.
//
// Slots: the views of a kind occupy slots 0 to count-1 without gaps, in the
// order they were added. Slots from count upward hold no view; their records
// keep whatever was last written into them until the slot is used again.
//
// A view window carries its slot as its tag (sheets/ViewWindows.h). Every
// procedure of a window that needs its record reads the tag again rather
// than keeping a slot of its own, because removing a view moves the later
// records down (with their windows and nodes) and re-tags their windows.
//
// Booleans are stored in the data sheet file as -1/0; here they are bool.
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

#include "common/SystemData.h"

// The five kinds, in the order of the counts and of the per-kind sections in
// the data sheet file and of the tree images (kind + 3).
enum ViewKind { ViewWave = 0, ViewMeasure = 1, ViewData = 2, ViewRecord = 3, ViewMemoryWave = 4 };
constexpr int ViewKindCount = 5;

// Slots per kind (size of both arrays) and the most views a kind may hold.
constexpr int WaveSlots = 18, MeasureSlots = 18, DataSlots = 18, RecordSlots = 5, MemWaveSlots = 4;
constexpr int MaxWaveViews = 16, MaxMeasureViews = 16, MaxDataViews = 16, MaxRecordViews = 4,
              MaxMemWaveViews = 3;

// Slots 0..8192 of a fetched trace; elements 1..n hold the n samples.
// Assigning one writes only the 4 KB pieces that differ: most of a trace is
// never used and stays zero, and the records live in static storage, where
// writing the same zeros again would have the system copy in page after page
// (a sheet read from a file is committed into the open one by assignment).
struct SampleArray : std::array<int32_t, 8193> {
    SampleArray() = default;
    SampleArray(const SampleArray&) = default;
    SampleArray& operator=(const SampleArray& other);
};
template <>
struct std::tuple_size<SampleArray> : std::tuple_size<std::array<int32_t, 8193>> {};

// ---------------------------------------------------------------------------
// The numbers the waveform view's drawing and cursor readouts take from a Wave
// record's display texts and screen description, derived once wherever those
// are set: `UpdateWaveNumbers` (link/WaveNumbers.h) at a fetch's commit, after
// a sheet read, and by any caller that writes the texts itself. The texts stay
// what is shown and stored; these are never saved. The defaults are the
// numbers of a new record (empty texts, zero scales).
struct WaveNumbers {
    // Volts and seconds as the unit parsers read the texts (a text that reads
    // as none gives 0; a huge one may give an infinity).
    double Ch1Offset = 0, Ch2Offset = 0, Ch1Scale = 0, Ch2Scale = 0;
    double TimeScale = 0, TimeOffset = 0;
    double AltCh1TimeScale = 0, AltCh2TimeScale = 0, AltCh1TimeOffset = 0, AltCh2TimeOffset = 0;
    // The volts/div texts as the cursor readouts read them (with "M", no "n" or "p").
    double Ch1ReadoutScale = 0, Ch2ReadoutScale = 0;
    // The screen description's math and FFT scales as their 7 significant
    // digits read: 0 for a value that is not finite, except FftHzPerDiv,
    // which keeps it.
    double MathScale = 0, FftVrmsPerDiv = 0, FftDbPerDiv = 0, FftHzPerDiv = 0;
};

// ---------------------------------------------------------------------------
// One Wave view: everything the waveform view draws.
struct WaveInfo {
    QString Name;              // text of its tree node, caption of its window
    bool HasData = false;      // holds a fetched picture; nothing is drawn while false
    bool WindowOpen = false;   // set by the window's first tick, cleared when it closes
    bool AutoRefresh = false;  // this view's continuous refresh is running
    QString TriggerMode;       // instrument's trigger-mode word; "ALTERNATION" = two time bases
    SampleArray Ch1Samples{};  // screen units 0..200 from the top of the graticule
    SampleArray Ch2Samples{};
    int32_t PointCount = 0;    // screen points across the waveform area (600 after a fetch)
    bool SpareFlag = false;    // cleared by every fetch; kept for the file
    bool YTFormat = false;     // fetched in the Y-T time-base format
    // Y-T with the scan flag of the system data set, or a format other than
    // Y-T and X-Y; the drawing treats it like YTFormat.
    bool YTVariant = false;
    int16_t SpareValue1 = 0;   // kept for the file only
    int16_t SpareValue2 = 0;   // kept for the file only
    QString Ch1Offset;         // display texts with unit
    QString Ch2Offset;
    QString Ch1Scale;
    QString Ch2Scale;
    QString TimeScale;         // main time base
    QString TimeOffset;        // main horizontal delay
    QString AltCh1TimeScale;   // per-channel time base and delay in ALTERNATION mode
    QString AltCh2TimeScale;
    QString AltCh1TimeOffset;
    QString AltCh2TimeOffset;
    QString FetchDate;         // date of the fetch
    int32_t ChannelCode = 0;   // 0 before the first fetch; 1 CH1, 2 CH2 (2 when both)
    bool ColorDisplay = true;  // colour (true) or black and white
    bool ShowGrid = true;      // dotted division grid
    bool SplitDisplay = false; // screen split into an upper and a lower half
    bool BestFit = true;       // zoom follows the window size
    SampleArray FftSamples{};  // FFT trace (third trace when FftDisplayWord is the ON word)
    bool LaAvailable = false;  // the logic-analyser choice is offered in this view
    SampleArray MathSamples{}; // MATH trace
    SampleArray LaSamples{};   // raw logic-analyser samples (elements 1..2048 kept by the file)
    // Traces the view's check boxes ask for in the next fetch.
    bool Ch1Chosen = false, Ch2Chosen = false, MathChosen = false, LaChosen = false;
    // The choices at the start of the last fetch: the traces the record holds.
    bool Ch1Fetched = false, Ch2Fetched = false, MathFetched = false, LaFetched = false;
    SystemDataRecord SystemData;  // instrument's screen description at the fetch
    bool XYFormat = false;        // fetched in the X-Y format
    QString MathDisplayWord;      // MATH display word at the fetch
    QString FftDisplayWord;       // FFT display word at the fetch
    WaveNumbers Numbers;          // derived from the texts above (not saved)
};

// ---------------------------------------------------------------------------
// One measurement of a Measure view.
struct MeasureItem {
    QString Value;        // display text; "*****" when the instrument gave none
    bool Enable = false;  // the pass/fail judgement uses this item
    double Over = 0;      // upper limit
    double Under = 0;     // lower limit
    QString Result;       // verdict of the last judgement (not saved)
};

// Item order: 0 Vpp, 1 Vmax, 2 Vmin, 3 Vavg, 4 Vtop, 5 Vbase, 6 Vrms,
// 7 Frequency, 8 Rise Time, 9 Fall Time, 10 Period, 11 Pulse Width+,
// 12 Pulse Width-, 13 Vover, 14 Vpre, 15 Vamp, 16 Duty+, 17 Duty-.
constexpr int MeasureItemCount = 18;

// One Measure view.
struct MeasureInfo {
    QString Name;
    bool WindowOpen = false;
    bool HasData = false;      // holds a fetched set of measurements
    bool AutoRefresh = false;
    std::array<MeasureItem, MeasureItemCount> Items{};
    QString Title;             // settings line of the fetch, shown above the values
};

// ---------------------------------------------------------------------------
// One Data view: a numbered table of time and voltage.
struct DataInfo {
    QString Name;
    bool WindowOpen = false;
    bool AutoRefresh = false;
    QStringList VoltTexts;     // entries 0..PointCount (entry 0 exists and is saved)
    QStringList TimeTexts;
    int32_t PointCount = 0;    // table rows, numbered 1..PointCount
    QString Title;             // settings line of the fetch; used by the export
    bool HasData = false;      // holds a fetched table
    QString Channel;           // "CH1", "CH2" or "LA" (not saved)
};

// ---------------------------------------------------------------------------
// One Record view (replay of a waveform record file).
constexpr int RecordFrameSamples = 1024;

struct RecordInfo {
    QString Name;
    QString FilePath;             // empty until a record file is loaded
    bool WindowOpen = false;
    bool DisplayActive = false;   // replay was started on loaded frames
    bool Loaded = false;          // a record file is loaded
    bool BlackBackground = true;  // black scheme, else white
    std::vector<int16_t> Samples; // frames one after another, 1024 each (codes 0..199)
    QString Channel;              // "CH1" or "CH2"
    bool SpareFlag = false;       // kept for the file only
    int16_t StartFrame = 0;       // number of the first frame (1)
    int16_t FrameCount = 0;
    uint8_t ReplayStatus = 0;     // 0 Replaying, 1 Pause, 2 Stop
    int16_t CurrentFrame = 0;     // the frame shown
    bool LoopReplay = true;       // start again after the last frame
    QString TimeScaleText;        // label texts
    QString DelayText;
    QString VoltScaleText;
    QString OffsetText;
    double FrameInterval = 0.05;  // seconds between frames
    QString StatusText;           // word on the status line (not saved)
};

// ---------------------------------------------------------------------------
// One Memory Wave view (viewer of a deep-memory waveform file).
constexpr int MemWaveScreenPoints = 601;  // screen arrays, elements 0..600

// The as-loaded display values that the view's Reset restores, in the order
// of the fields they copy.
struct MemWaveResetCopy {
    float Ch1OffsetVolts = 0, Ch2OffsetVolts = 0, Ch1VoltsPerDiv = 0, Ch2VoltsPerDiv = 0,
          Ch1AcqVoltsPerDiv = 0, Ch2AcqVoltsPerDiv = 0;
    int16_t Ch1AcqOffsetCode = 0, Ch2AcqOffsetCode = 0;
    double LaTimeValue = 0, AcqDelayTime = 0, AltCh1AcqDelayTime = 0, AltCh2AcqDelayTime = 0,
           TimePerDiv = 0, DelayTime = 0, AltCh1TimePerDiv = 0, AltCh2TimePerDiv = 0,
           AltCh1DelayTime = 0, AltCh2DelayTime = 0;
    std::array<int16_t, 16> LaRowY{};  // copy of the 16 logic-analyser row positions
    uint8_t LaSelected = 0;            // copy of the selected logic channel
};

struct MemWaveInfo {
    QString Name;
    QString FilePath;          // empty until a waveform file is loaded
    bool Loaded = false;       // the memory blocks are in the file only when true
    bool WindowOpen = false;
    QString TriggerMode;       // "ALTERNATION" or "EDGE"
    std::vector<int16_t> Ch1Memory, Ch2Memory, LaMemory;  // the whole acquisition memory
    std::array<int16_t, MemWaveScreenPoints> Ch1Screen{}, Ch2Screen{}, LaScreen{};  // not saved
    int32_t ScreenPointCount = 0;  // 600 once a file is loaded
    bool YTFormat = false;         // true once a file is loaded
    float Ch1OffsetVolts = 0, Ch2OffsetVolts = 0;      // as shown
    float Ch1VoltsPerDiv = 0, Ch2VoltsPerDiv = 0;      // as shown
    float Ch1AcqVoltsPerDiv = 0, Ch2AcqVoltsPerDiv = 0;  // at acquisition
    int16_t Ch1AcqOffsetCode = 0, Ch2AcqOffsetCode = 0;  // screen units, 25 per division
    float SampleRate = 0, AltCh1SampleRate = 0, AltCh2SampleRate = 0;  // samples per second
    // Seconds. LaTimeValue at most 200 ns selects 200 MSa/s for the
    // logic-analyser window; Alt* values belong to ALTERNATION mode.
    double LaTimeValue = 0, AcqDelayTime = 0, AltCh1AcqDelayTime = 0, AltCh2AcqDelayTime = 0;
    double TimePerDiv = 0, DelayTime = 0, AltCh1TimePerDiv = 0, AltCh2TimePerDiv = 0,
           AltCh1DelayTime = 0, AltCh2DelayTime = 0;
    bool BlackBackground = true, ShowGrid = true, SplitDisplay = false, SpareFlag2 = false;
    bool HasCh1 = false, HasCh2 = false, HasMath = false, HasLa = false;  // blocks the file holds
    bool SpareCh1Flag = false, SpareCh2Flag = false, SpareMathFlag = false, SpareLaFlag = false;
    bool XYFormat = false;         // X-Y layout when YTFormat is false and this is true
    SystemDataRecord ScreenData;   // pixel limits and logic-analyser rows
    int32_t MemoryPointCount = 0, AltCh1PointCount = 0, AltCh2PointCount = 0;
    QString SpareText;             // kept for the file only
    QString StateWord;             // "OFF" once a file is loaded
    // Visible memory window of each analogue channel (not saved).
    int32_t Ch1Start = 0, Ch1End = 0, Ch2Start = 0, Ch2End = 0;
    int16_t Ch1ZoomFirst = 0, Ch1ZoomLast = 0, Ch2ZoomFirst = 0, Ch2ZoomLast = 0;
    MemWaveResetCopy ResetCopy;
    // Visible window of the logic-analyser memory (not saved).
    int32_t LaStart = 0, LaEnd = 0;
    int16_t LaZoomFirst = 0, LaZoomLast = 0;
};

// ---------------------------------------------------------------------------
// The module-level state of the data sheet. Several megabytes: a scratch copy
// (e.g. while reading a file) belongs on the heap, not on the stack.
struct SheetModelData {
    QString SheetName;          // the sheet node's text; first item of the file after the header
    QString SheetFileName;      // empty while the sheet was never saved
    bool SheetModified = false; // changed since created, opened or saved
    bool SheetInitDone = false; // the data browser has built its root and first sheet node

    // The sheet node is in the data browser's tree (kept by the tree binder).
    bool SheetOpen = false;

    // Records, one per slot.
    std::array<WaveInfo, WaveSlots> WaveViews{};
    std::array<MeasureInfo, MeasureSlots> MeasureViews{};
    std::array<DataInfo, DataSlots> DataViews{};
    std::array<RecordInfo, RecordSlots> RecordViews{};
    std::array<MemWaveInfo, MemWaveSlots> MemWaveViews{};

    int16_t WaveCount = 0;
    int16_t MeasureCount = 0;
    int16_t DataCount = 0;
    int16_t RecordCount = 0;
    int16_t MemWaveCount = 0;
};

SheetModelData& Sheets();

// ---------------------------------------------------------------------------
// Per-kind facts and lookups.
int SlotCount(ViewKind kind);            // 18, 18, 18, 5, 4
int MaxViewCount(ViewKind kind);         // 16, 16, 16, 4, 3
int16_t& ViewCount(ViewKind kind);       // the kind's count in Sheets()
bool SlotInRange(ViewKind kind, int slot);

// Returns a slot's record to the state of a new view of its kind, keeping
// WindowOpen (the window owns it). Used before a view takes a slot, so data a
// removed view left there can never show up in the new one.
void ResetViewRecord(ViewKind kind, int slot);

// Clears, in every slot, what the main window clears when it loads: the
// continuous-refresh flags, the chosen and fetched traces of the Wave views
// and the channel word of the Data views.
void ClearViewRefreshState();

// Moves the records of slots slot+1 .. count-1 down one slot each (the view
// in slot is removed) and lowers the count. The last slot keeps its record
// until it is used again. Nothing happens for a slot outside 0 .. count-1.
void MoveViewRecordsDown(ViewKind kind, int slot);

