#include "shell/Language.h"
#include "shell/QtTranslations.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QPainter>
#include <QWidget>
#include <memory>

#include "common/SettingsStore.h"
#include "common/SheetModel.h"
#include "sheets/ViewHost.h"
#include "sheets/ViewRecords.h"
#include "sheets/ViewWindows.h"
#include "common/ShellState.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "measure/frmMeasure.h"
#include "measure/frmPassFailed.h"
#include "memwave/frmOpenWaveform.h"
#include "panel/PanelWindows.h"
#include "panel/frmV_Panel.h"
#include "replay/frmRecordPlay.h"
#include "shell/Captions.h"
#include "shell/MainWindow.h"

namespace {

QString& HelpFile() {
    static QString f;
    return f;
}


bool IsLanguage(int lang) { return lang == 0 || lang == 1; }

// The check mark of the Language menu: on the Chinese item for 0, on the
// English item for any other value.
void SetLanguageChecks(int lang) {
    frmMain* main = MainForm();
    if (!main) return;
    main->mnuLanguageChinese->setChecked(lang == 0);
    main->mnuLanguageEnglish->setChecked(lang != 0);
}

void LoadLanguageTables(int lang) {
    // The message table, then the value words, controller labels and
    // measurement names, before any caption is set.
    LoadMessages(lang);
    LoadValueWords(lang);
    LoadControllerLabels(lang);
    LoadMeasureNames(lang);
}

// One view kind's windows.
struct ViewCaptions {
    ViewKind kind;
    const char* name;
    const CaptionTable& (*table)();
};

void SetViewCaptions(const ViewCaptions& v, int slot, int lang) {
    if (!IsLanguage(lang) || !SlotInRange(v.kind, slot)) return;
    ApplyCaptionTable(ExistingViewForm(v.kind, slot), v.table(), lang, /*oneWindow=*/true);
}

void SetViewCaptionsAll(const ViewCaptions& v, int lang) {
    if (!IsLanguage(lang)) return;
    const int count = qMin<int>(ViewCount(v.kind), SlotCount(v.kind));
    for (int slot = 0; slot < count; ++slot) {
        if (!ViewWindowOpen(v.kind, slot)) continue;
        QWidget* w = ExistingViewForm(v.kind, slot);
        if (!w) continue;
        ApplyCaptionTable(w, v.table(), lang);
        if (v.kind == ViewRecord) {
            RecordInfo& r = Sheets().RecordViews[slot];
            r.StatusText = TranslateRecordStatus(r.StatusText, lang);
        }
        const CaptionKind& k = CaptionKindOf(QString::fromLatin1(v.name));
        if (k.afterCaptions) {
            k.afterCaptions(w, slot, lang);
        } else if (auto* record = qobject_cast<frmRecordPlay*>(w)) {
            // Without a hook of its own, the status line redraws from the record.
            record->PicMsg->Refresh();
        }
    }
}

const ViewCaptions kWave{ViewWave, "frmWave", &WaveWindowCaptionTable};
const ViewCaptions kData{ViewData, "frmData", &DataWindowCaptionTable};
const ViewCaptions kMeasure{ViewMeasure, "frmMeasure", &MeasureWindowCaptionTable};
const ViewCaptions kRecord{ViewRecord, "frmRecordPlay", &RecordWindowCaptionTable};
const ViewCaptions kMemWave{ViewMemoryWave, "frmOpenWaveform", &MemoryWaveWindowCaptionTable};

}  // namespace

// ---- Language ----------------------------------------------------------------

void ReadLanguageSetting() {
    bool ok = false;
    const int lang = GetStoredText("Velmora_Language", "Language").trimmed().toInt(&ok);
    Shell().UILanguage = (ok && lang == LangChinese) ? LangChinese : LangEnglish;
}

void SaveLanguageSetting() { SaveStoredText("Velmora_Language", "Language", QString::number(Shell().UILanguage)); }

QString HelpFilePath() { return HelpFile(); }

LanguageHooksData& LanguageHooks() {
    static LanguageHooksData h;
    return h;
}

