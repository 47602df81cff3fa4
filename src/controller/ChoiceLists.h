#pragma once
// Generated choice lists of the setting dialog: time base scales, trigger
// levels, sensitivities, digital trigger sources, volts per division and
// memory offsets for the instrument at hand.
//
// Every entry is a literal text that reads the same in both UI languages.
// The Set.../Add... procedures append to the end of the caller's list (the
// dialog's Combo items) and never clear, select or show anything; the
// ...Choices functions are the same lists as plain values.
#include <QString>
#include <QStringList>

// ---- Plain lists -------------------------------------------------------------
// The time base scales in 1-2-5 steps from "1.000ns" to "50.00s" (33 texts).
QStringList TimeDivSequence();
// The list for a time base format reply ("Y-T", "SCANNING": from the model
// class's fastest scale up to "50.00s"; "X-Y": "1.000us" to "10.00ms";
// anything else, the empty text and other cases included: no entry).
QStringList TimeDivChoices(const QString& formatReply, int bandwidthClass);
// "6.00div" down to "-6.00div" in 0.04 division steps (301 entries; the zero
// entry reads "0.00div", the text a zero level has in the settings mirror).
QStringList TrigLevelChoices();
// "1.00div" down to "0.10div" in 0.01 division steps (91 entries).
QStringList TrigSensitivityChoices();
// "D0" .. "D15".
QStringList LaSourceChoices();
// Volts per division for a probe text "1X", "10X", "100X" or "1000X"
// (11 entries); any other probe text has no list.
QStringList VoltDivChoices(const QString& probe);
// "1" .. "n-1" for a memory size n (nothing for n <= 1).
QStringList MemOffsetChoices(long long memorySize);

// ---- Procedures of the controller window ------------------------------------
// Asks the instrument for its time base format (":TIMEBASE:FORMAT?") and
// appends that format's list for the connected model's class.
void SetCtrlDialogTimeDivNum(QStringList& combo);
void SetCtrlDialogTrigLevelNum(QStringList& combo);
void SetCtrlDialogTrigSensitivityNum(QStringList& combo);
void AddLaSource(QStringList& combo);
// The list of the channel's probe: CH1Probe for "CH1" (exactly), CH2Probe for
// any other name.
void SetCtrlDialogVoltDivNum(QStringList& combo, const QString& channel);
// Asks for the system memory size (":WAVEFORM:SYSMEMSIZE?") and appends
// "1" .. "n-1"; a reply that is not a whole number appends nothing.
void SetCtrlDialogMemOffsetNum(QStringList& combo);
