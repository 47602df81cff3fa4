#include "shell/OptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "common/ShellState.h"
#include "shell/Language.h"
#include "shell/UsbChoice.h"

namespace {
template <typename W>
W* named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}
QLabel* label(const QString& name, const QString& text) { return named(new QLabel(text), name); }
}  // namespace

frmOptions::frmOptions(QWidget* parent) : QDialog(parent) {
    setObjectName("frmOptions");
    setWindowTitle("Options");
    setModal(true);

    tbsOptions = named(new QTabWidget, "tbsOptions");

    // General: link type and start-up options.
    auto* page0 = named(new QWidget, "picOptions(0)");
    fraSample2 = named(new QGroupBox("IO Selection"), "fraSample2");
    PortSelectOption[0] = named(new QRadioButton("USB"), "PortSelectOption(0)");
    PortSelectOption[2] = named(new QRadioButton("RS232"), "PortSelectOption(2)");
    auto* ioLay = new QHBoxLayout(fraSample2);
    ioLay->addWidget(PortSelectOption[0]);
    ioLay->addWidget(PortSelectOption[2]);
    fraSample1 = named(new QGroupBox("Startup Option"), "fraSample1");
    HardwareCheck = named(new QCheckBox("Startup Hardware Check"), "HardwareCheck");
    SheetStartLoadChk = named(new QCheckBox("Recent Data Sheet File Load"), "SheetStartLoadChk");
    CtrlStartLoadChk = named(new QCheckBox("Recent Control File Load"), "CtrlStartLoadChk");
    auto* stLay = new QVBoxLayout(fraSample1);
    stLay->addWidget(HardwareCheck);
    stLay->addWidget(SheetStartLoadChk);
    stLay->addWidget(CtrlStartLoadChk);
    auto* p0 = new QVBoxLayout(page0);
    p0->addWidget(fraSample2);
    p0->addWidget(fraSample1);
    p0->addStretch();

    // Refresh: interval and mode.
    auto* page1 = named(new QWidget, "picOptions(1)");
    Frame4 = named(new QGroupBox("Time Setting"), "Frame4");
    IntervalCombo = named(new QComboBox, "IntervalCombo");
    auto* tLay = new QHBoxLayout(Frame4);
    tLay->addWidget(Label4 = label("Label4", "Interval"));
    tLay->addWidget(IntervalCombo);
    tLay->addWidget(label("Label5", "s"));
    tLay->addStretch();
    Frame3 = named(new QGroupBox("Refresh"), "Frame3");
    OptRefreshType[0] = named(new QRadioButton("Single"), "OptRefreshType(0)");
    OptRefreshType[1] = named(new QRadioButton("Auto"), "OptRefreshType(1)");
    auto* mLay = new QHBoxLayout(Frame3);
    mLay->addWidget(OptRefreshType[0]);
    mLay->addWidget(OptRefreshType[1]);
    auto* p1 = new QVBoxLayout(page1);
    p1->addWidget(Frame3);
    p1->addWidget(Frame4);
    p1->addStretch();

    // Communication: serial port and rate, USB device, GPIB address.
    auto* page2 = named(new QWidget, "picOptions(2)");
    Frame2 = named(new QGroupBox("RS232 Setting"), "Frame2");
    PortCombo = named(new QComboBox, "PortCombo");
    BaudCombo = named(new QComboBox, "BaudCombo");
    auto* rsLay = new QGridLayout(Frame2);
    rsLay->addWidget(Label2 = label("Label2", "RS232 Port"), 0, 0);
    rsLay->addWidget(PortCombo, 0, 1);
    rsLay->addWidget(Label3 = label("Label3", "Baud Rate"), 1, 0);
    rsLay->addWidget(BaudCombo, 1, 1);
    auto* usb = named(new QGroupBox("USB"), "Frame5");
    DeviceCombo = named(new QComboBox, "DeviceCombo");
    auto* uLay = new QHBoxLayout(usb);
    uLay->addWidget(Label6 = label("Label6", "Device"));
    uLay->addWidget(DeviceCombo, 1);
    auto* gpib = named(new QGroupBox("GPIB Setting"), "Frame1");
    GPIB_AddrCombo = named(new QComboBox, "GPIB_AddrCombo");
    auto* gLay = new QHBoxLayout(gpib);
    gLay->addWidget(label("Label1", "Address"));
    gLay->addWidget(GPIB_AddrCombo, 1);
    auto* p2 = new QVBoxLayout(page2);
    p2->addWidget(Frame2);
    p2->addWidget(usb);
    p2->addWidget(gpib);
    p2->addStretch();

    tbsOptions->addTab(page0, "General");
    tbsOptions->addTab(page1, "Refresh");
    tbsOptions->addTab(page2, "Communication Setting");

    cmdOK = named(new QPushButton("OK"), "cmdOK");
    cmdCancel = named(new QPushButton("Cancel"), "cmdCancel");
    cmdOK->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(tbsOptions);
    lay->addLayout(buttons);
    setMinimumWidth(440);

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(OptRefreshType[0], &QRadioButton::clicked, this, [this] { OptRefreshType_Click(0); });
    connect(OptRefreshType[1], &QRadioButton::clicked, this, [this] { OptRefreshType_Click(1); });

    Form_Load();
}

