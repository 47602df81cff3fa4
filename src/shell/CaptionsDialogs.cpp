// Caption tables of the dialogs and panels that set their texts when they load.
#include "shell/Captions.h"

using P = CaptionProp;

const CaptionTable& NewDocCaptionTable() {
    static const CaptionTable t = {
        {"", P::Title, 0, "New Document", "新建文档"},
        {"Frame1", P::Text, 0, "File Type", "文件类型"},
        {"NewOption(0)", P::Text, 0, "Data Sheet", "数据浏览器"},
        {"NewOption(1)", P::Text, 0, "Controller", "控制器"},
        {"NewOption(2)", P::Text, 0, "Wave", "波形窗口"},
        {"NewOption(3)", P::Text, 0, "Measure", "测量窗口"},
        {"NewOption(4)", P::Text, 0, "Wave Data", "数据窗口"},
        {"NewOption(5)", P::Text, 0, "Record", "录制窗口"},
        {"NewOption(6)", P::Text, 0, "Memory Wave", "波形文件窗口"},
        {"cmdOK", P::Text, 0, "OK", "确定"},
        {"cmdCancel", P::Text, 0, "Cancel", "取消"},
    };
    return t;
}

const CaptionTable& OpenDocCaptionTable() {
    static const CaptionTable t = {
        {"", P::Title, 0, "Open Document", "打开文档"},
        {"Frame1", P::Text, 0, "File Type", "文件类型"},
        {"NewOption(0)", P::Text, 0, "Data Sheet", "数据浏览器"},
        {"NewOption(1)", P::Text, 0, "Controller", "控制器"},
        {"cmdOK", P::Text, 0, "OK", "确定"},
        {"cmdCancel", P::Text, 0, "Cancel", "取消"},
    };
    return t;
}

const CaptionTable& OptionsCaptionTable() {
    static const CaptionTable t = {
        {"", P::Title, 0, "Options", "选项"},
        {"tbsOptions", P::Tab, 1, "General", "常规"},
        {"tbsOptions", P::Tab, 2, "Refresh", "更新"},
        {"tbsOptions", P::Tab, 3, "Communication Setting", "通信设置"},
        {"cmdOK", P::Text, 0, "OK", "确定"},
        {"cmdCancel", P::Text, 0, "Cancel", "取消"},
        {"fraSample2", P::Text, 0, "IO Selection", "IO选择"},
        {"fraSample1", P::Text, 0, "Startup Option", "启动选项"},
        {"HardwareCheck", P::Text, 0, "Startup Hardware Check", "设置硬件检查"},
        {"SheetStartLoadChk", P::Text, 0, "Recent Data Sheet File Load", "最近的数据表装载"},
        {"CtrlStartLoadChk", P::Text, 0, "Recent Control File Load", "最近的控制文件装载"},
        {"Frame3", P::Text, 0, "Refresh", "更新"},
        {"Frame4", P::Text, 0, "Time Setting", "时间设置"},
        {"OptRefreshType(0)", P::Text, 0, "Single", "单次"},
        {"OptRefreshType(1)", P::Text, 0, "Auto", "自动"},
        {"Label4", P::Text, 0, "Interval", "时间间隔"},
        {"Frame2", P::Text, 0, "RS232 Setting", "RS232 设置"},
        {"Label2", P::Text, 0, "RS232 Port", "RS232 端口"},
        {"Label3", P::Text, 0, "Baud Rate", "波特率"},
        {"Label6", P::Text, 0, "Device", "设备号"},
    };
    return t;
}

const CaptionTable& SplashCaptionTable() {
    static const CaptionTable t = {
        {"lblVersion", P::Text, 0, QStringLiteral("Version ") + AppVersionText,
         QStringLiteral("版本 ") + AppVersionText},
        {"lblWarning", P::Text, 0,
         "Warning: this program is protected by copyright law. Copying or distributing it, "
         "or any part of it, without permission is prohibited.",
         "警告：本程序受版权法保护。未经许可，禁止复制或分发本程序或其任何部分。"},
    };
    return t;
}

