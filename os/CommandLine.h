// What every program of the suite does with its command line before it starts its work.
#pragma once

#include <string_view>

namespace os {

// "--help", "-help", "/help", "-h", "-?" and "/?", in any case.
bool IsHelpArgument(std::string_view arg);

// Whether a window system can be reached: an X display, a Wayland display, or a Qt
// platform chosen by hand (QT_QPA_PLATFORM, as the tests' offscreen one). A program with
// windows checks this first, so that without one it says so instead of aborting.
bool WindowSystemAvailable();

}  // namespace os
