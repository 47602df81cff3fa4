#pragma once
// The options dialog: start-up options, link type, refresh mode and interval,
// serial port and baud rate, GPIB address, and the USB device to use.
// Opened modal; every opening searches the USB instruments again.
#include <QDialog>
#include <QStringList>

#include "shell/OptionsLogic.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

class frmOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(QWidget* parent = nullptr);

    // Fills the controls from the settings (runs when the dialog is made).
    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
    void OptRefreshType_Click(int index);
    // Ctrl+Tab selects the next tab, Ctrl+Shift+Tab the previous one, both
    // wrapping around. `shift`: bit 0 Shift, bit 1 Ctrl.
    void Form_KeyDown(int keyCode, int shift);

    // The controls' current selections.
    OptionsChoice Selections() const;
    void Select(const OptionsChoice& c);

    QTabWidget* tbsOptions = nullptr;
    QCheckBox* HardwareCheck = nullptr;
    QCheckBox* SheetStartLoadChk = nullptr;
    QCheckBox* CtrlStartLoadChk = nullptr;
    QRadioButton* PortSelectOption[3] = {nullptr, nullptr, nullptr};  // 0 USB, 2 RS-232
    QRadioButton* OptRefreshType[2] = {nullptr, nullptr};
    QComboBox* IntervalCombo = nullptr;
    QComboBox* PortCombo = nullptr;
    QComboBox* BaudCombo = nullptr;
    QComboBox* DeviceCombo = nullptr;
    QComboBox* GPIB_AddrCombo = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    // Frames and labels that only carry captions.
    QGroupBox* fraSample1 = nullptr;  // start-up options
    QGroupBox* fraSample2 = nullptr;  // link type
    QGroupBox* Frame2 = nullptr;      // RS-232
    QGroupBox* Frame3 = nullptr;      // refresh mode
    QGroupBox* Frame4 = nullptr;      // refresh interval
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label6 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    QStringList resources_;
};
