#pragma once
// The live screen copy as a picture: the instrument's 320 x 234 colour-index
// bytes translated into colours (one table for the colour model, one for the
// monochrome model) and drawn at single or double size.
#include <QImage>
#include <QRgb>
#include <cstdint>
#include <vector>

namespace ScreenImage {
constexpr int Width = 320;
constexpr int Height = 234;
constexpr int Pixels = Width * Height;  // 74,880
}  // namespace ScreenImage

// The colour of each index (256 entries; the instrument uses the low ones).
// Index 0 is the screen's background, 1 the grid, 2 CH1, 3 CH2, 4 math,
// 5 text; the monochrome model shows the background black, the grid grey
// and everything else white.
const std::vector<QRgb>& ColourScreenTable();
const std::vector<QRgb>& MonoScreenTable();

// count colour values from count index bytes, colour and monochrome model.
void TransClr(const uint8_t* indexes, int count, QRgb* colors);
void TransMono(const uint8_t* indexes, int count, QRgb* colors);

// The picture of 74,880 colour values (row by row from the top left):
// 320 x 234 pixels at zoom 0, 640 x 468 (each value on 2 x 2 pixels) at 1.
// A null image when colors holds fewer than 74,880 values.
QImage ScreenPicture(const std::vector<QRgb>& colors, int zoom);

// One frame: translates the screen bytes with the model's table into colors
// and draws them.
QImage TranslateScreen(const std::vector<uint8_t>& bytes, bool colourModel, int zoom, std::vector<QRgb>& colors);
