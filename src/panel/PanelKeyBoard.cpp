#include "panel/PanelKeyBoard.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
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

// Small frames of the panel whose keys carry the legend themselves.
bool untitledInPanel(const QString& frame) {
    return frame == QLatin1String("ONOFF") || frame == QLatin1String("RUN") || frame == QLatin1String("Frame4");
}

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

// The panel's key type, and the smallest a two-line legend shrinks to.
constexpr int kPanelKeyPixels = 10, kSmallFramePixels = 9, kSmallestLegendPixels = 6;

// The largest pixel size, from `largest` down to `smallest`, at which every
// line of `text` fits within `room`.
int FittingPixelSize(QFont font, const QString& text, const QSize& room, int largest, int smallest) {
    for (int pixels = largest; pixels > smallest; --pixels) {
        font.setPixelSize(pixels);
        const QRect needed = QFontMetrics(font).boundingRect(QRect(QPoint(0, 0), room), Qt::AlignCenter, text);
        if (needed.width() <= room.width() && needed.height() <= room.height()) return pixels;
    }
    return smallest;
}

// A panel key whose legend has two lines takes the largest type, up to the
// panel's, at which both lines fit within its label area, so that neither
// line is cut at the key's edges.
void fitLegend(QAbstractButton* b, int largest) {
    QStyleOptionButton option;
    option.initFrom(b);
    const QRect label = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b);
    QFont font = b->font();
    const int pixels = FittingPixelSize(font, b->text(), label.size(), largest, kSmallestLegendPixels);
    if (font.pixelSize() == pixels) return;
    font.setPixelSize(pixels);
    b->setFont(font);
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

    // A frame's keys, and its knob rows under them. In the key pad both are
    // one grid; in the panel the knob rows have a grid of their own, with a
    // wider middle column for the push key's legend.
    QHash<QString, QGridLayout*> keyGrids, knobGrids;
    for (const FrameDef& f : kFrames) {
        const QString name = QString::fromLatin1(f.name);
        auto* box = new QGroupBox(inPanel && untitledInPanel(name) ? QString() : QString::fromLatin1(f.title));
        box->setObjectName(name);
        auto* keysGrid = new QGridLayout;
        QGridLayout* knobGrid = keysGrid;
        if (inPanel) {
            auto* column = new QVBoxLayout(box);
            column->setContentsMargins(2, 1, 2, 2);
            column->setSpacing(2);
            knobGrid = new QGridLayout;
            keysGrid->setSpacing(2);
            knobGrid->setSpacing(2);
            column->addLayout(keysGrid);
            column->addLayout(knobGrid);
        } else {
            box->setLayout(keysGrid);
        }
        frames_.insert(name, box);
        keyGrids.insert(name, keysGrid);
        knobGrids.insert(name, knobGrid);
    }
    QWidget* softKeys = inPanel ? nullptr : new QWidget;
    auto* softLayout = softKeys ? new QVBoxLayout(softKeys) : nullptr;
    if (softLayout) softLayout->setContentsMargins(0, 0, 0, 0);

    for (size_t i = 0; i < keys_.size(); ++i) {
        const PanelKey& key = keys_[i];
        const QString control = QString::fromLatin1(key.control);
        auto* b = new QPushButton(captionOf(key));
        b->setObjectName(control);
        b->setAutoDefault(false);
        b->setToolTip(QString::fromLatin1(key.command));
        buttons_.insert(control, b);
        if (isSoftKey(control)) {
            if (softLayout) softLayout->addWidget(b);
        } else if (!KnobOf(control)) {
            const QString frame = frameNameOf(key);
            QGridLayout* l = keyGrids.value(frame);
            const int n = l->count();
            // In the panel the low RUN frame has its keys one over the other,
            // the narrow Trigger frame two to a row, the MENU frame as many as
            // the brand's panel gives room for.
            const int columns = !inPanel                           ? 3
                                : frame == QLatin1String("RUN")     ? 1
                                : frame == QLatin1String("Trigger") ? 2
                                : frame == QLatin1String("MENU")    ? rules.panelMenuColumns
                                                                    : 3;
            l->addWidget(b, n / columns, n % columns);
        }
        connect(b, &QAbstractButton::clicked, this, [this, i] { repeat_->Click(keys_[i]); });
        if (key.action == KeyAction::Held) {
            b->installEventFilter(this);
            hold_->Attach(b, int(i));
            connect(b, &QAbstractButton::released, this, [this] { repeat_->Release(); });
        }
    }
    // The knobs: the turn keys stand left and right of the push key, one row
    // per knob at the foot of its frame; in the panel's narrow function frame
    // the push key stands over its turn keys.
    for (const PanelKnob& k : PanelKnobs()) {
        QAbstractButton* push = buttons_.value(QLatin1String(k.push));
        if (!push) continue;
        const QString frame = frameNameOf(*FindPanelKey(keys_, QLatin1String(k.push)));
        QGridLayout* l = knobGrids.value(frame);
        const int row = l->count() == 0 ? 0 : l->rowCount();
        if (inPanel && frame == QLatin1String("Frame4")) {
            l->addWidget(push, row, 0, 1, 2);
            l->addWidget(buttons_.value(QLatin1String(k.dec)), row + 1, 0);
            l->addWidget(buttons_.value(QLatin1String(k.inc)), row + 1, 1);
            continue;
        }
        l->addWidget(buttons_.value(QLatin1String(k.dec)), row, 0);
        l->addWidget(push, row, 1);
        l->addWidget(buttons_.value(QLatin1String(k.inc)), row, 2);
        if (inPanel) {
            l->setColumnStretch(0, 1);
            l->setColumnStretch(1, 3);
            l->setColumnStretch(2, 1);
        }
    }
    // Frames without keys (the brand has none of them) are left out.
    for (const FrameDef& f : kFrames) {
        const QString name = QString::fromLatin1(f.name);
        const int keys = keyGrids.value(name)->count();
        const int knobRows = knobGrids.value(name)->count() == 0 ? 0 : knobGrids.value(name)->rowCount();
        if (keys == 0 && knobRows == 0) {
            delete frames_.take(name);
            continue;
        }
        // In the panel every row of a frame gets the same height.
        if (auto* column = qobject_cast<QVBoxLayout*>(frames_.value(name)->layout())) {
            column->setStretch(0, keys == 0 ? 0 : keyGrids.value(name)->rowCount());
            column->setStretch(1, knobRows);
        }
    }
    auto* grid = new QGridLayout;
    if (inPanel) {
        // The keys give way to the frames the panel sizes, in a small type
        // (smaller still in the small frames, whose keys carry the legends).
        for (QAbstractButton* b : std::as_const(buttons_)) {
            b->setMinimumSize(8, 8);
            b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
            QFont small = b->font();
            const QWidget* box = b->parentWidget();
            const int pixels = box && untitledInPanel(box->objectName()) ? kSmallFramePixels : kPanelKeyPixels;
            small.setPixelSize(pixels);
            b->setFont(small);
            if (b->text().contains(QLatin1Char('\n'))) {
                legendPixels_.insert(b, pixels);
                b->installEventFilter(this);
            }
        }
    } else {
        // Three frames to a row and the soft keys beside them, so that the
        // key pad fits a 1024 x 768 screen.
        constexpr int kFramesPerRow = 3;
        int placed = 0;
        for (const FrameDef& f : kFrames) {
            if (QGroupBox* box = frames_.value(QString::fromLatin1(f.name))) {
                grid->addWidget(box, placed / kFramesPerRow, placed % kFramesPerRow);
                ++placed;
            }
        }
        grid->addWidget(softKeys, 0, kFramesPerRow, (placed + kFramesPerRow - 1) / kFramesPerRow, 1);
    }
    setLayout(grid);
    ShowLAKey(Link().LAPresent);
    // The second brand's windows keep their English texts.
    NameKeys(rules.languageCaptions ? Shell().UILanguage : int(LangEnglish));
}

PanelKeyBoard::~PanelKeyBoard() {
    StopRepeat();
    // The panel window adopts the frames and soft keys; what it did not
    // adopt has no parent and goes with the board.
    for (const QPointer<QGroupBox>& box : std::as_const(frames_))
        if (box && !box->parent()) delete box;
    for (const QString& control : {"VK_F1", "VK_F2", "VK_F3", "VK_F4", "VK_F5"})
        if (QAbstractButton* b = buttons_.value(control); b && !b->parent()) delete b;
}

QGroupBox* PanelKeyBoard::Frame(const QString& name) const { return frames_.value(name); }

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
    if (event->type() == QEvent::Resize) {
        auto* b = static_cast<QAbstractButton*>(watched);
        if (const auto it = legendPixels_.constFind(b); it != legendPixels_.cend()) fitLegend(b, it.value());
    }
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
        mousePress_ = true;
    else if (event->type() == QEvent::KeyPress)
        mousePress_ = false;
    return QWidget::eventFilter(watched, event);
}
