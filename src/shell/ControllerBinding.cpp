#include "shell/ControllerBinding.h"

#include "controller/CtrlDocument.h"
#include "controller/CtrlState.h"
#include "controller/CtrlTree.h"
#include "editors/EditDispatch.h"
#include "link/Converters.h"
#include "shell/DocumentCommands.h"
#include "shell/Language.h"

void BindControllerCommands() {
    DocumentCommandsData& d = DocCommands();
    d.NewCtrl = [] { NewCtrl(); };
    d.OpenCtrlDialog = [] { OpenCtrlDialog(); };
    d.OpenCtrl = [](const QString& path) { OpenCtrl(path); };
    d.SaveCtrl = [] { SaveCtrl(); };
    LanguageHooks().RebuildCtrlTree = [] { RebuildCtrlTree(); };
    CtrlHooks().PraseCtrlList = [](const QString& path) { PraseCtrlList(path); };
    CtrlTreeUi().SetNodeText = [](int group, int item, const QString& text) {
        ReplaceCtrlNodeText(group, item, text);
    };
}
