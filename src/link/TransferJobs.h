#pragma once
// Transfer request, progress values and the bulk jobs run by the transfer
// window (shell/frmPrgress): measurements, data tables, waveform views, and the
// upload and download of all settings (through hooks the controller sets).
//
// The jobs are plain procedures: the window only arms them, runs the one of
// TransferCode in its first tick and closes itself. Tests call them directly.
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "common/SheetModel.h"
#include "common/SystemData.h"

enum TransferJob {
    JobNone = 0,
    JobMeasureCH1 = 1,
    JobMeasureCH2 = 2,
    JobDataCH1 = 3,
    JobDataCH2 = 4,
    JobDataLA = 5,
    JobWaveView = 6,
    JobUpload = 22,
    JobDownload = 23,
};

constexpr int DataTableSize = 17001;  // elements 0..17000

struct TransferStateData {
    // The request.
    int TransferCode = JobNone;
    int TransferSlot = 0;
    bool TransferDone = false;
    bool TransferBusy = false;
    // The last job did not finish: a reply did not come whole or was not the
    // number or word asked for. The user has been told, its results are
    // cleared, a waveform view's record is left as it was (RunTransfer then
    // returns false). The upload and download hooks
    // may set it for their own failures.
    bool TransferFailed = false;

    // Progress: the window's bar (0..ProgressMax, refuses values above it),
    // the amount each progress tick adds, the waveform view's percentage.
    double ProgressValue = 0;
    double ProgressMax = 100;
    int ProgressStep = 0;
    int WavePercent = 0;
    double WavePercentCap = 0;
    // The progress timer of the window (Timer2): enabled flag and interval.
    bool ProgressTimerOn = false;
    int ProgressTimerInterval = 1;

    // Results of the measurement job. A reply that is neither a number, a
    // bound ("<" or ">" before a number) nor the instrument's "*" mark leaves
    // its item's text "*****" (never judged a pass); the other items are kept.
    std::array<MeasureItem, 18> MeasureResults{};
    // How many of the measurements the last measurement job asked for got
    // such an unusable reply (0 after a job that did not finish).
    int MeasureUnread = 0;
    // Header line of the last measurement or data-table job.
    QString DataTitle;
    // Results of the data-table job: entries 1..DataPointCount.
    int DataPointCount = 0;
    std::vector<QString> DataTimeText = std::vector<QString>(DataTableSize);
    std::vector<QString> DataVoltText = std::vector<QString>(DataTableSize);
};

TransferStateData& Transfer();

// What the transfer needs of higher layers; each is set by its owner when it
// loads. The upload and download hooks are required by their jobs (a missing
// one is reported through RequireHook); the others are optional.
struct TransferHooks {
    std::function<void()> UploadSettings;    // job 22 (controller)
    std::function<void()> DownloadSettings;  // job 23 (controller)
    // Hides the progress picture of the waveform view in a slot (after job 6).
    std::function<void(int slot)> HideWaveProgress;
    // The window's bar follows ProgressValue (repainted at once).
    std::function<void()> RepaintProgress;
    // Required by RunTransfer (set by the transfer window): loads the window
    // with the caption, which sets TransferBusy and arms the job; shows it.
    std::function<void(const QString& caption)> LoadTransferWindow;
    std::function<void()> ShowTransferWindow;
};

TransferHooks& TransferUi();

// The caller's side of a transfer: refuses (false) while a transfer runs;
// otherwise loads the window with the caption, sets the code (and, for job 6,
// the slot), clears TransferDone, calls beforeShow, shows the window unless
// it is to stay hidden, and waits, yielding, until the job is done. Returns
// false also when the job did not finish (TransferFailed): its results are
// then cleared and are not to be shown as fetched.
bool RunTransfer(int code, const QString& caption, bool showWindow, int slot = 0,
                 const std::function<void()>& beforeShow = {});

// --- progress ---------------------------------------------------------------
// Sets the bar; a value outside 0..ProgressMax is refused (the bar keeps its value).
void SetProgress(double value);
void AddProgress(double step);
// Switches the progress timer (Timer2) on or off, and sets its interval.
void SetProgressTimer(bool on);
void SetProgressTimerInterval(int ms);
// One tick of the progress timer: advances the bar and, during job 6, the
// waveform view's percentage (never above the cap of the trace being read
// nor above 100).
void ProgressTimerTick();
// Shows WavePercent in the waveform view of the slot.
void ShowWavePercentOf(int slot);

// --- jobs -------------------------------------------------------------------
// Reads the 116-byte system-data record into Link().SystemDataBuf (cleared
// first). False when no whole record came.
bool ReadSystemData();
void FetchMeasurements(const QString& channel);
void FetchDataTable(const QString& channel);
void FetchWaveView(const QString& unused);
// Runs the job of a code (nothing for an unset or unknown code); for job 6
// it then hides the waveform view's progress picture.
void RunTransferJob(int code);
// The body of the window's first tick: trigger status, the job, pause 200 ms,
// TransferDone set, TransferBusy cleared (the window then unloads itself).
// A job stops at the first reply that did not come whole or does not parse
// (the trigger status included, while connected, for the data jobs; the
// settings transfers 22 and 23 report their own failures): the user gets the
// transport's read message, the link counts as disconnected, the job's
// results are cleared and TransferFailed is set.
void TransferJobTick();

// --- pure helpers, shared by the jobs (exposed for tests) --------------------
// Offset of a channel in screen points: x = offset * 25 / volts per division,
// then x + 0.5 (offset > 0) or x - 0.5 rounded half to even.
int OffsetInPoints(float offset, float voltsPerDiv);
// A number through the mask "0.00E+00" (value >= 1) or "0.00E-00" (otherwise).
QString FormatTableNumber(double value);
// Converts raw waveform bytes src[1..n] into screen units for one source
// word ("CH1", "CH2", "MATH", "FFT"); element 0 and those above n are 0.
std::vector<int32_t> ConvertWaveSamples(const int32_t* src, int n, const QString& source,
                                        const QString& invertWord, const QString& runWord,
                                        bool splitDisplay, int sampleCodeMin);
// Number of a reply text ("." decimal point); 0 when it does not convert.
double ReplyNumber(const QString& reply);
