#pragma once
// Design measures in twips (1440 to the inch) and the pixels they stand for.
// The fixed layouts take 15 twips to a pixel (96 dots per inch) whatever the
// screen; only the main window reads the screen's own resolution.

constexpr int TwipsPerPixel = 15;

// Pixels of a design measure, truncated (every fixed layout's positions).
constexpr int TwipsToPixels(int twips) { return twips / TwipsPerPixel; }
// Pixels of a design measure (not negative), rounded to the nearest.
constexpr int TwipsToPixelsRounded(int twips) { return (twips + TwipsPerPixel / 2) / TwipsPerPixel; }
// Twips of a pixel measure.
constexpr int PixelsToTwips(int pixels) { return pixels * TwipsPerPixel; }

// Twips to a pixel on the primary screen, from its logical dots per inch
// (15 where there is no screen or it reports none).
double ScreenTwipsPerPixel();
// Pixels of a measure in twips on the primary screen: half a pixel added,
// then truncated.
int ScreenTwipsToPixels(double twips);
