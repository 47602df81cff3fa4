#include "shell/frmPrgressSave.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>

#include "common/SaveProgress.h"
#include "common/Twips.h"
#include "shell/MainWindow.h"

namespace {
QPointer<frmPrgressSave>& Current() {
    static QPointer<frmPrgressSave> w;
    return w;
}
}  // namespace

frmPrgressSave::frmPrgressSave(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmPrgressSave"));
    setWindowTitle(QStringLiteral("Progress"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(TwipsToPixels(4485), TwipsToPixels(615));
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("ProgressBar"));
    bar_->setRange(0, 100);
    bar_->setGeometry(TwipsToPixels(270), TwipsToPixels(120), TwipsToPixels(3975), TwipsToPixels(345));
    FormLoad();
}

void frmPrgressSave::FormLoad() {
    // Centred on the screen, whatever position the window had before.
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (s) {
        const QRect r = s->geometry();
        move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
    }
    repaint();
    bar_->setValue(0);
}

void frmPrgressSave::closeEvent(QCloseEvent* e) {
    if (SaveProgress().IsSavingCsv) {
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

frmPrgressSave* CurrentSaveProgressWindow() { return Current(); }

void InstallSaveProgressWindow() {
    SaveProgressData& s = SaveProgress();
    s.Show = [] {
        if (!Current()) Current() = new frmPrgressSave(MainForm());
        Current()->show();
    };
    s.SetValue = [](int value) {
        if (!Current()) return;
        Current()->ProgressBar()->setValue(value);
        Current()->repaint();
    };
    s.Unload = [] {
        // The window deletes itself later; forget it now so a new export
        // never reuses a window on its way out.
        if (Current() && Current()->close()) Current() = nullptr;
    };
}
