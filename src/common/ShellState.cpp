#include "common/ShellState.h"

ShellStateData& Shell() {
    static ShellStateData s;
    return s;
}
