// Looking at keyboard input while a blocking operation runs on the user-interface thread.
//
// A long operation (a walk over the network's nodes, a warning box about to open) must see the
// keys pressed for a window without running the whole event loop, which would deliver posted
// messages, timers and clicks into windows that are in the middle of the operation. These calls
// pump the pending input once: the keys meant for the window are handled as asked, every other
// click, key and posted-message delivery is held back and queued again, unchanged and in order,
// when the call returns.
#pragma once

class QEvent;
class QObject;

namespace fw {

class Window;

// Removes one pending key-down meant for the window or a window inside it; true when there was
// one (the key was pressed since the operation last looked, and its key-up stays queued).
bool TakePendingKeyDown(Window& window);

// Throws away every pending key event (down, up, characters) meant for the window or a window
// inside it, so that a held key does not run into a box that is about to open.
void FlushKeyInput(Window& window);

// Delivers what is pending (paints, posted messages, timers) while a long operation runs on the
// user-interface thread, and throws away every key and mouse input meanwhile, so that nothing
// clicked or typed lands in the windows the operation is changing. True when a cancel key
// (Escape, Cancel/Ctrl+Break) was among the input thrown away. Posted WM_COMMAND messages are
// thrown away too: no command runs in the middle of the operation.
bool PumpDroppingInput();

namespace detail {
// The application-wide event filter asks this first; true swallows the event.
bool InputPumpFilter(QObject* receiver, QEvent* event);
}  // namespace detail

}  // namespace fw
