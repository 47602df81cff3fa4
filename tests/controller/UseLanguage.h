#pragma once
// The vocabulary and message tables of one UI language, without windows.
#include "common/ShellState.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"

inline void UseLanguage(int lang) {
    Shell().UILanguage = lang;
    LoadValueWords(lang);
    LoadControllerLabels(lang);
    LoadMessages(lang);
}
