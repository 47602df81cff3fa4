#pragma once
// The pass/fail limits dialog of a measurement view: for each of the 18
// measurements, whether it is judged and its lower and upper limit, each a
// number and a unit. It edits a private copy (PassFailModel) and writes it
// back to the view's record only on an OK whose check passes; Cancel and the
// close box change nothing.
#include <QDialog>
#include <functional>
#include <memory>

#include "measure/model/PassFailModel.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

class frmPassFailed : public QDialog {
    Q_OBJECT
public:
    // slot: the Measure view whose items are edited (read at the set-up tick).
    explicit frmPassFailed(int slot, QWidget* parent = nullptr);
    ~frmPassFailed() override;

    // Handlers, public so the tests can drive them.
    void Timer1_Timer();  // the set-up: the copy, the type list, Vpp on show
    void MTypeCombo_Click(int position);
    void EnabledChk_Click();
    void UnderNum_Change();
    void UnderUnit_Click();
    void OverNum_Change();
    void OverUnit_Click();
    void OKButton_Click();

    const PassFailModel* Model() const { return model_.get(); }

    QGroupBox* Frame1 = nullptr;  // settings
    QGroupBox* Frame2 = nullptr;  // type
    QGroupBox* Frame3 = nullptr;  // range
    QGroupBox* Frame4 = nullptr;  // lower limit
    QGroupBox* Frame5 = nullptr;  // upper limit
    QComboBox* MTypeCombo = nullptr;
    QCheckBox* EnabledChk = nullptr;
    QLineEdit* UnderNum = nullptr;
    QComboBox* UnderUnit = nullptr;
    QLabel* UnderPic = nullptr;
    QLineEdit* OverNum = nullptr;
    QComboBox* OverUnit = nullptr;
    QLabel* OverPic = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QTimer* Timer1 = nullptr;

private:
    void ShowTypeEnable();
    void ShowTypeLimits();
    // A typed number was refused: says so and empties the box.
    void refuse(QLineEdit* box);

    int slot_;
    std::unique_ptr<PassFailModel> model_;
};

// Set by the shell: the dialog's captions in a language (the window title is
// set by the measurement view).
std::function<void(QWidget* dialog, int lang)>& PassFailCaptionSetter();
