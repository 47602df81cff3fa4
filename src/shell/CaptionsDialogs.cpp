// Caption tables of the dialogs and panels that set their texts when they load.
#include "shell/Captions.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "editors/CtrlDialog.h"
#include "measure/frmPassFailed.h"
#include "panel/frmV_Panel.h"
#include "shell/DocDialogs.h"
#include "shell/OptionsDialog.h"
#include "shell/Splash.h"
#include "shell/frmAbout.h"

using P = CaptionProp;
// A control of the table's window class W.
#define C(member) CAPTION_OF(W, member)

const CaptionTable& NewDocCaptionTable() {
    using W = frmNewDoc;
    static const CaptionTable t = {
        {{}, P::Title, 0, "New Document", "新建文档"},
        {C(Frame1), P::Text, 0, "File Type", "文件类型"},
        {C(NewOption.value(0)), P::Text, 0, "Data Sheet", "数据浏览器"},
        {C(NewOption.value(1)), P::Text, 0, "Controller", "控制器"},
        {C(NewOption.value(2)), P::Text, 0, "Wave", "波形窗口"},
        {C(NewOption.value(3)), P::Text, 0, "Measure", "测量窗口"},
        {C(NewOption.value(4)), P::Text, 0, "Wave Data", "数据窗口"},
        {C(NewOption.value(5)), P::Text, 0, "Record", "录制窗口"},
        {C(NewOption.value(6)), P::Text, 0, "Memory Wave", "波形文件窗口"},
        {C(cmdOK), P::Text, 0, "OK", "确定"},
        {C(cmdCancel), P::Text, 0, "Cancel", "取消"},
    };
    return t;
}

const CaptionTable& OpenDocCaptionTable() {
    using W = frmOpenDoc;
    static const CaptionTable t = {
        {{}, P::Title, 0, "Open Document", "打开文档"},
        {C(Frame1), P::Text, 0, "File Type", "文件类型"},
        {C(NewOption.value(0)), P::Text, 0, "Data Sheet", "数据浏览器"},
        {C(NewOption.value(1)), P::Text, 0, "Controller", "控制器"},
        {C(cmdOK), P::Text, 0, "OK", "确定"},
        {C(cmdCancel), P::Text, 0, "Cancel", "取消"},
    };
    return t;
}

const CaptionTable& OptionsCaptionTable() {
    using W = frmOptions;
    static const CaptionTable t = {
        {{}, P::Title, 0, "Options", "选项"},
        {C(tbsOptions), P::Tab, 1, "General", "常规"},
        {C(tbsOptions), P::Tab, 2, "Refresh", "更新"},
        {C(tbsOptions), P::Tab, 3, "Communication Setting", "通信设置"},
        {C(cmdOK), P::Text, 0, "OK", "确定"},
        {C(cmdCancel), P::Text, 0, "Cancel", "取消"},
        {C(fraSample2), P::Text, 0, "IO Selection", "IO选择"},
        {C(fraSample1), P::Text, 0, "Startup Option", "启动选项"},
        {C(HardwareCheck), P::Text, 0, "Startup Hardware Check", "设置硬件检查"},
        {C(SheetStartLoadChk), P::Text, 0, "Recent Data Sheet File Load", "最近的数据表装载"},
        {C(CtrlStartLoadChk), P::Text, 0, "Recent Control File Load", "最近的控制文件装载"},
        {C(Frame3), P::Text, 0, "Refresh", "更新"},
        {C(Frame4), P::Text, 0, "Time Setting", "时间设置"},
        {C(OptRefreshType[0]), P::Text, 0, "Single", "单次"},
        {C(OptRefreshType[1]), P::Text, 0, "Auto", "自动"},
        {C(Label4), P::Text, 0, "Interval", "时间间隔"},
        {C(Frame2), P::Text, 0, "RS232 Setting", "RS232 设置"},
        {C(Label2), P::Text, 0, "RS232 Port", "RS232 端口"},
        {C(Label3), P::Text, 0, "Baud Rate", "波特率"},
        {C(Label6), P::Text, 0, "Device", "设备号"},
    };
    return t;
}

const CaptionTable& SplashCaptionTable() {
    using W = frmSplash;
    static const CaptionTable t = {
        {C(lblVersion), P::Text, 0, QStringLiteral("Version ") + AppVersionText,
         QStringLiteral("版本 ") + AppVersionText},
        {C(lblWarning), P::Text, 0,
         "Warning: this program is protected by copyright law. Copying or distributing it, "
         "or any part of it, without permission is prohibited.",
         "警告：本程序受版权法保护。未经许可，禁止复制或分发本程序或其任何部分。"},
    };
    return t;
}

