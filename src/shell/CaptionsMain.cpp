// Caption tables of the main window, its toolbar and the two docked panes.
#include "shell/Captions.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include "controller/CtrlList.h"
#include "sheets/DataSheetTree.h"
#include "shell/MainWindow.h"

using P = CaptionProp;
// A control of the table's window class W.
#define C(member) CAPTION_OF(W, member)

const CaptionTable& MainMenuCaptionTable() {
    using W = frmMain;
    // With their access keys: in Chinese the key's letter follows in brackets
    // (before an ellipsis). Separators, recent-file items and the two
    // language items are left alone.
    static const CaptionTable t = {
        {C(mnuFile), P::Text, 0, "&File", "文件(&F)"},
        {C(mnuFileNew), P::Text, 0, "&New", "新建(&N)"},
        {C(mnuFileOpen), P::Text, 0, "&Open...", "打开(&O)..."},
        {C(mnuFileSaveDataSheet), P::Text, 0, "&Save Data Sheet", "保存数据文件(&S)"},
        {C(mnuFileSaveCtrlFile), P::Text, 0, "Save &Controller", "保存控制器文件(&C)"},
        {C(mnuFileSaveAll), P::Text, 0, "Save &All", "保存全部(&A)"},
        {C(mnuFilePageSetup), P::Text, 0, "Page Set&up...", "打印设置(&U)..."},
        {C(mnuRecentCtrlRoot), P::Text, 0, "Recent Con&trol File", "最近控制文件(&T)"},
        {C(mnuRecentSheetRoot), P::Text, 0, "Recent &Data Sheet File", "最近数据文件(&D)"},
        {C(mnuFileExit), P::Text, 0, "E&xit", "退出(&X)"},
        {C(mnuView), P::Text, 0, "&View", "视图(&V)"},
        {C(mnuViewToolbar), P::Text, 0, "&Toolbar", "工具栏(&T)"},
        {C(mnuViewStatusBar), P::Text, 0, "&Status Bar", "状态栏(&S)"},
        {C(mnuViewController), P::Text, 0, "Show &Controller", "显示控制器(&C)"},
        {C(mnuViewDataBrowser), P::Text, 0, "Show Data &Browser", "显示浏览器(&B)"},
        {C(mnuTools), P::Text, 0, "&Tools", "工具(&T)"},
        {C(mnuToolsConnect), P::Text, 0, "&Connect to Oscilloscope", "连接示波器(&C)"},
        {C(mnuToolsDisconnect), P::Text, 0, "&Disconnect", "断开连接(&D)"},
        {C(mnuToolsOptions), P::Text, 0, "&Options...", "选项(&O)..."},
        {C(mnuWindow), P::Text, 0, "&Window", "窗口(&W)"},
        {C(mnuWindowCascade), P::Text, 0, "&Cascade", "叠放(&C)"},
        {C(mnuWindowTileHorizontal), P::Text, 0, "Tile &Horizontal", "水平排列(&H)"},
        {C(mnuWindowTileVertical), P::Text, 0, "Tile &Vertical", "垂直排列(&V)"},
        {C(mnuWindowArrangeIcons), P::Text, 0, "&Arrange Icons", "排列图标(&A)"},
        {C(mnuHelp), P::Text, 0, "&Help", "帮助(&H)"},
        {C(mnuHelpContents), P::Text, 0, "&Contents", "内容(&C)"},
        {C(mnuHelpAbout), P::Text, 0, "&About...", "关于(&A)..."},
        {C(mnuHelpLanguage), P::Text, 0, "&Language", "语言(&L)"},
    };
    return t;
}

const CaptionTable& DataSheetPopupCaptionTable() {
    using W = frmDataSheetTree;
    // Rename and Remove get their texts, with the node's name, when the popup opens.
    static const CaptionTable t = {
        {C(mnuNewDataSheet), P::Text, 0, "&New Data Sheet", "新建数据浏览器"},
        {C(mnuOpenDataSheet), P::Text, 0, "&Open Data Sheet", "打开数据浏览器"},
        {C(mnuSaveDataSheet), P::Text, 0, "&Save Data Sheet", "保存数据浏览器"},
        {C(mnuSaveDataSheetAs), P::Text, 0, "Sa&ve Data Sheet As", "另存数据浏览器为"},
        {C(mnuAddNew), P::Text, 0, "&Add New", "添加新建"},
        {C(mnuSorted), P::Text, 0, "So&rted", "排序"},
        {C(mnuAddNewWaveform), P::Text, 0, "&Waveform", "波形窗口"},
        {C(mnuAddNewMeasure), P::Text, 0, "&Measure", "测量窗口"},
        {C(mnuAddNewData), P::Text, 0, "&Data", "数据窗口"},
        {C(mnuAddNewPlayBack), P::Text, 0, "&Record", "波形录制回放窗口"},
        {C(mnuAddNewMemoryWave), P::Text, 0, "M&emory waveform", "波形文件读取窗口"},
    };
    return t;
}

