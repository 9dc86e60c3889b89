#include "editor/ui/EdmxEdit.h"

namespace tessaly {

bool CEdmxEdit::OnChar(fw::UINT ch, fw::UINT, fw::UINT) {
    // Enter, Escape and Tab belong to the dialog (its default button, Cancel, the next
    // control), which sees them before any edit does.
    if (ch == '\r' || ch == '\x1b' || ch == '\t')
        return false;
    const bool allowed = (ch >= '/' && ch <= '9') || ch == '\b';
    return !allowed;  // true: taken, the edit never sees it
}

}  // namespace tessaly
