#include "editors/CtrlDialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "common/ShellState.h"
#include "common/Twips.h"
#include "editors/AdjustLogic.h"
#include "editors/CtrlApply.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"
#include "widgets/HoldRepeat.h"

namespace {
// Design positions are in twips.
QRect tw(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

void centre(QWidget* w) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->availableGeometry();
        w->move(r.x() + (r.width() - w->width()) / 2, r.y() + (r.height() - w->height()) / 2);
    }
}

QPushButton* button(QWidget* parent, const QString& text, const QRect& r) {
    auto* b = new QPushButton(text, parent);
    b->setGeometry(r);
    b->setAutoDefault(false);  // Enter presses OK from the list and the value box only
    return b;
}

// Both dialogs: a fixed-size tool window named `name`, one frame named `frame` filling it.
QGroupBox* toolFrame(QDialog* d, const char* name, const char* frame) {
    d->setObjectName(name);
    d->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                      Qt::WindowCloseButtonHint);
    d->setFixedSize(TwipsToPixels(3180), TwipsToPixels(1320));
    auto* box = new QGroupBox(d);
    box->setObjectName(frame);
    box->setGeometry(tw(60, 0, 3075, 1275));
    return box;
}

const int kUnitLeft[UnitButtonCount] = {270, 630, 990, 1350, 270};
const double kUnitFactor[UnitButtonCount] = {1e-3, 1e-6, 1e-9, 1e-12, 1e-3};
}  // namespace

// ---- CtrlDialog

CtrlDialog::CtrlDialog(QWidget* owner) : QDialog(owner) {
    Frame = toolFrame(this, "CtrlDialog", "Frame");
    Combo = new QComboBox(Frame);
    Combo->setObjectName("Combo");
    Combo->setGeometry(tw(300, 510, 1335, 315));
    Combo->installEventFilter(this);
    inputTxt = new QLineEdit("Text1", Frame);
    inputTxt->setObjectName("inputTxt");
    inputTxt->setGeometry(tw(300, 390, 1335, 285));
    inputTxt->installEventFilter(this);
    static const char* const units[UnitButtonCount] = {"m", "u", "n", "p", "mV"};
    for (int i = 0; i < UnitButtonCount; ++i) {
        cmdEnter[i] = button(Frame, units[i], tw(kUnitLeft[i], 750, i == 4 ? 345 : 255, 255));
        cmdEnter[i]->setObjectName(QString("cmdEnter_%1").arg(i));
        connect(cmdEnter[i], &QPushButton::clicked, this, [this, i] { cmdEnter_Click(i); });
    }
    cmdOK = button(Frame, "OK", tw(1890, 270, 825, 315));
    cmdOK->setObjectName("cmdOK");
    cmdCancel = button(Frame, "Cancel", tw(1890, 690, 825, 315));
    cmdCancel->setObjectName("cmdCancel");
    connect(cmdOK, &QPushButton::clicked, this, &CtrlDialog::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Combo, QOverload<int>::of(&QComboBox::activated), this, &CtrlDialog::Combo_Click);
    SetDlgCaptions();
}

void CtrlDialog::SetDlgCaptions() {
    const int language = Shell().UILanguage;
    if (language == LangChinese) {
        cmdOK->setText(QString::fromUtf8("确定"));
        cmdCancel->setText(QString::fromUtf8("取消"));
    } else if (language == LangEnglish) {
        cmdOK->setText("OK");
        cmdCancel->setText("Cancel");
    }
}

