#pragma once
// The front-panel keys of one window, built from the brand's key table: the
// key groups in their frames, the soft keys, and the held knob keys with
// their repeat. Every key sends through the command layer; in the virtual
// panel every key action first marks a command as sent, so that a screen
// read in progress ends.
#include <QHash>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "panel/model/KeyRepeat.h"

class QAbstractButton;
class QGroupBox;
class QTimer;
class HoldRepeat;

class PanelKeyBoard : public QWidget {
    Q_OBJECT
public:
    // inPanel: the keys of the virtual panel rather than of the key pad: the
    // panel window places their frames (Frame) and soft keys (Key) itself, and
    // the keys shrink to the frames it gives them. The keys and rules are the
    // built brand's unless given.
    explicit PanelKeyBoard(bool inPanel, QWidget* parent = nullptr);
    PanelKeyBoard(bool inPanel, const std::vector<PanelKey>& keys, const PanelBrandRules& rules,
                  QWidget* parent = nullptr);
    ~PanelKeyBoard() override;

    // The button of a key control ("VK_Run"); nullptr when the brand has none.
    QAbstractButton* Key(const QString& control) const;
    // The frame of a key group ("Vertical", "Frame4"); nullptr when the brand
    // has none. In the panel the window adopts it.
    QGroupBox* Frame(const QString& name) const;
    // The logic-analyser key shown and enabled, or hidden and disabled.
    void ShowLAKey(bool present);
    // Stops a held key's repeat (release lost, window closing).
    void StopRepeat();
    // Names the knob keys for screen readers in the UI language (0 Chinese,
    // 1 English): "Vertical Scale −", "Trigger Level".
    void NameKeys(int lang);

    HoldRepeat& Hold() const { return *hold_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:

    const std::vector<PanelKey>& keys_;
    std::unique_ptr<KeyRepeat> repeat_;
    HoldRepeat* hold_ = nullptr;
    QHash<QString, QPointer<QGroupBox>> frames_;
    QHash<QString, QAbstractButton*> buttons_;
    // The panel's keys with two-line legends, and the type each shrinks from
    // to fit its size.
    QHash<QAbstractButton*, int> legendPixels_;
    bool mousePress_ = false;  // the last press of a held key came from the mouse
};
