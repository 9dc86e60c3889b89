// The program's name: the title of its message boxes and the suffix of its frames' titles.
// The application object sets it when it is made and clears it when it goes; a program
// without one (tests of single windows) has an empty name. Set on the GUI thread at start-up.
#pragma once

#include <string>
#include <string_view>

namespace fw {

const std::string& ApplicationName();
void SetApplicationName(std::string_view name);

}  // namespace fw
