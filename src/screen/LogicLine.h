#pragma once
// One logic channel's line on an instrument screen: a two-level line built
// from the channel's bit in 601 sample words, two words per pixel column,
// from picture column `xStart` up to screen column `lastColumn`. A column
// whose two bits differ draws the whole edge between the levels; the line is
// one connected path of horizontal and vertical segments.
#include <cstdint>

#include "screen/ScreenPen.h"

constexpr int LogicLineWords = 601;

void DrawLogicLine(ScreenPen& pen, const int32_t* words, int channel, double xStart,
                   int lastColumn, int lowY, int highY);
