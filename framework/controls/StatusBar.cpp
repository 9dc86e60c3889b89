#include "framework/controls/StatusBar.h"

#include "framework/drawing/PaintContext.h"
#include "framework/persist/FrameworkTexts.h"

namespace fw {
namespace {

constexpr int kBorder = 2;      // around the panes
constexpr int kGap = 2;         // between panes
constexpr int kTextMargin = 3;  // text margin inside a pane

}  // namespace

StatusBar::StatusBar() {
    SetClassStyle(CS_HREDRAW | CS_VREDRAW);
}

bool StatusBar::Create(Window* parent, UINT id) {
    if (!Window::Create(parent, {0, 0, 100, CalcHeight()}, id, WS_CHILD | WS_VISIBLE))
        return false;
    return true;
}

int StatusBar::CalcHeight() const {
    DeviceContext dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectFont(DefaultGuiFont());
    return dc.GetTextMetrics().height + 2 * (kBorder + kTextMargin);
}

bool StatusBar::SetIndicators(const std::vector<unsigned>& ids) {
    panes_.clear();
    DeviceContext dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectFont(DefaultGuiFont());
    for (unsigned id : ids) {
        Pane p;
        p.id = id;
        if (id == 0) {
            p.style = SBPS_NOBORDERS | SBPS_STRETCH;
        } else {
            p.text = FrameworkString(id);
            if (p.text.empty())
                return false;  // an indicator needs its text
            p.width = dc.GetTextExtent(p.text).cx;
        }
        panes_.push_back(std::move(p));
    }
    Layout();
    Invalidate();
    return true;
}

int StatusBar::CommandToIndex(unsigned id) const {
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        if (panes_[i].id == id)
            return static_cast<int>(i);
    }
    return -1;
}

unsigned StatusBar::GetItemID(int index) const {
    return index >= 0 && index < GetCount() ? panes_[static_cast<std::size_t>(index)].id : 0;
}

bool StatusBar::GetItemRect(int index, Rect& rect) const {
    if (index < 0 || index >= GetCount())
        return false;
    rect = panes_[static_cast<std::size_t>(index)].rect;
    return true;
}

bool StatusBar::SetPaneText(int index, std::string_view text, bool update) {
    if (index < 0 || index >= GetCount())
        return false;
    Pane& p = panes_[static_cast<std::size_t>(index)];
    if (p.text == text)
        return true;
    p.text = std::string(text);
    InvalidateRect(p.rect, true);
    if (update)
        UpdateWindow();
    return true;
}

std::string StatusBar::GetPaneText(int index) const {
    return index >= 0 && index < GetCount() ? panes_[static_cast<std::size_t>(index)].text
                                            : std::string();
}

void StatusBar::GetPaneInfo(int index, unsigned& id, unsigned& style, int& width) const {
    if (index < 0 || index >= GetCount())
        return;
    const Pane& p = panes_[static_cast<std::size_t>(index)];
    id = p.id;
    style = p.style;
    width = p.width;
}

void StatusBar::SetPaneInfo(int index, unsigned id, unsigned style, int width) {
    if (index < 0 || index >= GetCount())
        return;
    Pane& p = panes_[static_cast<std::size_t>(index)];
    p.id = id;
    p.style = style;
    p.width = width;
    Layout();
    Invalidate();
}

// Fixed panes sit at the right, each as wide as its text; stretching panes share the rest.
void StatusBar::Layout() {
    const Rect c = GetClientRect();
    int fixed = 0;
    int stretching = 0;
    for (const Pane& p : panes_) {
        if (p.style & SBPS_STRETCH) {
            ++stretching;
        } else {
            fixed += p.width + 2 * kTextMargin + kGap;
        }
    }
    const int spare = std::max(0, c.Width() - 2 * kBorder - fixed);
    int x = c.left + kBorder;
    for (Pane& p : panes_) {
        const int w = (p.style & SBPS_STRETCH) ? spare / std::max(1, stretching) - kGap
                                               : p.width + 2 * kTextMargin;
        p.rect = Rect{x, c.top + kBorder, x + std::max(0, w), c.bottom - kBorder};
        x += std::max(0, w) + kGap;
    }
}

void StatusBar::OnSize(UINT, int, int) {
    Layout();
    Invalidate();
}

void StatusBar::OnPaint() {
    PaintContext dc(*this);
    dc.FillSolidRect(GetClientRect(), GetSysColor(COLOR_BTNFACE));
    dc.SelectFont(DefaultGuiFont());
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
    for (const Pane& p : panes_) {
        Rect r = p.rect;
        if (!(p.style & SBPS_NOBORDERS)) {
            dc.DrawEdge(r, (p.style & SBPS_POPOUT) ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
        }
        if (p.style & SBPS_DISABLED)
            continue;
        r.Inflate(-kTextMargin, 0);
        dc.DrawText(p.text, r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

}  // namespace fw
