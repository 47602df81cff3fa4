#pragma once
// The vocabulary tables of the UI language: the names of the 18 automatic
// measurements, the words in which setting values are shown and held, and
// the labels of the controller tree (with the data sheet's default name and
// the data browser's root text). Filled by the loaders whenever the UI
// language is applied; empty before the first load.
#include <QList>
#include <QString>
#include <array>

#include "common/DSOSettings.h"

// Indices of ValueWords. Several English words occur twice (AC, NORMAL, the
// pulse and slope conditions): the index, not the text, tells them apart.
enum ValueWordIndex {
    vwRun = 0, vwStop, vwOn, vwOff, vwUser,
    vwEdge, vwPulse, vwVideo, vwSlope, vwAlternative, vwPattern, vwDuration,
    vwAcLine, vwCouplingAC, vwDC, vwLF, vwHF, vwGND,
    vwAuto, vwSweepNormal, vwSingle,
    vwRising, vwFalling, vwAlternation,
    vwPulseLessPos, vwPulseLessNeg, vwPulseGreaterPos, vwPulseGreaterNeg,
    vwPulseEqualPos, vwPulseEqualNeg,
    vwPositive, vwNegative,
    vwAllLines, vwLine, vwOddField, vwEvenField,
    vwSlopeLessPos, vwSlopeLessNeg, vwSlopeGreaterPos, vwSlopeGreaterNeg,
    vwSlopeEqualPos, vwSlopeEqualNeg,
    vwLessThan, vwGreaterThan, vwEqual,
    vwRealTime, vwEqualTime,
    vwAcqNormal, vwPeakDetect, vwAverage,
    vwVectors, vwDots,
    vwFull, vwHalf, vwNone,
    ValueWordCount
};

// A few ControllerLabels indices that code outside the tree builder uses.
enum ControllerLabelIndex {
    clCodeH = 40, clCodeL = 41, clCodeX = 42, clRising = 43, clFalling = 44,
    clD15 = 45,  // D15 .. D0 are 45 .. 60
    ControllerLabelCount = 84  // indices 0 .. 83; 63 and 72 are unused
};

constexpr int MeasureNameCount = 18;

struct VocabularyData {
    std::array<QString, MeasureNameCount> MeasureNames;
    std::array<QString, ValueWordCount> ValueWords;
    std::array<QString, ControllerLabelCount> ControllerLabels;
    QString DefaultSheetName;
    QString SheetRootName;
};

// The tables in the current UI language.
VocabularyData& Vocabulary();

// Shorthands for the current entries.
const QString& ValueWord(int index);
const QString& ControllerLabel(int index);

// The fixed texts of either language (0 Chinese, 1 English), whatever is
// loaded; an unknown language or index gives the empty text.
QString ValueWordIn(int index, int language);
QString ControllerLabelIn(int index, int language);
QString MeasureNameIn(int index, int language);
// A stored display word means ON: the ON word of either language (a record
// keeps the word of the language active when it was filled).
bool IsOnWordOfEitherLanguage(const QString& word);

// Loaders: 0 stores the Chinese texts, 1 the English texts, any other value
// changes nothing (LoadControllerLabels still stores the language-neutral
// entries).
void LoadMeasureNames(int language);
void LoadValueWords(int language);
void LoadControllerLabels(int language);

// Rewrites the value words of the settings mirror from the old language to
// the new one: a value that spells one of its own words (SettingCatalog) in
// the old language gets that word in the new one; any other text stays as it
// is. Call after LoadValueWords(newLanguage) and LoadControllerLabels(newLanguage).
void TranslateSettingWords(int newLanguage, int oldLanguage);
void TranslateSettingWords(CtrlSettings& s, int newLanguage, int oldLanguage);

// Brings the value words of a mirror read from a file (written in either UI
// language) to the words of `language` (0 Chinese, 1 English): a value that
// spells one of its setting's choices in either language becomes that choice
// in `language`. Returns the numbers (1 .. CtrlValueCount, record order) of
// the values that spell none of their setting's own words or codes (those
// the catalog judges); they keep their text (the upload leaves them out).
// Values without a fixed list of choices (numbers, sources, the threshold)
// are only translated where they hold a word. Any other language changes
// nothing.
QList<int> NormalizeSettingWords(CtrlSettings& s, int language);

// Gives every value of the mirror but MathDisplay, FFTDisplay and
// SpareSwitch its default from the settings catalog (value words in the
// current UI language).
void SetDefaultCtrlSettings();
void SetDefaultCtrlSettings(CtrlSettings& s);
