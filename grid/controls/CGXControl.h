// The cell-control interface: the grid core binds one control object per control id to
// whichever cell needs it (Init), asks it to draw cells of its kind and routes the current
// cell's keyboard, mouse and editing traffic to it. Every operation has a default behaviour, so
// a concrete control (static text, edit, ...) overrides only what differs. A control is not one
// object per cell: it is re-bound to whichever cell needs it and caches that cell's style while
// bound. User-interface thread only.
#pragma once

#include "framework/base/Geometry.h"
#include "framework/drawing/DeviceContext.h"
#include "framework/window/Message.h"
#include "grid/controls/CGXChild.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/GXTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fw {
class Window;
}

class CGXGridCore;
class CGXStyle;
class CGXCellTipBase;
class CGXCellTipWnd;

// User attributes every control checks a value against when it is stored: the bounds of a
// number, and the warning shown when it is outside them.
inline constexpr std::uint16_t GX_IDS_UA_VALID_MIN = 51011;
inline constexpr std::uint16_t GX_IDS_UA_VALID_MAX = 51012;
inline constexpr std::uint16_t GX_IDS_UA_VALID_MSG = 51013;

// Characters of a UTF-8 text (code points), and its first `count` characters.
std::size_t GXCharCount(std::string_view text);
std::string GXLeftChars(std::string_view text, std::size_t count);

// Deletes a cell tip where its class is complete (the control's header only names it).
struct CGXCellTipDeleter {
    void operator()(CGXCellTipBase* tip) const;
};

// The class record of a control class: its name and its base class's record.
struct CGXControlClassInfo {
    const char* name;
    const CGXControlClassInfo* base;
};

class CGXControl {
public:
    static const CGXControlClassInfo kClassInfo;

    explicit CGXControl(CGXGridCore* grid) : m_pGrid(grid) {}
    virtual ~CGXControl();  // deletes the children too
    CGXControl(const CGXControl&) = delete;
    CGXControl& operator=(const CGXControl&) = delete;

    CGXGridCore* Grid() const { return m_pGrid; }
    virtual const CGXControlClassInfo& GetControlClass() const { return kClassInfo; }
    // TRUE when this control's class is `info` or derives from it (records compared by name).
    bool IsKindOfControlClass(const CGXControlClassInfo& info) const;

    // --- state --------------------------------------------------------------------------
    virtual void SetActive(bool) {}
    virtual bool IsActive() { return false; }
    virtual void SetModify(bool) {}
    virtual bool GetModify() { return false; }

    // --- binding and the editing protocol -----------------------------------------------
    // Binds the control to the cell: initialised, inactive, unmodified, no cached style.
    virtual void Init(ROWCOL row, ROWCOL col);
    // Hides and unbinds the control.
    virtual void Reset();
    virtual bool Store() { return false; }
    // FALSE when the edited text lies outside the cell's "Valid: Min. Value" and "Valid: Max.
    // Value" (the warning text is set), else the grid's answer.
    virtual bool OnValidate();
    virtual bool OnStartEditing();
    virtual bool OnModifyCell();
    virtual bool OnCancelEditing();
    virtual void OnCanceledEditing();
    virtual bool OnEndEditing();
    virtual bool OnLeftCell(ROWCOL newRow, ROWCOL newCol);
    virtual bool OnDeleteCell();

