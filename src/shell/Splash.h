#pragma once
// The splash window shown while the main window loads.
#include <QWidget>

class QFrame;
class QLabel;

class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);
    // Centres the window on the screen and sets its captions.
    void Form_Load();

    QFrame* fraMainFrame = nullptr;
    QLabel* picLogo = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCompany = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblWarning = nullptr;
};
