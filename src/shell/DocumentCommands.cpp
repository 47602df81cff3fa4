#include "shell/DocumentCommands.h"

#include "sheets/DataSheetTree.h"

DocumentCommandsData& DocCommands() {
    static DocumentCommandsData d;
    return d;
}

void BindDataSheetCommands() {
    DocumentCommandsData& d = DocCommands();
    d.NewDataSheet = [] { DataBrowserForm()->mnuNewDataSheet_Click(); };
    d.OpenDataSheetDialog = [] { DataBrowserForm()->mnuOpenDataSheet_Click(); };
    d.OpenDataSheet = [](const QString& path) { DataBrowserForm()->OpenDataSheet(path); };
    d.SaveDataSheet = [] { DataBrowserForm()->mnuSaveDataSheet_Click(); };
}
