#include "panel/model/KeyRepeat.h"

#include <algorithm>
#include <utility>

int RepeatStep(int repeatCount) {
    if (repeatCount <= 5) return 0;
    if (repeatCount <= 10) return 2;
    if (repeatCount <= 15) return 5;
    if (repeatCount <= 20) return 10;
    if (repeatCount <= 50) return 20;
    return 50;
}

KeyRepeat::KeyRepeat(const PanelBrandRules& rules, bool inPanel, std::function<void(const QString&)> send,
                     std::function<void()> markSent)
    : rules_(rules), markKeys_(inPanel), send_(std::move(send)), markSent_(std::move(markSent)) {}

void KeyRepeat::sendMarked(const QString& command, bool mark) {
    if (mark && markSent_) markSent_();
    if (send_) send_(command);
}

void KeyRepeat::Click(const PanelKey& key) {
    if (key.action == KeyAction::Held && !rules_.clickAfterHeld) return;
    sendMarked(QString::fromLatin1(key.command), markKeys_);
}

void KeyRepeat::Press(const PanelKey& key) {
    if (key.action != KeyAction::Held) return;
    heldKeyCommand_ = QString::fromLatin1(key.command);
    keyRepeatCount_ = 0;
    held_ = true;
    if (rules_.sendOnPress) sendMarked(heldKeyCommand_ + QStringLiteral(" 0"), markKeys_);
}

void KeyRepeat::Tick() {
    if (!held_) return;
    if (!rules_.stepArgument) {
        sendMarked(heldKeyCommand_, markKeys_);
        return;
    }
    // Every tick of the accelerating repeat ends a screen read, in the key
    // pad too.
    keyRepeatCount_ = std::min(keyRepeatCount_ + 1, MaxRepeatCount);
    sendMarked(heldKeyCommand_ + QLatin1Char(' ') + QString::number(RepeatStep(keyRepeatCount_)), true);
}

void KeyRepeat::Release() { held_ = false; }
