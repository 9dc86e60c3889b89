#include "grid/controls/CGXPasswordControl.h"

#include "framework/controls/ControlStyles.h"
#include "grid/controls/GXUtf8Chars.h"

const CGXControlClassInfo CGXPasswordControl::kClassInfo{"CGXPasswordControl",
                                                         &CGXEditControl::kClassInfo};

CGXPasswordControl::CGXPasswordControl(CGXGridCore* grid, unsigned controlId)
    : CGXEditControl(grid, controlId) {}

bool CGXPasswordControl::GetControlText(std::string& text, ROWCOL row, ROWCOL col,
                                        const std::string* valueText, const CGXStyle& style) {
    if (!CGXEditControl::GetControlText(text, row, col, valueText, style))
        return false;
    if (m_bHide) {
        std::string masked;
        for (std::size_t n = GXUtf8CharCount(text); n > 0; --n) masked += m_maskChar;
        text = std::move(masked);
    }
    return true;
}

void CGXPasswordControl::SetValue(const std::string& text) {
    // The edit window masks the clear text itself.
    m_bHide = false;
    CGXEditControl::SetValue(text);
    m_bHide = true;
}

fw::DWORD CGXPasswordControl::CalcEditStyle() {
    return (CGXEditControl::CalcEditStyle() & ~fw::ES_MULTILINE) | fw::ES_PASSWORD;
}

bool CGXPasswordControl::CreateEditWnd(fw::DWORD style, const fw::Rect* rect) {
    return CGXEditControl::CreateEditWnd((style & ~fw::ES_MULTILINE) | fw::ES_PASSWORD, rect);
}
