#include "editor/ui/EdmxEdit.h"

namespace tessaly {

bool CEdmxEdit::OnChar(fw::UINT ch, fw::UINT, fw::UINT) {
    const bool allowed = (ch >= '/' && ch <= '9') || ch == '\b';
    return !allowed;  // true: taken, the edit never sees it
}

}  // namespace tessaly
