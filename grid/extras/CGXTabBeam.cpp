#include "grid/extras/CGXTabBeam.h"

#include "framework/drawing/DeviceContext.h"
#include "framework/drawing/PaintContext.h"
#include "framework/window/SystemMetrics.h"
#include "framework/window/VirtualKeys.h"

#include <algorithm>
#include <array>

namespace {
constexpr fw::ColorRef kGreyArrow = 6316128;  // red, green and blue 96
constexpr fw::UINT_PTR kRepeatTimer = 1;
}  // namespace

CGXTabBeam::CGXTabBeam() {
    LoadMetrics();
    LoadColors();
}

CGXTabBeam::~CGXTabBeam() {
    for (auto& t : tabs_)
        if (t->ownsSheet && t->sheet)
            t->sheet->deleteLater();
}

void CGXTabBeam::LoadColors() {
    textCurrent_ = fw::GetSysColor(fw::COLOR_WINDOWTEXT);
    textOther_ = fw::GetSysColor(fw::COLOR_WINDOWTEXT);
    tabColor_ = fw::GetSysColor(fw::COLOR_BTNFACE);
    currentColor_ = fw::GetSysColor(fw::COLOR_WINDOW);
    backColor_ = fw::GetSysColor(fw::COLOR_SCROLLBAR);
    shadowColor_ = fw::GetSysColor(fw::COLOR_BTNSHADOW);
}

void CGXTabBeam::LoadMetrics() {
    const int h = fw::GetSystemMetrics(fw::SM_CYHSCROLL);
    beamHeight_ = h;
    buttonWidth_ = h;
    buttonAreaWidth_ = buttonCount_ * h;
    normalFont_ = fw::LogFont{};
    normalFont_.faceName = "Arial";
    normalFont_.height = -(std::max(6, h - 2) * 3 / 4);
    normalFont_.pitchAndFamily = fw::VARIABLE_PITCH | fw::FF_SWISS;
    normalFont_.weight = fw::FW_NORMAL;
    boldFont_ = normalFont_;
    boldFont_.weight = fw::FW_BOLD;
    for (int i = 0; i < GetCount(); ++i) UpdateTabWidth(i);
}

bool CGXTabBeam::Create(unsigned style, const fw::Rect& rect, fw::Window* parent, unsigned id) {
    if (!fw::Window::Create(parent, rect, id, style | fw::WS_CHILD))
        return false;
    SetClassStyle(GetClassStyle() | 8);  // double clicks
    return true;
}

fw::Window* CGXTabBeam::NotifyTarget() const {
    if (notify_)
        if (fw::Window* w = fw::Window::FromHandle(notify_))
            return w;
    return GetParentWindow();
}

// --- geometry --------------------------------------------------------------------------------

int CGXTabBeam::GetTabX(int index) const {
    int x = showButtons_ ? buttonAreaWidth_ + 1 : 0;
    for (int i = firstVisible_; i < index && i < GetCount(); ++i)
        x += tabs_[static_cast<std::size_t>(i)]->width + margin_;
    return x;
}

int CGXTabBeam::HitTestTab(int x) const {
    int left = showButtons_ ? buttonAreaWidth_ + 1 : 0;
    for (int i = firstVisible_; i < GetCount(); ++i) {
        const int right = left + tabs_[static_cast<std::size_t>(i)]->width + margin_;
        if (x > left && x <= right)
            return i;
        left = right;
    }
    return -1;
}

int CGXTabBeam::GetLastVisibleTab() const {
    const int width = GetClientRect().Width();
    int last = firstVisible_;
    for (int i = firstVisible_; i < GetCount(); ++i) {
        if (GetTabX(i) >= width)
            break;
        last = i;
    }
    return std::min(last, GetCount() - 1);
}

int CGXTabBeam::MaxFirstVisible() const {
    // The greatest first index from which the tabs up to the last still fill the beam.
    const int room = GetClientRect().Width() - (showButtons_ ? buttonAreaWidth_ + 1 : 0) - margin_;
    int used = 0;
    int first = GetCount() - 1;
    for (int i = GetCount() - 1; i >= 0; --i) {
        used += tabs_[static_cast<std::size_t>(i)]->width + margin_;
        if (used > room)
            break;
        first = i;
    }
    return std::max(0, first);
}

int CGXTabBeam::ButtonKind(int button) const {
    return buttonCount_ == 2 ? button + 1 : button;
}

