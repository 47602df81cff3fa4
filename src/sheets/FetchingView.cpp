#include "sheets/FetchingView.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "common/ShellState.h"
#include "link/TransferJobs.h"
#include "platform/mouse/MouseControl.h"
#include "sheets/ViewWindows.h"
#include "widgets/AccessibleButtons.h"
#include "widgets/StandardIcons.h"

FetchingViewWindow::FetchingViewWindow(ViewKind kind, const QString& windowName, QWidget* parent)
    : ViewWindow(kind, windowName, 500, parent), refresh_(RefreshKindOf(kind)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    Timer2 = new QTimer(this);
    Timer2->setObjectName("Timer2");
    connect(Timer2, &QTimer::timeout, this, &FetchingViewWindow::Timer2_Timer);
}

void FetchingViewWindow::SetRefreshButton(QToolButton* button) {
    cmdRefresh = button;
    cmdRefresh->setObjectName("cmdRefresh");
    cmdRefresh->setToolTip("Refresh Data(F5)");
    cmdRefresh->setAutoRaise(true);
    cmdRefresh->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(cmdRefresh, &QToolButton::clicked, this, &FetchingViewWindow::cmdRefresh_Click);
    cmdRefresh->installEventFilter(this);
    // A toggle where a press starts a continuous refresh, else a push button.
    ExposeAsToggleButton(cmdRefresh, RefreshIsContinuous);
    SetStopLook(false);
}

bool FetchingViewWindow::RunFetchJob(int code, const char* chinese, const char* english, bool showWindow, int slot,
                                     const std::function<void()>& beforeShow) {
    if (code == JobNone) return false;
    const QString caption =
        Shell().UILanguage == LangChinese ? QString::fromUtf8(chinese) : QString::fromLatin1(english);
    QPointer<FetchingViewWindow> self(this);
    return RunTransfer(code, caption, showWindow, slot, beforeShow) && self;
}

QList<QRadioButton*> FetchingViewWindow::MakeChannelOptions(QWidget* frame, const QStringList& captions,
                                                            const QRect& first, int step,
                                                            const std::function<void(int index)>& chosen) {
    QList<QRadioButton*> options;
    for (int i = 0; i < captions.size(); ++i) {
        auto* o = new QRadioButton(frame);
        o->setObjectName(QString("OptionCH(%1)").arg(i));
        o->setAutoExclusive(false);
        ExposeAsRadioButton(o);
        o->setText(captions[i]);
        o->setGeometry(first.translated(step * i, 0));
        connect(o, &QRadioButton::clicked, this, [chosen, i] { chosen(i); });
        options << o;
    }
    return options;
}

void FetchingViewWindow::Form_Load() {
    RefreshState(refresh_).Loading = false;
    ViewWindow::Form_Load();
}

void FetchingViewWindow::SetStopLook(bool stop) {
    cmdRefresh->setIcon(StandardIcon(stop ? QStyle::SP_MediaStop : QStyle::SP_BrowserReload));
    cmdRefresh->setProperty("stopLook", stop);
    // Screen readers hear the stop look as the button held down.
    SetToggleOn(cmdRefresh, stop);
}

void FetchingViewWindow::ShowScreenPointer() {
    cmdRefresh->setCursor(MouseControl::QtShape(MouseControl::Cursor()));
}

void FetchingViewWindow::cmdRefresh_Click() {
    RefreshPress(WindowRefreshView(refresh_, this, Timer2, cmdRefresh, [this] {
                                       if (Fetch()) ShowScreenPointer();
                                   },
                                   [this](bool stop) { SetStopLook(stop); }));
}

void FetchingViewWindow::Timer2_Timer() { RefreshPacerTick(Timer2); }

bool FetchingViewWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cmdRefresh && (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove))
        ShowScreenPointer();
    return ViewWindow::eventFilter(watched, event);
}

void FetchingViewWindow::keyPressEvent(QKeyEvent* event) {
    if (IsRefreshKey(event->key(), event->modifiers())) {
        cmdRefresh_Click();
        return;
    }
    ViewWindow::keyPressEvent(event);
}

void FetchingViewWindow::resizeEvent(QResizeEvent* event) {
    ViewWindow::resizeEvent(event);
    Form_Resize();
}

bool FetchingViewWindow::CanClose() const { return !Transfer().TransferBusy && !RefreshState(refresh_).Loading; }

void FetchingViewWindow::Form_Unload() {
    ViewWindow::Form_Unload();
    const ViewKind kind = Kind();
    RefreshKindUnloaded(refresh_, [kind, refresh = refresh_](int slot) {
        if (auto* f = qobject_cast<FetchingViewWindow*>(ExistingViewForm(kind, slot))) f->SetStopLook(false);
        if (bool* flag = RecordAutoRefresh(refresh, slot)) *flag = false;
    });
    Timer2->stop();
}
