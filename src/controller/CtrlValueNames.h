#pragma once
// The name of each value of the settings mirror as the controller tree shows
// it, for the messages that name a setting: the labels from the group down to
// the row, joined by " ▸ " ("CH1 ▸ Volt/Div", "触发系统 ▸ 信源选择").
//
// The names come from the tree's own row tables, built once in every trigger
// method and alternation type. Where the same labels lead to different values
// in different methods, the name carries the word of the method (or of the
// alternation type) after its group: "Trigger ▸ PULSE ▸ Source",
// "Trigger ▸ CH1 ▸ EDGE ▸ Level". The few values the tree shows nowhere
// (Invert, Memory Size, the slope windows, Intensity, Anti-aliasing, the math
// and FFT displays, the spare values) are named in the same way under the group
// they belong to.
#include <QString>

// The name of value number 1 .. CtrlValueCount (record order) in `language`
// (0 Chinese, any other value English); "" for any other number.
QString CtrlValueName(int number, int language);
// The same in the current UI language.
QString CtrlValueName(int number);
