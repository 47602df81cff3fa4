#pragma once
// The key pad: the front-panel keys alone ("Virtual Keyboard").
#include <QDialog>

class PanelKeyBoard;

class frmV_Key : public QDialog {
    Q_OBJECT
public:
    explicit frmV_Key(QWidget* parent = nullptr);
    ~frmV_Key() override;

    PanelKeyBoard* Keys() const { return keys_; }
    // The key pad is open (read by tests; the second brand's does not say so).
    static bool VirtualKeyShown();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    PanelKeyBoard* keys_;
};