const CaptionTable& CtrlListPopupCaptionTable() {
    using W = frmCtrlList;
    static const CaptionTable t = {
        {C(mnuNewCtrl), P::Text, 0, "&New Control File", "新建控制文件"},
        {C(mnuOpenCtrl), P::Text, 0, "&Open Control File", "打开控制文件"},
        {C(mnuSaveCtrl), P::Text, 0, "&Save Control File", "保存控制文件"},
        {C(mnuSaveAsCtrl), P::Text, 0, "Save Control File &As", "另存控制文件为"},
        {C(mnuConnect), P::Text, 0, "&Connect To DSO", "连接示波器"},
        {C(mnuDisconnect), P::Text, 0, "D&isconnect", "断开连接"},
        {C(mnuUpload), P::Text, 0, "&Upload", "上传"},
        {C(mnuDownLoad), P::Text, 0, "&Download", "下载"},
        {C(mnuExpand), P::Text, 0, "&Expand All", "展开全部节点"},
    };
    return t;
}

const CaptionTable& ToolbarCaptionTable() {
    using W = frmMain;
    // Buttons 4, 7, 10, 14 and 17 are separators. Six English tips end with a blank.
    static const CaptionTable t = {
        {C(tbToolBar), P::ToolButton, 1, "New", "新建"},
        {C(tbToolBar), P::ToolButton, 2, "Open", "打开"},
        {C(tbToolBar), P::ToolButton, 3, "Save All", "保存全部"},
        {C(tbToolBar), P::ToolButton, 5, "Connect to Oscilloscope", "连接示波器"},
        {C(tbToolBar), P::ToolButton, 6, "Disconnect", "断开连接"},
        {C(tbToolBar), P::ToolButton, 8, "DSO Controller", "DSO控制器"},
        {C(tbToolBar), P::ToolButton, 9, "Data Browser ", "数据浏览器"},
        {C(tbToolBar), P::ToolButton, 11, "Add New Waveform ", "添加波形窗口"},
        {C(tbToolBar), P::ToolButton, 12, "Add New Measure ", "添加测量窗口"},
        {C(tbToolBar), P::ToolButton, 13, "Add New Data ", "添加数据窗口"},
        {C(tbToolBar), P::ToolButton, 15, "Add New Record ", "添加录制文件回放窗口"},
        {C(tbToolBar), P::ToolButton, 16, "Add New Memory Waveform ", "添加波形文件读取窗口"},
        {C(tbToolBar), P::ToolButton, 18, "Options", "选项"},
        {C(picLED_OFF), P::ToolTip, 0, "Connection Status-[Disconnected]", "连接状态-[未连接]"},
        {C(picLED_ON), P::ToolTip, 0, "Connection Status-[Connected]", "连接状态-[已连接]"},
    };
    return t;
}

const CaptionTable& DataSheetTreeCaptionTable() {
    using W = frmDataSheetTree;
    // Node 2, the sheet: its default name (the setter shows the sheet's own name).
    static const CaptionTable t = {
        {{}, P::Title, 0, "Data Sheet", "数据浏览器"},
        {C(DataSheetTree), P::Node, 1, "Data Sheet", "数据浏览器"},
        {C(DataSheetTree), P::Node, 2, "Untitle", "未标题"},
    };
    return t;
}

const CaptionTable& PaneCloseCaptionTable() {
    static const CaptionTable t = {
        {{}, P::Accessible, 0, "Close", "关闭"},
        {{}, P::Description, 0, "Closes the dock widget", "关闭停靠窗口"},
    };
    return t;
}

const CaptionTable& CtrlListCaptionTable() {
    using W = frmCtrlList;
    static const CaptionTable t = {
        {{}, P::Title, 0, "DSO Controller", "DSO控制器"},
        {C(cmdUpload), P::Text, 0, "     Upload", "      上传 ."},
        {C(cmdDownload), P::Text, 0, "     Download", "      下载 ."},
        {C(cmdUpload), P::ToolTip, 0, "Upload To Scope", "上传到仪器"},
        {C(cmdDownload), P::ToolTip, 0, "Download To Software", "下载到软件"},
    };
    return t;
}
