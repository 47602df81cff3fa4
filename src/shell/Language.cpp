// Placeholder body until the language machinery lands.
#include "shell/Language.h"

void ApplyLanguage(int) {}
