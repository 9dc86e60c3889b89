// The framework's own texts (the idle prompt, "Untitled", the save question, ...). A program
// that puts another text under the same id in the string table replaces them.
#pragma once

#include <string>

namespace fw {

// The string table's text of the id, else the framework's built-in text (empty when none).
std::string FrameworkString(unsigned id);

}  // namespace fw