bool CGXTabBeam::IsButtonEnabled(int kind) const {
    if (GetCount() < 2)
        return false;
    if (kind == kFirst || kind == kPrevious)
        return firstVisible_ > 0;
    // Next and last: only while the last tab is not wholly visible.
    const int last = GetCount() - 1;
    const int right = GetTabX(last) + tabs_[static_cast<std::size_t>(last)]->width + 2 * margin_;
    return right > GetClientRect().Width();
}

int CGXTabBeam::HitTestButton(int x, int y) const {
    if (!showButtons_ || y < 0 || y >= beamHeight_ || x < 0)
        return -1;
    const int b = x / std::max(1, buttonWidth_);
    return b < buttonCount_ ? b : -1;
}

// --- tabs --------------------------------------------------------------------------------------

void CGXTabBeam::UpdateTabWidth(int index) {
    QImage probe(1, 1, QImage::Format_ARGB32);
    fw::DeviceContext dc(&probe);
    dc.SelectFont(boldFont_);
    CGXTabInfo& t = GetTab(index);
    t.width = dc.GetTextExtent(t.label).cx + margin_;
}

int CGXTabBeam::InsertTab(bool insert, std::string label, fw::Window* sheet, bool ownsSheet,
                          int width, std::uint32_t userValue) {
    auto tab = std::make_unique<CGXTabInfo>();
    tab->label = std::move(label);
    tab->sheet = sheet;
    tab->ownsSheet = ownsSheet;
    tab->userValue = userValue;
    tab->width = width;
    tab->normalColor = tabColor_;
    tab->currentColor = currentColor_;
    tab->colorFlags = 0;
    const int at = (insert && current_ >= 0) ? current_ : GetCount();
    tabs_.insert(tabs_.begin() + at, std::move(tab));
    if (width < 0)
        UpdateTabWidth(at);
    if (current_ >= 0 && at <= current_)
        ++current_;
    if (current_ < 0) {
        current_ = at;
        EnsureVisible(at);
    }
    if (IsCreated())
        Invalidate(false);
    return at;
}

void CGXTabBeam::DeleteTab(int index) {
    if (index < 0 || index >= GetCount())
        return;
    std::unique_ptr<CGXTabInfo> gone = std::move(tabs_[static_cast<std::size_t>(index)]);
    tabs_.erase(tabs_.begin() + index);
    if (gone->ownsSheet && gone->sheet)
        gone->sheet->deleteLater();
    // The current index follows its tab: the first tab when the current one went, one lower
    // when a tab before it went, none when no tab is left.
    if (GetCount() == 0) {
        current_ = -1;
        firstVisible_ = 0;
    } else if (index == current_) {
        current_ = 0;
        firstVisible_ = 0;
    } else if (index < current_) {
        --current_;
    }
    firstVisible_ = std::clamp(firstVisible_, 0, std::max(0, GetCount() - 1));
    if (IsCreated())
        Invalidate(false);
}

int CGXTabBeam::FindTab(const fw::Window* sheet) const {
    for (int i = 0; i < GetCount(); ++i)
        if (tabs_[static_cast<std::size_t>(i)]->sheet == sheet)
            return i;
    return -1;
}

void CGXTabBeam::SetCurrentTab(int index) {
    if (index < -1 || index >= GetCount() || index == current_)
        return;
    current_ = index;
    if (IsCreated())
        Invalidate(false);
}

void CGXTabBeam::EnsureVisible(int index) {
    if (index < 0 || index >= GetCount())
        return;
    if (index < firstVisible_) {
        firstVisible_ = index;
    } else if (IsCreated()) {
        const int width = GetClientRect().Width();
        while (firstVisible_ < index &&
               GetTabX(index) + tabs_[static_cast<std::size_t>(index)]->width + 2 * margin_ > width)
            ++firstVisible_;
    }
    if (IsCreated())
        Invalidate(false);
}

void CGXTabBeam::ScrollTabs(int kind) {
    if (fw::Window* p = GetParentWindow())
        p->SendMessage(1946);  // cancel label editing
    int first = firstVisible_;
    switch (kind) {
        case kFirst:
            first = 0;
            break;
        case kPrevious:
            first = firstVisible_ - 1;
            break;
        case kNext:
            first = firstVisible_ + 1;
            break;
        case kLast:
            first = GetCount() - 1;
            break;
    }
    first = std::clamp(first, 0, MaxFirstVisible());
    if (first == firstVisible_)
        return;
    firstVisible_ = first;
    Invalidate(false);
}

