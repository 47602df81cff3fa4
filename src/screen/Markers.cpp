#include "screen/Markers.h"

void FlagRight(ScreenPen& pen, double Y) {
    pen.Outline({{6, Y}, {19, Y}, {23, Y + 5}, {19, Y + 10}, {6, Y + 10}, {6, Y}});
}

void ArrowDown(ScreenPen& pen, double Y) {
    pen.Outline({{12, Y}, {22, Y}, {22, Y + 13}, {17, Y + 17}, {12, Y + 13}, {12, Y}});
}

void ArrowUp(ScreenPen& pen, double Y) {
    pen.Outline({{12, Y}, {22, Y}, {22, Y - 13}, {17, Y - 17}, {12, Y - 13}, {12, Y}});
}

void CentreMark(ScreenPen& pen, double T) {
    const double A = 150 * pen.Z() + 21;
    pen.Outline({{A, T}, {A + 8, T}, {A + 4, T + 4}, {A, T}});
}

void TrigMarker(ScreenPen& pen, double p, double T) {
    const double z = pen.Z();
    if (p > 3 && p < 296) {
        const double B = p * z + 21;
        pen.Outline({{B, T}, {B + 8, T}, {B + 8, T + 10}, {B + 4, T + 14}, {B, T + 10}, {B, T}});
        pen.SetBold(false);
        pen.Text(B + 1, T + 1, "T");
    } else if (p >= 296) {
        const double R = 300 * z + 8;
        pen.Outline({{R, T}, {R + 12, T}, {R + 16, T + 5}, {R + 12, T + 10}, {R, T + 10}, {R, T}});
        pen.SetBold(false);
        pen.Text(R + 3, T, "T");
    } else {  // p <= 3, or not a number
        pen.Outline({{42, T}, {30, T}, {26, T + 5}, {30, T + 10}, {42, T + 10}, {42, T}});
        pen.SetBold(false);
        pen.Text(33, T, "T");
    }
}
