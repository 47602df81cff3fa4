// Placeholder bodies until connect and identify land.
#include "link/KV2200Cmd.h"

void ConnectDSO() {}
void DisconnectDSO() {}
bool IsColorModel() { return false; }
