// Internal: while a window handles WM_SETCURSOR, SetCursor applies to that window.
#pragma once

#include <QPointer>
#include <QWidget>

namespace fw::detail {

class CursorTargetScope {
public:
    explicit CursorTargetScope(QWidget* target);
    ~CursorTargetScope();
    CursorTargetScope(const CursorTargetScope&) = delete;
    CursorTargetScope& operator=(const CursorTargetScope&) = delete;

private:
    QPointer<QWidget> previous_;
};

}  // namespace fw::detail
