// A child of a cell control: a small windowless part inside the control's cell (the spin edit's
// arrows, a combo box's drop-down button, the hot-spot button). The owning control keeps its
// children, places them (OnInitChildren), draws them and routes mouse and key messages to them;
// a child tells the owner when it was clicked (OnClickedButton). Rectangles are in client
// coordinates of the grid window. User-interface thread only.
#pragma once

#include "framework/base/Geometry.h"
#include "framework/drawing/DeviceContext.h"
#include "grid/core/GXTypes.h"

#include <string>

class CGXControl;
class CGXStyle;

class CGXChild {
public:
    explicit CGXChild(CGXControl* owner) : m_pOwner(owner) {}
    virtual ~CGXChild() = default;
    CGXChild(const CGXChild&) = delete;
    CGXChild& operator=(const CGXChild&) = delete;

    CGXControl* Owner() const { return m_pOwner; }
    virtual void SetRect(const fw::Rect& rect) { m_rect = rect; }
    virtual fw::Rect GetRect() const { return m_rect; }
    virtual bool HitTest(fw::Point point) const { return m_rect.Contains(point); }
    // TRUE while the owner's active child is this one.
    virtual bool IsActive() const;
    virtual void SetText(const std::string& text) { m_sText = text; }
    virtual const std::string& GetText() const { return m_sText; }

    virtual void Draw(fw::DeviceContext& dc, bool focus, const CGXStyle& style);
    virtual void DrawButton(fw::DeviceContext& dc, bool focus) = 0;
    // Invalidates the child's rectangle in the grid window.
    virtual void Refresh();

    virtual bool MouseMove(unsigned, fw::Point) { return false; }
    virtual bool LButtonDown(unsigned, fw::Point) { return false; }
    virtual bool LButtonUp(unsigned, fw::Point) { return false; }
    virtual bool LButtonDblClk(unsigned, fw::Point) { return false; }
    virtual bool MButtonDown(unsigned, fw::Point) { return false; }
    virtual bool MButtonUp(unsigned, fw::Point) { return false; }
    virtual bool MButtonDblClk(unsigned, fw::Point) { return false; }
    virtual bool RButtonDown(unsigned, fw::Point) { return false; }
    virtual bool RButtonUp(unsigned, fw::Point) { return false; }
    virtual bool RButtonDblClk(unsigned, fw::Point) { return false; }
    virtual bool MouseMoveOver(ROWCOL, ROWCOL, unsigned, fw::Point) { return false; }

    // Dispatches a key message to the handlers below (characters collected as the grid does).
    virtual bool OnKeyMessage(unsigned message, unsigned key, unsigned repeat, unsigned flags);
    virtual bool OnKeyDown(unsigned, unsigned, unsigned) { return false; }
    virtual bool OnKeyUp(unsigned, unsigned, unsigned) { return false; }
    virtual bool OnChar(unsigned, unsigned, unsigned) { return false; }
    virtual bool OnCharText(const std::string&, unsigned, unsigned) { return false; }
    virtual bool OnDeadChar(unsigned, unsigned, unsigned) { return false; }
    virtual bool OnSysKeyDown(unsigned, unsigned, unsigned) { return false; }
    virtual bool OnSysKeyUp(unsigned, unsigned, unsigned) { return false; }
    virtual bool OnSysChar(unsigned, unsigned, unsigned) { return false; }
    virtual bool OnSysDeadChar(unsigned, unsigned, unsigned) { return false; }

    virtual void OnWinIniChange() {}
    virtual void OnSysColorChange() {}
    virtual void OnCancelMode() {}
    // A timer of the grid window while this child is the owner's active child.
    virtual bool OnTimer(unsigned) { return false; }

protected:
    CGXControl* const m_pOwner;
    fw::Rect m_rect;
    std::string m_sText;
    bool m_bDbcsPending = false;
    unsigned m_nDbcsLead = 0;
};
