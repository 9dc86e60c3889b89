// The beam of tabs along the bottom of a tab window: one tab per sheet, drawn as trapezoids,
// with scroll buttons at its left. It posts 1925 (tab selected, index) and 1926 (edit the
// current tab's label) to its notification window and asks it with 1927 (may the tab in wParam
// become current? nonzero refuses). User-interface thread.
#pragma once

#include "framework/base/Color.h"
#include "framework/drawing/GdiObjects.h"
#include "framework/window/Window.h"

#include <memory>
#include <string>
#include <vector>

namespace fw {
class DeviceContext;
}

// One tab: its label, sheet window, width and the sheet's scroll state while it is hidden.
class CGXTabInfo {
public:
    int width = 60;
    std::string label;
    fw::Window* sheet = nullptr;
    bool ownsSheet = false;
    std::uint32_t userValue = 0;
    fw::ScrollInfo scrollVert{};
    fw::ScrollInfo scrollHorz{};
    fw::ColorRef normalColor = 0;
    fw::ColorRef currentColor = 0;
    unsigned colorFlags = 0;  // 1 own normal colour, 2 own current colour
    bool marked = false;
};

class CGXTabBeam : public fw::Window {
    Q_OBJECT

public:
    using UINT = fw::UINT;
    using LRESULT = fw::LRESULT;

    static constexpr UINT kMsgTabSelected = 1925;
    static constexpr UINT kMsgEditLabel = 1926;
    static constexpr UINT kMsgMayChange = 1927;
    // Scroll kinds.
    enum { kFirst = 0, kPrevious = 1, kNext = 2, kLast = 3 };

    CGXTabBeam();
    ~CGXTabBeam() override;

    bool Create(unsigned style, const fw::Rect& rect, fw::Window* parent, unsigned id);

    virtual void DrawTab(fw::DeviceContext& dc, int index);
    virtual void DrawButton(fw::DeviceContext& dc, int button, bool pressed);
    virtual int GetTabX(int index) const;
    virtual int HitTestTab(int x) const;
    virtual int GetLastVisibleTab() const;
    virtual void OnTabClick(int x, int y, bool ctrl, bool shift);
    virtual int HitTestButton(int x, int y) const;
    virtual void ScrollTabs(int kind);
    // Inserts before the current tab (with `insert`) or at the end; a negative width is measured.
    virtual int InsertTab(bool insert, std::string label, fw::Window* sheet, bool ownsSheet,
                          int width, std::uint32_t userValue);
    virtual void DeleteTab(int index);
    virtual void UpdateTabWidth(int index);
    virtual int FindTab(const fw::Window* sheet) const;

    CGXTabInfo& GetTab(int index) { return *tabs_[static_cast<std::size_t>(index)]; }
    int GetCount() const { return static_cast<int>(tabs_.size()); }
    int GetCurrentTab() const { return current_; }
    int GetFirstVisibleTab() const { return firstVisible_; }
    void SetCurrentTab(int index);
    void EnsureVisible(int index);
    // Whether a scroll button of that kind can do anything now (drawn black, else grey).
    bool IsButtonEnabled(int kind) const;
    int ButtonAreaWidth() const { return showButtons_ ? buttonAreaWidth_ : 0; }
    int BeamHeight() const { return beamHeight_; }
    int Margin() const { return margin_; }
    void SetNotifyWindow(fw::Window* w) { notify_ = w ? w->Handle() : fw::WindowHandle{}; }
    // The arrow colour of button `index` in the last paint, for tests: 0 black, 6316128 grey.
    fw::ColorRef ArrowColor(int button) const;
    // Reloads colours (system colour change) and metrics (settings change).
    void LoadColors();
    void LoadMetrics();

protected:
    void OnPaint() override;
    void OnLButtonDown(UINT flags, fw::Point p) override;
    void OnLButtonUp(UINT flags, fw::Point p) override;
    void OnLButtonDblClk(UINT flags, fw::Point p) override;
    void OnMouseMove(UINT flags, fw::Point p) override;
    void OnTimer(fw::UINT_PTR id) override;
    void OnCancelMode() override;
    LRESULT WindowProc(fw::Message& msg) override;

private:
    fw::Window* NotifyTarget() const;
    int ButtonKind(int button) const;
    int MaxFirstVisible() const;
    void EndTracking();

    fw::LogFont boldFont_;
    fw::LogFont normalFont_;
    fw::ColorRef textCurrent_ = 0;
    fw::ColorRef textOther_ = 0;
    fw::ColorRef tabColor_ = 0;
    fw::ColorRef currentColor_ = 0;
    fw::ColorRef backColor_ = 0;
    fw::ColorRef shadowColor_ = 0;
    std::vector<std::unique_ptr<CGXTabInfo>> tabs_;
    int current_ = -1;
    int firstVisible_ = 0;
    int margin_ = 7;
    int buttonAreaWidth_ = 0;
    int beamHeight_ = 0;
    int buttonWidth_ = 0;
    bool showButtons_ = true;
    int buttonCount_ = 2;
    int pressedButton_ = -1;
    bool buttonDown_ = false;
    unsigned repeatDelay_ = 200;
    fw::WindowHandle notify_{};
};
