// The part the currency and date-time cells share: a stand-alone window of their own that lies
// over the current cell while it is being edited. The window is created once as a hidden child
// of the grid window; every other cell is drawn without it. Hiding moves the window out of the
// way (to the parking rectangle) so that a stale window never covers a cell.
#pragma once

#include "grid/controls/CGXControl.h"

namespace fw {
class Window;
}

class CGXWindowCellControl : public CGXStatic {
public:
    static const CGXControlClassInfo kClassInfo;
    CGXWindowCellControl(CGXGridCore* grid, unsigned controlId, const fw::Rect& parking);
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    void Reset() override;
    // Active only while the window exists; deactivating hides it.
    void SetActive(bool active) override;
    bool IsActive() override { return m_bActive; }
    void SetModify(bool modified) override { m_bModified = modified; }
    bool GetModify() override { return m_bModified; }
    // Writes a modified value into the cell (deactivating first); TRUE when nothing was to store.
    bool Store() override;
    void Hide() override;

protected:
    // The window shown over the active cell; null until it is created.
    virtual fw::Window* CellWindow() const = 0;
    // Activates the control for editing when the cell may be edited; TRUE when active.
    bool StartEditing();
    // Draws the active cell: its background, the window placed on `inner` and shown, the
    // children.
    void DrawActiveCell(fw::DeviceContext& dc, const fw::Rect& rect, const fw::Rect& inner,
                        ROWCOL row, ROWCOL col, const CGXStyle& style,
                        const CGXStyle* standardStyle);
    // TRUE when the cell is drawn by the window rather than as text.
    bool DrawsWindowFor(ROWCOL row, ROWCOL col);

    unsigned m_nControlId;

private:
    fw::Rect m_parking;
};
