#include "shell/frmAbout.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>

#include "common/ShellState.h"
#include "link/Messages.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/Language.h"

const char* const EngineeringVersionText = "当前工程模式版本号为：00.01.05.00.00";

namespace {
const char* const AppTitle = "Velmora";

QFrame* EtchedLine(QWidget* parent, const char* name) {
    auto* line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}
}  // namespace

SysInfoServiceData& SysInfoService() {
    static SysInfoServiceData s;
    return s;
}

QString FindSysInfoTool() {
    for (const QString& name : SysInfoService().Candidates) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty()) return path;
    }
    return QString();
}

frmAbout::frmAbout(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* lblTitle = new QLabel(QStringLiteral("Velmora for KV2200M Series"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont tf = lblTitle->font();
    tf.setBold(true);
    tf.setPointSizeF(tf.pointSizeF() * 1.3);
    lblTitle->setFont(tf);

    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblDescription = new QLabel(this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);
    lblDisclaimer = new QLabel(this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);

    cmdOK = new QPushButton(this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

    auto* grid = new QGridLayout(this);
    grid->addWidget(picIcon, 0, 0, 3, 1);
    grid->addWidget(lblTitle, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(lblDescription, 2, 1);
    grid->addWidget(EtchedLine(this, "Line1"), 3, 0, 1, 2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    bottom->addLayout(buttons);
    grid->addLayout(bottom, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    setMinimumWidth(420);

    // F2 reaches the box whichever control has the focus.
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);

    FormLoad();
}

void frmAbout::FormLoad() { SetAboutCaptions(this, Shell().UILanguage); }

bool frmAbout::HandleKey(QKeyEvent* e) {
    if (e->key() != Qt::Key_F2) return false;
    MsgBox(QString::fromUtf8(EngineeringVersionText), vbOKOnly, QString::fromLatin1(AppTitle));
    return true;
}

bool frmAbout::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent*>(e))) return true;
    return QDialog::eventFilter(watched, e);
}

void frmAbout::keyPressEvent(QKeyEvent* e) {
    if (HandleKey(e)) return;
    QDialog::keyPressEvent(e);
}

void frmAbout::StartSysInfo() {
    const QString path = FindSysInfoTool();
    bool started = false;
    if (!path.isEmpty()) {
        started = SysInfoService().Start ? SysInfoService().Start(path)
                                         : QProcess::startDetached(path, {});
    }
    if (!started)
        MsgBox(MessageTable().MsgSysInfoUnavailable, vbOKOnly, QString::fromLatin1(AppTitle));
}

void ShowAboutBox(QWidget* owner) {
    frmAbout box(owner);
    box.exec();
}
