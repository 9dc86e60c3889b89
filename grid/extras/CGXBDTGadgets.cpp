#include "grid/extras/CGXBDTGadgets.h"

#include "framework/drawing/DeviceContext.h"
#include "framework/window/VirtualKeys.h"
#include "grid/core/CGXSysColorCache.h"
#include "grid/extras/GXExtrasSupport.h"

#include <QString>

#include <algorithm>
#include <cstdio>

namespace {

constexpr unsigned kTextFlags = fw::DT_SINGLELINE | fw::DT_NOPREFIX | fw::DT_EXTERNALLEADING;

std::u32string Lower(const std::u32string& s) {
    return QString::fromStdU32String(s).toLower().toStdU32String();
}

std::u32string Utf32(const std::string& s) {
    return QString::fromStdString(s).toStdU32String();
}

bool IsKeypadDigit(unsigned vk) {
    return vk >= fw::VK_NUMPAD0 && vk <= fw::VK_NUMPAD0 + 9;
}

bool IsMainDigit(unsigned vk) {
    return vk >= '0' && vk <= '9';
}

}  // namespace

// --- base --------------------------------------------------------------------------------------

void CGXBDTGadget::CalcSize(fw::DeviceContext&) {
    rect = {0, 0, 0, 0};
}

bool CGXBDTGadget::Activate(bool on) {
    if (!(flags & kEnabled))
        return false;
    if (selected != on) {
        selected = on;
        owner_->InvalidateGadget(*this);
    }
    return true;
}

void CGXBDTGadget::DrawField(fw::DeviceContext& dc, const std::string& text) const {
    const CGXSysColorCache& c = CGXSysColorCache::Instance();
    fw::Rect r = rect;
    if (selected) {
        dc.FillSolidRect(r, c.clrHighlight);
        dc.SetTextColor(c.clrHighlightText);
    } else {
        dc.SetTextColor(owner_->TextColor());
    }
    dc.SetBkMode(fw::TRANSPARENT);
    dc.DrawText(text, r, fw::DT_CENTER | kTextFlags);
}

// --- numeric -----------------------------------------------------------------------------------

CGXBDTNumericGadget::CGXBDTNumericGadget(CGXBDTGadgetOwner* owner, int minimum, int maximum,
                                         bool leadingZero)
    : CGXBDTGadget(owner), min_(minimum), max_(maximum), leadingZero_(leadingZero) {
    digits_ = maximum <= 9 ? 1 : maximum < 100 ? 2 : maximum < 1000 ? 3 : 4;
}

void CGXBDTNumericGadget::CalcSize(fw::DeviceContext& dc) {
    fw::Rect r{0, 0, 0, 0};
    dc.DrawText(std::string(static_cast<std::size_t>(digits_), '0'), r,
                fw::DT_CALCRECT | kTextFlags);
    rect = {0, 0, r.Width(), r.Height()};
}

std::string CGXBDTNumericGadget::Text() const {
    const int shown = typedCount_ > 0 ? typedValue_ : value;
    if (shown < 0)
        return std::string(static_cast<std::size_t>(digits_), '-');
    char buf[32];
    if (leadingZero_)
        std::snprintf(buf, sizeof buf, "%0*d", digits_, shown);
    else
        std::snprintf(buf, sizeof buf, "%d", shown);
    return buf;
}

void CGXBDTNumericGadget::Draw(fw::DeviceContext& dc) {
    DrawField(dc, Text());
}

void CGXBDTNumericGadget::StopTyping() {
    typedCount_ = 0;
    typedValue_ = 0;
    owner_->OnGadgetNotify(10, id, 0);
    owner_->InvalidateGadget(*this);
}

bool CGXBDTNumericGadget::Commit() {
    if (typedCount_ == 0)
        return true;
    const int typed = typedValue_;
    const bool ok = owner_->OnGadgetNotify(6, id, typed) && owner_->OnGadgetNotify(7, id, typed);
    if (!ok)
        GXExtrasBeep();
    StopTyping();
    return ok;
}

bool CGXBDTNumericGadget::Activate(bool on) {
    if (!on)
        Commit();
    return CGXBDTGadget::Activate(on);
}

void CGXBDTNumericGadget::OnCancelMode() {
    Commit();
}

