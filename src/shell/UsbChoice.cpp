#include "shell/UsbChoice.h"

namespace {
struct Choice {
    int index = 0;
    QString resource;
};
Choice& choice() {
    static Choice c;
    return c;
}
}  // namespace

QStringList FindUsbResources() { return {}; }
int UsbChoiceIndex() { return choice().index; }
QString UsbChoiceResource() { return choice().resource; }
void SetUsbDeviceChoice(int index, const QString& resource) {
    choice().index = index;
    choice().resource = resource;
}
void ResetUsbDeviceChoice() { SetUsbDeviceChoice(0, QString()); }
