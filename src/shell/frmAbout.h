#pragma once
// The About box: title, version, description and disclaimer; OK closes it,
// "System Info..." starts the platform's system-information tool, and F2
// (whichever control has the focus) shows the engineering version number.
#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* owner = nullptr);

    // Starts the system-information tool, or says that it is unavailable.
    void StartSysInfo();

    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void FormLoad();
    bool HandleKey(QKeyEvent* e);
};

// The engineering version message that F2 shows.
extern const char* const EngineeringVersionText;

// Where the About box looks for the system-information tool and how it starts
// it; tests replace them.
struct SysInfoServiceData {
    // Program names searched for on the PATH, in order.
    QStringList Candidates{QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"),
                           QStringLiteral("gnome-system-monitor"), QStringLiteral("kinfocenter")};
    // Starts the program; false when it could not be started.
    std::function<bool(const QString& program)> Start;
};
SysInfoServiceData& SysInfoService();

// The full path of the first candidate found, or an empty text.
QString FindSysInfoTool();

// Shows the About box modally, owned by the main window.
void ShowAboutBox(QWidget* owner);
