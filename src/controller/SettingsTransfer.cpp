#include "controller/SettingsTransfer.h"

#include <cmath>

#include "common/ShellState.h"
#include "common/Wait.h"
#include "controller/CtrlState.h"
#include "controller/SettingsTransferSteps.h"
#include "link/LinkState.h"
#include "link/Messages.h"
#include "link/ReplyParse.h"
#include "link/TransferJobs.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

void SettingsProgressStep(double step) {
    AddProgress(step);
    YieldOnce();
}

SettingsTransferHooks& SettingsTransferUi() {
    static SettingsTransferHooks h;
    return h;
}

SettingsTransferOutcome& LastSettingsTransfer() {
    static SettingsTransferOutcome o;
    return o;
}

void InstallSettingsTransferJobs() {
    TransferUi().UploadSettings = [] { UploadSettings(); };
    TransferUi().DownloadSettings = [] { DownloadSettings(); };
}

namespace {

QString TransferCaption(bool upload) {
    switch (Shell().UILanguage) {
    case LangChinese: return QString::fromUtf8(upload ? "数据上传中..." : "数据下载中...");
    case LangEnglish: return upload ? "Data Uploading..." : "Data Downloading...";
    default: return QString();
    }
}

bool RunSettingsJob(int code) {
    auto& outcome = LastSettingsTransfer();
    const bool upload = code == JobUpload;
    (upload ? outcome.UploadComplete : outcome.DownloadCommitted) = false;
    if (!RunTransfer(code, TransferCaption(upload), true)) return false;
    return upload ? outcome.UploadComplete : outcome.DownloadCommitted;
}

// The checks both commands make first: a connection, and no transfer running.
bool TransferAllowed() {
    if (!Link().IsConnected) {
        MsgBox(MessageTable().MsgConnectFirst, vbExclamation);
        return false;
    }
    return !Transfer().TransferBusy;
}

void ClearTransferSwitches() {
    CtrlSettings& s = DSOSettings();
    s.CH1Invert = s.CH2Invert = s.SpareSwitch = ValueWord(vwOff);
}

}  // namespace

bool UploadToDSO() { return RunSettingsJob(JobUpload); }

bool DownloadfromDSO() { return RunSettingsJob(JobDownload); }

void UploadAllSettings() {
    if (!TransferAllowed()) return;
    ClearTransferSwitches();
    UploadToDSO();
}

void DownloadAllSettings() {
    if (!TransferAllowed()) return;
    // A download that did not complete leaves the whole mirror as it was.
    if (!DownloadfromDSO()) return;
    ClearTransferSwitches();
    CtrlState().CtrlModified = true;
}

QString LevelDivText(const QString& volts, double offset, const QString& scale) {
    const double d = LeadingNumber(scale);
    if (d == 0) return QString();
    const double q = (LeadingNumber(volts) + offset) / d;
    if (!std::isfinite(q)) return QString();
    return FormatWithMask(q, "#0.00") + "div";
}
