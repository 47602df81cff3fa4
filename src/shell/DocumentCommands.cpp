#include "shell/DocumentCommands.h"

DocumentCommandsData& DocCommands() {
    static DocumentCommandsData d;
    return d;
}
