// The thick frame around the range in progress and its fill handle. The frame is drawn at the
// end of every paint of the grid; changing it invalidates the old and the new frame's area, so
// the next paint shows it (the frame never draws around the window's backing image).
#pragma once

#include "framework/base/Geometry.h"
#include "grid/core/CGXAbstractFeatures.h"

inline constexpr int GX_FRAME_CELLS = 0;  // handle at the bottom-right corner
inline constexpr int GX_FRAME_ROWS = 2;   // bottom-left
inline constexpr int GX_FRAME_COLS = 7;   // top-right

class CGXGridExcelLikeFrameImp : public CGXAbstractGridExcelLikeFrameImp {
public:
    void DrawSelectionFrame(CGXGridCore* grid, fw::DeviceContext* dc, const CGXRange& range,
                            int type, bool erase) override;
    void UpdateSelectionFrame(CGXGridCore* grid, const CGXRange* range) override;
    void RedrawSelectionFrame(CGXGridCore* grid) override;
    bool LockSelectionFrame(CGXGridCore* grid, bool lock, bool hint) override;

    // The frame's pieces for the visible sides of `rect` (the range's rectangle): per side an
    // outer band two units wide centred on the edge and an inner band one unit wide inside it,
    // and the plus-shaped handle at the corner of the type.
    static std::vector<fw::Rect> FramePieces(const fw::Rect& rect, unsigned sides, int type);
    static constexpr unsigned kLeft = 1, kTop = 2, kRight = 4, kBottom = 8;

private:
    void InvalidateFrame(CGXGridCore* grid);
};