bool CGXBDTNumericGadget::OnChar(char32_t ch) {
    if (ch < '0' || ch > '9') {
        if (typedCount_ > 0) {
            GXExtrasBeep();
            StopTyping();
        }
        return false;
    }
    const int digit = static_cast<int>(ch - '0');
    if (typedCount_ == 0) {
        owner_->OnGadgetNotify(10, id, 1);
        typedValue_ = digit;
        typedCount_ = 1;
    } else if (!(typedValue_ == 0 && digit == 0)) {
        typedValue_ = typedValue_ * 10 + digit;
        ++typedCount_;
    } else {
        ++typedCount_;  // a leading zero onto a typed zero adds nothing but counts
    }
    owner_->InvalidateGadget(*this);
    if (typedCount_ >= digits_) {
        if (Commit())
            owner_->OnGadgetNotify(11, id, 0);
    }
    return true;
}

bool CGXBDTNumericGadget::OnKeyDown(unsigned vk) {
    if (IsMainDigit(vk) || IsKeypadDigit(vk))
        return false;  // the character phase types it
    if (!Commit())
        return true;  // a refused commit swallows the key
    switch (vk) {
        case fw::VK_END:
            owner_->OnGadgetNotify(9, id, 0);
            return true;
        case fw::VK_HOME:
            owner_->OnGadgetNotify(8, id, 0);
            return true;
        case fw::VK_UP:
        case fw::VK_ADD:
            owner_->OnGadgetNotify(1, id, 1);
            return true;
        case fw::VK_DOWN:
        case fw::VK_SUBTRACT:
            owner_->OnGadgetNotify(2, id, 1);
            return true;
        default:
            return false;
    }
}

// --- list --------------------------------------------------------------------------------------

CGXBDTListGadget::CGXBDTListGadget(CGXBDTGadgetOwner* owner, std::vector<std::string> items)
    : CGXBDTGadget(owner), items_(std::move(items)) {}

void CGXBDTListGadget::CalcSize(fw::DeviceContext& dc) {
    int w = 0;
    int h = 0;
    for (const std::string& s : items_) {
        fw::Rect r{0, 0, 0, 0};
        dc.DrawText(s.empty() ? std::string(" ") : s, r, fw::DT_CALCRECT | kTextFlags);
        w = std::max(w, r.Width());
        h = std::max(h, r.Height());
    }
    rect = {0, 0, w, h};
}

std::string CGXBDTListGadget::Text() const {
    return value >= 0 && value < static_cast<int>(items_.size())
               ? items_[static_cast<std::size_t>(value)]
               : "";
}

void CGXBDTListGadget::Draw(fw::DeviceContext& dc) {
    DrawField(dc, Text());
}

void CGXBDTListGadget::StopSearch() {
    search_.clear();
    if (timer_) {
        owner_->StopGadgetTimer(this);
        timer_ = false;
    }
}

void CGXBDTListGadget::OnTimer() {
    StopSearch();
}

bool CGXBDTListGadget::OnKeyDown(unsigned vk) {
    int type = 0;
    switch (vk) {
        case fw::VK_END:
            type = 9;
            break;
        case fw::VK_HOME:
            type = 8;
            break;
        case fw::VK_UP:
        case fw::VK_ADD:
            type = 1;
            break;
        case fw::VK_DOWN:
        case fw::VK_SUBTRACT:
            type = 2;
            break;
        default:
            return false;
    }
    StopSearch();
    owner_->OnGadgetNotify(type, id, 1);
    return true;
}

int CGXBDTListGadget::FindPrefix(const std::u32string& text, int start) {
    const int n = static_cast<int>(items_.size());
    if (n == 0)
        return -1;
    if (start < 0 || start >= n)
        start = 0;
    const std::u32string want = Lower(text);
    for (int k = 0; k < n; ++k) {
        const int i = (start + k) % n;
        const std::u32string item = Lower(Utf32(items_[static_cast<std::size_t>(i)]));
        if (item.compare(0, want.size(), want) != 0)
            continue;
        if (owner_->OnGadgetNotify(6, id, i) && owner_->OnGadgetNotify(7, id, i))
            return i;
    }
    return -1;
}

