#include "screen/WaveGeometry.h"

#include <QStringList>

#include "link/Messages.h"
#include "link/ReplyParse.h"
#include "platform/dialogs/MsgBox.h"

QStringList ZoomChoices() {
    return {"50%", "75%", "100%", "125%", "150%", "200%", "250%", "300%", "400%", "500%"};
}

QString ZoomText(double factor) { return FormatWithMask(factor, "0%"); }

namespace {
// A plain number: optional sign, digits with an optional ".", an optional
// exponent; blanks around it allowed.
bool ReadPlainNumber(const QString& text, double* value) {
    const UnitNumber n = ReadPlainNumberText(text.trimmed());
    if (n.valid) *value = n.value;
    return n.valid;
}

bool ReadPercent(const QString& text, double* factor) {
    if (!text.endsWith('%')) return false;
    double v = 0;
    if (!ReadPlainNumber(text.left(text.size() - 1), &v)) return false;
    *factor = v / 100.0;
    return true;
}
}  // namespace

ZoomTextResult ApplyZoomText(const QString& typed, double current) {
    ZoomTextResult r;
    double f = current;
    r.valid = ReadPercent(typed, &f) && f <= WaveGeometry::MaxZoom;
    if (!r.valid) f = current;
    if (f < WaveGeometry::MinZoom) f = WaveGeometry::MinZoom;
    r.text = ZoomText(f);
    // Writing the text back runs the rule once more on what is shown, so the
    // factor ends as the whole percent in the box.
    double shown = f;
    if (ReadPercent(r.text, &shown)) f = std::max(shown, WaveGeometry::MinZoom);
    r.factor = f;
    return r;
}

QString ApplyZoomTextShown(const QString& typed, double& factor, const QString& title) {
    const ZoomTextResult z = ApplyZoomText(typed, factor);
    if (!z.valid) MsgBox(MessageTable().MsgInvalidZoom, vbExclamation, title);
    factor = z.factor;
    return z.text;
}

double BestFitZoom(int containerWidth, int containerHeight) {
    const float w = static_cast<float>(containerWidth) / 350.0f;
    const double h = containerHeight / 250.0;
    double z = (w > h) ? h : static_cast<double>(w);
    if (!(z >= WaveGeometry::MinZoom)) z = WaveGeometry::MinZoom;
    if (z > WaveGeometry::MaxZoom) z = WaveGeometry::MaxZoom;
    return z;
}

ScrollLayout ComputeScrollLayout(int pictureWidth, int pictureHeight, int containerWidth,
                                 int containerHeight) {
    ScrollLayout s;
    s.wide = pictureWidth > containerWidth;
    s.tall = pictureHeight > containerHeight;
    if (pictureWidth > 0) {
        s.rangeX = static_cast<float>(pictureWidth - containerWidth);
        s.largeStepX = Near(double(containerWidth) / pictureWidth * 100.0);
    }
    if (pictureHeight > 0) {
        s.rangeY = pictureHeight - containerHeight;
        s.largeStepY = Near(double(containerHeight) / pictureHeight * 100.0);
    }
    return s;
}

int PanLeft(int value, float rangeX) {
    return Near(-static_cast<float>(value) * rangeX / 100.0f);
}

int PanTop(int value, int rangeY) {
    return Near(-static_cast<double>(int64_t(value) * rangeY) / 100.0);
}
