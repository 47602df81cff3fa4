#include "shell/Splash.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "common/ShellState.h"
#include "shell/Language.h"
#include "shell/ShellIcons.h"

frmSplash::frmSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName("frmSplash");
    fraMainFrame = new QFrame(this);
    fraMainFrame->setObjectName("fraMainFrame");
    fraMainFrame->setFrameShape(QFrame::Box);
    // Only the warning is long enough to wrap; a wrapping label is measured
    // at several trial widths, a one-line label once.
    auto label = [this](const char* name, const QString& text, int pt, bool bold, bool wrap = false) {
        auto* l = new QLabel(text, fraMainFrame);
        l->setObjectName(name);
        QFont f = l->font();
        if (pt > 0) f.setPointSize(pt);
        f.setBold(bold);
        l->setFont(f);
        l->setWordWrap(wrap);
        return l;
    };
    picLogo = new QLabel(fraMainFrame);
    picLogo->setObjectName("picLogo");
    picLogo->setPixmap(SplashLogo(QSize(420, 140)));
    lblProductName = label("lblProductName", "Velmora for KV 2200M Series", 16, true);
    lblVersion = label("lblVersion", "Version 00.01.05", 0, false);
    lblCompany = label("lblCompany", "Tarvo Technologies,Inc.", 0, false);
    lblPlatform = label("lblPlatform", "KV2200M Digital Storage Oscilloscope", 0, false);
    lblWarning = label("lblWarning", "Warning: this program is protected by copyright law.", 0, false, true);
    auto* inner = new QVBoxLayout(fraMainFrame);
    inner->addWidget(picLogo);
    inner->addWidget(lblProductName);
    inner->addWidget(lblPlatform);
    inner->addWidget(lblVersion);
    inner->addWidget(lblCompany);
    inner->addWidget(lblWarning);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(fraMainFrame);
    Form_Load();
}

void frmSplash::Form_Load() {
    adjustSize();
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect g = s->geometry();
        move(g.x() + (g.width() - width()) / 2, g.y() + (g.height() - height()) / 2);
    }
    SetSplashCaptions(this, Shell().UILanguage);
}
