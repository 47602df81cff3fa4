// Caption tables of the main window, its toolbar and the two docked panes.
#include "shell/Captions.h"

using P = CaptionProp;

const CaptionTable& MainMenuCaptionTable() {
    // No accelerator marks; separators, recent-file items and the two
    // language items are left alone.
    static const CaptionTable t = {
        {"mnuFile", P::Text, 0, "File", "文件"},
        {"mnuFileNew", P::Text, 0, "New", "新建"},
        {"mnuFileOpen", P::Text, 0, "Open...", "打开..."},
        {"mnuFileSaveDataSheet", P::Text, 0, "Save Data Sheet", "保存数据文件"},
        {"mnuFileSaveCtrlFile", P::Text, 0, "Save Controller", "保存控制器文件"},
        {"mnuFileSaveAll", P::Text, 0, "Save All", "保存全部"},
        {"mnuFilePageSetup", P::Text, 0, "Page Setup...", "打印设置..."},
        {"mnuRecentCtrlRoot", P::Text, 0, "Recent Control File", "最近控制文件"},
        {"mnuRecentSheetRoot", P::Text, 0, "Recent Data Sheet File", "最近数据文件"},
        {"mnuFileExit", P::Text, 0, "Exit", "退出"},
        {"mnuView", P::Text, 0, "View", "视图"},
        {"mnuViewToolbar", P::Text, 0, "Toolbar", "工具栏"},
        {"mnuViewStatusBar", P::Text, 0, "Status Bar", "状态栏"},
        {"mnuViewController", P::Text, 0, "Show Controller", "显示控制器"},
        {"mnuViewDataBrowser", P::Text, 0, "Show Data Browser", "显示浏览器"},
        {"mnuTools", P::Text, 0, "Tools", "工具"},
        {"mnuToolsConnect", P::Text, 0, "Connect to Oscilloscope", "连接示波器"},
        {"mnuToolsDisconnect", P::Text, 0, "Disconnect", "断开连接"},
        {"mnuToolsOptions", P::Text, 0, "Options...", "选项..."},
        {"mnuWindow", P::Text, 0, "Window", "窗口"},
        {"mnuWindowCascade", P::Text, 0, "Cascade", "叠放"},
        {"mnuWindowTileHorizontal", P::Text, 0, "Tile Horizontal", "水平排列"},
        {"mnuWindowTileVertical", P::Text, 0, "Tile Vertical", "垂直排列"},
        {"mnuWindowArrangeIcons", P::Text, 0, "Arrange Icons", "排列图标"},
        {"mnuHelp", P::Text, 0, "Help", "帮助"},
        {"mnuHelpContents", P::Text, 0, "Contents", "内容"},
        {"mnuHelpAbout", P::Text, 0, "About...", "关于..."},
        {"mnuHelpLanguage", P::Text, 0, "Language", "语言"},
    };
    return t;
}

const CaptionTable& DataSheetPopupCaptionTable() {
    // Rename and Remove get their texts, with the node's name, when the popup opens.
    static const CaptionTable t = {
        {"mnuNewDataSheet", P::Text, 0, "&New Data Sheet", "新建数据浏览器"},
        {"mnuOpenDataSheet", P::Text, 0, "&Open Data Sheet", "打开数据浏览器"},
        {"mnuSaveDataSheet", P::Text, 0, "&Save Data Sheet", "保存数据浏览器"},
        {"mnuSaveDataSheetAs", P::Text, 0, "Sa&ve Data Sheet As", "另存数据浏览器为"},
        {"mnuAddNew", P::Text, 0, "&Add New", "添加新建"},
        {"mnuSorted", P::Text, 0, "So&rted", "排序"},
        {"mnuAddNewWaveform", P::Text, 0, "&Waveform", "波形窗口"},
        {"mnuAddNewMeasure", P::Text, 0, "&Measure", "测量窗口"},
        {"mnuAddNewData", P::Text, 0, "&Data", "数据窗口"},
        {"mnuAddNewPlayBack", P::Text, 0, "&Record", "波形录制回放窗口"},
        {"mnuAddNewMemoryWave", P::Text, 0, "M&emory waveform", "波形文件读取窗口"},
    };
    return t;
}

