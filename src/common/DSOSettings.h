#pragma once
// The settings mirror: the PC-side copy of every front-panel setting of the
// instrument, held as display text in the UI language of the moment.
//
// 129 single texts and four arrays of 18 texts (only elements 1 to 16 are
// used; element k belongs to logic channel D(16 - k)), 193 values in all.
// The field order below is the order of the record and of the controller
// file; CtrlSettingsValues() lists the 193 values in that order.
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

// F(name): one text; A(name): an array of 18 texts, elements 1..16 stored.
#define KV_CTRL_SETTINGS_FIELDS(F, A) \
    F(RunStop) F(CH1Display) F(CH1Scale) F(CH1Offset) F(CH1Coupling) F(CH1BWLimit) \
    F(CH1Probe) F(CH1Invert) F(CH2Display) F(CH2Scale) F(CH2Offset) F(CH2Coupling) \
    F(CH2BWLimit) F(CH2Probe) F(CH2Invert) F(LADisplay) \
    A(LAChannelDisplay) A(LAChannelPosition) \
    F(LAThreshold) F(LAGroupHighDisplay) F(LAGroupLowDisplay) F(MathDisplay) F(FFTDisplay) \
    F(TimeBaseScale) F(AltCH1TimeBaseScale) F(AltCH2TimeBaseScale) \
    F(TimeBaseOffset) F(AltCH1TimeBaseOffset) F(AltCH2TimeBaseOffset) \
    F(TriggerHoldoff) F(MemorySize) F(SpareSwitch) F(TimeBaseFormat) F(TriggerMethod) \
    F(TriggerEdgeSlope) F(TriggerEdgeSource) F(TriggerEdgeSweep) F(TriggerEdgeCoupling) \
    F(TriggerEdgeSensitivity) F(TriggerEdgeLevel) \
    F(TriggerPulseSource) F(TriggerPulseMode) F(TriggerPulseWidth) F(TriggerPulseCoupling) \
    F(TriggerPulseSensitivity) F(TriggerPulseLevel) F(TriggerPulseSweep) \
    F(TriggerVideoSource) F(TriggerVideoPolarity) F(TriggerVideoSync) F(TriggerVideoStandard) \
    F(TriggerVideoLine) F(TriggerVideoSensitivity) F(TriggerVideoLevel) \
    F(TriggerSlopeSource) F(TriggerSlopeMode) F(TriggerSlopeTime) F(TriggerSlopeWindow) \
    F(TriggerSlopeLevelA) F(TriggerSlopeLevelB) F(TriggerSlopeCoupling) \
    F(TriggerSlopeSensitivity) F(TriggerSlopeSweep) \
    F(AltCH1TrigType) F(AltCH2TrigType) \
    F(AltCH1EdgeSlope) F(AltCH1EdgeCoupling) F(AltCH1EdgeLevel) F(AltCH1EdgeSensitivity) \
    F(AltCH1EdgeHoldoff) \
    F(AltCH2EdgeSlope) F(AltCH2EdgeCoupling) F(AltCH2EdgeLevel) F(AltCH2EdgeSensitivity) \
    F(AltCH2EdgeHoldoff) \
    F(AltCH1PulseMode) F(AltCH1PulseWidth) F(AltCH1PulseCoupling) F(AltCH1PulseLevel) \
    F(AltCH1PulseSensitivity) F(AltCH1PulseHoldoff) \
    F(AltCH2PulseMode) F(AltCH2PulseWidth) F(AltCH2PulseCoupling) F(AltCH2PulseLevel) \
    F(AltCH2PulseSensitivity) F(AltCH2PulseHoldoff) \
    F(AltCH1VideoPolarity) F(AltCH1VideoSync) F(AltCH1VideoStandard) F(AltCH1VideoLine) \
    F(AltCH1VideoLevel) F(AltCH1VideoSensitivity) F(AltCH1VideoHoldoff) \
    F(AltCH2VideoPolarity) F(AltCH2VideoSync) F(AltCH2VideoStandard) F(AltCH2VideoLine) \
    F(AltCH2VideoLevel) F(AltCH2VideoSensitivity) F(AltCH2VideoHoldoff) \
    F(AltCH1SlopeMode) F(AltCH1SlopeTime) F(AltCH1SlopeWindow) F(AltCH1SlopeCoupling) \
    F(AltCH1SlopeLevelA) F(AltCH1SlopeLevelB) F(AltCH1SlopeSensitivity) F(AltCH1SlopeHoldoff) \
    F(AltCH2SlopeMode) F(AltCH2SlopeTime) F(AltCH2SlopeWindow) F(AltCH2SlopeCoupling) \
    F(AltCH2SlopeLevelA) F(AltCH2SlopeLevelB) F(AltCH2SlopeSensitivity) F(AltCH2SlopeHoldoff) \
    F(PatternSpare) A(TriggerPatternCode) F(TriggerPatternSweep) F(TriggerDurationQualifier) \
    A(TriggerDurationCode) F(TriggerDurationTime) F(TriggerDurationSweep) F(DurationSpare) \
    F(AcquireSampling) F(AcquireType) F(AcquireAverages) F(Intensity) F(AntiAliasing) \
    F(DisplayType) F(DisplayPersist) F(DisplayGrid)

// Element count of each array; elements 0 and 17 are never read or written.
constexpr int CtrlArraySize = 18;
using CtrlCodeArray = std::array<QString, CtrlArraySize>;

struct CtrlSettings {
#define KV_CTRL_TEXT(name) QString name;
#define KV_CTRL_ARRAY(name) CtrlCodeArray name;
    KV_CTRL_SETTINGS_FIELDS(KV_CTRL_TEXT, KV_CTRL_ARRAY)
#undef KV_CTRL_TEXT
#undef KV_CTRL_ARRAY

    bool operator==(const CtrlSettings& o) const;
    bool operator!=(const CtrlSettings& o) const { return !(*this == o); }
};

// Number of values of the record (and of a controller file).
constexpr int CtrlValueCount = 193;

// The 193 values in record and file order (value number k at index k - 1).
std::vector<QString*> CtrlSettingsValues(CtrlSettings& s);
std::vector<const QString*> CtrlSettingsValues(const CtrlSettings& s);
// Field names in the same order; array elements read "LAChannelDisplay(1)".
QStringList CtrlSettingsNames();
// The value number (1 .. CtrlValueCount) of a value of `s` given by its
// address; 0 for an address that is none of its values.
int CtrlValueNumber(const CtrlSettings& s, const QString* value);

// The one settings mirror of the process. Every value is empty at start.
CtrlSettings& DSOSettings();
