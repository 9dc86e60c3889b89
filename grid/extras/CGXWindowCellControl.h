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
    // FALSE before Init; the cell's own value until the window changes it, then the window's
    // value in its stored form.
    bool GetValue(std::string& value) override;
    // The window's text while active, else the text the cell shows.
    void GetCurrentText(std::string& text) override;

protected:
    // The window shown over the active cell; null until it is created.
    virtual fw::Window* CellWindow() const = 0;
    // The window's value in the cell's stored form; called only while the window exists.
    virtual std::string WindowValue() const = 0;
    // The text the window shows; called only while the window exists.
    virtual std::string WindowText() const = 0;
    // The value a cell shows: the given text, else the style's value.
    static std::string ShownValue(const std::string* valueText, const CGXStyle& style);
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
