// Header cells and bitmap cells.
//
// CGXHeader draws the row and column header cells: the background, a raised one-pixel 3-D frame
// (when the grid's properties ask for 3-D headers and the style has no 3-D frame of its own),
// and the text, or the bitmap of the library's pool that the text names.
//
// CGXDaoBitmap draws a picture held in the cell's user attribute 52794 (a byte-array variant
// holding a bitmap file) for record-browsing grids, which cache the decoded bitmap per cell
// (CGXBrowserBitmapCache). In any other grid, or without a picture, it draws as static text.
#pragma once

#include "framework/drawing/Dib.h"
#include "grid/controls/CGXControl.h"

#include <optional>

inline constexpr unsigned GX_IDS_CTRL_DAOBITMAP = 20128;
inline constexpr std::uint16_t GX_IDS_UA_DAOBITMAP = 52794;
inline constexpr std::uint16_t GX_IDS_UA_ELLIPSISTYPE = 52792;

class CGXHeader : public CGXStatic {
public:
    static const CGXControlClassInfo kClassInfo;
    using CGXStatic::CGXStatic;
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    // The focus rectangle of the current cell.
    void DrawFrame(fw::DeviceContext& dc, const fw::Rect& rect) override;
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;
    // Whether the header cell is drawn marked (flat), as the grid's header-marking feature says.
    virtual bool GetMarkHeaderState(ROWCOL row, ROWCOL col, unsigned flags);
};

// What a record-browsing grid offers a bitmap cell: the bitmap decoded for a cell before, and
// taking a newly decoded one (false when it does not keep it).
class CGXBrowserBitmapCache {
public:
    virtual ~CGXBrowserBitmapCache() = default;
    virtual const fw::Dib* GetCellBitmap(ROWCOL row, ROWCOL col) = 0;
    virtual bool TakeCellBitmap(ROWCOL row, ROWCOL col, fw::Dib bitmap) = 0;
};

class CGXDaoBitmap : public CGXStatic {
public:
    static const CGXControlClassInfo kClassInfo;
    using CGXStatic::CGXStatic;
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;
};
