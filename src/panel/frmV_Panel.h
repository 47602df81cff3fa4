#pragma once
// The virtual panel: the front-panel keys beside a live copy of the
// instrument's screen (USB only). The copy runs in a loop that starts 10 ms
// after the window is first shown and lives until it closes; every other
// event runs inside the loop's yields. Run/Stop, Zoom (double size), BMP
// export, preview and print. The panel closes when the link drops.
#include <QDialog>
#include <QImage>
#include <QRgb>
#include <vector>

#include "panel/model/PanelKeys.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;
class PanelKeyBoard;

class frmV_Panel : public QDialog {
    Q_OBJECT
public:
    // The built brand's panel; the other brand's where a test asks for it.
    explicit frmV_Panel(QWidget* parent = nullptr, PanelBrand brand = BuildPanelBrand());
    ~frmV_Panel() override;

    // Reads, translates and paints one frame. A frame is painted only when a
    // whole image came and the copy still runs and the window is open.
    void DrawBulkWave();
    // The copy loop (the start timer runs it): frames while running, a wait
    // while stopped, until the window closes; after each frame a dropped
    // link closes the window.
    void RunScreenLoop();

    void cmdRun_Click();
    void cmdStop_Click();
    void cmdZoom_Click();
    void cmdExport_Click();
    void cmdPreview_Click();
    void cmdPrint_Click();

    PanelKeyBoard* Keys() const { return keys_; }
    // What the picture shows now (null while empty).
    const QImage& Picture() const { return picture_; }
    int PanelZoom() const { return panelZoom_; }
    static bool VirtualPanelShown();

    // The tool strip (Display and Zoom only where the brand zooms).
    QGroupBox *Frame3 = nullptr, *Frame2 = nullptr, *Display = nullptr;
    QPushButton *cmdRun = nullptr, *cmdStop = nullptr, *cmdExport = nullptr, *cmdPrint = nullptr,
                *cmdPreview = nullptr, *cmdZoom = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void setRunButtons();
    // The window's size and the places of its parts at the current zoom.
    void arrange();
    QWidget* partNamed(const QString& name) const;
    QImage pictureToSave() const;

    PanelBrand brand_;
    PanelKeyBoard* keys_;
    QLabel* PanelWavePic;
    QWidget* toolStrip_ = nullptr;
    QTimer* tDrawBmp_;
    QImage picture_;
    std::vector<QRgb> screenColors_;
    int panelZoom_ = 0;
    bool started_ = false;
    bool closed_ = false;
};