void ApplyLanguage(int lang) {
    HelpFile() = QCoreApplication::applicationDirPath() +
                 (lang == 0 ? QStringLiteral("/KV2200help_Chinese.chm")
                            : QStringLiteral("/KV2200help.chm"));
    SetLanguageChecks(lang);
    ApplyQtTranslations(lang);

    LoadLanguageTables(lang);

    SetMainMenuCaptions(lang);
    SetPopupMenuCaptions(lang);
    SetToolbarCaptions(lang);
    SetDataSheetTreeCaptions(lang);
    SetCtrlListCaptions(lang);
    SetPaneCloseCaptions(lang);

    SetWaveWindowCaptionsAll(lang);
    SetDataWindowCaptionsAll(lang);
    SetMeasureWindowCaptionsAll(lang);
    SetRecordWindowCaptionsAll(lang);
    SetMemoryWaveWindowCaptionsAll(lang);

    // Window kinds added later that follow a switch.
    for (const QString& name : SwitchCaptionKinds()) {
        const CaptionKind& k = CaptionKindOf(name);
        if (!k.openWindows) continue;
        for (QWidget* w : k.openWindows()) ApplyCaptionTable(w, k.table, lang);
    }
}

void SwitchLanguage(int newLang) {
    if (!IsLanguage(newLang)) return;
    const int oldLang = Shell().UILanguage;
    SetLanguageChecks(newLang);
    Shell().UILanguage = newLang;
    ApplyLanguage(newLang);
    // The mirror's words pass to the new language (needs its value words, loaded above).
    TranslateSettingWords(newLang, oldLang);
    SaveLanguageSetting();
    if (LanguageHooks().RebuildCtrlTree) LanguageHooks().RebuildCtrlTree();
}

// ---- Main window and panes ------------------------------------------------------

void SetMainMenuCaptions(int lang) {
    ApplyCaptionTable(CaptionWindow(QStringLiteral("frmMain")), MainMenuCaptionTable(), lang);
}

void SetPopupMenuCaptions(int lang) {
    // Reaching each pane loads it the first time, whatever the language.
    QWidget* browser = CaptionWindow(QStringLiteral("frmDataSheetTree"));
    ApplyCaptionTable(browser, DataSheetPopupCaptionTable(), lang);
    QWidget* ctrl = CaptionWindow(QStringLiteral("frmCtrlList"));
    ApplyCaptionTable(ctrl, CtrlListPopupCaptionTable(), lang);
}

void SetToolbarCaptions(int lang) {
    ApplyCaptionTable(CaptionWindow(QStringLiteral("frmMain")), ToolbarCaptionTable(), lang);
}

void SetDataSheetTreeCaptions(int lang) {
    if (lang != 0 && lang != 1) return;
    // An untitled sheet's default name follows the language; a sheet with a
    // name of its own keeps it.
    SheetModelData& sheet = Sheets();
    const CaptionTable& table = DataSheetTreeCaptionTable();
    CaptionTable rows;
    for (CaptionRow row : table) {
        if (row.prop == CaptionProp::Node && row.item == 2) {
            if (sheet.SheetFileName.isEmpty() &&
                (sheet.SheetName == row.en || sheet.SheetName == row.zh))
                sheet.SheetName = CaptionText(row, lang);
            // The sheet node always shows the sheet's name.
            row.en = row.zh = sheet.SheetName;
            row.zhOneWindow.clear();
        }
        rows.push_back(row);
    }
    // Each text on its own: a tree without its sheet node still gets the others.
    ApplyCaptionTable(CaptionWindow(QStringLiteral("frmDataSheetTree")), rows, lang);
}

void SetCtrlListCaptions(int lang) {
    ApplyCaptionTable(CaptionWindow(QStringLiteral("frmCtrlList")), CtrlListCaptionTable(), lang);
}

void SetPaneCloseCaptions(int lang) {
    frmMain* main = MainForm();
    if (!main) return;
    for (QAbstractButton* close : {main->DataSheetPaneClose, main->ControllerPaneClose})
        ApplyCaptionTable(close, PaneCloseCaptionTable(), lang);
}

// ---- Dialogs and panels --------------------------------------------------------

