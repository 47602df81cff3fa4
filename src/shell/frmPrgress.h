#pragma once
// The transfer window: a small modeless tool window, owned by the main
// window, that runs one transfer job at a time (RunTransfer in
// link/TransferJobs.h reaches it through TransferUi()).
//
// Touching it (TransferForm) creates and loads it: TransferBusy is set and the
// job is armed; 100 ms later its first tick runs the job of TransferCode
// (shown or hidden), pauses, sets TransferDone, clears TransferBusy and unloads
// the window. It refuses to close while a job is armed or running.
#include <QPointer>
#include <QString>
#include <QWidget>

class QProgressBar;
class QTimer;

class frmPrgress : public QWidget {
    Q_OBJECT
public:
    explicit frmPrgress(QWidget* owner = nullptr);
    ~frmPrgress() override;

    QProgressBar* ProgressBar1 = nullptr;
    QTimer* Timer1 = nullptr;

    // The one-shot job dispatcher (first tick of Timer1).
    void Timer1_Timer();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
};

// The main window, owner of the transfer window (set by the main window).
QPointer<QWidget>& TransferWindowOwner();

// The transfer window, created and loaded when it is not loaded.
frmPrgress* TransferForm();
// The transfer window when loaded, else nullptr (touches nothing).
frmPrgress* LoadedTransferForm();

// Lets RunTransfer (link/TransferJobs.h) load and show this window. Done
// when the window is linked in; the main window calls it again on load.
void InstallTransferWindow();

// Window position in twips: the stored value, or the replacement when it lies
// off a screen of the given size (twips) for a window of the given size.
int ProgressLeftFromStored(const QString& stored, int screenWidth, int windowWidth);
int ProgressTopFromStored(const QString& stored, int screenHeight, int windowHeight);