bool CGXBDTListGadget::OnChar(char32_t ch) {
    if (ch < 0x20)
        return false;
    const std::u32string typed(1, ch);
    const int n = static_cast<int>(items_.size());
    int found = -1;
    if (search_.empty()) {
        found = FindPrefix(typed, (value + 1) % std::max(1, n));
        if (found < 0) {
            GXExtrasBeep();
            return true;
        }
        search_ = typed;
    } else if (search_.size() == 1 && Lower(search_) == Lower(typed)) {
        // The same letter again cycles through the entries that begin with it.
        found = FindPrefix(typed, (value + 1) % std::max(1, n));
        if (found < 0) {
            GXExtrasBeep();
            StopSearch();
            return true;
        }
    } else {
        search_ += typed;
        found = FindPrefix(search_, value);
        if (found < 0) {
            GXExtrasBeep();
            StopSearch();
            return true;
        }
    }
    owner_->StartGadgetTimer(this, 2000);
    timer_ = true;
    return true;
}

// --- static ------------------------------------------------------------------------------------

CGXBDTStaticGadget::CGXBDTStaticGadget(CGXBDTGadgetOwner* owner, std::string text)
    : CGXBDTGadget(owner), text_(std::move(text)) {
    flags = 0;
}

void CGXBDTStaticGadget::CalcSize(fw::DeviceContext& dc) {
    fw::Rect r{0, 0, 0, 0};
    dc.DrawText(text_.empty() ? std::string(" ") : text_, r, fw::DT_CALCRECT | kTextFlags);
    rect = {0, 0, text_.empty() ? 0 : r.Width(), r.Height()};
}

void CGXBDTStaticGadget::Draw(fw::DeviceContext& dc) {
    fw::Rect r = rect;
    dc.SetBkMode(fw::TRANSPARENT);
    dc.SetTextColor(owner_->TextColor());
    dc.DrawText(text_, r, fw::DT_LEFT | kTextFlags);
}

// --- spin --------------------------------------------------------------------------------------

CGXBDTSpinGadget::CGXBDTSpinGadget(CGXBDTGadgetOwner* owner) : CGXBDTGadget(owner) {
    flags = kMouse | kFixed;
    id = 0x8000;
}

void CGXBDTSpinGadget::CalcSize(fw::DeviceContext&) {
    rect = {0, 0, 16, -1};
}

fw::Rect CGXBDTSpinGadget::UpHalf() const {
    return {rect.left, rect.top, rect.right, rect.top + rect.Height() / 2};
}

fw::Rect CGXBDTSpinGadget::DownHalf() const {
    return {rect.left, rect.top + rect.Height() / 2, rect.right, rect.bottom};
}

int CGXBDTSpinGadget::StepFor(int repeat) {
    return repeat <= 20 ? 1 : repeat <= 50 ? 2 : 5;
}

void CGXBDTSpinGadget::Draw(fw::DeviceContext& dc) {
    const CGXSysColorCache& c = CGXSysColorCache::Instance();
    for (int half = 0; half < 2; ++half) {
        fw::Rect r = half == 0 ? UpHalf() : DownHalf();
        const bool down = (state_ & (half == 0 ? kUpPressed : kDownPressed)) != 0;
        dc.FillSolidRect(r, c.clrBtnFace);
        fw::Rect edge = r;
        dc.DrawEdge(edge, down ? fw::EDGE_SUNKEN : fw::EDGE_RAISED, fw::BF_RECT | fw::BF_ADJUST);
        const int h = edge.Height();
        int size = std::min(4, h / 4 + 1);
        const int cx = (edge.left + edge.right) / 2 + (down ? 1 : 0);
        const int cy = (edge.top + edge.bottom) / 2 + (down ? 1 : 0);
        if (size < 2) {
            dc.SetPixel(cx, cy, 0);
            continue;
        }
        for (int row = 0; row < size; ++row) {
            const int y = half == 0 ? cy - size / 2 + row : cy + size / 2 - row;
            dc.FillSolidRect({cx - row, y, cx + row + 1, y + 1}, 0);
        }
    }
}

void CGXBDTSpinGadget::OnLButtonDown(unsigned, fw::Point p) {
    const bool up = UpHalf().Contains(p);
    if (!up && !DownHalf().Contains(p))
        return;
    state_ = (up ? kUpPressed | kTrackUp : kDownPressed | kTrackDown) | kTimer | kFirstDelay;
    repeats_ = 0;
    owner_->OnGadgetNotify(up ? 3 : 4, id, 1);
    owner_->CaptureGadget(this);
    owner_->StartGadgetTimer(this, 500);
    owner_->InvalidateGadget(*this);
}