    // --- geometry and drawing -------------------------------------------------------------
    // The cell's inner rectangle: the cell rectangle less borders and grid lines, and one
    // pixel less at the frozen edges.
    virtual fw::Rect GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect = nullptr,
                                 const CGXStyle* style = nullptr);
    virtual fw::Size AddBorders(fw::Size size, const CGXStyle& style);
    // The size the cell's contents need, through the grid's size feature; (0, 0) without it.
    virtual fw::Size CalcSize(fw::DeviceContext& dc, ROWCOL row, ROWCOL col, const CGXStyle& style,
                              const CGXStyle* standardStyle, bool heightOnly);
    // Draws the frame of the current cell as the grid's "Current Cell." property says.
    virtual void DrawFrame(fw::DeviceContext& dc, const fw::Rect& rect);
    virtual void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                      const CGXStyle& style, const CGXStyle* standardStyle);
    virtual void DrawBackground(fw::DeviceContext& dc, const fw::Rect& rect, const CGXStyle& style,
                                bool erase);
    virtual void Draw3dFrame(fw::DeviceContext& dc, const fw::Rect& rect, const CGXStyle& style);

    // --- values and texts ---------------------------------------------------------------------
    virtual void GetCurrentText(std::string& text);
    virtual void SetCurrentText(const std::string& text);
    virtual bool GetValue(std::string& text);
    virtual void SetValue(const std::string& text);
    // The text the control shows for a cell (the style's value, formatted).
    virtual bool GetControlText(std::string& text, ROWCOL row, ROWCOL col,
                                const std::string* valueText, const CGXStyle& style);
    virtual bool SetControlText(ROWCOL row, ROWCOL col, const std::string& text, unsigned flags,
                                const CGXStyle* style);
    virtual bool ConvertControlTextToValue(std::string&, ROWCOL, ROWCOL, const CGXStyle*) {
        return true;
    }
    virtual void GetSelectedText(std::string& text) { GetCurrentText(text); }
    // The control's answer for a cell with a composed style (the core returns it unchanged).
    virtual bool QueryCell(ROWCOL, ROWCOL, unsigned, unsigned, const CGXStyle*) { return false; }
    virtual void Hide() {}
    // Redraws the bound cell (hiding an active window first); FALSE when not bound.
    virtual bool Refresh();
    virtual bool ValidateText(const std::string&) { return true; }
    // Line `index` of a choice list (lines end in CR, LF or CR LF); FALSE past the end.
    static bool GetChoiceListItem(std::string& text, const std::string& choiceList, int index);
    // The index of the line equal to `text` (any case), or, when not exact, of the first line
    // that begins with it; -1 and an empty text when none.
    static int FindStringInChoiceList(std::string& out, const std::string& text,
                                      const std::string& choiceList, bool exact);

    // --- input --------------------------------------------------------------------------------
    // The mouse reaches the children first: a press goes to the first child under the point,
    // which becomes the active child; moves and releases go to the active child. Without a
    // child under the point the press answers FALSE. A release inside the cell is also the
    // grid's click (OnCellClicked).
    virtual bool MouseMove(unsigned flags, fw::Point point);
    virtual bool LButtonDown(unsigned flags, fw::Point point, unsigned hit);
    virtual bool LButtonUp(unsigned flags, fw::Point point, unsigned hit);
    virtual bool LButtonDblClk(unsigned flags, fw::Point point);
    virtual bool MButtonDown(unsigned flags, fw::Point point, unsigned hit);
    virtual bool MButtonUp(unsigned flags, fw::Point point, unsigned hit);
    virtual bool MButtonDblClk(unsigned flags, fw::Point point);
    virtual bool RButtonDown(unsigned flags, fw::Point point, unsigned hit);
    virtual bool RButtonUp(unsigned flags, fw::Point point, unsigned hit);
    virtual bool RButtonDblClk(unsigned flags, fw::Point point);
    // A key message of the grid window for the current cell; the active child sees it first.
    virtual bool ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags);
    // WM_COMMAND that reached the grid window (a control window's notification); TRUE when the
    // control took it.
    virtual bool OnCommand(fw::WPARAM, fw::LPARAM) { return false; }
    virtual void OnGridScroll(unsigned /*message*/, fw::WPARAM, fw::LPARAM) {}

    // --- further window events, no-ops answering FALSE ----------------------------------------
    // Cancel mode, the grid's timers, colour and settings changes are passed to the children.
    virtual bool OnCancelMode();
    virtual bool OnMouseActivate(fw::LRESULT&) { return false; }
    virtual bool OnTimer(unsigned id);
    virtual bool OnSysColorChange();
    virtual bool OnSettingsChange();

    // --- children (buttons inside the cell) ------------------------------------------------
    // The control owns its children; AddChild answers the child it took.
    CGXChild* AddChild(std::unique_ptr<CGXChild> child);
    // Takes the child out of the list and hands it back (null when it was not listed).
    std::unique_ptr<CGXChild> RemoveChild(CGXChild* child);
    CGXChild* GetChild(int index) const;
    int GetChildCount() const { return static_cast<int>(m_children.size()); }
    CGXChild* GetActiveChild() const { return m_pActiveChild; }
    void SetActiveChild(CGXChild* child) { m_pActiveChild = child; }
    // Places the children inside the cell's inner rectangle; nothing by default.
    virtual void OnInitChildren(ROWCOL, ROWCOL, const fw::Rect&) {}
    // A child button was clicked: the grid's OnClickedButtonRowCol for the bound cell.
    virtual void OnClickedButton(CGXChild* child);
    // Lays the children out in the cell and draws them (with focus on the grid's current cell
    // while the grid has the focus).
    void DrawChildren(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                      const CGXStyle& style);

    // --- cell tips (the control's tip object answers; none: no tips) --------------------------
    // The tip's flag word for the cell, 0 when the content fits or the control shows no tips.
    virtual unsigned NeedCellTip(ROWCOL row, ROWCOL col, const CGXStyle& style);
    // 1 text, 2 bitmap; 0x7FFFFFFF without a tip object.
    virtual unsigned GetCellTipKind(ROWCOL row, ROWCOL col, const CGXStyle& style);
    virtual void InitCellTip(ROWCOL row, ROWCOL col, const CGXStyle& style, CGXCellTipWnd* wnd);
    // Gives the control the tip of text and bitmap cells unless it has a tip already.
    void AttachCellTips();
    CGXCellTipBase* GetCellTip() const { return m_pCellTip.get(); }

    // TRUE when the grid or the cached style makes the cell read-only.
    virtual bool IsReadOnly();
    bool IsInitFor(ROWCOL row, ROWCOL col) const {
        return m_bInit && m_nRow == row && m_nCol == col;
    }
    // The bound cell's style, a copy of the grid's composed style made on first use.
    const CGXStyle& GetStyle();
    void FreeStyle(bool notify);

    // --- the active cell's own window (edit, rich edit, list box) ---------------------------
    // Hides the window; a focus it held goes back to the grid, not to whatever follows it, and
    // the grid sees no focus change.
    void HideCellWindow(fw::Window& wnd);
    // Gives the window the focus the grid window holds, the grid seeing no focus change.
    void TakeFocusFromGrid(fw::Window& wnd);

    // Fields the core relies on.
    CGXGridCore* const m_pGrid;
    ROWCOL m_nRow = GX_INVALID;  // the bound cell; -1, -1 until bound
    ROWCOL m_nCol = GX_INVALID;
    bool m_bInit = false;
    bool m_bActive = false;
    bool m_bModified = false;
    std::unique_ptr<CGXStyle> m_pStyle;  // the bound cell's style, while bound
    std::unique_ptr<CGXCellTipBase, CGXCellTipDeleter> m_pCellTip;

private:
    // The inner rectangle of the bound cell with the children laid out in it.
    fw::Rect InitChildrenForMouse();
    bool ButtonDownToChild(bool (CGXChild::*down)(unsigned, fw::Point), unsigned flags,
                           fw::Point point);
    bool DblClkToChildren(bool (CGXChild::*dbl)(unsigned, fw::Point), unsigned flags,
                          fw::Point point);

    std::vector<std::unique_ptr<CGXChild>> m_children;
    CGXChild* m_pActiveChild = nullptr;
};

// Static text (control id 52513): draws the cell's text, aligned, wrapped and formatted as the
// style says, and does not edit it.
class CGXStatic : public CGXControl {
public:
    static const CGXControlClassInfo kClassInfo;
    explicit CGXStatic(CGXGridCore* grid) : CGXControl(grid) {}
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    // The text margin: 2 pixels, or half the sizing frame when that is 3 or more.
    static int TextMargin();
    fw::Rect GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect = nullptr,
                         const CGXStyle* style = nullptr) override;
    fw::Size AddBorders(fw::Size size, const CGXStyle& style) override;
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;
};