void CtrlDialog::Prepare(const EditPrep& prep, const QString& nodePath) {
    key = prep.Key;
    path = nodePath;
    // The window is named by the setting it edits (the item label, in the UI
    // language), as its frame is: screen readers announce it.
    setWindowTitle(prep.FrameCaption);
    Frame->setTitle(prep.FrameCaption);
    Combo->clear();
    Combo->addItems(prep.Choices);
    Combo->setCurrentIndex(prep.Selected);
    inputTxt->setText(prep.InputText);
    const bool number = prep.Outcome == EditOutcome::NumberEdit;
    choiceOnly = !number && !prep.ThresholdLayout;
    Combo->setVisible(!number || prep.ThresholdLayout);
    inputTxt->setVisible(number || prep.ThresholdLayout);
    for (int i = 0; i < UnitButtonCount; ++i) cmdEnter[i]->setVisible(prep.UnitButtons[i]);
    // The threshold shows the list and the box together, moved apart.
    const int comboTop = prep.ThresholdLayout ? 235 : 510;
    const int inputTop = prep.ThresholdLayout ? 595 : 390;
    const int buttonTop = prep.ThresholdLayout ? 925 : 750;
    Combo->setGeometry(tw(300, comboTop, 1335, 315));
    inputTxt->setGeometry(tw(300, inputTop, 1335, 285));
    for (int i = 0; i < 4; ++i) {
        cmdEnter[i]->setGeometry(tw(kUnitLeft[i], buttonTop, 255, 255));
        if (prep.ThresholdLayout) cmdEnter[i]->setEnabled(prep.InputEnabled);
    }
    if (prep.ThresholdLayout) inputTxt->setEnabled(prep.InputEnabled);
}

void CtrlDialog::cmdOK_Click() {
    // While an apply waits for a serial reply, events run: a second OK, unit
    // button or Enter is ignored until it has ended.
    if (busy) return;
    // A list with nothing chosen in it (the setting's value is none of its
    // choices) sends nothing: the dialog stays open for a choice.
    if (choiceOnly && Combo->currentIndex() < 0) return;
    busy = true;
    const ApplyEnd end = ApplyCtrlEdit({key, Combo->currentText(), inputTxt->text(), path});
    busy = false;
    if (end == ApplyEnd::NumberRefused) return;  // stays open for a correction
    applied = end == ApplyEnd::Applied;
    if (applied) accept();
    else reject();
}

void CtrlDialog::cmdEnter_Click(int index) {
    if (busy || index < 0 || index >= UnitButtonCount) return;
    double x = 0;
    if (!ReadTypedNumber(inputTxt->text(), x)) return;
    inputTxt->setText(QLocale().toString(x * kUnitFactor[index], 'g', 15));
    cmdOK_Click();
}

void CtrlDialog::Combo_Click() {
    if (key != ControllerLabel(14) + ControllerLabel(17)) return;  // "LA" & "Threshold"
    const QString item = Combo->currentText();
    const bool preset = item == "TTL" || item == "ECL" || item == "CMOS";
    QString level = item == "TTL" ? "1.4" : item == "ECL" ? "-1.3" : item == "CMOS" ? "2.5" : "1.0";
    // The box is read in the user's locale: its decimal mark goes in.
    level.replace(QLatin1Char('.'), QLocale().decimalPoint());
    inputTxt->setText(level);
    inputTxt->setEnabled(!preset);
    for (int i = 0; i < 4; ++i) cmdEnter[i]->setEnabled(!preset);
}