void CGXTabBeam::OnTabClick(int x, int y, bool ctrl, bool shift) {
    if (HitTestButton(x, y) >= 0)
        return;
    const int area = showButtons_ ? buttonAreaWidth_ : 0;
    const int index =
        (x > area && x <= area + margin_) ? std::max(0, firstVisible_ - 1) : HitTestTab(x);
    if (index < 0)
        return;
    if (ctrl) {
        GetTab(index).marked = !GetTab(index).marked;
        Invalidate(false);
        return;
    }
    if (shift && current_ >= 0) {
        for (int i = std::min(index, current_); i <= std::max(index, current_); ++i)
            GetTab(i).marked = true;
        Invalidate(false);
        return;
    }
    fw::Window* target = NotifyTarget();
    if (target && target->SendMessage(kMsgMayChange, static_cast<fw::WPARAM>(index)) != 0)
        return;
    const bool changed = index != current_;
    current_ = index;
    if (!GetTab(index).marked)
        for (auto& t : tabs_) t->marked = false;
    EnsureVisible(index);
    if (changed)
        Invalidate(false);
    if (target)
        target->PostMessage(kMsgTabSelected, static_cast<fw::WPARAM>(current_));
}

// --- painting ----------------------------------------------------------------------------------

fw::ColorRef CGXTabBeam::ArrowColor(int button) const {
    return IsButtonEnabled(ButtonKind(button)) ? 0 : kGreyArrow;
}

void CGXTabBeam::DrawButton(fw::DeviceContext& dc, int button, bool pressed) {
    const fw::Rect r{button * buttonWidth_, 0, (button + 1) * buttonWidth_, beamHeight_};
    dc.FillSolidRect(r, fw::GetSysColor(fw::COLOR_BTNFACE));
    if (pressed)
        dc.FrameRect(r, fw::Brush::Solid(fw::GetSysColor(fw::COLOR_BTNSHADOW)));
    else
        dc.Draw3dRect(r, fw::GetSysColor(fw::COLOR_BTNHIGHLIGHT),
                      fw::GetSysColor(fw::COLOR_BTNSHADOW));
    const int kind = ButtonKind(button);
    const fw::ColorRef ink = ArrowColor(button);
    const bool left = kind == kFirst || kind == kPrevious;
    const std::array<int, 5> heights = {1, 3, 5, 7, 9};
    const int count = beamHeight_ >= 20 ? 5 : 4;
    const int cy = r.top + r.Height() / 2 + (pressed ? 1 : 0);
    int x = r.left + (r.Width() - count) / 2 + (pressed ? 1 : 0);
    if (kind == kFirst || kind == kLast) {
        const int bar = count == 5 ? 9 : 7;
        const int bx = left ? x - 2 : x + count + 1;
        dc.FillSolidRect({bx, cy - bar / 2, bx + 1, cy - bar / 2 + bar}, ink);
    }
    for (int i = 0; i < count; ++i) {
        const int h = heights[static_cast<std::size_t>(left ? i : count - 1 - i)];
        dc.FillSolidRect({x + i, cy - h / 2, x + i + 1, cy - h / 2 + h}, ink);
    }
}

void CGXTabBeam::DrawTab(fw::DeviceContext& dc, int index) {
    const CGXTabInfo& t = GetTab(index);
    const int x = GetTabX(index);
    const int w = t.width;
    const int m = margin_;
    const int h = beamHeight_;
    const bool current = index == current_;
    fw::ColorRef fill = tabColor_;
    if (current || t.marked)
        fill = (t.colorFlags & 2) ? t.currentColor : currentColor_;
    else if (t.colorFlags & 1)
        fill = t.normalColor;
    const fw::Point corners[4] = {{x, 0}, {x + w + 2 * m, 0}, {x + w + m, h}, {x + m, h}};
    dc.SelectBrush(fw::Brush::Solid(fill));
    dc.SelectPen(fw::Pen{fw::PS_SOLID, 1, 0});
    dc.Polygon(corners);
    if (current) {
        dc.SelectPen(fw::Pen{fw::PS_SOLID, 1, fill});
        dc.MoveTo(x + 1, 0);
        dc.LineTo(x + w + 2 * m, 0);
    }
    dc.SelectPen(fw::Pen{fw::PS_SOLID, 1, shadowColor_});
    dc.MoveTo(x + m + 1, h - 1);
    dc.LineTo(x + w + m - 1, h - 1);
    dc.LineTo(x + w + 2 * m - 2, 0);
    const fw::LogFont old = dc.SelectFont(current ? boldFont_ : normalFont_);
    dc.SetBkMode(fw::TRANSPARENT);
    dc.SetTextColor(current ? textCurrent_ : textOther_);
    const int top = std::max(0, (h - dc.GetTextExtent("t").cy) / 2);
    fw::Rect label{x + m, top, x + m + w, h};
    dc.DrawText(t.label, label, fw::DT_CENTER | fw::DT_SINGLELINE | fw::DT_NOPREFIX);
    dc.SelectFont(old);
}