const CaptionTable& AboutCaptionTable() {
    static const CaptionTable t = {
        {"", P::Title, 0, "About Velmora", "关于 Velmora"},
        {"lblVersion", P::Text, 0, QStringLiteral("Version ") + AppVersionText,
         QStringLiteral("版本 ") + AppVersionText},
        {"lblDescription", P::Text, 0,
         "Velmora works with KV2200M series digital storage oscilloscopes over USB or RS-232: "
         "it controls the instrument, fetches waveforms, measurements and data tables, and "
         "keeps them in files.\nCopyright (C) Tarvo Technologies,Inc. All rights reserved.",
         "Velmora 通过 USB 或 RS-232 连接 KV2200M 系列数字存储示波器：控制仪器，读取波形、"
         "测量值和数据表，并保存为文件。\n版权所有 (C) Tarvo Technologies,Inc. 保留所有权利。"},
        {"lblDisclaimer", P::Text, 0, " ", ""},
        {"cmdOK", P::Text, 0, "OK", "确定"},
        {"cmdSysInfo", P::Text, 0, "System Info...", "系统信息..."},
    };
    return t;
}

const CaptionTable& AdjustDialogCaptionTable() {
    // The window title is not set here.
    static const CaptionTable t = {
        {"OptVoltDiv(0)", P::Text, 0, "Coarse", "粗调"},
        {"OptVoltDiv(1)", P::Text, 0, "Fine", "微调"},
        {"cmdAdjustOK", P::Text, 0, "OK", "确定"},
        {"cmdCancelAdjust", P::Text, 0, "Cancel", "取消"},
    };
    return t;
}

const CaptionTable& PassFailCaptionTable() {
    // The window title is set by the measurement view that opens the dialog.
    static const CaptionTable t = {
        {"Frame1", P::Text, 0, "Pass | Fail Settings", "通过 | 失败设置"},
        {"Frame2", P::Text, 0, "Select Measure Type", "选择测量参数"},
        {"EnabledChk", P::Text, 0, "Enabled", "使能"},
        {"Frame3", P::Text, 0, "Pass Range Settings", "通过参数范围设置"},
        {"Frame4", P::Text, 0, "Under Limit Setting", "下限设置     "},
        {"Frame5", P::Text, 0, "Over Limit Setting", "上限设置"},
        {"OKButton", P::Text, 0, "OK", "确定"},
        {"CancelButton", P::Text, 0, "Cancel", "取消"},
    };
    return t;
}

const CaptionTable& VirtualPanelCaptionTable() {
    static const CaptionTable t = {
        {"", P::Title, 0, "Virtual Panel", "虚拟面板"},
        {"Frame3", P::Text, 0, "Control", "控制"},
        {"cmdRun", P::Text, 0, "Run", "运行  "},
        {"cmdStop", P::Text, 0, "Stop", "停止  "},
        {"Frame2", P::Text, 0, "Output", "输出"},
        {"cmdExport", P::Text, 0, "Export  ", "导出     "},
        {"cmdPrint", P::Text, 0, "Print    ", "  打印    "},
        {"cmdPreview", P::Text, 0, "      Preview", "      预览  "},
        {"cmdRun", P::ToolTip, 0, "Run", "运行"},
        {"cmdStop", P::ToolTip, 0, "Stop", "停止"},
        {"cmdExport", P::ToolTip, 0, "Export", "导出"},
        {"cmdPrint", P::ToolTip, 0, "Print", "打印"},
        {"cmdPreview", P::ToolTip, 0, "Print Preview", "预览"},
        {"Display", P::Text, 0, "Display", "显示"},
        {"cmdZoom", P::Text, 0, "Zoom", " 缩放  "},
    };
    return t;
}

const CaptionTable& VirtualKeyCaptionTable() {
    static const CaptionTable t = {
        {"", P::Title, 0, "Virtual Keyboard", "虚拟键盘"},
    };
    return t;
}