void SetNewDocCaptions(QWidget* d, int lang) { ApplyCaptionTable(d, NewDocCaptionTable(), lang); }
void SetOpenDocCaptions(QWidget* d, int lang) { ApplyCaptionTable(d, OpenDocCaptionTable(), lang); }
void SetOptionsCaptions(QWidget* d, int lang) { ApplyCaptionTable(d, OptionsCaptionTable(), lang); }
void SetSplashCaptions(QWidget* d, int lang) { ApplyCaptionTable(d, SplashCaptionTable(), lang); }
void SetAboutCaptions(QWidget* d, int lang) { ApplyCaptionTable(d, AboutCaptionTable(), lang); }
void SetAdjustDialogCaptions(QWidget* d, int lang) {
    ApplyCaptionTable(d, AdjustDialogCaptionTable(), lang);
}
void SetPassFailCaptions(QWidget* d, int lang) { ApplyCaptionTable(d, PassFailCaptionTable(), lang); }
void SetVirtualPanelCaptions(QWidget* d, int lang) {
    ApplyCaptionTable(d, VirtualPanelCaptionTable(), lang);
    auto* panel = dynamic_cast<frmV_Panel*>(d);
    if (panel && panel->cmdZoom) ApplyCaptionTable(d, VirtualPanelZoomCaptionTable(), lang);
    NamePanelKeys(d, lang);
}
void SetVirtualKeyCaptions(QWidget* d, int lang) {
    ApplyCaptionTable(d, VirtualKeyCaptionTable(), lang);
    NamePanelKeys(d, lang);
}

// ---- Document windows --------------------------------------------------------

void SetWaveWindowCaptions(int slot, int lang) { SetViewCaptions(kWave, slot, lang); }
void SetWaveWindowCaptionsAll(int lang) { SetViewCaptionsAll(kWave, lang); }
void SetDataWindowCaptions(int slot, int lang) { SetViewCaptions(kData, slot, lang); }
void SetDataWindowCaptionsAll(int lang) { SetViewCaptionsAll(kData, lang); }
void SetMeasureWindowCaptions(int slot, int lang) { SetViewCaptions(kMeasure, slot, lang); }
void SetMeasureWindowCaptionsAll(int lang) { SetViewCaptionsAll(kMeasure, lang); }
void SetRecordWindowCaptions(int slot, int lang) { SetViewCaptions(kRecord, slot, lang); }
void SetRecordWindowCaptionsAll(int lang) { SetViewCaptionsAll(kRecord, lang); }
void SetMemoryWaveWindowCaptions(int slot, int lang) { SetViewCaptions(kMemWave, slot, lang); }

void InstallViewCaptionSetters() {
    // The measurement views show their list again in the new language (names
    // and verdicts); their limits dialog takes its texts when it loads.
    CaptionKindOf(QStringLiteral("frmMeasure")).afterCaptions = [](QWidget* w, int, int) {
        if (auto* m = qobject_cast<frmMeasure*>(w)) m->Redisplay();
    };
    // The memory-wave views name their step controls for screen readers anew.
    CaptionKindOf(QStringLiteral("frmOpenWaveform")).afterCaptions = [](QWidget* w, int, int lang) {
        if (auto* m = qobject_cast<frmOpenWaveform*>(w)) m->NameStepControls(lang);
    };
    PassFailCaptionSetter() = [](QWidget* d, int lang) { SetPassFailCaptions(d, lang); };
    ViewHost().SetCaptions = [](ViewKind kind, int slot, int lang) {
        switch (kind) {
        case ViewWave: SetWaveWindowCaptions(slot, lang); break;
        case ViewMeasure: SetMeasureWindowCaptions(slot, lang); break;
        case ViewData: SetDataWindowCaptions(slot, lang); break;
        case ViewRecord: SetRecordWindowCaptions(slot, lang); break;
        case ViewMemoryWave: SetMemoryWaveWindowCaptions(slot, lang); break;
        }
    };
}
void SetMemoryWaveWindowCaptionsAll(int lang) { SetViewCaptionsAll(kMemWave, lang); }

