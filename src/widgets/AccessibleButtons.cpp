#include "widgets/AccessibleButtons.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QVariant>

namespace {
// The dynamic properties the interface reads.
constexpr const char* kRole = "kvAccessibleRole";  // int: the QAccessible::Role announced
constexpr const char* kOn = "kvToggleOn";
constexpr const char* kOnName = "kvToggleOnName";

// A caption as read aloud: "&&" shows "&", a single "&" only marks the
// access key; the blanks that pad it are not read.
QString ReadCaption(const QString& text) {
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) {
            out += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
            out += QLatin1Char('&');
            ++i;
        }
    }
    return out.trimmed();
}

class StateButtonInterface : public QAccessibleWidget {
public:
    StateButtonInterface(QAbstractButton* button, QAccessible::Role role, std::function<bool()> toggles)
        : QAccessibleWidget(button, role), toggles_(std::move(toggles)) {}

    QAccessible::State state() const override {
        QAccessible::State st = QAccessibleWidget::state();
        const bool radio = role() == QAccessible::RadioButton;
        const bool on = radio ? button()->isChecked() : button()->property(kOn).toBool();
        st.checkable = radio || on || !toggles_ || toggles_();
        st.checked = on;
        st.pressed = button()->isDown() || (!radio && on);
        return st;
    }

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name) return QAccessibleWidget::text(t);
        if (role() != QAccessible::RadioButton && button()->property(kOn).toBool()) {
            const QString onName = button()->property(kOnName).toString();
            if (!onName.isEmpty()) return onName;
        }
        const QString name = button()->accessibleName();
        return name.isEmpty() ? ReadCaption(button()->text()) : name;
    }

    QStringList actionNames() const override {
        QStringList names;
        if (widget()->isEnabled())
            names << (role() == QAccessible::RadioButton ? toggleAction() : pressAction());
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (!widget()->isEnabled()) return;
        if (action == pressAction() || action == toggleAction()) button()->click();
        else QAccessibleWidget::doAction(action);
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
    std::function<bool()> toggles_;  // a toggle button: whether a press turns it on
};

void Expose(QAbstractButton* button, QAccessible::Role role, std::function<bool()> toggles = {}) {
    if (!button) return;
    button->setProperty(kRole, int(role));
    // The interface Qt made (now or before) for the button's class goes; ours
    // takes its place in the cache, where every later question finds it.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(button))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    QAccessible::registerAccessibleInterface(new StateButtonInterface(button, role, std::move(toggles)));
}
}  // namespace

void ExposeAsRadioButton(QAbstractButton* button) { Expose(button, QAccessible::RadioButton); }

void ExposeAsToggleButton(QAbstractButton* button, std::function<bool()> toggles) {
    Expose(button, QAccessible::Button, std::move(toggles));
}

bool ToggleOn(const QAbstractButton* button) { return button && button->property(kOn).toBool(); }

void SetToggleOn(QAbstractButton* button, bool on) {
    if (!button || ToggleOn(button) == on) return;
    button->setProperty(kOn, on);
    QAccessible::State changed;
    changed.checked = true;
    changed.pressed = true;
    QAccessibleStateChangeEvent state(button, changed);
    QAccessible::updateAccessibility(&state);
    if (!button->property(kOnName).toString().isEmpty()) {
        QAccessibleEvent name(button, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&name);
    }
}

bool SetToggleOnName(QAbstractButton* button, const QString& name) {
    if (!button || button->property(kRole).toInt() != int(QAccessible::Button)) return false;
    button->setProperty(kOnName, name);
    if (ToggleOn(button)) {
        QAccessibleEvent event(button, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    return true;
}
