#pragma once
// The common frame of a view window whose own content comes with a later
// version: it shows the view's name and says plainly that the content is not
// available yet. Its life cycle is the base's (ViewWindow.h) with a one-shot
// set-up tick.
#include "sheets/ViewWindow.h"

class QLabel;
class QVBoxLayout;

class PlaceholderViewWindow : public ViewWindow {
    Q_OBJECT
public:
    PlaceholderViewWindow(ViewKind kind, const QString& windowName, QWidget* parent = nullptr);

    QLabel* lblViewName = nullptr;      // the view's name (follows the window caption)
    QLabel* lblNotAvailable = nullptr;  // "not available yet" in the UI language

    // The "not available yet" text in a language (0 Chinese, 1 English).
    static QString NotAvailableText(int lang);

protected:
    void changeEvent(QEvent* e) override;

    // Where a window adds its controls.
    QVBoxLayout* Body = nullptr;
};
