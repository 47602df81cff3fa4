#include "controller/SettingsTransfer.h"

#include "common/Wait.h"
#include "controller/SettingsTransferSteps.h"
#include "link/TransferJobs.h"

void SettingsProgressStep(double step) {
    AddProgress(step);
    YieldOnce();
}

SettingsTransferOutcome& LastSettingsTransfer() {
    static SettingsTransferOutcome o;
    return o;
}

void InstallSettingsTransferJobs() {
    TransferUi().UploadSettings = [] { UploadSettings(); };
    TransferUi().DownloadSettings = [] { DownloadSettings(); };
}

