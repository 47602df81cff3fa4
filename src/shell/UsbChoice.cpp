#include "shell/UsbChoice.h"

#include "link/UsbFunc.h"

QStringList FindUsbResources() {
    UsbStateData& u = Usb();
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    char desc[VI_FIND_BUFLEN] = {};
    viFindRsrc(u.DefaultRM, "USB?*INSTR", &list, &count, desc);
    QStringList found;
    const int table = static_cast<int>(u.UsbResourceList.size());
    // The resource table holds 11 descriptions; further matches are not listed.
    for (ViUInt32 i = 0; i < count && static_cast<int>(i) < table; ++i) {
        if (i > 0) {
            desc[0] = '\0';
            if (viFindNext(list, desc) != VI_SUCCESS) break;
        }
        desc[VI_FIND_BUFLEN - 1] = '\0';
        const QString d = QString::fromLatin1(desc);
        u.UsbResourceList[i] = d;
        found.append(d);
    }
    if (list != VI_NULL) viClose(list);
    return found;
}

int UsbChoiceIndex() { return Usb().UsbDeviceIndex; }
QString UsbChoiceResource() { return Usb().UsbResource; }

void SetUsbDeviceChoice(int index, const QString& resource) {
    Usb().UsbDeviceIndex = index;
    Usb().UsbResource = resource;
}

void ResetUsbDeviceChoice() { SetUsbDeviceChoice(0, QString()); }
