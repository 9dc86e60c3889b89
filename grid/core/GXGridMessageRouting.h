// The one table from window messages to grid-core operations that the grid's window classes
// (the child window and the view) share. Internal to the grid library.
#pragma once

#include "framework/window/Message.h"

class CGXGridCore;
namespace fw {
class Window;
}

// Hands the message to the core operation that handles it. TRUE when the message was routed
// (its answer is in `result`); FALSE leaves it to the window's own handling.
bool GXRouteGridMessage(CGXGridCore& core, fw::Window& wnd, fw::Message& msg, fw::LRESULT& result);
