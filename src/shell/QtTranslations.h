#pragma once
// Qt's own texts (standard buttons, file, print and preview dialogs) in the
// UI language: Qt's translation catalogue is installed for Chinese and removed
// for English, so a Chinese user sees one language.

// Installs (0 Chinese) or removes (1 English) Qt's own catalogue. Other values
// change nothing. True when the catalogue asked for is in place afterwards
// (for English: always); false when the Chinese catalogue could not be found.
bool ApplyQtTranslations(int lang);

// True while Qt's Chinese catalogue is installed.
bool QtTranslationsInstalled();
