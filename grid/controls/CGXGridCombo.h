// The drop-down pop-up of the choice cells and what it hosts.
//
// CGXGridCombo is a frameless pop-up (fw::PopupWindow) that lies over the grid below a cell and
// leaves the keyboard focus with the grid: the cell control forwards the list keys to the list.
// It hosts a list window and, for tabbed lists, a title bar above it; it closes itself on
// Escape, a click outside and focus loss and tells its control through the dismiss hook.
// Commands from the hosted list reach the owner window unchanged. While it is shown the
// library's activation-suppressed flag is set.
//
// CGXComboListBox is the drawn list: lines of text (or of tabbed columns through a draw hook),
// one selected line, a vertical scroll bar when the lines do not fit, selection by mouse, and
// moves by keys that the control forwards. A released click on a line accepts it.
//
// CGXTabbedLBoxHeader is the title bar of a tabbed list: one raised cell per column.
#pragma once

#include "framework/drawing/DeviceContext.h"
#include "framework/drawing/GdiObjects.h"
#include "framework/window/PopupWindow.h"
#include "grid/core/GXColor.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CGXComboListBox : public fw::Window {
public:
    using DrawItemHook =
        std::function<void(fw::DeviceContext&, const fw::Rect&, int index, bool selected)>;

    bool Create(fw::Window* parent, const fw::Rect& rect, fw::UINT id);
    void ResetContent();
    int AddString(std::string_view text);
    int GetCount() const { return static_cast<int>(items_.size()); }
    const std::string& GetText(int index) const {
        return items_.at(static_cast<std::size_t>(index));
    }
    int GetCurSel() const { return sel_; }
    // Selects a line (-1: none) and scrolls it into view.
    void SetCurSel(int index);
    int GetTopIndex() const { return top_; }
    void SetTopIndex(int index);
    void SetItemHeight(int height);
    int GetItemHeight() const { return itemHeight_; }
    // Lines that fit the client area.
    int VisibleCount() const;
    // Keys the control forwards: Up, Down, PgUp, PgDn, Home, End; true when it moved.
    bool MoveByKey(unsigned vk);
    void SetFont(const fw::LogFont& font) { font_ = font; }
    const fw::LogFont& GetFont() const { return font_; }
    void SetColors(COLORREF text, COLORREF background);
    void SetDrawItemHook(DrawItemHook hook) { drawItem_ = std::move(hook); }
    // Called when a released click accepts the line under it.
    std::function<void(int index)> onAccept;
    // The line under a client point, -1 when none.
    int ItemFromPoint(fw::Point p) const;
    fw::Rect ItemRect(int index) const;

protected:
    void OnPaint() override;
    void OnLButtonDown(fw::UINT flags, fw::Point p) override;
    void OnMouseMove(fw::UINT flags, fw::Point p) override;
    void OnLButtonUp(fw::UINT flags, fw::Point p) override;
    void OnVScroll(fw::UINT code, fw::UINT pos) override;
    bool OnMouseWheel(fw::UINT flags, int delta, fw::Point screen) override;
    void OnSize(fw::UINT type, int cx, int cy) override;

private:
    void UpdateScrollBar();

    std::vector<std::string> items_;
    int sel_ = -1;
    int top_ = 0;
    int itemHeight_ = 16;
    bool buttonDown_ = false;
    fw::LogFont font_;
    COLORREF text_ = 0x000000;
    COLORREF background_ = 0xFFFFFF;
    DrawItemHook drawItem_;
};

class CGXTabbedLBoxHeader : public fw::Window {
public:
    bool Create(fw::Window* parent, const fw::Rect& rect);
    // The tab-separated titles; with a positive key-column option the first is not shown.
    void SetTitles(std::string titles, int keyColumn, std::vector<int> edges);
    void SetTitleFont(const fw::LogFont& font) { font_ = font; }
    const std::string& GetTitles() const { return titles_; }

protected:
    void OnPaint() override;

private:
    std::string titles_;
    int keyColumn_ = 0;
    std::vector<int> edges_;  // column right edges; empty: one title across the bar
    fw::LogFont font_;
};

class CGXGridCombo : public fw::PopupWindow {
public:
    // Creates the hidden pop-up for the owner (the grid window or the control's window).
    bool Create(fw::Window* owner);
    // Takes the hosted list window.
    void SetListWnd(std::unique_ptr<fw::Window> list);
    fw::Window* GetListWnd() const { return list_.get(); }
    // A title bar of this height above the list (0: none); created on first use.
    CGXTabbedLBoxHeader* ShowHeader(int height);
    CGXTabbedLBoxHeader* GetHeader() const { return header_.get(); }
    void SetColors(COLORREF text, COLORREF background);
    bool HasCustomColors() const { return customColors_; }
    COLORREF GetTextColor() const { return text_; }
    COLORREF GetBkColor() const { return background_; }
    // Shows the pop-up at a screen rectangle (activation suppressed while it is shown) / hides it.
    void Open(const fw::Rect& screenRect);
    void Close();
    // How the pop-up closed itself; the control decides what that means for the cell.
    std::function<void(DismissReason)> onDismiss;

protected:
    fw::LRESULT WindowProc(fw::Message& msg) override;
    void OnDismiss(DismissReason reason) override;
    void OnSize(fw::UINT type, int cx, int cy) override;
    void OnSysCommand(fw::UINT, fw::LPARAM) override {}

private:
    void Layout();

    std::unique_ptr<fw::Window> list_;
    std::unique_ptr<CGXTabbedLBoxHeader> header_;
    int headerHeight_ = 0;
    bool customColors_ = false;
    COLORREF text_ = 0x000000;
    COLORREF background_ = 0xFFFFFF;
};

// The name of the library's drop-down window class (registered at the library's start-up with
// the save-bits class style); empty before the library is started.
std::string GXGetGridComboClassName();
