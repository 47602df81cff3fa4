#include "platform/mouse/MouseControl.h"

#include <QCursor>
#include <QGuiApplication>

namespace MouseControl {
namespace {
int g_code = PointerDefault;
}

int Cursor() { return g_code; }

Qt::CursorShape QtShape(int code) {
    switch (code) {
        case PointerCross: return Qt::CrossCursor;
        case PointerIBeam: return Qt::IBeamCursor;
        case PointerSizeAll:
        case PointerSizeAll15: return Qt::SizeAllCursor;
        case PointerSizeNESW: return Qt::SizeBDiagCursor;
        case PointerSizeNS: return Qt::SizeVerCursor;
        case PointerSizeNWSE: return Qt::SizeFDiagCursor;
        case PointerSizeWE: return Qt::SizeHorCursor;
        case PointerUpArrow: return Qt::UpArrowCursor;
        case PointerHourglass: return Qt::WaitCursor;
        case PointerNoDrop: return Qt::ForbiddenCursor;
        case PointerArrowHourglass: return Qt::BusyCursor;
        case PointerArrowQuestion: return Qt::WhatsThisCursor;
        default: return Qt::ArrowCursor;
    }
}

bool SetCursor(long long code) {
    if (code < -32768 || code > 32767) return false;
    g_code = static_cast<int>(code);
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return true;
    if (g_code == PointerDefault) {
        while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    } else if (QGuiApplication::overrideCursor()) {
        QGuiApplication::changeOverrideCursor(QCursor(QtShape(g_code)));
    } else {
        QGuiApplication::setOverrideCursor(QCursor(QtShape(g_code)));
    }
    return true;
}
}  // namespace MouseControl
