#pragma once
// The small progress window of a long text export. It centres itself and
// starts its bar at 0 when it loads, and refuses to close while the export
// runs (SaveProgress().IsSavingCsv); the export moves the bar and unloads it.
#include <QWidget>

class QProgressBar;

class frmPrgressSave : public QWidget {
    Q_OBJECT
public:
    explicit frmPrgressSave(QWidget* owner = nullptr);
    QProgressBar* ProgressBar() const { return bar_; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void FormLoad();
    QProgressBar* bar_;
};

// Sets the hooks of SaveProgress() so that an export shows a new window
// owned by the main window, moves its bar and unloads it. Called once by the
// composition root.
void InstallSaveProgressWindow();
// The window an export shows now, or null.
frmPrgressSave* CurrentSaveProgressWindow();
