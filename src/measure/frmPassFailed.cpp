#include "measure/frmPassFailed.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "common/ShellState.h"
#include "common/Twips.h"
#include "link/Messages.h"
#include "measure/model/MeasurePictures.h"
#include "platform/dialogs/MsgBox.h"
#include "sheets/SheetDocument.h"

namespace {
constexpr int px(int twips) { return TwipsToPixels(twips); }
}  // namespace

std::function<void(QWidget*, int)>& PassFailCaptionSetter() {
    static std::function<void(QWidget*, int)> f;
    return f;
}

frmPassFailed::frmPassFailed(int slot, QWidget* parent) : QDialog(parent), slot_(slot) {
    setObjectName("frmPassFailed");
    setModal(true);
    setFixedSize(px(5400), px(4500));

    Frame1 = new QGroupBox(QStringLiteral("Pass | Fail Settings"), this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(px(120), px(60), px(5160), px(3660));

    Frame2 = new QGroupBox(QStringLiteral("Select Measure Type"), Frame1);
    Frame2->setObjectName("Frame2");
    Frame2->setGeometry(px(120), px(300), px(4920), px(900));
    MTypeCombo = new QComboBox(Frame2);
    MTypeCombo->setObjectName("MTypeCombo");
    MTypeCombo->setGeometry(px(120), px(360), px(2800), px(380));
    EnabledChk = new QCheckBox(QStringLiteral("Enabled"), Frame2);
    EnabledChk->setObjectName("EnabledChk");
    EnabledChk->setGeometry(px(3200), px(360), px(1600), px(380));

    Frame3 = new QGroupBox(QStringLiteral("Pass Range Settings"), Frame1);
    Frame3->setObjectName("Frame3");
    Frame3->setGeometry(px(120), px(1320), px(4920), px(2220));
    auto limitFrame = [this](const char* name, const QString& title, int top, QLineEdit*& num,
                             QComboBox*& unit, QLabel*& pic, const char* numName,
                             const char* unitName, const char* picName, int picture) {
        auto* f = new QGroupBox(title, Frame3);
        f->setObjectName(name);
        f->setGeometry(px(120), px(top), px(4680), px(900));
        pic = new QLabel(f);
        pic->setObjectName(picName);
        pic->setPixmap(QPixmap::fromImage(MeasurePicture(picture)));
        pic->setGeometry(px(120), px(360), px(840), px(380));
        num = new QLineEdit(f);
        num->setObjectName(numName);
        num->setGeometry(px(1080), px(360), px(1800), px(380));
        unit = new QComboBox(f);
        unit->setObjectName(unitName);
        unit->setGeometry(px(3000), px(360), px(1500), px(380));
        return f;
    };
    Frame5 = limitFrame("Frame5", QStringLiteral("Over Limit Setting"), 300, OverNum, OverUnit, OverPic,
                        "OverNum", "OverUnit", "OverPic", 2);
    Frame4 = limitFrame("Frame4", QStringLiteral("Under Limit Setting"), 1260, UnderNum, UnderUnit,
                        UnderPic, "UnderNum", "UnderUnit", "UnderPic", 3);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName("OKButton");
    OKButton->setGeometry(px(2400), px(3900), px(1300), px(420));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName("CancelButton");
    CancelButton->setGeometry(px(3900), px(3900), px(1300), px(420));

    // Only the user's own edits count: the program's writes into the boxes
    // and lists raise none of these signals.
    connect(MTypeCombo, qOverload<int>(&QComboBox::activated), this, &frmPassFailed::MTypeCombo_Click);
    connect(EnabledChk, &QCheckBox::clicked, this, &frmPassFailed::EnabledChk_Click);
    connect(UnderNum, &QLineEdit::textEdited, this, &frmPassFailed::UnderNum_Change);
    connect(UnderUnit, qOverload<int>(&QComboBox::activated), this, &frmPassFailed::UnderUnit_Click);
    connect(OverNum, &QLineEdit::textEdited, this, &frmPassFailed::OverNum_Change);
    connect(OverUnit, qOverload<int>(&QComboBox::activated), this, &frmPassFailed::OverUnit_Click);
    connect(OKButton, &QPushButton::clicked, this, &frmPassFailed::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    if (PassFailCaptionSetter()) PassFailCaptionSetter()(this, Shell().UILanguage);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setSingleShot(true);
    Timer1->setInterval(1);
    connect(Timer1, &QTimer::timeout, this, &frmPassFailed::Timer1_Timer);
    Timer1->start();
}

frmPassFailed::~frmPassFailed() = default;

void frmPassFailed::Timer1_Timer() {
    Timer1->stop();
    if (model_ || !SlotInRange(ViewMeasure, slot_)) return;
    model_ = std::make_unique<PassFailModel>(Sheets().MeasureViews[size_t(slot_)].Items);
    MTypeCombo->clear();
    MTypeCombo->addItems(PassFailModel::TypeNames(Shell().UILanguage));
    MTypeCombo->setCurrentIndex(0);
    MTypeCombo_Click(0);
}

void frmPassFailed::MTypeCombo_Click(int position) {
    if (!model_) return;
    model_->ShowType(position);
    ShowTypeEnable();
    ShowTypeLimits();
}

void frmPassFailed::ShowTypeEnable() { EnabledChk->setChecked(model_->Enabled()); }

void frmPassFailed::EnabledChk_Click() {
    if (!model_) return;
    model_->SetEnabled(EnabledChk->isChecked());
    ShowTypeLimits();
}

void frmPassFailed::ShowTypeLimits() {
    const QStringList units = model_->UnitWords();
    for (QComboBox* list : {OverUnit, UnderUnit}) {
        list->clear();
        list->addItems(units);
    }
    const LimitBox under = model_->UnderBox();
    const LimitBox over = model_->OverBox();
    UnderNum->setText(under.number);
    UnderUnit->setCurrentIndex(under.unit < units.size() ? under.unit : 0);
    OverNum->setText(over.number);
    OverUnit->setCurrentIndex(over.unit < units.size() ? over.unit : 0);
    const bool on = model_->Enabled();
    for (QWidget* w : {static_cast<QWidget*>(UnderNum), static_cast<QWidget*>(UnderUnit),
                       static_cast<QWidget*>(UnderPic), static_cast<QWidget*>(OverNum),
                       static_cast<QWidget*>(OverUnit), static_cast<QWidget*>(OverPic)})
        w->setEnabled(on);
}

void frmPassFailed::refuse(QLineEdit* box) {
    MsgBox(MessageTable().MsgInvalidNumeric, vbCritical);
    box->clear();
}

void frmPassFailed::UnderNum_Change() {
    if (model_ && model_->EditUnder(UnderNum->text(), UnderUnit->currentIndex()) ==
                      PassFailModel::Edit::Invalid)
        refuse(UnderNum);
}

void frmPassFailed::UnderUnit_Click() { UnderNum_Change(); }

void frmPassFailed::OverNum_Change() {
    if (model_ && model_->EditOver(OverNum->text(), OverUnit->currentIndex()) ==
                      PassFailModel::Edit::Invalid)
        refuse(OverNum);
}

void frmPassFailed::OverUnit_Click() {
    OverNum_Change();
    if (!model_) return;
    // An upper limit below the lower one takes the lower one's number and unit.
    if (model_->RaiseOverToUnder()) {
        OverNum->setText(UnderNum->text());
        OverUnit->setCurrentIndex(UnderUnit->currentIndex());
    }
}

void frmPassFailed::OKButton_Click() {
    if (!model_) return;
    const int shown = model_->CheckForOk();
    if (shown >= 0) {
        // That type's upper limit was raised to its lower one: shown, not committed.
        MTypeCombo->setCurrentIndex(shown);
        ShowTypeEnable();
        ShowTypeLimits();
        return;
    }
    if (SlotInRange(ViewMeasure, slot_)) {
        // The limits only: values and verdicts stay the record's own.
        auto& items = Sheets().MeasureViews[size_t(slot_)].Items;
        for (size_t k = 0; k < items.size(); ++k) {
            items[k].Enable = model_->Items()[k].Enable;
            items[k].Under = model_->Items()[k].Under;
            items[k].Over = model_->Items()[k].Over;
        }
        SheetDoc().SetModified(true);
    }
    accept();
}
