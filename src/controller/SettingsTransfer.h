#pragma once
// Upload (transfer job 22) and download (transfer job 23) of all settings:
// the whole settings mirror to the instrument in one fixed sequence, and
// every mirrored setting back from it.
//
// Both talk to the instrument only through SendCmd/QueryCmd, and advance the
// transfer window's bar themselves. The upload stops when the link is lost
// and says so. The download fills a copy of the mirror and commits it only
// when every reply came and the link stayed up; otherwise it says so and the
// mirror is left as it was. The controller window's Upload and Download
// (frmCtrlList) run them through the transfer window and read the outcome.
#include <QList>
#include <QString>

#include "common/DSOSettings.h"

// The job bodies (run by the transfer window's first tick).
void UploadSettings();
void DownloadSettings();

// Hands the two job bodies to the transfer window (TransferUi()).
void InstallSettingsTransferJobs();

// The outcome of the last run of each job.
struct SettingsTransferOutcome {
    bool UploadComplete = false;     // every row was sent (none left out) over a link that stayed up
    bool DownloadCommitted = false;  // the mirror took the instrument's settings
};
SettingsTransferOutcome& LastSettingsTransfer();

// ---- Pure pieces, shared by the jobs and their tests -------------------------
// The numbers (1 .. CtrlValueCount, ascending) of the values of `s` that the
// upload cannot send: a word its converter does not know, a source, format
// or video standard the instrument has not, a text that is no number with
// the setting's unit, a code, display or position of another form. Every
// block counts, whatever the trigger method; the upload leaves these values'
// commands out and names them.
QList<int> UnsendableCtrlValues(const CtrlSettings& s);
// The settings (value numbers) that the upload's and the download's
// sequences carry, in their order: every block whatever the trigger method,
// both channels' alternation triggers of every type, the logic analyser's
// blocks included. The table test holds them against the catalog.
QList<int> UploadSequence();
QList<int> DownloadSequence();
// ":LA:STATUS" number and ":LA:LOCATION" numbers of the logic channel arrays.
long long LaStatusNumber(const CtrlSettings& s);
QString LaLocationText(const CtrlSettings& s);
// The status and location rules of the download; a location reply is two
// nibble words "low,high".
void ApplyLaStatus(CtrlSettings& s, const QString& reply);
bool IsLocationReply(const QString& reply);
void ApplyLaLocation(CtrlSettings& s, const QString& reply);