void frmOptions::Form_Load() {
    PortCombo->clear();
    PortCombo->addItems(PortEntries());
    BaudCombo->clear();
    BaudCombo->addItems(BaudEntries());
    GPIB_AddrCombo->clear();
    GPIB_AddrCombo->addItems(GpibEntries());
    resources_ = FindUsbResources();
    DeviceCombo->clear();
    DeviceCombo->addItems(DeviceEntries(resources_, Shell().UILanguage));
    IntervalCombo->clear();
    IntervalCombo->addItems(IntervalEntries());
    Select(OptionsFromSettings(static_cast<int>(resources_.size())));
    tbsOptions->setCurrentIndex(0);
    SetOptionsCaptions(this, Shell().UILanguage);
}

void frmOptions::Select(const OptionsChoice& c) {
    HardwareCheck->setChecked(c.StartupCheckHardware);
    SheetStartLoadChk->setChecked(c.StartupLoadSheet);
    CtrlStartLoadChk->setChecked(c.StartupLoadCtrl);
    PortSelectOption[c.IOType == 2 ? 2 : 0]->setChecked(true);
    PortCombo->setCurrentIndex(c.PortIndex);
    BaudCombo->setCurrentIndex(c.BaudIndex);
    GPIB_AddrCombo->setCurrentIndex(c.GpibIndex);
    DeviceCombo->setCurrentIndex(c.DeviceIndex);
    OptRefreshType[c.AutoRefresh ? 1 : 0]->setChecked(true);
    IntervalCombo->setEnabled(c.AutoRefresh);
    IntervalCombo->setCurrentIndex(c.IntervalIndex);
}

OptionsChoice frmOptions::Selections() const {
    OptionsChoice c;
    c.StartupCheckHardware = HardwareCheck->isChecked();
    c.StartupLoadSheet = SheetStartLoadChk->isChecked();
    c.StartupLoadCtrl = CtrlStartLoadChk->isChecked();
    c.IOType = PortSelectOption[2]->isChecked() ? 2 : 0;
    c.PortIndex = PortCombo->currentIndex();
    c.BaudIndex = BaudCombo->currentIndex();
    c.GpibIndex = GPIB_AddrCombo->currentIndex();
    c.AutoRefresh = OptRefreshType[1]->isChecked();
    c.IntervalIndex = IntervalCombo->currentIndex();
    c.DeviceIndex = IsNoDeviceEntry(DeviceCombo->currentText()) ? -1 : DeviceCombo->currentIndex();
    return c;
}

void frmOptions::OptRefreshType_Click(int index) { IntervalCombo->setEnabled(index == 1); }

void frmOptions::cmdOK_Click() {
    ApplyOptionsOK(Selections(), resources_);
    accept();
}

void frmOptions::cmdCancel_Click() { reject(); }

void frmOptions::Form_KeyDown(int keyCode, int shift) {
    if (keyCode != Qt::Key_Tab || !(shift & 2)) return;
    const int n = tbsOptions->count();
    const int i = tbsOptions->currentIndex();
    tbsOptions->setCurrentIndex((shift & 1) ? (i + n - 1) % n : (i + 1) % n);
}

void frmOptions::keyPressEvent(QKeyEvent* e) {
    // Keys the focused control left alone (the tab pages handle Ctrl+Tab themselves).
    const int key = e->key() == Qt::Key_Backtab ? int(Qt::Key_Tab) : e->key();
    const int shift = ((e->modifiers() & Qt::ShiftModifier) || e->key() == Qt::Key_Backtab ? 1 : 0) |
                      ((e->modifiers() & Qt::ControlModifier) ? 2 : 0);
    if (key == Qt::Key_Tab && (shift & 2)) {
        Form_KeyDown(key, shift);
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}
