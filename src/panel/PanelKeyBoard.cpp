#include "panel/PanelKeyBoard.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/ShellState.h"
#include "link/KV2200Cmd.h"
#include "link/LinkState.h"
#include "widgets/HoldRepeat.h"

namespace {
// Frames of the keys, in the order they are laid out, with their legends.
struct FrameDef {
    const char* name;
    const char* title;
};
const FrameDef kFrames[] = {
    {"ONOFF", "ON/OFF"},   {"MENU", "MENU"},         {"RUN", "RUN/STOP"}, {"Frame4", "Function"},
    {"Vertical", "Vertical"}, {"Horizontal", "Horizontal"}, {"Trigger", "Trigger"},
};

bool isSoftKey(const QString& control) { return control.size() == 5 && control.startsWith("VK_F"); }

QString frameNameOf(const PanelKey& k) {
    const QString control = QString::fromLatin1(k.control);
    const QString group = QString::fromLatin1(k.group);
    if (control.startsWith("VK_F_")) return "Frame4";
    if (group == "ON/OFF") return "ONOFF";
    if (group == "RUN/STOP" || group == "AUTO") return "RUN";
    if (group.isEmpty()) return "MENU";  // the second brand's top row
    return group;                        // MENU, Vertical, Horizontal, Trigger
}

QString captionOf(const PanelKey& k) {
    const QString legend = QString::fromUtf8(k.legend);
    return legend.isEmpty() ? QString::fromLatin1(k.group) : legend;
}
}  // namespace

PanelKeyBoard::PanelKeyBoard(bool inPanel, QWidget* parent)
    : PanelKeyBoard(inPanel, PanelKeyCommands(), PanelRules(), parent) {}

PanelKeyBoard::PanelKeyBoard(bool inPanel, const std::vector<PanelKey>& keys, const PanelBrandRules& rules,
                             QWidget* parent)
    : QWidget(parent), keys_(keys) {
    repeat_ = std::make_unique<KeyRepeat>(
        rules, inPanel, [](const QString& command) { SendCmd(command); }, [] { Link().CommandSent = true; });
    hold_ = new HoldRepeat(this);
    hold_->setObjectName("ButtonPressTimer");
    hold_->SetTiming(rules.repeatMs, rules.repeatMs);
    hold_->SetMaxTicks(KeyRepeat::MaxRepeatCount);
    hold_->SetStep([this](int index, int ticks) {
        const PanelKey& key = keys_[size_t(index)];
        if (ticks > 0) {
            repeat_->Tick();
            return;
        }
        // Only a mouse press starts a held key; the space bar on the
        // focused key is its click alone.
        if (!mousePress_) {
            hold_->Release();
            return;
        }
        repeat_->Press(key);
    });

    auto* grid = new QGridLayout;
    for (const FrameDef& f : kFrames) {
        auto* box = new QGroupBox(QString::fromLatin1(f.title));
        box->setObjectName(QString::fromLatin1(f.name));
        box->setLayout(new QGridLayout);
        frames_.insert(box->objectName(), box);
    }
    softKeys_ = new QWidget;
    softKeys_->setObjectName("SoftKeys");
    auto* softLayout = new QVBoxLayout(softKeys_);
    softLayout->setContentsMargins(0, 0, 0, 0);

    for (size_t i = 0; i < keys_.size(); ++i) {
        const PanelKey& key = keys_[i];
        const QString control = QString::fromLatin1(key.control);
        auto* b = new QPushButton(captionOf(key));
        b->setObjectName(control);
        b->setAutoDefault(false);
        b->setToolTip(QString::fromLatin1(key.command));
        buttons_.insert(control, b);
        if (isSoftKey(control)) {
            softLayout->addWidget(b);
        } else if (!KnobOf(control)) {
            QGroupBox* box = frameFor(key);
            auto* l = static_cast<QGridLayout*>(box->layout());
            const int n = l->count();
            l->addWidget(b, n / 3, n % 3);
        }
        connect(b, &QAbstractButton::clicked, this, [this, i] { repeat_->Click(keys_[i]); });
        if (key.action == KeyAction::Held) {
            b->installEventFilter(this);
            hold_->Attach(b, int(i));
            connect(b, &QAbstractButton::released, this, [this] { repeat_->Release(); });
        }
    }
    // The knobs: the turn keys stand left and right of the push key, one row
    // per knob at the foot of its frame.
    for (const PanelKnob& k : PanelKnobs()) {
        QAbstractButton* push = buttons_.value(QLatin1String(k.push));
        if (!push) continue;
        QGroupBox* box = frameFor(*FindPanelKey(keys_, QLatin1String(k.push)));
        auto* l = static_cast<QGridLayout*>(box->layout());
        const int row = l->rowCount();
        l->addWidget(buttons_.value(QLatin1String(k.dec)), row, 0);
        l->addWidget(push, row, 1);
        l->addWidget(buttons_.value(QLatin1String(k.inc)), row, 2);
    }
    // Frames without keys (the brand has none of them) are left out.
    int placed = 0;
    for (const FrameDef& f : kFrames) {
        QGroupBox* box = frames_.value(QString::fromLatin1(f.name));
        if (box->layout()->count() == 0) {
            delete box;
            frames_.remove(QString::fromLatin1(f.name));
            continue;
        }
        grid->addWidget(box, placed / 4, placed % 4);
        ++placed;
    }
    if (!inPanel) grid->addWidget(softKeys_, 0, 4, 2, 1);
    setLayout(grid);
    ShowLAKey(Link().LAPresent);
    // The second brand's windows keep their English texts.
    NameKeys(rules.languageCaptions ? Shell().UILanguage : int(LangEnglish));
}

PanelKeyBoard::~PanelKeyBoard() {
    StopRepeat();
    // The soft keys stand beside the board only in the key pad; a panel
    // window that did not adopt them leaves them without a parent.
    if (softKeys_ && !softKeys_->parent()) delete softKeys_;
}

QGroupBox* PanelKeyBoard::frameFor(const PanelKey& key) { return frames_.value(frameNameOf(key)); }

QAbstractButton* PanelKeyBoard::Key(const QString& control) const { return buttons_.value(control); }

void PanelKeyBoard::ShowLAKey(bool present) {
    if (QAbstractButton* la = Key("VK_La")) {
        la->setVisible(present);
        la->setEnabled(present);
    }
}

void PanelKeyBoard::NameKeys(int lang) {
    if (lang != LangChinese && lang != LangEnglish) return;
    for (auto it = buttons_.cbegin(); it != buttons_.cend(); ++it) {
        const QString name = KnobKeyName(it.key(), lang);
        if (!name.isEmpty()) it.value()->setAccessibleName(name);
    }
}

void PanelKeyBoard::StopRepeat() {
    if (hold_) hold_->Release();
    if (repeat_) repeat_->Release();
}

bool PanelKeyBoard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
        mousePress_ = true;
    else if (event->type() == QEvent::KeyPress)
        mousePress_ = false;
    return QWidget::eventFilter(watched, event);
}
