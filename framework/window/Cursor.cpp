#include "framework/window/Cursor.h"

#include "framework/window/CursorTarget.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <map>

namespace fw {
namespace {

std::map<int, QCursor>& Registered() {
    static std::map<int, QCursor> cursors;
    return cursors;
}

// Made on first use: a cursor cannot exist before the application object does.
Cursor& CurrentCursor() {
    static Cursor current;
    return current;
}
QPointer<QWidget> g_target;

Qt::CursorShape ShapeOf(int idc) {
    switch (idc) {
        case IDC_IBEAM:
            return Qt::IBeamCursor;
        case IDC_WAIT:
            return Qt::WaitCursor;
        case IDC_CROSS:
            return Qt::CrossCursor;
        case IDC_UPARROW:
            return Qt::UpArrowCursor;
        case IDC_SIZENWSE:
            return Qt::SizeFDiagCursor;
        case IDC_SIZENESW:
            return Qt::SizeBDiagCursor;
        case IDC_SIZEWE:
            return Qt::SizeHorCursor;
        case IDC_SIZENS:
            return Qt::SizeVerCursor;
        case IDC_SIZEALL:
            return Qt::SizeAllCursor;
        case IDC_NO:
            return Qt::ForbiddenCursor;
        case IDC_HAND:
            return Qt::PointingHandCursor;
        case IDC_APPSTARTING:
            return Qt::BusyCursor;
        case IDC_HELP:
            return Qt::WhatsThisCursor;
        default:
            return Qt::ArrowCursor;
    }
}

}  // namespace

void RegisterCursor(int resourceId, const QCursor& cursor) {
    Registered()[resourceId] = cursor;
}

Cursor LoadSystemCursor(int idc) {
    const int id = ShapeOf(idc) == Qt::ArrowCursor ? IDC_ARROW : idc;
    return Cursor{id, QCursor(ShapeOf(idc))};
}

Cursor LoadCursor(int resourceId, int fallbackIdc) {
    auto it = Registered().find(resourceId);
    if (it != Registered().end())
        return Cursor{resourceId, it->second};
    if (resourceId >= IDC_ARROW && resourceId <= IDC_HELP)
        return LoadSystemCursor(resourceId);
    return fallbackIdc ? LoadSystemCursor(fallbackIdc) : Cursor{};
}

Cursor SetCursor(const Cursor& cursor) {
    Cursor old = CurrentCursor();
    CurrentCursor() = cursor;
    QWidget* target = g_target ? g_target.data() : QApplication::widgetAt(QCursor::pos());
    if (target) {
        if (cursor) {
            target->setCursor(cursor.shape);
        } else {
            target->setCursor(Qt::BlankCursor);
        }
    }
    return old;
}

Cursor GetCursor() {
    return CurrentCursor();
}

namespace detail {

CursorTargetScope::CursorTargetScope(QWidget* target) : previous_(g_target) {
    g_target = target;
}
CursorTargetScope::~CursorTargetScope() {
    g_target = previous_;
}

}  // namespace detail
}  // namespace fw
