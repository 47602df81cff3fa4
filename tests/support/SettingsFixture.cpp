#include "SettingsFixture.h"

#include "controller/CtrlList.h"
#include "controller/SettingsTransfer.h"

namespace SettingsFixture {
bool Upload() {
    LastSettingsTransfer().UploadComplete = false;
    CtrlListForm()->UploadToDSO();
    return LastSettingsTransfer().UploadComplete;
}

bool Download() {
    LastSettingsTransfer().DownloadCommitted = false;
    CtrlListForm()->DownloadfromDSO();
    return LastSettingsTransfer().DownloadCommitted;
}
}  // namespace SettingsFixture
