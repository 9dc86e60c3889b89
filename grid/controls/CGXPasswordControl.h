// Password cells (control id 52537): the edit control with its text hidden. The cell keeps the
// text in clear; the edit window masks it, every other cell and every display text shows one
// mask character per character (not per byte), and the control's copy and cut put nothing on
// the clipboard. The grid's style copy leaves the value of password cells out.
#pragma once

#include "grid/controls/CGXEditControl.h"

inline constexpr unsigned GX_IDS_CTRL_PASSWORD = 52537;

class CGXPasswordControl : public CGXEditControl {
public:
    static const CGXControlClassInfo kClassInfo;
    CGXPasswordControl(CGXGridCore* grid, unsigned controlId = GX_IDS_CTRL_PASSWORD);
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    bool GetControlText(std::string& text, ROWCOL row, ROWCOL col, const std::string* valueText,
                        const CGXStyle& style) override;
    void SetValue(const std::string& text) override;
    bool Copy() override { return true; }
    bool Cut() override { return true; }

    void SetHide(bool hide) { m_bHide = hide; }
    void SetMaskChar(const std::string& ch) { m_maskChar = ch; }

    // The edit window is always single-line with the password echo.
    bool CreateEditWnd(fw::DWORD style, const fw::Rect* rect) override;
    fw::DWORD CalcEditStyle() override;

private:
    bool m_bHide = true;
    std::string m_maskChar = "*";
};
