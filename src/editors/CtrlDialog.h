#pragma once
// The setting dialog (CtrlDialog) and the coarse/fine volts-per-division
// dialog (CtrlDialogAdjust): thin windows over the apply in CtrlApply.h and
// the stepping in AdjustLogic.h.
#include <QString>

#include "editors/EditPrep.h"

class QWidget;

// Shows the setting dialog modally, laid out from the prepared edit
// (choice list or value box, unit buttons, threshold layout, frame caption,
// key), with `owner` as its owner. `nodePath` is the full path text of the
// edited node (the logic-analyser rows take their channel from it).
// Returns true when an apply ran to its end (the controller is then
// modified); false for Cancel, Esc, the close box, a silent instrument, a
// refused method change or level, or a lost link.
bool RunCtrlDialog(const EditPrep& prep, const QString& nodePath, QWidget* owner);

// Shows the coarse/fine dialog modally for prep.AdjustChannel (1 or 2):
// caption prep.FrameCaption, start text prep.InputText (the node's value,
// such as "1.00V"); the coarse/fine option comes from AdjustState and the
// mode is set from the channel. Returns true after OK.
bool RunCtrlDialogAdjust(const EditPrep& prep, QWidget* owner);

// ---- The windows (thin; tests drive them offscreen).
#include <QDialog>
#include <QTimer>
#include <array>

class HoldRepeat;
class QKeyEvent;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CtrlDialog : public QDialog {
    Q_OBJECT
public:
    explicit CtrlDialog(QWidget* owner = nullptr);
    // Lays the dialog out from the prepared edit (what the dispatcher sets).
    void Prepare(const EditPrep& prep, const QString& nodePath);
    void SetDlgCaptions();

    void cmdOK_Click();
    void cmdEnter_Click(int index);
    void Combo_Click();

    bool Applied() const { return applied; }

    QGroupBox* Frame = nullptr;
    QComboBox* Combo = nullptr;
    QLineEdit* inputTxt = nullptr;
    std::array<QPushButton*, UnitButtonCount> cmdEnter{};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString key = " ";
    QString path;
    bool choiceOnly = false;  // the list alone holds the value
    bool applied = false;
    bool busy = false;
};

class CtrlDialogAdjust : public QDialog {
    Q_OBJECT
public:
    explicit CtrlDialogAdjust(QWidget* owner = nullptr);
    // As the dispatcher prepares it: caption, option, value text, mode.
    void Prepare(const EditPrep& prep);

    void OptVoltDiv_Click(int index);
    void StepPressed(int direction);  // a press of the up (+1) or down (-1) button
    void StepReleased();
    void Timer1_Timer();
    void cmdAdjustOK_Click();

    bool Applied() const { return applied; }
    int StepDirection = 0;

    QGroupBox* FrameAdjust = nullptr;
    QLineEdit* txtDispValue = nullptr;
    std::array<QRadioButton*, 2> OptVoltDiv{};
    QPushButton* DotAddRainBtn = nullptr;
    QPushButton* DotSubRainBtn = nullptr;
    QPushButton* cmdAdjustOK = nullptr;
    QPushButton* cmdCancelAdjust = nullptr;
    QTimer Timer1;

protected:
    // Enter presses OK wherever the focus is.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void step();
    HoldRepeat* repeat = nullptr;
    bool applied = false;
    bool busy = false;
};
