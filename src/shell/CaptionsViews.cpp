// Caption tables of the document windows (the views of a data sheet).
#include "shell/Captions.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeWidget>
#include <initializer_list>

#include "measure/frmMeasure.h"
#include "memwave/frmOpenWaveform.h"
#include "replay/frmRecordPlay.h"
#include "sheets/DataTable.h"
#include "sheets/frmData.h"
#include "waveview/frmWave.h"
#include "widgets/ImageButton.h"

using P = CaptionProp;
// A control of the table's window class W.
#define C(member) CAPTION_OF(W, member)

namespace {

// The colour, grid, cursor and output controls both waveform windows show;
// the two frames are held differently by each.
template <class W>
CaptionTable waveViewRows(CaptionControl cursorFrame, CaptionControl outputFrame) {
    return {
        {C(OptionColor[0]), P::Text, 0, "Color", "彩色"},
        {C(OptionColor[1]), P::Text, 0, "B&&W", "黑白"},
        {C(GridCheck), P::Text, 0, "Grid", "网格"},
        {cursorFrame, P::Text, 0, "Cursor", "光标"},
        {C(ChkCursorX), P::Text, 0, "CursorX", "光标X"},
        {C(ChkCursorY), P::Text, 0, "CursorY", "光标Y"},
        {outputFrame, P::Text, 0, "Output", "输出"},
    };
}

CaptionTable joined(std::initializer_list<CaptionTable> parts) {
    CaptionTable all;
    for (const CaptionTable& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

}  // namespace

const CaptionTable& WaveWindowCaptionTable() {
    using W = frmWave;
    static const CaptionTable t = joined({
        CaptionTable{
            {C(cmdRefresh), P::Text, 0, "     Refresh", "  更新 ."},
            {C(Frames[0]), P::Text, 0, "Refresh", "更新"},
            {C(Frames[1]), P::Text, 0, "Display", "显示"},
            {C(Frames[2]), P::Text, 0, "Zoom", "缩放"},
            {C(BestFitChk), P::Text, 0, "Best Fit", "适合"},
        },
        waveViewRows<W>(C(Frames[3]), C(Frames[4])),
        CaptionTable{
            {C(cmdExport), P::Text, 0, "Export", "导出 ."},
            {C(cmdPrint), P::Text, 0, "Print", "打印 ."},
            {C(cmdPreview), P::Text, 0, "     Preview", "         预览 ."},
            {C(cmdRefresh), P::ToolTip, 0, "Refresh Data(F5)", "更新数据(F5)"},
            {C(cmdRefresh), P::AccessibleOn, 0, "Refresh: continuous refresh on", "更新：连续更新中"},
            {C(cmdExport), P::ToolTip, 0, "Output", "输出"},
            {C(cmdPrint), P::ToolTip, 0, "Print", "打印"},
            {C(cmdPreview), P::ToolTip, 0, "Print Preview", "打印预览"},
            // A window made while Chinese is active shows the label with 5 leading blanks.
            {C(LblRefreshText), P::Text, 0, "Refreshing", "更新", "     更新"},
        },
    });
    return t;
}

const CaptionTable& DataWindowCaptionTable() {
    using W = frmData;
    static const CaptionTable t = {
        {C(cmdRefresh), P::Text, 0, " Refresh", " 更新 ."},
        {C(cmdExport), P::Text, 0, "Export", "导出 ."},
        {C(Table), P::Column, 1, "NO.", "序号"},
        {C(Table), P::Column, 2, "Time[S]", "时间[S]"},
        {C(Table), P::Column, 3, "Voltage[V]", "电压[V]"},
        {C(cmdRefresh), P::ToolTip, 0, "Refresh Data(F5)", "更新数据(F5)"},
        {C(cmdRefresh), P::AccessibleOn, 0, "Refresh: continuous refresh on", "更新：连续更新中"},
        {C(cmdExport), P::ToolTip, 0, "Output", "输出"},
    };
    return t;
}

const CaptionTable& MeasureWindowCaptionTable() {
    using W = frmMeasure;
    static const CaptionTable t = {
        {C(cmdRefresh), P::Text, 0, " Refresh", " 更新 ."},
        {C(cmdExport), P::Text, 0, "Export", "导出 ."},
        {C(cmdPassFailed), P::Text, 0, "Pass | Fail  ", "通过 | 失败 .  "},
        {C(MeasureView), P::Column, 1, "Type", "类型"},
        {C(MeasureView), P::Column, 2, "Value", "值"},
        {C(MeasureView), P::Column, 3, "Under Limit", "下限"},
        {C(MeasureView), P::Column, 4, "Over Limit", "上限"},
        {C(MeasureView), P::Column, 5, "Pass&Fail", "通过&失败"},
        {C(cmdRefresh), P::ToolTip, 0, "Refresh Data(F5)", "更新数据(F5)"},
        {C(cmdRefresh), P::AccessibleOn, 0, "Refresh: continuous refresh on", "更新：连续更新中"},
        {C(cmdExport), P::ToolTip, 0, "Output", "输出"},
        {C(cmdPassFailed), P::ToolTip, 0, "Pass&Fail", "通过&失败"},
    };
    return t;
}

const CaptionTable& RecordWindowCaptionTable() {
    using W = frmRecordPlay;
    static const CaptionTable t = {
        {C(cmdRun), P::ToolTip, 0, "Open record file", "打开波形录制文件"},
        {C(FlatBttn4), P::ToolTip, 0, "Color", "彩色显示"},
        {C(FlatBttn5), P::ToolTip, 0, "Mono Color", "单色显示"},
        {C(FlatBttn1), P::ToolTip, 0, "Save to bitmap file", "保存为位图文件"},
        {C(FlatBttn2), P::ToolTip, 0, "Print", "打印"},
        {C(FlatBttn3), P::ToolTip, 0, "Print Preview", "打印预览"},
        {C(AresBtnPlay.value(0)), P::ToolTip, 0, "Replay", "开始回放"},
        {C(AresBtnPlay.value(1)), P::ToolTip, 0, "Pause", "暂停"},
        {C(AresBtnPlay.value(2)), P::ToolTip, 0, "Stop", "停止"},
        {C(AresBtnPlay.value(3)), P::ToolTip, 0, "Go to start", "指向第一帧"},
        {C(AresBtnPlay.value(4)), P::ToolTip, 0, "Go to end", "指向最后一帧"},
        {C(AresBtnPlay.value(6)), P::ToolTip, 0, "The last frame", "前一帧"},
        {C(AresBtnPlay.value(5)), P::ToolTip, 0, "Then next frame", "后一帧"},
        {C(AresBtnPlay.value(7)), P::ToolTip, 0, "Circulation and single replay", "循环或单次回放"},
        {C(AresBtnDefaultTime), P::ToolTip, 0, "Default Time Interval Setting", "设置缺省时间间隔"},
        {C(AresBtnAdd), P::Accessible, 0, "Increase Time Interval", "增加时间间隔"},
        {C(AresBtnSub), P::Accessible, 0, "Decrease Time Interval", "减少时间间隔"},
        {C(SliderFrame), P::Accessible, 0, "Select Frame", "选择帧"},
    };
    return t;
}

const CaptionTable& MemoryWaveWindowCaptionTable() {
    using W = frmOpenWaveform;
    static const CaptionTable t = joined({
        CaptionTable{
            {C(Frame1), P::Text, 0, "Open", "打开"},
            {C(FlatBttn1), P::Text, 0, " File", "文件 ."},
            {C(Frame2[0]), P::Text, 0, "Display", "显示"},
            {C(Frame6), P::Text, 0, "Zoom", "缩放"},
        },
        waveViewRows<W>(C(Frame2[2]), C(Frame2[1])),
        CaptionTable{
            {C(FlatBttn4), P::Text, 0, "       Bitmap", "       位图 ."},
            {C(cmdPrint), P::Text, 0, "       Print", "       打印 ."},
            {C(cmdPreview), P::Text, 0, "     Preview", "  预览 ."},
            {C(Reset), P::Text, 0, "Reset", "复位"},
            {C(Label4), P::Text, 0, "Time/Div", "时基"},
            {C(FlatBttn1), P::ToolTip, 0, "Open waveform File", "打开波形文件"},
            {C(FlatBttn3), P::ToolTip, 0, "Output CSV", "输出CSV文件"},
            {C(FlatBttn4), P::ToolTip, 0, "Output Bitmap", "输出位图文件"},
            {C(cmdPrint), P::ToolTip, 0, "Print", "打印"},
            {C(cmdPreview), P::ToolTip, 0, "Print Preview", "打印预览"},
        },
    });
    return t;
}
