#pragma once
// The common frame of a view window whose own content comes with a later
// version: it shows the view's name and says plainly that the content is not
// available yet. It lives like any view window: loaded by its factory,
// tagged with its slot, a one-shot 1 ms set-up timer (Timer1) that reads the
// tag and sets the record's WindowOpen, and an unload that clears it.
#include <QWidget>

#include "common/SheetModel.h"

class QLabel;
class QTimer;
class QVBoxLayout;

class PlaceholderViewWindow : public QWidget {
    Q_OBJECT
public:
    PlaceholderViewWindow(ViewKind kind, const QString& windowName, QWidget* parent = nullptr);

    // The public load procedure: starts the set-up timer (the tag is read
    // when it fires, not here). Called by the factory and again after the
    // window was given another view.
    virtual void Form_Load();

    // The slot read from the tag now; -1 when the tag names no slot.
    int Slot() const;

    QTimer* Timer1 = nullptr;
    QLabel* lblViewName = nullptr;      // the view's name (follows the window caption)
    QLabel* lblNotAvailable = nullptr;  // "not available yet" in the UI language

    // The "not available yet" text in a language (0 Chinese, 1 English).
    static QString NotAvailableText(int lang);

protected:
    virtual void Timer1_Timer();
    // The unload handler: clears WindowOpen of the record named by the tag.
    virtual void Form_Unload();
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

    // Where a window adds the controls the sheet procedures reach.
    QVBoxLayout* Body = nullptr;

private:
    ViewKind kind_;
    bool unloaded_ = false;
};
