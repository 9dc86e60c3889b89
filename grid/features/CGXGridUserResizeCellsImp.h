// Resizing rows and columns by dragging a boundary with the mouse: a drag to zero hides, a drag
// of a hidden one's boundary shows it, selected rows or columns change together, and a double
// click shows hidden neighbours again or gives back the default size. The tracking masks of the
// parameter object decide what is allowed and how the drag looks.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"

class CGXGridUserResizeCellsImp : public CGXAbstractGridUserResizeCellsImp {
public:
    void OnTrackMouseMove(CGXGridCore* grid, fw::Point pt) override;
    bool OnTrackButtonDown(CGXGridCore* grid, int hit, fw::Point pt) override;
    void OnTrackButtonUp(CGXGridCore* grid, fw::Point pt) override;
    bool OnTrackDblClick(CGXGridCore* grid, int hit, fw::Point pt) override;
    bool StartTracking(CGXGridCore* grid, ROWCOL index, int mode, fw::Point pt) override;
    void MoveTracking(CGXGridCore* grid, int offset) override;
    void CancelTracking(CGXGridCore* grid) override;
    void EndTracking(CGXGridCore* grid, int offset) override;

private:
    // The drag in progress of this grid (one object per grid).
    struct Track {
        int mode = 0;  // 1 rows, 2 columns
        ROWCOL index = 0;
        int sizeBefore = 0;
        int ownBefore = -1;  // the own size before, -1 for the default
        bool hiddenBefore = false;
        int start = 0;  // mouse x (columns) or y (rows) at the start
        bool moved = false;
        bool live = false, follow = false;
    } m_track;

    void RestoreSizeBefore(CGXGridCore* grid);
};

// Tracking mask bits (row-height and column-width masks of the parameter object).
inline constexpr std::uint16_t GX_TRACK_DEFAULT_SIZE = 0x01;  // any resize changes the default
inline constexpr std::uint16_t GX_TRACK_ALLOWED = 0x02;
inline constexpr std::uint16_t GX_TRACK_NOHEADERS = 0x08;
inline constexpr std::uint16_t GX_TRACK_NOSTARTREDRAW = 0x10;
inline constexpr std::uint16_t GX_TRACK_NODRAGLINE = 0x20;
inline constexpr std::uint16_t GX_TRACK_NOINVERTLINE = 0x40;
inline constexpr std::uint16_t GX_TRACK_FOLLOW = 0x80;
inline constexpr std::uint16_t GX_TRACK_LIVE = 0x100;
