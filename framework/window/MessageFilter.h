// The program's look at every key-down and button-down before the window it is meant for sees
// it (the application object's PreTranslateMessage). The application-wide hooks offer each such
// event once, translated into a message; a filter answering true consumes it. One filter per
// program, set on the GUI thread; an empty one offers nothing.
#pragma once

#include "framework/window/Message.h"

#include <functional>

namespace fw {

class Window;

using MessageFilter = std::function<bool(Message& msg, Window* target)>;
void SetMessageFilter(MessageFilter filter);

}  // namespace fw
