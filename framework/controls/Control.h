// The base of the standard controls: a framework window that holds one toolkit widget (the
// "inner" widget) filling its client area.
//
// Keys typed into the inner widget pass through the control's messages first, as a program
// that subclasses a control expects: WM_KEYDOWN, then WM_CHAR for the characters; a handler
// that takes the message (answers true) keeps the key from the widget, and a key nobody took
// gets the widget's own processing (typing, moving the caret). WM_KEYUP alike.
// Focus entering and leaving the inner widget is the control's WM_SETFOCUS / WM_KILLFOCUS.
#pragma once

#include "framework/controls/ControlStyles.h"
#include "framework/window/Window.h"

namespace fw {

class Control : public Window {
    Q_OBJECT

public:
    Control();
    // The inner widget (tests click it, programs may style it).
    QWidget* Inner() const { return inner_; }

protected:
    // Takes the widget as the inner widget (the control owns it as a Qt child).
    void SetInner(QWidget* widget);
    void OnSize(UINT type, int cx, int cy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool RouteKey(QKeyEvent* e);
    QWidget* inner_ = nullptr;
};

}  // namespace fw