const CaptionTable& AboutCaptionTable() {
    using W = frmAbout;
    static const CaptionTable t = {
        {{}, P::Title, 0, "About Velmora", "关于 Velmora"},
        {C(lblVersion), P::Text, 0, QStringLiteral("Version ") + AppVersionText,
         QStringLiteral("版本 ") + AppVersionText},
        {C(lblDescription), P::Text, 0,
         "Velmora works with KV2200M series digital storage oscilloscopes over USB or RS-232: "
         "it controls the instrument, fetches waveforms, measurements and data tables, and "
         "keeps them in files.\nCopyright (C) Tarvo Technologies,Inc. All rights reserved.",
         "Velmora 通过 USB 或 RS-232 连接 KV2200M 系列数字存储示波器：控制仪器，读取波形、"
         "测量值和数据表，并保存为文件。\n版权所有 (C) Tarvo Technologies,Inc. 保留所有权利。"},
        {C(lblDisclaimer), P::Text, 0, " ", ""},
        {C(cmdOK), P::Text, 0, "OK", "确定"},
        {C(cmdSysInfo), P::Text, 0, "System Info...", "系统信息..."},
    };
    return t;
}

const CaptionTable& AdjustDialogCaptionTable() {
    using W = CtrlDialogAdjust;
    // The window title is not set here.
    static const CaptionTable t = {
        {C(OptVoltDiv[0]), P::Text, 0, "Coarse", "粗调"},
        {C(OptVoltDiv[1]), P::Text, 0, "Fine", "微调"},
        {C(cmdAdjustOK), P::Text, 0, "OK", "确定"},
        {C(cmdCancelAdjust), P::Text, 0, "Cancel", "取消"},
    };
    return t;
}

const CaptionTable& PassFailCaptionTable() {
    using W = frmPassFailed;
    // The window title is set by the measurement view that opens the dialog.
    static const CaptionTable t = {
        {C(Frame1), P::Text, 0, "Pass | Fail Settings", "通过 | 失败设置"},
        {C(Frame2), P::Text, 0, "Select Measure Type", "选择测量参数"},
        {C(EnabledChk), P::Text, 0, "Enabled", "使能"},
        {C(Frame3), P::Text, 0, "Pass Range Settings", "通过参数范围设置"},
        {C(Frame4), P::Text, 0, "Under Limit Setting", "下限设置     "},
        {C(Frame5), P::Text, 0, "Over Limit Setting", "上限设置"},
        {C(OKButton), P::Text, 0, "OK", "确定"},
        {C(CancelButton), P::Text, 0, "Cancel", "取消"},
    };
    return t;
}

const CaptionTable& VirtualPanelCaptionTable() {
    using W = frmV_Panel;
    static const CaptionTable t = {
        {{}, P::Title, 0, "Virtual Panel", "虚拟面板"},
        {C(Frame3), P::Text, 0, "Control", "控制"},
        {C(cmdRun), P::Text, 0, "Run", "运行  "},
        {C(cmdStop), P::Text, 0, "Stop", "停止  "},
        {C(Frame2), P::Text, 0, "Output", "输出"},
        {C(cmdExport), P::Text, 0, "Export  ", "导出     "},
        {C(cmdPrint), P::Text, 0, "Print    ", "  打印    "},
        {C(cmdPreview), P::Text, 0, "      Preview", "      预览  "},
        {C(cmdRun), P::ToolTip, 0, "Run", "运行"},
        {C(cmdStop), P::ToolTip, 0, "Stop", "停止"},
        {C(cmdExport), P::ToolTip, 0, "Export", "导出"},
        {C(cmdPrint), P::ToolTip, 0, "Print", "打印"},
        {C(cmdPreview), P::ToolTip, 0, "Print Preview", "预览"},
    };
    return t;
}

const CaptionTable& VirtualPanelZoomCaptionTable() {
    using W = frmV_Panel;
    static const CaptionTable t = {
        {C(Display), P::Text, 0, "Display", "显示"},
        {C(cmdZoom), P::Text, 0, "Zoom", " 缩放  "},
    };
    return t;
}

const CaptionTable& VirtualKeyCaptionTable() {
    static const CaptionTable t = {
        {{}, P::Title, 0, "Virtual Keyboard", "虚拟键盘"},
    };
    return t;
}
