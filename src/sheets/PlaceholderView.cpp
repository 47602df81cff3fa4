#include "sheets/PlaceholderView.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "common/ShellState.h"

PlaceholderViewWindow::PlaceholderViewWindow(ViewKind kind, const QString& windowName,
                                             QWidget* parent)
    : ViewWindow(kind, windowName, 0, parent) {
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
}

QString PlaceholderViewWindow::NotAvailableText(int lang) {
    return lang == LangChinese ? QString::fromUtf8("此版本尚不能显示该视图的内容。")
                               : QStringLiteral("The content of this view is not available yet in this version.");
}

void PlaceholderViewWindow::changeEvent(QEvent* e) {
    if (e->type() == QEvent::WindowTitleChange) lblViewName->setText(windowTitle());
    ViewWindow::changeEvent(e);
}
