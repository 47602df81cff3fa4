#include "memwave/MemWaveCsvExport.h"

#include <QPointer>
#include <QWidget>

#include "common/SaveProgress.h"
#include "common/SheetModel.h"
#include "common/ShellState.h"
#include "common/Wait.h"
#include "link/Messages.h"
#include "memwave/model/MemoryWaveCsv.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"
#include "sheets/ViewWindows.h"

QString CsvExportDialogTitle(int language) {
    if (language == LangChinese) return QString::fromUtf8("保存到CSV文件");
    if (language == LangEnglish) return QStringLiteral("Save To CSV file");
    return QString();
}

QString CsvExportDialogFilter(int language) {
    const QString prefix = language == LangChinese   ? QString::fromUtf8("CSV文件 ")
                           : language == LangEnglish ? QStringLiteral("CSV Files ")
                                                     : QString();
    return prefix + QStringLiteral("(*.csv)|*.csv");
}

namespace {
// An export is writing (set before the progress window shows, which may
// already let a second press through).
bool Exporting = false;

const MemWaveInfo* RecordOf(const QWidget* form) {
    const int slot = form ? FormSlot(ViewMemoryWave, form) : -1;
    return slot < 0 ? nullptr : &Sheets().MemWaveViews[size_t(slot)];
}
}  // namespace

void ExportMemoryWaveCsv(QWidget* form) {
    if (Exporting || SaveProgress().IsSavingCsv) return;
    const MemWaveInfo* rec = RecordOf(form);
    if (!rec) return;
    if (rec->ScreenData.CH1Shown != 1 && rec->ScreenData.CH2Shown != 1) {
        MsgBox(MessageTable().MsgBadWaveData);
        return;
    }
    QPointer<QWidget> guard(form);
    const int lang = Shell().UILanguage;
    const QString path = GetSaveFileName(CsvExportDialogTitle(lang), CsvExportDialogFilter(lang), form);
    if (path.isEmpty() || !guard || Exporting || SaveProgress().IsSavingCsv) return;
    // The dialog let other handlers run: the window may hold another slot now.
    rec = RecordOf(guard);
    if (!rec) return;
    MemoryWaveCsvSource source;
    if (MakeMemoryWaveCsvSource(*rec, source) != MemoryWaveCsvStatus::Ok) {
        MsgBox(MessageTable().MsgBadWaveData);
        return;
    }
    guard->update();
    QString error;
    bool ok;
    Exporting = true;
    {
        SaveProgressScope progress;
        ok = SaveMemoryWaveCsv(path, source, &error,
                               {[&](int percent) { progress.SetValue(percent); }, [] { YieldOnce(); }});
        progress.Finish();
    }
    Exporting = false;
    if (!ok) MsgBox(error, vbCritical);
}
