#pragma once
// The window of a Measure view. Its own content (the list of the 18
// measurements, refresh, pass/fail, export) comes with the measurement
// subsystem; until then it shows the view's name and says so.
#include "sheets/PlaceholderView.h"

class frmMeasure : public PlaceholderViewWindow {
    Q_OBJECT
public:
    explicit frmMeasure(QWidget* parent = nullptr);
};

// Registers the Measure views' window factory with the window registry.
void RegisterMeasureWindow();
