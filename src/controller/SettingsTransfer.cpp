#include "controller/SettingsTransfer.h"

#include <cmath>

#include "common/Wait.h"
#include "controller/SettingsTransferSteps.h"
#include "link/Formatters.h"
#include "link/ReplyParse.h"
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

QString LevelDivText(const QString& volts, double offset, const QString& scale) {
    const double d = LeadingNumber(scale);
    if (d == 0) return QString();
    const double q = (LeadingNumber(volts) + offset) / d;
    if (!std::isfinite(q)) return QString();
    return FormatDiv(q);
}
