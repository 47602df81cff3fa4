#include "SheetSamples.h"

#include <QString>

#include "link/WaveNumbers.h"

namespace SheetSamples {

namespace {

void FillWave(WaveInfo& w, int slot, int variant) {
    w.Name = QString::fromUtf8("波形,%1 \"A\"").arg(slot).replace('"', '\'');
    w.HasData = true;
    w.TriggerMode = variant == 1 ? "ALTERNATION" : "EDGE";
    w.PointCount = 600;
    w.SpareFlag = true;
    w.YTFormat = variant == 0;
    w.YTVariant = true;
    w.SpareValue1 = -32768;
    w.SpareValue2 = 32767;
    w.Ch1Offset = "-1.20mV";
    w.Ch2Offset = "3.04V";
    w.Ch1Scale = "500mV";
    w.Ch2Scale = "1.00V";
    w.TimeScale = "2.500us";
    w.TimeOffset = "-0.0000120s";
    w.AltCh1TimeScale = "10.00ns";
    w.AltCh2TimeScale = "5.000ms";
    w.AltCh1TimeOffset = "1,5s";
    w.AltCh2TimeOffset = "";
    w.FetchDate = "2026-12-09 22:30:01";
    w.ChannelCode = -7;
    w.ColorDisplay = false;
    w.ShowGrid = false;
    w.SplitDisplay = true;
    w.BestFit = false;
    w.Ch1Chosen = true;
    w.Ch2Chosen = false;
    w.MathChosen = true;
    w.LaChosen = false;
    w.Ch1Fetched = variant != 1;
    w.Ch2Fetched = variant != 2;
    w.MathFetched = variant != 2;
    w.LaFetched = variant == 0;
    SystemDataRecord& sd = w.SystemData;
    sd.TraceFirstX = -1; sd.TraceLastX = 300; sd.UpperFirstX = 2; sd.UpperLastX = 299;
    sd.LowerFirstX = -32768; sd.LowerLastX = 32767;
    sd.ScanFlag = 1; sd.CH1Shown = 255; sd.CH2Shown = 0; sd.MathShown = 7; sd.MathOperation = 3;
    sd.Stored20 = -1.25e-7f; sd.MathPosition = -100; sd.MathScale = 2.5e6f; sd.Stored32 = 12;
    sd.FFTShown = 1; sd.FFTLowerHalf = 2; sd.Stored36 = 3; sd.FFTFullScreen = 4; sd.FFTScaleDb = 5;
    sd.FFTVrmsPerDiv = 0.001f; sd.Stored44 = -44; sd.FFTDbPerDiv = 20; sd.Stored48 = 1e-30f;
    sd.FFTPosition = -25; sd.FFTHzPerDiv = 1234567.f; sd.FFTZoom = 8; sd.Stored64 = 3.4e38f;
    sd.FFTHorizPos = 150; sd.LAShown = 1; sd.LADisplayState = -2;
    for (int i = 0; i < 16; ++i) sd.LARowY[i] = int16_t(10 * i - 50);
    sd.LAState106 = 15; sd.LAState107 = 16; sd.LAState108 = 17;
    w.XYFormat = true;
    w.MathDisplayWord = "OFF";
    w.FftDisplayWord = variant == 1 ? QString::fromUtf8("打开") : "OFF";
    for (int i = 1; i <= 2048; ++i) {
        if (i <= 1024) {
            w.Ch1Samples[i] = (i * 7 + slot) % 201;
            w.Ch2Samples[i] = 200 - (i * 3 + slot) % 201;
            w.MathSamples[i] = -(i % 50);
            w.FftSamples[i] = i % 13;
        }
        w.LaSamples[i] = (i * 97) % 65536;
    }
    UpdateWaveNumbers(w);
}

void FillMeasure(MeasureInfo& m, int slot, int variant) {
    m.Name = QString::fromUtf8("测量%1, Vpp").arg(slot);
    m.HasData = variant != 2;
    m.Title = "CH1 500mV, 2.5us, EDGE";
    for (int k = 0; k < MeasureItemCount; ++k) {
        MeasureItem& it = m.Items[k];
        it.Value = k % 3 == 0 ? "*****" : QString("%1mV").arg(k * 1.5);
        it.Enable = k % 2 == 0;
        it.Over = k == 7 ? 2e15 : (k - 9) * 1.0e-7;
        it.Under = k == 8 ? -123456789.012345 : 0.05 * k;
    }
}

void FillData(DataInfo& d, int slot, int variant, int rows) {
    d.Name = QString::fromUtf8("数据%1,CH1").arg(slot);
    d.HasData = variant != 2;
    d.Title = QString::fromUtf8("CH1, 1.00V/div, 时基 2.5us");
    d.PointCount = rows;
    d.VoltTexts.clear();
    d.TimeTexts.clear();
    for (int j = 0; j <= rows; ++j) {
        d.VoltTexts << QString("%1E-03").arg(j % 1000 - 500);
        d.TimeTexts << QString("-2.5%1E-06").arg(j);
    }
}

void FillRecord(RecordInfo& r, int slot, int variant, int frames) {
    r.Name = QString::fromUtf8("录制文件%1").arg(slot);
    r.DisplayActive = variant != 2;
    r.Loaded = true;
    r.BlackBackground = false;
    r.FilePath = QString::fromUtf8("/home/用户/records, old/rec%1.dat").arg(slot);
    r.Channel = "CH2";
    r.SpareFlag = true;
    r.StartFrame = 1;
    r.FrameCount = int16_t(frames);
    r.ReplayStatus = 2;
    r.CurrentFrame = -3;
    r.LoopReplay = false;
    r.TimeScaleText = "500us";
    r.DelayText = "-1.000ms";
    r.VoltScaleText = "2.00V";
    r.OffsetText = "0.00V";
    r.FrameInterval = 2.5e-9;
    r.Samples.resize(size_t(frames) * RecordFrameSamples);
    for (size_t j = 0; j < r.Samples.size(); ++j) r.Samples[j] = int16_t((j * 31 + slot) % 200);
}

void FillMemWave(MemWaveInfo& m, int slot, int variant, int points) {
    m.Name = QString::fromUtf8("波形文件%1").arg(slot);
    m.FilePath = QString::fromUtf8("C:\\数据\\wave,%1.wfm").arg(slot);
    m.Loaded = variant != 2;
    m.TriggerMode = variant == 1 ? "ALTERNATION" : "EDGE";
    m.ScreenPointCount = 600;
    m.YTFormat = true;
    m.Ch1OffsetVolts = -0.5f; m.Ch2OffsetVolts = 1.5e-5f; m.Ch1VoltsPerDiv = 0.002f;
    m.Ch2VoltsPerDiv = 10.f; m.Ch1AcqVoltsPerDiv = 5e-3f; m.Ch2AcqVoltsPerDiv = 1e7f;
    m.Ch1AcqOffsetCode = -25; m.Ch2AcqOffsetCode = 75;
    m.SampleRate = 2e8f; m.AltCh1SampleRate = 1e-3f; m.AltCh2SampleRate = 123.4567f;
    m.LaTimeValue = 2e-7; m.AcqDelayTime = -1.23456789012345e-3; m.AltCh1AcqDelayTime = 1e300;
    m.AltCh2AcqDelayTime = -1e-300; m.TimePerDiv = 5e-9; m.DelayTime = 0.1;
    m.AltCh1TimePerDiv = 100000000000000; m.AltCh2TimePerDiv = 1e15; m.AltCh1DelayTime = -0.0001;
    m.AltCh2DelayTime = 0.00001;
    m.BlackBackground = false; m.ShowGrid = false; m.SplitDisplay = true; m.SpareFlag2 = true;
    m.HasCh1 = true; m.HasCh2 = true; m.HasMath = true; m.HasLa = variant == 0;
    m.SpareCh1Flag = true; m.SpareCh2Flag = false; m.SpareMathFlag = true; m.SpareLaFlag = false;
    m.XYFormat = true;
    m.ScreenData.CH1Shown = 1; m.ScreenData.CH2Shown = 0; m.ScreenData.LAShown = 1;
    m.ScreenData.LADisplayState = 0x7fff;
    for (int i = 0; i < 16; ++i) m.ScreenData.LARowY[i] = int16_t(-i * 3);
    m.ScreenData.LAState106 = 9; m.ScreenData.LAState107 = 8; m.ScreenData.LAState108 = 200;
    m.SpareText = QString::fromUtf8("备用, text");
    m.StateWord = "OFF";
    m.MemoryPointCount = points;
    m.AltCh1PointCount = variant == 1 ? 1000 : points;
    m.AltCh2PointCount = variant == 1 ? 2000 : points;
    MemWaveResetCopy& rc = m.ResetCopy;
    rc.Ch1OffsetVolts = 0.25f; rc.Ch2OffsetVolts = -7.5f; rc.Ch1VoltsPerDiv = 1e-3f;
    rc.Ch2VoltsPerDiv = 2.f; rc.Ch1AcqVoltsPerDiv = 5.f; rc.Ch2AcqVoltsPerDiv = 0.1f;
    rc.Ch1AcqOffsetCode = -1; rc.Ch2AcqOffsetCode = 1;
    rc.LaTimeValue = 1.5e-7; rc.AcqDelayTime = 2e-6; rc.AltCh1AcqDelayTime = -3e-3;
    rc.AltCh2AcqDelayTime = 4; rc.TimePerDiv = 5e-9; rc.DelayTime = -6e-9;
    rc.AltCh1TimePerDiv = 7e-9; rc.AltCh2TimePerDiv = 8e-9; rc.AltCh1DelayTime = 9e-9;
    rc.AltCh2DelayTime = 0.3;
    for (int i = 0; i < 16; ++i) rc.LaRowY[i] = int16_t(i * 7);
    rc.LaSelected = 5;
    const int n1 = variant == 1 ? 1000 : points, n2 = variant == 1 ? 2000 : points;
    m.Ch1Memory.resize(size_t(n1));
    m.Ch2Memory.resize(size_t(n2));
    for (int j = 0; j < n1; ++j) m.Ch1Memory[size_t(j)] = int16_t(j % 256 - 128);
    for (int j = 0; j < n2; ++j) m.Ch2Memory[size_t(j)] = int16_t(-(j % 200));
    const int nla = points < 524288 ? 524288 : points;
    m.LaMemory.resize(m.HasLa ? size_t(nla) : 0);
    for (size_t j = 0; j < m.LaMemory.size(); ++j) m.LaMemory[j] = int16_t(j * 13);
}

}  // namespace

template <typename Records>
void Blank(Records& records) {
    static const typename Records::value_type blank{};
    for (auto& r : records) r = blank;
}

void Clear(SheetModelData& s) {
    s.SheetName.clear();
    Blank(s.WaveViews);
    Blank(s.MeasureViews);
    Blank(s.DataViews);
    Blank(s.RecordViews);
    Blank(s.MemWaveViews);
    s.WaveCount = s.MeasureCount = s.DataCount = s.RecordCount = s.MemWaveCount = 0;
}

void FillTelling(SheetModelData& s, int variant) {
    s.SheetName = QString::fromUtf8("试验, sheet %1").arg(variant);
    FillWave(s.WaveViews[0], 0, variant);
    FillMeasure(s.MeasureViews[0], 0, variant);
    FillData(s.DataViews[0], 0, variant, 5);
    FillRecord(s.RecordViews[0], 0, variant, 2);
    FillMemWave(s.MemWaveViews[0], 0, variant, 3000);
    s.WaveCount = s.MeasureCount = s.DataCount = s.RecordCount = s.MemWaveCount = 1;
}

void FillFull(SheetModelData& s) {
    s.SheetName = "Full sheet";
    for (int i = 0; i < MaxWaveViews; ++i) FillWave(s.WaveViews[i], i, 0);
    for (int i = 0; i < MaxMeasureViews; ++i) FillMeasure(s.MeasureViews[i], i, 0);
    for (int i = 0; i < MaxDataViews; ++i) FillData(s.DataViews[i], i, 0, 8192);
    for (int i = 0; i < MaxRecordViews; ++i) FillRecord(s.RecordViews[i], i, 0, 100);
    // One deep memory stored interleaved, one below that size with its
    // logic-analyser block, one in ALTERNATION mode.
    FillMemWave(s.MemWaveViews[0], 0, 0, 524288);
    FillMemWave(s.MemWaveViews[1], 1, 0, 16384);
    FillMemWave(s.MemWaveViews[2], 2, 1, 0);
    s.WaveCount = MaxWaveViews;
    s.MeasureCount = MaxMeasureViews;
    s.DataCount = MaxDataViews;
    s.RecordCount = MaxRecordViews;
    s.MemWaveCount = MaxMemWaveViews;
}

void FlatCh1(WaveInfo& w, int ch1Value) {
    w.HasData = true;
    w.YTFormat = true;
    w.PointCount = 600;
    w.TriggerMode = "EDGE";
    w.TimeScale = "1.000ms";
    w.TimeOffset = "0.000s";
    w.Ch1Offset = "0.00V";
    w.Ch1Scale = "1.00V";
    w.Ch1Fetched = true;
    w.SystemData.CH1Shown = 1;
    w.SystemData.TraceFirstX = 0;
    w.SystemData.TraceLastX = 299;
    w.Ch1Samples.fill(ch1Value);
    UpdateWaveNumbers(w);
}

}  // namespace SheetSamples
