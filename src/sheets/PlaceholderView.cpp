#include "sheets/PlaceholderView.h"

#include <QCloseEvent>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "common/ShellState.h"
#include "sheets/ViewRecords.h"
#include "sheets/ViewWindows.h"


PlaceholderViewWindow::PlaceholderViewWindow(ViewKind kind, const QString& windowName,
                                             QWidget* parent)
    : QWidget(parent), kind_(kind) {
    setObjectName(windowName);
    setAttribute(Qt::WA_DeleteOnClose);
    Body = new QVBoxLayout(this);
    lblViewName = new QLabel(this);
    lblViewName->setObjectName("lblViewName");
    QFont bold = lblViewName->font();
    bold.setBold(true);
    lblViewName->setFont(bold);
    lblNotAvailable = new QLabel(NotAvailableText(Shell().UILanguage), this);
    lblNotAvailable->setObjectName("lblNotAvailable");
    lblNotAvailable->setWordWrap(true);
    Body->addWidget(lblViewName);
    Body->addWidget(lblNotAvailable);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setSingleShot(true);
    Timer1->setInterval(1);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
}

QString PlaceholderViewWindow::NotAvailableText(int lang) {
    return lang == LangChinese ? QString::fromUtf8("此版本尚不能显示该视图的内容。")
                               : QStringLiteral("The content of this view is not available yet in this version.");
}

void PlaceholderViewWindow::Form_Load() {
    unloaded_ = false;
    Timer1->start();
}

int PlaceholderViewWindow::Slot() const { return FormSlot(kind_, this); }

void PlaceholderViewWindow::Timer1_Timer() {
    const int slot = Slot();
    if (slot >= 0) ViewWindowOpen(kind_, slot) = true;
}

void PlaceholderViewWindow::Form_Unload() {
    Timer1->stop();
    const int slot = Slot();
    if (slot >= 0) ViewWindowOpen(kind_, slot) = false;
}

void PlaceholderViewWindow::closeEvent(QCloseEvent* e) {
    if (!unloaded_) {
        unloaded_ = true;
        Form_Unload();
    }
    QWidget::closeEvent(e);
}

void PlaceholderViewWindow::changeEvent(QEvent* e) {
    if (e->type() == QEvent::WindowTitleChange) lblViewName->setText(windowTitle());
    QWidget::changeEvent(e);
}
