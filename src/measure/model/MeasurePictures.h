#pragma once
// The 18 row pictures of the measurement list (56 x 20 pixels): a small
// trace with an arrow or mark showing what the measurement takes.
#include <QImage>

// Picture 1..18 (the catalogue's `picture`); a blank picture otherwise.
QImage MeasurePicture(int picture);
