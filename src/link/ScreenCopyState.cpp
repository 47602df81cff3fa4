#include "link/ScreenCopyState.h"

ScreenCopyStateData& ScreenCopy() {
    static ScreenCopyStateData s;
    return s;
}
