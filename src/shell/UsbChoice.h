#pragma once
// The shell's view of the USB device choice and search: the options dialog
// lists the USB instruments the VISA layer finds and chooses the one the next
// USB connect opens. The choice is never stored between runs.
#include <QString>
#include <QStringList>

// Every VISA resource description matching "USB?*INSTR", in search order, at
// most 11 (the size of the resource table).
QStringList FindUsbResources();

// 0 = none chosen (the next connect takes the first device found), else the
// 1-based position in the last search.
int UsbChoiceIndex();
QString UsbChoiceResource();
void SetUsbDeviceChoice(int index, const QString& resource);
void ResetUsbDeviceChoice();