void CGXBDTSpinGadget::OnTimer() {
    if (!(state_ & (kTrackUp | kTrackDown)))
        return;
    if (state_ & kFirstDelay) {
        state_ &= ~kFirstDelay;
        owner_->StartGadgetTimer(this, 100);
    }
    const bool up = (state_ & kTrackUp) != 0;
    if (!(state_ & (up ? kUpPressed : kDownPressed)))
        return;  // the pointer left the pressed half
    ++repeats_;
    owner_->OnGadgetNotify(up ? 3 : 4, id, StepFor(repeats_));
}

void CGXBDTSpinGadget::OnMouseMove(unsigned, fw::Point p) {
    if (!(state_ & (kTrackUp | kTrackDown)))
        return;
    const bool up = (state_ & kTrackUp) != 0;
    const bool over = (up ? UpHalf() : DownHalf()).Contains(p);
    const unsigned bit = up ? kUpPressed : kDownPressed;
    if (over != ((state_ & bit) != 0)) {
        state_ ^= bit;
        owner_->InvalidateGadget(*this);
    }
}

void CGXBDTSpinGadget::Release() {
    if (!state_)
        return;
    state_ = 0;
    owner_->StopGadgetTimer(this);
    owner_->CaptureGadget(nullptr);
    owner_->InvalidateGadget(*this);
}

void CGXBDTSpinGadget::OnLButtonUp(unsigned, fw::Point) {
    Release();
}

void CGXBDTSpinGadget::OnCancelMode() {
    Release();
}

// --- button ------------------------------------------------------------------------------------

CGXBDTButtonGadget::CGXBDTButtonGadget(CGXBDTGadgetOwner* owner, fw::Bitmap bitmap)
    : CGXBDTGadget(owner), bitmap_(std::move(bitmap)) {
    flags = kMouse | kFixed;
    id = 0x4000;
}

void CGXBDTButtonGadget::CalcSize(fw::DeviceContext&) {
    rect = {0, 0, bitmap_.Width() + 6, -1};
}

void CGXBDTButtonGadget::Draw(fw::DeviceContext& dc) {
    const CGXSysColorCache& c = CGXSysColorCache::Instance();
    fw::Rect r = rect;
    const bool down = (press_ & 2) != 0;
    if (down) {
        dc.FrameRect(r, fw::Brush::Solid(c.clrBtnShadow));
        r.Inflate(-1, -1);
        dc.FillSolidRect(r, c.clrBtnFace);
    } else {
        dc.Draw3dRect(r, c.clrBtnFace, c.clr3DDkShadow);
        r.Inflate(-1, -1);
        dc.Draw3dRect(r, c.clrBtnHilite, c.clrBtnShadow);
        r.Inflate(-1, -1);
        dc.FillSolidRect(r, c.clrBtnFace);
    }
    if (bitmap_.IsNull())
        return;
    fw::DeviceContext mem;
    mem.CreateCompatibleDC(&dc);
    mem.SelectBitmap(bitmap_);
    const int shift = down ? 1 : 0;
    dc.BitBlt(rect.left + (rect.Width() - bitmap_.Width()) / 2 + shift,
              rect.top + (rect.Height() - bitmap_.Height()) / 2 + shift, bitmap_.Width(),
              bitmap_.Height(), &mem, 0, 0, fw::SRCCOPY);
}

void CGXBDTButtonGadget::OnLButtonDown(unsigned, fw::Point p) {
    if (!rect.Contains(p))
        return;
    press_ = 3;
    owner_->CaptureGadget(this);
    owner_->InvalidateGadget(*this);
}

void CGXBDTButtonGadget::OnMouseMove(unsigned, fw::Point p) {
    if (!(press_ & 1))
        return;
    const bool over = rect.Contains(p);
    if (over != ((press_ & 2) != 0)) {
        press_ ^= 2;
        owner_->InvalidateGadget(*this);
    }
}

void CGXBDTButtonGadget::OnLButtonUp(unsigned, fw::Point p) {
    if (!(press_ & 1))
        return;
    press_ = 0;
    owner_->CaptureGadget(nullptr);
    owner_->InvalidateGadget(*this);
    if (rect.Contains(p))
        owner_->OnGadgetNotify(5, id, 0);
}

void CGXBDTButtonGadget::OnCancelMode() {
    if (!press_)
        return;
    press_ = 0;
    owner_->CaptureGadget(nullptr);
    owner_->InvalidateGadget(*this);
}