const CaptionTable& CtrlListPopupCaptionTable() {
    static const CaptionTable t = {
        {"mnuNewCtrl", P::Text, 0, "&New Control File", "新建控制文件"},
        {"mnuOpenCtrl", P::Text, 0, "&Open Control File", "打开控制文件"},
        {"mnuSaveCtrl", P::Text, 0, "&Save Control File", "保存控制文件"},
        {"mnuSaveAsCtrl", P::Text, 0, "Save Control File &As", "另存控制文件为"},
        {"mnuConnect", P::Text, 0, "&Connect To DSO", "连接示波器"},
        {"mnuDisconnect", P::Text, 0, "D&isconnect", "断开连接"},
        {"mnuUpload", P::Text, 0, "&Upload", "上传"},
        {"mnuDownLoad", P::Text, 0, "&Download", "下载"},
        {"mnuExpand", P::Text, 0, "&Expand All", "展开全部节点"},
    };
    return t;
}

const CaptionTable& ToolbarCaptionTable() {
    // Buttons 4, 7, 10, 14 and 17 are separators. Six English tips end with a blank.
    static const CaptionTable t = {
        {"tbToolBar", P::ToolButton, 1, "New", "新建"},
        {"tbToolBar", P::ToolButton, 2, "Open", "打开"},
        {"tbToolBar", P::ToolButton, 3, "Save All", "保存全部"},
        {"tbToolBar", P::ToolButton, 5, "Connect to Oscilloscope", "连接示波器"},
        {"tbToolBar", P::ToolButton, 6, "Disconnect", "断开连接"},
        {"tbToolBar", P::ToolButton, 8, "DSO Controller", "DSO控制器"},
        {"tbToolBar", P::ToolButton, 9, "Data Browser ", "数据浏览器"},
        {"tbToolBar", P::ToolButton, 11, "Add New Waveform ", "添加波形窗口"},
        {"tbToolBar", P::ToolButton, 12, "Add New Measure ", "添加测量窗口"},
        {"tbToolBar", P::ToolButton, 13, "Add New Data ", "添加数据窗口"},
        {"tbToolBar", P::ToolButton, 15, "Add New Record ", "添加录制文件回放窗口"},
        {"tbToolBar", P::ToolButton, 16, "Add New Memory Waveform ", "添加波形文件读取窗口"},
        {"tbToolBar", P::ToolButton, 18, "Options", "选项"},
        {"picLED_OFF", P::ToolTip, 0, "Connection Status-[Disconnected]", "连接状态-[未连接]"},
        {"picLED_ON", P::ToolTip, 0, "Connection Status-[Connected]", "连接状态-[已连接]"},
    };
    return t;
}

const CaptionTable& DataSheetTreeCaptionTable() {
    // Node 2, the sheet: its default name (the setter shows the sheet's own name).
    static const CaptionTable t = {
        {"", P::Title, 0, "Data Sheet", "数据浏览器"},
        {"DataSheetTree", P::Node, 1, "Data Sheet", "数据浏览器"},
        {"DataSheetTree", P::Node, 2, "Untitle", "未标题"},
    };
    return t;
}

const CaptionTable& CtrlListCaptionTable() {
    static const CaptionTable t = {
        {"", P::Title, 0, "DSO Controller", "DSO控制器"},
        {"cmdUpload", P::Text, 0, "     Upload", "      上传 ."},
        {"cmdDownload", P::Text, 0, "     Download", "      下载 ."},
        {"cmdUpload", P::ToolTip, 0, "Upload To Scope", "上传到仪器"},
        {"cmdDownload", P::ToolTip, 0, "Download To Software", "下载到软件"},
    };
    return t;
}
