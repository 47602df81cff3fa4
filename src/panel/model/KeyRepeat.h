#pragma once
// What a window's keys send, without the window: one-shot clicks, and the
// held knob keys with their repeat. The window forwards the mouse press and
// release, the click and the repeat timer's ticks; the engine says whether
// the timer should run and sends through the given function.
#include <QString>
#include <functional>

#include "panel/model/PanelKeys.h"

// The step argument of a repeat tick from the count of ticks since the press
// (1 to 5: 0; 6 to 10: 2; 11 to 15: 5; 16 to 20: 10; 21 to 50: 20; then 50).
int RepeatStep(int repeatCount);

class KeyRepeat {
public:
    static constexpr int MaxRepeatCount = 60000;

    // send writes one command; markSent (may be empty) runs right before every
    // send that must end a screen read in progress: in the panel (inPanel)
    // every key action of both brands, and in the main brand's key pad every
    // repeat tick.
    KeyRepeat(const PanelBrandRules& rules, bool inPanel, std::function<void(const QString&)> send,
              std::function<void()> markSent = {});

    // A click of a key. For a held key this is the click that follows its
    // release: it sends only where the brand says so.
    void Click(const PanelKey& key);
    // Mouse press of a held key: the repeat starts (again from the first step).
    void Press(const PanelKey& key);
    // One tick of the repeat timer; does nothing when no key is held.
    void Tick();
    // Mouse release, the pointer lost, the window closing: the repeat stops.
    void Release();

    bool Held() const { return held_; }
    const QString& HeldKeyCommand() const { return heldKeyCommand_; }
    int KeyRepeatCount() const { return keyRepeatCount_; }

private:
    void sendMarked(const QString& command, bool mark);

    const PanelBrandRules& rules_;
    bool markKeys_;
    std::function<void(const QString&)> send_;
    std::function<void()> markSent_;
    QString heldKeyCommand_;
    int keyRepeatCount_ = 0;
    bool held_ = false;
};
