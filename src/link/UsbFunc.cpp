// Placeholder bodies until the USB transport lands.
#include "link/UsbFunc.h"

void OpenVisaRM() {}
void CloseVisaRM() {}
void OpenVisa() {}
void WriteVisa(const QString&) {}
QString ReadVisa() { return QString(); }
QString ReadVisaBlock(int32_t&) { return QString(); }
void ReadSystemDataVisa() {}
void ReadHardcopyChunk(int32_t&, std::vector<uint8_t>&) {}
void GetHardcopyVisa(std::vector<uint8_t>&) {}
