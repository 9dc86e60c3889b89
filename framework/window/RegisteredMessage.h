// Message numbers registered by name: the same name gives the same number for the life of the
// process (0xC000 to 0xFFFF), as the find dialog's "commdlg_FindReplace" needs.
#pragma once

#include "framework/window/Messages.h"

#include <string_view>

namespace fw {

UINT RegisterWindowMessage(std::string_view name);

}  // namespace fw
