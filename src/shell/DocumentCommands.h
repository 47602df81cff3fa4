#pragma once
// The document commands the main window routes to the data browser and the
// controller window. Main() binds them at start (BindDataSheetCommands,
// BindControllerCommands) and the main window the add-view commands; a menu
// item or toolbar button is enabled only while its command is bound.
#include <QString>
#include <functional>

struct DocumentCommandsData {
    // Data sheet (data browser).
    std::function<void()> NewDataSheet;         // frmDataSheetTree.mnuNewDataSheet_Click
    std::function<void()> OpenDataSheetDialog;  // frmDataSheetTree.mnuOpenDataSheet_Click
    std::function<void(const QString&)> OpenDataSheet;  // frmDataSheetTree.OpenDataSheet(path)
    std::function<void()> SaveDataSheet;        // frmDataSheetTree.mnuSaveDataSheet_Click
    std::function<void()> AddNewWaveform, AddNewMeasure, AddNewData, AddNewRecord, AddNewMemoryWave;
    // Controller file (controller window).
    std::function<void()> NewCtrl;              // frmCtrlList.mnuNewCtrl_Click
    std::function<void()> OpenCtrlDialog;       // frmCtrlList.mnuOpenCtrl_Click
    std::function<void(const QString&)> OpenCtrl;  // frmCtrlList.OpenCtrl(path)
    std::function<void()> SaveCtrl;             // frmCtrlList.mnuSaveCtrl_Click
};

DocumentCommandsData& DocCommands();

// Binds the data sheet commands to the data browser (New, Open, the recent
// and start-up open, Save, which Save All and the exit question also use).
void BindDataSheetCommands();