void CGXTabBeam::OnPaint() {
    fw::PaintContext dc(*this);
    const fw::Rect client = GetClientRect();
    fw::Bitmap bmp = fw::Bitmap::Create(std::max(1, client.Width()), std::max(1, client.Height()));
    fw::DeviceContext mem;
    mem.CreateCompatibleDC(&dc);
    mem.SelectBitmap(bmp);
    mem.FillSolidRect({0, 1, client.right, client.bottom}, backColor_);
    mem.FillSolidRect({0, 0, client.right, 1}, 0);
    if (GetCount() > 0) {
        const int last = GetLastVisibleTab();
        for (int i = last; i >= firstVisible_; --i)
            if (i != current_)
                DrawTab(mem, i);
        if (current_ >= firstVisible_ && current_ <= last)
            DrawTab(mem, current_);
    }
    if (showButtons_) {
        mem.FillSolidRect({0, 0, buttonAreaWidth_ + 1, client.bottom}, backColor_);
        for (int b = 0; b < buttonCount_; ++b)
            DrawButton(mem, b, b == pressedButton_ && buttonDown_);
    }
    mem.Flush();
    dc.BitBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, fw::SRCCOPY);
}

// --- mouse -------------------------------------------------------------------------------------

void CGXTabBeam::OnLButtonDown(UINT, fw::Point p) {
    const int button = HitTestButton(p.x, p.y);
    if (button >= 0) {
        if (!IsButtonEnabled(ButtonKind(button)))
            return;
        ScrollTabs(ButtonKind(button));
        pressedButton_ = button;
        buttonDown_ = true;
        repeatDelay_ = 200;
        SetCapture();
        SetTimer(kRepeatTimer, repeatDelay_);
        Invalidate(false);
        return;
    }
    OnTabClick(p.x, p.y, fw::IsKeyDown(fw::VK_CONTROL), fw::IsKeyDown(fw::VK_SHIFT));
}

void CGXTabBeam::OnTimer(fw::UINT_PTR id) {
    if (id != kRepeatTimer || pressedButton_ < 0)
        return;
    if (buttonDown_)
        ScrollTabs(ButtonKind(pressedButton_));
    // Each repeat comes 20 ms sooner, down to 100 ms.
    repeatDelay_ = std::max(100u, repeatDelay_ - 20);
    SetTimer(kRepeatTimer, repeatDelay_);
}

void CGXTabBeam::OnMouseMove(UINT, fw::Point p) {
    if (pressedButton_ < 0)
        return;
    const bool over = HitTestButton(p.x, p.y) == pressedButton_;
    if (over != buttonDown_) {
        buttonDown_ = over;
        Invalidate(false);
    }
}

void CGXTabBeam::EndTracking() {
    if (pressedButton_ < 0)
        return;
    KillTimer(kRepeatTimer);
    pressedButton_ = -1;
    buttonDown_ = false;
    ReleaseCapture();
    Invalidate(false);
}

void CGXTabBeam::OnLButtonUp(UINT, fw::Point) {
    EndTracking();
}

void CGXTabBeam::OnCancelMode() {
    EndTracking();
}

void CGXTabBeam::OnLButtonDblClk(UINT flags, fw::Point p) {
    const int index = HitTestTab(p.x);
    if (index >= 0 && index == current_ && current_ >= firstVisible_ &&
        current_ <= GetLastVisibleTab()) {
        if (fw::Window* target = NotifyTarget())
            target->PostMessage(kMsgEditLabel, static_cast<fw::WPARAM>(current_));
        return;
    }
    OnLButtonDown(flags, p);
}

fw::LRESULT CGXTabBeam::WindowProc(fw::Message& msg) {
    if (msg.id == fw::WM_SYSCOLORCHANGE) {
        LoadColors();
        Invalidate(false);
    } else if (msg.id == fw::WM_WININICHANGE) {
        LoadMetrics();
        Invalidate(false);
    }
    return fw::Window::WindowProc(msg);
}
