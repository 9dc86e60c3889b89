// A container of sheet windows (typically grid views) shown one at a time, like the sheets of a
// workbook: a tab beam with one tab per sheet along the bottom edge, a movable splitter between
// the beam and the shared horizontal scroll bar, and a shared vertical scroll bar at the right.
// Each sheet's scroll state is kept while it is hidden. Labels are edited in place (double click
// on the current tab). Messages to sheets: 1935 added, 1936 may the label be edited (0
// refuses), 1937 label changed, 1938 may the active sheet change (wParam 0 to the old sheet, 1
// to the new one; nonzero refuses), 1995 before (1) and after (0) a resize. User-interface
// thread.
#pragma once

#include "grid/extras/CGXTabBeam.h"

#include "framework/controls/Edit.h"
#include "framework/window/Window.h"
#include "grid/core/CGXAbstractFeatures.h"

#include <memory>
#include <string>

class QScrollBar;

// The shared scroll bars: a child window around a toolkit scroll bar that reports to the tab
// window as WM_HSCROLL / WM_VSCROLL.
class CGXTabScrollBar : public fw::Window {
    Q_OBJECT

public:
    explicit CGXTabScrollBar(bool vertical);
    bool Create(fw::Window* parent, unsigned id);
    void SetInfo(const fw::ScrollInfo& info);
    fw::ScrollInfo GetInfo() const;
    QScrollBar* Bar() const { return bar_; }

protected:
    void OnSize(fw::UINT type, int cx, int cy) override;

private:
    bool vertical_;
    QScrollBar* bar_ = nullptr;
    bool setting_ = false;
};

// The in-place label editor: Enter sends 1945, Escape and losing the focus 1946 to the tab
// window.
class CGXEditLabelPopup : public fw::Edit {
    Q_OBJECT

public:
    static constexpr fw::UINT kMsgAccept = 1945;
    static constexpr fw::UINT kMsgCancel = 1946;
    explicit CGXEditLabelPopup(fw::Window* tabWnd) : tabWnd_(tabWnd->Handle()) {}

protected:
    bool OnKeyDown(fw::UINT vk, fw::UINT repeat, fw::UINT flags) override;
    bool OnKeyUp(fw::UINT vk, fw::UINT repeat, fw::UINT flags) override;
    void OnKillFocus(fw::Window* next) override;
    fw::UINT OnGetDlgCode() override { return fw::DLGC_WANTALLKEYS; }

private:
    fw::WindowHandle tabWnd_;
};

class CGXTabWnd : public fw::Window {
    Q_OBJECT

public:
    using UINT = fw::UINT;
    using LRESULT = fw::LRESULT;

    static constexpr UINT kMsgSheetAdded = 1935;
    static constexpr UINT kMsgMayEditLabel = 1936;
    static constexpr UINT kMsgLabelChanged = 1937;
    static constexpr UINT kMsgMayChangeSheet = 1938;
    static constexpr UINT kMsgResizing = 1995;
    static constexpr unsigned kIdHorzBar = 0xEA00;
    static constexpr unsigned kIdVertBar = 0xEA10;
    static constexpr unsigned kIdBeam = 0xEA01;
    static constexpr unsigned kIdLabelPopup = 23001;

    CGXTabWnd();
    ~CGXTabWnd() override;

    // The style's WS_HSCROLL and WS_VSCROLL bits say which shared bars are shown.
    bool Create(fw::Window* parent, const fw::Rect& rect, unsigned style, unsigned id);

    virtual void AttachSheet(fw::Window* sheet, const std::string& label);
    virtual void RecalcLayout(bool notify = true);
    bool ActivateSheet(fw::Window* sheet);
    fw::Window* GetActiveSheet() const { return active_; }
    // The label of a sheet's tab, or null when the sheet has none.
    const std::string* GetSheetLabel(const fw::Window* sheet) const;
    void SetSheetLabel(fw::Window* sheet, const std::string& text, bool notify);
    void SetTabLabel(int index, const std::string& text, bool notify);
    void SaveScrollState(fw::Window* sheet);
    void RestoreScrollState(fw::Window* sheet);

    CGXTabBeam& Beam() { return *beam_; }
    CGXTabScrollBar& HorzBar() { return *hbar_; }
    CGXTabScrollBar& VertBar() { return *vbar_; }
    CGXEditLabelPopup* LabelPopup() const { return popup_.get(); }
    int BeamWidth() const { return beamWidth_; }
    int BottomRowHeight() const { return bottomRow_; }
    fw::Rect SheetArea() const;
    fw::Rect SplitterRect() const;

protected:
    LRESULT WindowProc(fw::Message& msg) override;
    int OnCreate() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnPaint() override;
    void OnLButtonDown(UINT flags, fw::Point p) override;
    void OnMouseMove(UINT flags, fw::Point p) override;
    void OnLButtonUp(UINT flags, fw::Point p) override;
    void OnHScroll(UINT code, UINT pos) override;
    void OnVScroll(UINT code, UINT pos) override;

private:
    void EditLabel();
    void AcceptLabel();
    void CancelLabel();
    void Place(fw::Window* child, const fw::Rect& r);

    bool showHorz_ = true;
    bool showVert_ = true;
    std::unique_ptr<CGXTabBeam> beam_;
    std::unique_ptr<CGXTabScrollBar> hbar_;
    std::unique_ptr<CGXTabScrollBar> vbar_;
    fw::Window* active_ = nullptr;
    int beamWidth_ = 0;
    int lastWidth_ = 0;
    int splitterWidth_ = 6;
    int vbarWidth_ = 0;
    int hbarHeight_ = 0;
    int bottomRow_ = 0;
    bool tracking_ = false;
    bool splitterMoved_ = false;
    std::unique_ptr<CGXEditLabelPopup> popup_;
    int ratio_ = 0;
    bool created_ = false;
    bool laidOut_ = false;
};

// "CGXTabWnd" and "CGXTabBeam" as class names that dialogs can name (double clicks, global);
// registering again changes nothing. Each answers the class name.
std::string GXRegisterTabWndClass();
std::string GXRegisterTabBeamClass();
void GXUnregisterTabWndClass();
void GXUnregisterTabBeamClass();

// What a grid inside a tab window uses to read and set its own tab label.
class CGXTabWndInterfaceImp : public CGXTabWndInterface {
public:
    void OnGridInitialized(void* gridWindow, const char* sheetName, bool hasName) override;
    // Sets the grid's tab label from the text (set) or stores the label into it.
    void AccessLabel(fw::Window* gridWindow, std::string& text, bool set);
    std::string GetLabel(fw::Window* gridWindow, int index);
};
