// Caption tables of the document windows (the views of a data sheet).
#include "shell/Captions.h"

#include <initializer_list>

using P = CaptionProp;

namespace {

// The colour, grid, cursor and output controls both waveform windows show.
CaptionTable waveViewRows() {
    return {
        {"OptionColor(0)", P::Text, 0, "Color", "彩色"},
        {"OptionColor(1)", P::Text, 0, "B&&W", "黑白"},
        {"GridCheck", P::Text, 0, "Grid", "网格"},
        {"Frame2(2)", P::Text, 0, "Cursor", "光标"},
        {"ChkCursorX", P::Text, 0, "CursorX", "光标X"},
        {"ChkCursorY", P::Text, 0, "CursorY", "光标Y"},
        {"Frame2(1)", P::Text, 0, "Output", "输出"},
    };
}

CaptionTable joined(std::initializer_list<CaptionTable> parts) {
    CaptionTable all;
    for (const CaptionTable& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

}  // namespace

const CaptionTable& WaveWindowCaptionTable() {
    static const CaptionTable t = joined({
        CaptionTable{
            {"cmdRefresh", P::Text, 0, "     Refresh", "  更新 ."},
            {"Frame1", P::Text, 0, "Refresh", "更新"},
            {"Frame2(0)", P::Text, 0, "Display", "显示"},
            {"Frame6", P::Text, 0, "Zoom", "缩放"},
            {"BestFitChk", P::Text, 0, "Best Fit", "适合"},
        },
        waveViewRows(),
        CaptionTable{
            {"cmdExport", P::Text, 0, "Export", "导出 ."},
            {"cmdPrint", P::Text, 0, "Print", "打印 ."},
            {"cmdPreview", P::Text, 0, "     Preview", "         预览 ."},
            {"cmdRefresh", P::ToolTip, 0, "Refresh Data(F5)", "更新数据(F5)"},
            {"cmdExport", P::ToolTip, 0, "Output", "输出"},
            {"cmdPrint", P::ToolTip, 0, "Print", "打印"},
            {"cmdPreview", P::ToolTip, 0, "Print Preview", "打印预览"},
            // A window made while Chinese is active shows the label with 5 leading blanks.
            {"LblRefreshText", P::Text, 0, "Refreshing", "更新", "     更新"},
        },
    });
    return t;
}

const CaptionTable& DataWindowCaptionTable() {
    static const CaptionTable t = {
        {"cmdRefresh", P::Text, 0, " Refresh", " 更新 ."},
        {"cmdExport", P::Text, 0, "Export", "导出 ."},
        {"MeasureView", P::Column, 1, "NO.", "序号"},
        {"MeasureView", P::Column, 2, "Time[S]", "时间[S]"},
        {"MeasureView", P::Column, 3, "Voltage[V]", "电压[V]"},
        {"cmdRefresh", P::ToolTip, 0, "Refresh Data(F5)", "更新数据(F5)"},
        {"cmdExport", P::ToolTip, 0, "Output", "输出"},
    };
    return t;
}

const CaptionTable& MeasureWindowCaptionTable() {
    static const CaptionTable t = {
        {"cmdRefresh", P::Text, 0, " Refresh", " 更新 ."},
        {"cmdExport", P::Text, 0, "Export", "导出 ."},
        {"cmdPassFailed", P::Text, 0, "Pass | Fail  ", "通过 | 失败 .  "},
        {"MeasureView", P::Column, 1, "Type", "类型"},
        {"MeasureView", P::Column, 2, "Value", "值"},
        {"MeasureView", P::Column, 3, "Under Limit", "下限"},
        {"MeasureView", P::Column, 4, "Over Limit", "上限"},
        {"MeasureView", P::Column, 5, "Pass&Fail", "通过&失败"},
        {"cmdRefresh", P::ToolTip, 0, "Refresh Data(F5)", "更新数据(F5)"},
        {"cmdExport", P::ToolTip, 0, "Output", "输出"},
        {"cmdPassFailed", P::ToolTip, 0, "Pass&Fail", "通过&失败"},
    };
    return t;
}

const CaptionTable& RecordWindowCaptionTable() {
    static const CaptionTable t = {
        {"cmdRun", P::ToolTip, 0, "Open record file", "打开波形录制文件"},
        {"FlatBttn4", P::ToolTip, 0, "Color", "彩色显示"},
        {"FlatBttn5", P::ToolTip, 0, "Mono Color", "单色显示"},
        {"FlatBttn1", P::ToolTip, 0, "Save to bitmap file", "保存为位图文件"},
        {"FlatBttn2", P::ToolTip, 0, "Print", "打印"},
        {"FlatBttn3", P::ToolTip, 0, "Print Preview", "打印预览"},
        {"AresBtnPlay(0)", P::ToolTip, 0, "Replay", "开始回放"},
        {"AresBtnPlay(1)", P::ToolTip, 0, "Pause", "暂停"},
        {"AresBtnPlay(2)", P::ToolTip, 0, "Stop", "停止"},
        {"AresBtnPlay(3)", P::ToolTip, 0, "Go to start", "指向第一帧"},
        {"AresBtnPlay(4)", P::ToolTip, 0, "Go to end", "指向最后一帧"},
        {"AresBtnPlay(6)", P::ToolTip, 0, "The last frame", "前一帧"},
        {"AresBtnPlay(5)", P::ToolTip, 0, "Then next frame", "后一帧"},
        {"AresBtnPlay(7)", P::ToolTip, 0, "Circulation and single replay", "循环或单次回放"},
        {"AresBtnDefaultTime", P::ToolTip, 0, "Default Time Interval Setting", "设置缺省时间间隔"},
        {"AresBtnAdd", P::ToolTip, 0, "Increase Time Interval", "增加时间间隔"},
        {"AresBtnSub", P::ToolTip, 0, "Decrease Time Interval", "减少时间间隔"},
        {"SliderFrame", P::ToolTip, 0, "Select Frame", "选择帧"},
        {"lblNotAvailable", P::Text, 0, "The content of this view is not available yet in this version.",
         "此版本尚不能显示该视图的内容。"},
    };
    return t;
}

const CaptionTable& MemoryWaveWindowCaptionTable() {
    static const CaptionTable t = joined({
        CaptionTable{
            {"Frame1", P::Text, 0, "Open", "打开"},
            {"FlatBttn1", P::Text, 0, " File", "文件 ."},
            {"Frame2(0)", P::Text, 0, "Display", "显示"},
            {"Frame6", P::Text, 0, "Zoom", "缩放"},
        },
        waveViewRows(),
        CaptionTable{
            {"FlatBttn4", P::Text, 0, "       Bitmap", "       位图 ."},
            {"cmdPrint", P::Text, 0, "       Print", "       打印 ."},
            {"cmdPreview", P::Text, 0, "     Preview", "  预览 ."},
            {"Reset", P::Text, 0, "Reset", "复位"},
            {"Label4", P::Text, 0, "Time/Div", "时基"},
            {"FlatBttn1", P::ToolTip, 0, "Open waveform File", "打开波形文件"},
            {"FlatBttn3", P::ToolTip, 0, "Output CSV", "输出CSV文件"},
            {"FlatBttn4", P::ToolTip, 0, "Output Bitmap", "输出位图文件"},
            {"cmdPrint", P::ToolTip, 0, "Print", "打印"},
            {"cmdPreview", P::ToolTip, 0, "Print Preview", "打印预览"},
        },
    });
    return t;
}