bool CtrlDialog::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the choice list or the value box presses OK.
    if ((watched == Combo || watched == inputTxt) && event->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent*>(event)->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            cmdOK_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool RunCtrlDialog(const EditPrep& prep, const QString& nodePath, QWidget* owner) {
    CtrlDialog dialog(owner);
    dialog.Prepare(prep, nodePath);
    centre(&dialog);
    dialog.exec();
    return dialog.Applied();
}

// ---- CtrlDialogAdjust

CtrlDialogAdjust::CtrlDialogAdjust(QWidget* owner) : QDialog(owner) {
    FrameAdjust = toolFrame(this, "CtrlDialogAdjust", "FrameAdjust");
    txtDispValue = new QLineEdit(FrameAdjust);
    txtDispValue->setObjectName("txtDispValue");
    txtDispValue->setGeometry(tw(300, 300, 1035, 285));
    DotSubRainBtn = button(FrameAdjust, "-", tw(1350, 300, 255, 285));
    DotAddRainBtn = button(FrameAdjust, "+", tw(1620, 300, 255, 285));
    DotSubRainBtn->setObjectName("DotSubRainBtn");
    DotAddRainBtn->setObjectName("DotAddRainBtn");
    for (int i = 0; i < 2; ++i) {
        OptVoltDiv[i] = new QRadioButton(FrameAdjust);
        OptVoltDiv[i]->setObjectName(QString("OptVoltDiv_%1").arg(i));
        OptVoltDiv[i]->setGeometry(i == 0 ? tw(300, 750, 950, 285) : tw(1300, 750, 700, 285));  // room for "Coarse"
        // Only the user's click stores the choice, under the channel shown now.
        connect(OptVoltDiv[i], &QRadioButton::clicked, this, [this, i] { OptVoltDiv_Click(i); });
    }
    cmdAdjustOK = button(FrameAdjust, "OK", tw(2070, 270, 825, 315));
    cmdCancelAdjust = button(FrameAdjust, "Cancel", tw(2070, 690, 825, 315));
    cmdAdjustOK->setObjectName("cmdAdjustOK");
    cmdCancelAdjust->setObjectName("cmdCancelAdjust");
    // A press steps at once, then every 200 ms while the button is held.
    repeat = new HoldRepeat(this, &Timer1);
    repeat->SetTiming(200, 200);
    repeat->SetStep([this](int direction, int) {
        StepDirection = direction > 0 ? 1 : -1;
        step();
    });
    repeat->Attach(DotAddRainBtn, 1);
    repeat->Attach(DotSubRainBtn, -1);
    connect(this, &QDialog::finished, this, &CtrlDialogAdjust::StepReleased);
    connect(cmdAdjustOK, &QPushButton::clicked, this, &CtrlDialogAdjust::cmdAdjustOK_Click);
    connect(cmdCancelAdjust, &QPushButton::clicked, this, &QDialog::reject);
    // Captions of the UI language.
    const bool zh = Shell().UILanguage == LangChinese;
    if (zh || Shell().UILanguage == LangEnglish) {
        OptVoltDiv[0]->setText(zh ? QString::fromUtf8("粗调") : "Coarse");
        OptVoltDiv[1]->setText(zh ? QString::fromUtf8("微调") : "Fine");
        cmdAdjustOK->setText(zh ? QString::fromUtf8("确定") : "OK");
        cmdCancelAdjust->setText(zh ? QString::fromUtf8("取消") : "Cancel");
    }
}

void CtrlDialogAdjust::Prepare(const EditPrep& prep) {
    setWindowTitle(prep.FrameCaption);
    FrameAdjust->setTitle(prep.FrameCaption);
    const int mode = prep.AdjustChannel == 2 ? 1 : 0;
    AdjustState().AdjustMode = uint8_t(mode);
    const uint8_t choice = mode == 0 ? AdjustState().CH1CoarseFine : AdjustState().CH2CoarseFine;
    OptVoltDiv[choice ? 1 : 0]->setChecked(true);
    txtDispValue->setText(prep.InputText);
}

void CtrlDialogAdjust::OptVoltDiv_Click(int index) {
    const uint8_t v = index ? 1 : 0;
    if (AdjustState().AdjustMode == 0) AdjustState().CH1CoarseFine = v;
    else AdjustState().CH2CoarseFine = v;
}

void CtrlDialogAdjust::step() {
    txtDispValue->setText(AdjustStep(txtDispValue->text(), AdjustState().AdjustMode,
                                     StepDirection));
}

void CtrlDialogAdjust::StepPressed(int direction) { repeat->Press(direction > 0 ? 1 : -1); }

void CtrlDialogAdjust::StepReleased() {
    StepDirection = 0;
    repeat->Release();
}

void CtrlDialogAdjust::Timer1_Timer() {
    repeat->Tick();
    if (!repeat->Held()) StepDirection = 0;
}

void CtrlDialogAdjust::cmdAdjustOK_Click() {
    // Events run while the offset read-back waits for a serial reply: a
    // second OK or Enter is ignored until the first has ended.
    if (busy) return;
    StepReleased();
    busy = true;
    const AdjustEnd end = ApplyAdjust(txtDispValue->text(), AdjustState().AdjustMode);
    busy = false;
    if (end == AdjustEnd::NumberRefused) return;  // stays open for a correction
    applied = end == AdjustEnd::Applied;
    if (applied) accept();
    else reject();
}

void CtrlDialogAdjust::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        cmdAdjustOK_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool RunCtrlDialogAdjust(const EditPrep& prep, QWidget* owner) {
    CtrlDialogAdjust dialog(owner);
    dialog.Prepare(prep);
    centre(&dialog);
    dialog.exec();
    return dialog.Applied();
}
