#include "panel/frmV_Key.h"

#include <QVBoxLayout>

#include "link/LinkEvents.h"
#include "panel/PanelKeyBoard.h"
#include "panel/PanelWindows.h"
#include "panel/model/PanelKeys.h"
#include "widgets/OnScreen.h"

namespace {
bool keyShown = false;
}

frmV_Key::frmV_Key(QWidget* parent) : QDialog(parent), keys_(new PanelKeyBoard(false, this)) {
    const bool second = BuildPanelBrand() == PanelBrand::Second;
    setObjectName(second ? "frmV_Key_HKN" : "frmV_Key");
    setWindowTitle("Virtual Keyboard");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(keys_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (!second) {
        // The logic-analyser key follows the instrument while the pad is open.
        connect(&LinkEvents(), &LinkEventSource::laPresentChanged, keys_, &PanelKeyBoard::ShowLAKey);
        keyShown = true;
        if (PanelUi().ApplyKeyPadCaptions) PanelUi().ApplyKeyPadCaptions(this);
    }
}

frmV_Key::~frmV_Key() {
    if (objectName() == "frmV_Key") keyShown = false;
}

bool frmV_Key::VirtualKeyShown() { return keyShown; }

void frmV_Key::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    KeepOnScreen(this);
}

void frmV_Key::done(int result) {
    keys_->StopRepeat();
    if (objectName() == "frmV_Key") keyShown = false;
    QDialog::done(result);
}
