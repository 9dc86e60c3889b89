#include "editor/ui/NumEditControl.h"

#include <algorithm>

namespace tessaly {

const CGXControlClassInfo CNumEditControl::kClassInfo{"CNumEditControl", &CGXSpinEdit::kClassInfo};

CNumEditControl::CNumEditControl(CGXGridCore* grid, unsigned id) : CGXSpinEdit(grid, id) {}

bool CNumEditControl::ValidateText(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == '-' || (c >= '0' && c <= '9'); });
}

}  // namespace tessaly
