// Progress-bar cells (control id 52536): the cell's number drawn as a bar between a lower and an
// upper bound (user attributes), with an optional caption across it. Never edited in place;
// values stored through the control are kept inside the bounds.
#pragma once

#include "grid/controls/CGXControl.h"

#include <optional>

class CGXStylesMap;

inline constexpr unsigned GX_IDS_CTRL_PROGRESS = 52536;
inline constexpr std::uint16_t GX_IDS_UA_PROGRESS_LOWER = 51025;
inline constexpr std::uint16_t GX_IDS_UA_PROGRESS_UPPER = 51026;
inline constexpr std::uint16_t GX_IDS_UA_PROGRESS_CAPTION = 51027;

class CGXProgressCtrl : public CGXControl {
public:
    static const CGXControlClassInfo kClassInfo;
    explicit CGXProgressCtrl(CGXGridCore* grid) : CGXControl(grid) {}
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    static void AddUserAttributes(CGXStylesMap& map);

    // The caption for the style's value. A caption holding exactly one integer conversion
    // (flags, width and precision allowed) and any number of "%%" is formatted; any other
    // caption is shown as it stands.
    virtual void FormatCaption(std::string& text, ROWCOL row, ROWCOL col, const CGXStyle& style);
    // The bar (TRUE) is drawn in the text colour, the rest in the interior colour.
    virtual COLORREF GetBarColor(bool filled, const CGXStyle& style);
    // The caption takes the colour of the part it lies over's counterpart.
    virtual COLORREF GetCaptionColor(bool overBar, const CGXStyle& style);

    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;
    // Stores the style into the cell, its value kept within the bounds in force (those of the
    // style when it has them, else the cell's).
    bool StoreStyleRowCol(ROWCOL row, ROWCOL col, const CGXStyle& style, GXModifyType type);

    // The caption format applied to one value (see FormatCaption).
    static std::string FormatCaptionText(const std::string& format, long value);
    // The value clamped to the bounds, or nothing when the style needs no change.
    static std::optional<long> ClampedValue(const CGXStyle& style, const CGXStyle& cell);
    // The bar's width in pixels for a cell `width` pixels wide (equal bounds: no bar).
    static int BarWidth(long value, long lower, long upper, int width);

private:
    double m_dScale = 1.0;
};
