#pragma once
// The zoomable screen of a picture view (the waveform and memory-wave
// views): the picture in a container that clips it, two scroll bars that pan
// an enlarged picture, the picture's mouse handed to the view, the zoom box's
// text, and the picture's part in the print pass. The view keeps the rules
// (zoom, scroll ranges, cursors: screen/); this is only their widgets.
#include <QImage>
#include <QWidget>
#include <functional>

class QComboBox;
class QScrollBar;

// The drawing surface: shows the last picture painted for the window, black
// beyond it.
class ScreenPicture : public QWidget {
    Q_OBJECT
public:
    ScreenPicture(const char* name, const QSize& size, QWidget* parent);
    QImage Picture;
    // Brings Picture up to date before it is painted (optional).
    std::function<void()> BeforePaint;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class ZoomableScreen : public QObject {
    Q_OBJECT
public:
    // Makes the container ("BackPic") in `window`, the picture (`picName`,
    // `picSize` before the first layout) in it, and the hidden scroll bars
    // ("HScroll", "VScroll", `barThickness` thick, values 0..100) in `window`.
    ZoomableScreen(QWidget* window, const char* picName, const QSize& picSize, int barThickness);

    QWidget* BackPic = nullptr;
    ScreenPicture* Pic = nullptr;
    QScrollBar* HScroll = nullptr;
    QScrollBar* VScroll = nullptr;

    // The picture's mouse, in picture pixels.
    std::function<void(double, double)> MouseDown, MouseMove;
    std::function<void()> MouseUp;

    // Both bars back to 0 (their handlers not run), the picture at the
    // container's corner.
    void ResetPan();
    // A bar shown at `geometry` with its large step, above the container;
    // or hidden.
    static void ShowBar(QScrollBar* bar, bool shown, const QRect& geometry, int pageStep);
    // The container's colour around the picture: black or white.
    void SetBackground(bool black);

    // For the print pass (DrawForPrint): sizes the picture to 700 x 500 and
    // gives its size; hands the picture drawn for print to `out`, then lets
    // it go (the window lays out and draws again after the pass).
    std::function<QSize()> PrintSize();
    std::function<void()> PrintOutput(std::function<void(const QImage&)> out);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The zoom box's text applied, one at a time (a text set here does not run
// the rule again): `rule` takes the typed text and gives the text to show;
// the box shows it without running its handlers, then `after` runs.
void ApplyZoomBox(QComboBox* box, const QString& text, bool& busy,
                  const std::function<QString(const QString&)>& rule, const std::function<void()>& after);
