#include "measure/frmMeasure.h"

#include "sheets/ViewWindows.h"

frmMeasure::frmMeasure(QWidget* parent) : PlaceholderViewWindow(ViewMeasure, "frmMeasure", parent) {}

void RegisterMeasureWindow() {
    SetViewFormFactory(ViewMeasure, [](int) -> QWidget* {
        auto* form = new frmMeasure;
        form->Form_Load();
        return form;
    });
}
