// The cell-control interface: the grid core binds one control object per control id to
// whichever cell needs it (Init), asks it to draw cells of its kind and routes the current
// cell's keyboard, mouse and editing traffic to it. This declares what the core relies on; the
// operations whose default behaviour needs the grid core are completed with the cell controls.
#pragma once

#include "framework/base/Geometry.h"
#include "framework/drawing/DeviceContext.h"
#include "framework/window/Message.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/GXTypes.h"

#include <memory>
#include <string>

class CGXGridCore;
class CGXStyle;

class CGXControl {
public:
    explicit CGXControl(CGXGridCore* grid) : m_pGrid(grid) {}
    virtual ~CGXControl();
    CGXControl(const CGXControl&) = delete;
    CGXControl& operator=(const CGXControl&) = delete;

    CGXGridCore* Grid() const { return m_pGrid; }

    // --- state --------------------------------------------------------------------------
    virtual void SetActive(bool) {}
    virtual bool IsActive() { return false; }
    virtual void SetModify(bool) {}
    virtual bool GetModify() { return false; }

    // --- binding and the editing protocol -----------------------------------------------
    virtual void Init(ROWCOL row, ROWCOL col) = 0;
    virtual void Reset() = 0;
    virtual bool Store() { return false; }
    virtual bool OnValidate() = 0;
    virtual bool OnStartEditing() = 0;
    virtual bool OnCancelEditing() = 0;
    virtual void OnCanceledEditing() = 0;
    virtual bool OnEndEditing() = 0;
    virtual bool OnLeftCell(ROWCOL newRow, ROWCOL newCol) = 0;
    virtual bool OnDeleteCell() = 0;

    // --- drawing and texts ----------------------------------------------------------------
    virtual void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                      const CGXStyle& style, const CGXStyle* standardStyle) = 0;
    virtual void GetCurrentText(std::string& text) = 0;
    virtual void SetCurrentText(const std::string& text) = 0;
    // The text the control shows for a cell (the style's value, formatted).
    virtual bool GetControlText(std::string& text, ROWCOL row, ROWCOL col,
                                const std::string* valueText, const CGXStyle& style) = 0;
    virtual void GetSelectedText(std::string& text) { GetCurrentText(text); }
    // The control's answer for a cell with a composed style (the core returns it unchanged).
    virtual bool QueryCell(ROWCOL, ROWCOL, unsigned, unsigned, const CGXStyle*) { return false; }
    virtual void Hide() {}
    virtual bool Refresh() = 0;

    // --- input --------------------------------------------------------------------------------
    virtual bool MouseMove(unsigned, fw::Point) { return false; }
    virtual bool LButtonDown(unsigned, fw::Point, unsigned) { return false; }
    virtual bool LButtonUp(unsigned, fw::Point, unsigned) { return false; }
    virtual bool LButtonDblClk(unsigned, fw::Point) { return false; }
    virtual bool MButtonDown(unsigned, fw::Point, unsigned) { return false; }
    virtual bool MButtonUp(unsigned, fw::Point, unsigned) { return false; }
    virtual bool MButtonDblClk(unsigned, fw::Point) { return false; }
    virtual bool RButtonDown(unsigned, fw::Point, unsigned) { return false; }
    virtual bool RButtonUp(unsigned, fw::Point, unsigned) { return false; }
    virtual bool RButtonDblClk(unsigned, fw::Point) { return false; }
    virtual bool ProcessKeys(unsigned /*message*/, unsigned /*key*/, unsigned /*repeat*/,
                             unsigned /*flags*/) {
        return false;
    }
    virtual void OnGridScroll(unsigned /*message*/, fw::WPARAM, fw::LPARAM) {}

    // --- further window events, no-ops answering FALSE ----------------------------------------
    virtual bool OnCancelMode() { return false; }
    virtual bool OnMouseActivate(fw::LRESULT&) { return false; }
    virtual bool OnTimer(unsigned) { return false; }
    virtual bool OnSysColorChange() { return false; }
    virtual bool OnSettingsChange() { return false; }

    virtual bool IsReadOnly() = 0;
    bool IsInitFor(ROWCOL row, ROWCOL col) const {
        return m_bInit && m_nRow == row && m_nCol == col;
    }

    // Fields the core relies on.
    CGXGridCore* const m_pGrid;
    ROWCOL m_nRow = GX_INVALID;  // the bound cell; -1, -1 until bound
    ROWCOL m_nCol = GX_INVALID;
    bool m_bInit = false;
    bool m_bActive = false;
    bool m_bModified = false;
    std::unique_ptr<CGXStyle> m_pStyle;  // the bound cell's style, while bound
};
