#include "grid/extras/CGXBCalculator.h"

#include "framework/drawing/DeviceContext.h"
#include "framework/drawing/PaintContext.h"
#include "framework/window/VirtualKeys.h"
#include "grid/extras/GXExtrasSupport.h"
#include "grid/extras/GXLocaleInfo.h"

#include <QChar>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr fw::ColorRef kNavy = 0x800000;
constexpr fw::ColorRef kMaroon = 0x000080;

// The Enter button's picture: a small bent arrow, drawn once instead of a bitmap resource.
fw::Bitmap MakeEnterBitmap() {
    fw::Bitmap bmp = fw::Bitmap::Create(11, 8, fw::GetSysColor(fw::COLOR_BTNFACE));
    QImage* img = bmp.Image();
    const QRgb ink = fw::ToPixel(0);
    for (int y = 1; y <= 4; ++y) img->setPixel(9, y, ink);
    for (int x = 2; x <= 9; ++x) img->setPixel(x, 4, ink);
    for (int d = 1; d <= 3; ++d) {
        img->setPixel(2 + d, 4 - d, ink);
        img->setPixel(2 + d, 4 + d, ink);
    }
    return bmp;
}

std::string ToUtf8(char32_t c) {
    return QString::fromUcs4(&c, 1).toStdString();
}

// printf with any precision into a string that grows as needed.
std::string PrintFixed(double x, int decimals) {
    char fmt[16];
    std::snprintf(fmt, sizeof fmt, "%%.%dlf", decimals);
    const int n = std::snprintf(nullptr, 0, fmt, x);
    if (n <= 0)
        return {};
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(s.data(), s.size(), fmt, x);
    s.resize(static_cast<std::size_t>(n));
    return s;
}

}  // namespace

CGXBCalcBtn::CGXBCalcBtn(int id_, std::string caption_, std::string keys_, unsigned vk,
                         int columns_, bool newRow, fw::ColorRef color)
    : id(id_),
      caption(std::move(caption_)),
      keys(std::move(keys_)),
      virtualKey(vk),
      columns(columns_),
      flags(newRow ? unsigned{kNewRow} : 0u),
      textColor(color) {}

void CGXBCalcBtn::Draw(fw::DeviceContext& dc, const fw::LogFont& font,
                       const fw::Bitmap& bitmap) const {
    fw::Rect r = rect;
    const bool down = (flags & kPressed) != 0;
    dc.FillSolidRect(r, fw::GetSysColor(fw::COLOR_BTNFACE));
    if (down) {
        dc.Draw3dRect(r, fw::GetSysColor(fw::COLOR_3DDKSHADOW),
                      fw::GetSysColor(fw::COLOR_BTNHIGHLIGHT));
        r.Inflate(-1, -1);
        dc.Draw3dRect(r, fw::GetSysColor(fw::COLOR_BTNSHADOW), fw::GetSysColor(fw::COLOR_3DLIGHT));
    } else {
        dc.Draw3dRect(r, fw::GetSysColor(fw::COLOR_BTNHIGHLIGHT),
                      fw::GetSysColor(fw::COLOR_3DDKSHADOW));
        r.Inflate(-1, -1);
        dc.Draw3dRect(r, fw::GetSysColor(fw::COLOR_3DLIGHT), fw::GetSysColor(fw::COLOR_BTNSHADOW));
    }
    r.Inflate(-1, -1);
    if (down)
        r.Offset(1, 1);
    if (hasBitmap && !bitmap.IsNull()) {
        fw::DeviceContext mem;
        mem.CreateCompatibleDC(&dc);
        mem.SelectBitmap(bitmap);
        const int x = caption.empty() ? r.left + (r.Width() - bitmap.Width()) / 2 : r.left + 5;
        const int y = r.top + (r.Height() - bitmap.Height()) / 2;
        dc.BitBlt(x, y, bitmap.Width(), bitmap.Height(), &mem, 0, 0, fw::SRCCOPY);
    }
    if (!caption.empty()) {
        const fw::LogFont old = dc.SelectFont(font);
        dc.SetBkMode(fw::TRANSPARENT);
        dc.SetTextColor(textColor);
        dc.DrawText(caption, r, fw::DT_CENTER | fw::DT_VCENTER | fw::DT_SINGLELINE);
        dc.SelectFont(old);
    }
}

CGXBCalculator::CGXBCalculator() : ownerFont_(fw::DefaultGuiFont()) {}

CGXBCalculator::~CGXBCalculator() = default;

std::string CGXBCalculator::GetDecimalSeparator() {
    return GXLocaleDecimalSeparator();
}

void CGXBCalculator::CreateButtons() {
    buttons_.clear();
    auto add = [this](int id, std::string caption, std::string keys, unsigned vk, int cols,
                      bool row, fw::ColorRef color) {
        buttons_.push_back(std::make_unique<CGXBCalcBtn>(id, std::move(caption), std::move(keys),
                                                         vk, cols, row, color));
    };
    add(kIdClear, "C", "c", 0, 1, true, kNavy);
    add(kIdClearEntry, "CE", "e", 0, 1, false, kNavy);
    add(kIdBackspace, "<-", "\b", fw::VK_DELETE, 1, false, kNavy);
    add(kIdPercent, "%", "%", 0, 1, false, kNavy);
    const int rows[3][3] = {{7, 8, 9}, {4, 5, 6}, {1, 2, 3}};
    const char* ops[3] = {"/", "*", "-"};
    const int opIds[3] = {kIdDivide, kIdMultiply, kIdSubtract};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            const std::string digit(1, static_cast<char>('0' + rows[r][c]));
            add(kIdDigit0 + rows[r][c], digit, digit, 0, 1, c == 0, kMaroon);
        }
        add(opIds[r], ops[r], ops[r], 0, 1, false, kNavy);
    }
    add(kIdDigit0, "0", "0", 0, 2, true, kMaroon);
    std::string lowered = QString::fromStdString(separator_).toLower().toStdString();
    add(kIdSeparator, separator_, lowered, 0, 1, false, kMaroon);
    add(kIdAdd, "+", "+", 0, 1, false, kNavy);
    add(kIdEquals, GXExtrasText(20124), "=", fw::VK_RETURN, 4, true, 0);
    buttons_.back()->hasBitmap = true;
}

void CGXBCalculator::CreateFonts() {
    buttonFont_ = ownerFont_;
    buttonFont_.weight = fw::FW_BOLD;
    displayFont_ = ownerFont_;
    displayFont_.weight = fw::FW_NORMAL;
    QImage probe(1, 1, QImage::Format_ARGB32);
    fw::DeviceContext dc(&probe);
    dc.SelectFont(displayFont_);
    displayHeight_ = dc.GetTextExtent("T").cy + 4;
    enterBitmap_ = MakeEnterBitmap();
}

void CGXBCalculator::Layout() {
    QImage probe(1, 1, QImage::Format_ARGB32);
    fw::DeviceContext dc(&probe);
    dc.SelectFont(buttonFont_);
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const int avg = (dc.GetTextExtent(letters).cx + 26) / 52;
    const fw::TextMetrics tm = dc.GetTextMetrics();
    buttonWidth_ = 16 * avg / 4;
    buttonHeight_ = 14 * (tm.height + tm.externalLeading) / 8;

    const int top = (calcStyle_ & kStyleDisplayLine) ? 2 * marginV_ + 6 : marginV_;
    displayRect_ = {marginLeft_, top, marginLeft_, top + displayHeight_};
    int x = marginLeft_;
    int y = top + displayHeight_ + rowGap_;
    int widest = 0;
    int lowest = y;
    bool first = true;
    for (auto& b : buttons_) {
        if ((b->flags & CGXBCalcBtn::kNewRow) && !first) {
            x = marginLeft_;
            y += buttonHeight_ + rowGap_;
        } else if (!first) {
            x += columnGap_;
        }
        first = false;
        b->rect = {x, y, x + b->columns * buttonWidth_, y + buttonHeight_};
        x = b->rect.right;
        widest = std::max(widest, b->rect.right);
        lowest = std::max(lowest, b->rect.bottom);
    }
    displayRect_.right = widest;
    clientSize_ = {widest + marginLeft_, lowest + marginV_};

    dc.SelectFont(displayFont_);
    const int sepWidth = dc.GetTextExtent(separator_).cx;
    const int zeroWidth = std::max(1, dc.GetTextExtent("0").cx);
    capacity_ = (displayRect_.Width() - sepWidth - 4) / zeroWidth - 1;
    maxDecimals_ = std::min(maxDecimals_, capacity_);
}

bool CGXBCalculator::Create(unsigned exStyle, unsigned style, unsigned calcStyle,
                            const fw::Rect& rect, QWidget* owner, unsigned id) {
    calcStyle_ = calcStyle;
    if (separator_.empty())
        separator_ = GetDecimalSeparator();
    if (separator_.empty())
        separator_ = ".";
    const bool keepValue = (state_ & kValueBeforeWindow) != 0;
    const double kept = accumulator_;
    Reset();
    if (keepValue) {
        accumulator_ = kept;
        FormatDisplay();
    }
    if (calcStyle_ & kStyleOwnBorder)
        style &= ~fw::WS_BORDER, exStyle &= ~fw::WS_EX_CLIENTEDGE;
    if (buttons_.empty())
        CreateButtons();
    if (displayHeight_ == 0)
        CreateFonts();
    Layout();
    const int frame = (calcStyle_ & kStyleOwnBorder) ? 4 : 0;
    fw::Rect r{rect.left, rect.top, rect.left + clientSize_.cx + frame,
               rect.top + clientSize_.cy + frame};
    if (frame) {
        for (auto& b : buttons_) b->rect.Offset(2, 2);
        displayRect_.Offset(2, 2);
    }
    SetClassStyle(GetCalcClassStyle());
    return fw::Window::Create(owner, r, id, style, exStyle);
}

void CGXBCalculator::SetValue(double value) {
    Reset();
    accumulator_ = value;
    if (!IsCreated())
        state_ |= kValueBeforeWindow;
    FormatDisplay();
    if (IsCreated())
        Invalidate(false);
}

void CGXBCalculator::Reset() {
    state_ &= ~(kError | kValueBeforeWindow);
    accumulator_ = 0;
    pending_ = kNone;
    newEntry_ = true;
    text_.clear();
}

std::string CGXBCalculator::GetDisplayText() const {
    if (state_ & kError)
        return GXExtrasText(20125);
    if (text_.empty())
        return "0" + separator_;
    if (text_.find(separator_) == std::string::npos)
        return text_ + separator_;
    return text_;
}

void CGXBCalculator::FormatDisplay() {
    const std::string sep = separator_.empty() ? std::string(".") : separator_;
    int n = maxDecimals_;
    for (;;) {
        std::string s = PrintFixed(accumulator_, std::max(0, n));
        const std::size_t point = s.find('.');
        if (point != std::string::npos) {
            s.replace(point, 1, sep);
            const std::size_t after = point + sep.size();
            while (s.size() > after && s.back() == '0') s.pop_back();
        }
        const int limit = (accumulator_ > -1 && accumulator_ < 1) ? 16 : 15;
        const int d = std::min(capacity_, limit);
        const std::size_t sepAt = s.find(sep);
        const std::size_t intEnd = sepAt == std::string::npos ? s.size() : sepAt;
        const int c = static_cast<int>(intEnd) - (s[0] == '-' ? 1 : 0);
        const int b =
            sepAt == std::string::npos ? 0 : static_cast<int>(s.size() - sepAt - sep.size());
        if (d < c || c > 13) {
            state_ |= kError;
            return;
        }
        text_ = s;
        if (b + c <= d)
            return;
        n = d - c;
    }
}

void CGXBCalculator::Digit(int digit) {
    if (newEntry_) {
        text_.clear();
        newEntry_ = false;
    }
    if (digit == 0 && text_.empty())
        return;
    std::size_t start = (!text_.empty() && text_[0] == '-') ? 1 : 0;
    const std::size_t sepAt = text_.find(separator_);
    int before = 0;
    int after = 0;
    for (std::size_t i = start; i < text_.size(); ++i) {
        if (text_[i] < '0' || text_[i] > '9')
            continue;
        if (sepAt != std::string::npos && i > sepAt)
            ++after;
        else
            ++before;
    }
    if ((sepAt != std::string::npos && after >= maxDecimals_) ||
        (sepAt == std::string::npos && before > 12)) {
        GXExtrasBeep();
        return;
    }
    const int room = std::min(capacity_, text_.rfind("0", 0) == 0 ? 16 : 15);
    if (before + after < room)
        text_ += static_cast<char>('0' + digit);
    else
        GXExtrasBeep();
}

void CGXBCalculator::Separator() {
    if (newEntry_) {
        text_.clear();
        newEntry_ = false;
    }
    if (text_.find(separator_) != std::string::npos)
        return;
    if (text_.empty())
        text_ = "0";
    text_ += separator_;
}

void CGXBCalculator::Backspace() {
    if (newEntry_ || text_.empty())
        return;
    // Drops the last character whole, also when the separator is more than one byte.
    const QString q = QString::fromStdString(text_);
    text_ = q.left(q.size() - 1).toStdString();
}

void CGXBCalculator::Operator(int id) {
    double operand = 0;
    if (!text_.empty()) {
        std::string s = text_;
        const std::size_t at = s.find(separator_);
        if (at != std::string::npos)
            s.replace(at, separator_.size(), ".");
        char* end = nullptr;
        operand = std::strtod(s.c_str(), &end);
        if (end == s.c_str())
            return;
    }
    double result = 0;
    int next = kNone;
    if (id == kIdPercent) {
        result = (pending_ == kMultiply || pending_ == kDivide) ? operand * accumulator_ * 0.01 : 0;
    } else {
        switch (pending_) {
            case kMultiply:
                result = operand * accumulator_;
                break;
            case kAdd:
                result = operand + accumulator_;
                break;
            case kSubtract:
                result = accumulator_ - operand;
                break;
            case kDivide:
                if (operand == 0) {
                    state_ |= kError;
                    return;
                }
                result = accumulator_ / operand;
                break;
            default:
                result = operand;
        }
        next = id == kIdEquals ? kNone : id;
    }
    accumulator_ = result;
    pending_ = next;
    newEntry_ = true;
    FormatDisplay();
}

void CGXBCalculator::Clear() {
    const bool keepText = (state_ & kValueBeforeWindow) && !IsCreated();
    accumulator_ = 0;
    if (!keepText)
        text_.clear();
    state_ &= ~kError;
    pending_ = kNone;
    newEntry_ = true;
}

void CGXBCalculator::ClearEntry() {
    if (state_ & kError) {
        Clear();
        return;
    }
    text_.clear();
    newEntry_ = true;
}

bool CGXBCalculator::HandleButton(int id) {
    if (id < kIdMultiply || id > kIdBackspace)
        return false;
    if ((state_ & kError) && id != kIdClear && id != kIdClearEntry) {
        GXExtrasBeep();
        return true;
    }
    if (id >= kIdDigit0 && id <= kIdDigit9)
        Digit(id - kIdDigit0);
    else if (id == kIdSeparator)
        Separator();
    else if (id == kIdBackspace)
        Backspace();
    else if (id == kIdClear)
        Clear();
    else if (id == kIdClearEntry)
        ClearEntry();
    else
        Operator(id);
    if (IsCreated())
        InvalidateRect(displayRect_, false);
    return true;
}

// --- drawing -------------------------------------------------------------------------------

void CGXBCalculator::Draw(fw::DeviceContext& dc) {
    const fw::Rect client = GetClientRect();
    dc.FillSolidRect(client, fw::GetSysColor(fw::COLOR_BTNFACE));
    fw::Rect frame = client;
    if (calcStyle_ & kStyleOwnBorder)
        dc.DrawEdge(frame, fw::EDGE_RAISED, fw::BF_RECT);
    if (calcStyle_ & kStyleDisplayLine) {
        fw::Rect line{client.left + 2, displayRect_.top - 4, client.right - 2,
                      displayRect_.top - 2};
        dc.DrawEdge(line, fw::BDR_RAISEDINNER, fw::BF_RECT);
    }
    fw::Rect d = displayRect_;
    dc.DrawEdge(d, fw::EDGE_SUNKEN, fw::BF_RECT | fw::BF_ADJUST);
    dc.FillSolidRect(d, fw::GetSysColor(fw::COLOR_WINDOW));
    d.Inflate(-2, 0);
    const fw::LogFont old = dc.SelectFont(displayFont_);
    dc.SetBkMode(fw::TRANSPARENT);
    dc.SetTextColor(fw::GetSysColor(fw::COLOR_WINDOWTEXT));
    dc.DrawText(GetDisplayText(), d, fw::DT_RIGHT | fw::DT_VCENTER | fw::DT_SINGLELINE);
    dc.SelectFont(old);
    for (const auto& b : buttons_) b->Draw(dc, buttonFont_, enterBitmap_);
}

void CGXBCalculator::OnPaint() {
    fw::PaintContext dc(*this);
    // Drawn whole into a memory bitmap first, then copied, so the buttons never flicker.
    const fw::Rect client = GetClientRect();
    fw::Bitmap bmp = fw::Bitmap::Create(std::max(1, client.Width()), std::max(1, client.Height()));
    fw::DeviceContext mem;
    mem.CreateCompatibleDC(&dc);
    mem.SelectBitmap(bmp);
    Draw(mem);
    mem.Flush();
    dc.BitBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, fw::SRCCOPY);
}

void CGXBCalculator::OnSize(UINT type, int cx, int cy) {
    fw::Window::OnSize(type, cx, cy);
    Invalidate(false);
}

// --- input -----------------------------------------------------------------------------------

CGXBCalcBtn* CGXBCalculator::ButtonAt(fw::Point p) {
    for (auto& b : buttons_)
        if (b->rect.Contains(p))
            return b.get();
    return nullptr;
}

void CGXBCalculator::InvalidateButton(const CGXBCalcBtn& b) {
    InvalidateRect(b.rect, false);
}

void CGXBCalculator::OnLButtonDown(UINT, fw::Point p) {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        if (!buttons_[i]->rect.Contains(p))
            continue;
        SetFocus();
        SetCapture();
        state_ |= kCaptured;
        pressed_ = static_cast<int>(i);
        buttons_[i]->flags |= CGXBCalcBtn::kPressed;
        InvalidateButton(*buttons_[i]);
        UpdateWindow();
        return;
    }
}

void CGXBCalculator::OnMouseMove(UINT, fw::Point p) {
    if (!(state_ & kCaptured) || pressed_ < 0)
        return;
    CGXBCalcBtn& b = *buttons_[static_cast<std::size_t>(pressed_)];
    const bool over = b.rect.Contains(p);
    if (over != ((b.flags & CGXBCalcBtn::kPressed) != 0)) {
        b.flags ^= CGXBCalcBtn::kPressed;
        InvalidateButton(b);
    }
}

void CGXBCalculator::OnLButtonUp(UINT, fw::Point p) {
    if (!(state_ & kCaptured) || pressed_ < 0)
        return;
    CGXBCalcBtn& b = *buttons_[static_cast<std::size_t>(pressed_)];
    state_ &= ~kCaptured;
    pressed_ = -1;
    ReleaseCapture();
    b.flags &= ~CGXBCalcBtn::kPressed;
    InvalidateButton(b);
    if (b.rect.Contains(p))
        HandleButton(b.id);
}

void CGXBCalculator::OnCancelMode() {
    if (state_ & kCaptured) {
        state_ &= ~kCaptured;
        if (pressed_ >= 0) {
            buttons_[static_cast<std::size_t>(pressed_)]->flags &= ~CGXBCalcBtn::kPressed;
            InvalidateButton(*buttons_[static_cast<std::size_t>(pressed_)]);
        }
        pressed_ = -1;
        ReleaseCapture();
    }
}

fw::UINT CGXBCalculator::OnGetDlgCode() {
    return fw::DLGC_WANTCHARS | fw::DLGC_WANTARROWS;
}

void CGXBCalculator::PressButton(CGXBCalcBtn& b) {
    b.flags |= CGXBCalcBtn::kPressed;
    InvalidateButton(b);
    UpdateWindow();
    HandleButton(b.id);
    b.flags &= ~CGXBCalcBtn::kPressed;
    InvalidateButton(b);
}

bool CGXBCalculator::OnChar(UINT ch, UINT, UINT) {
    const std::string typed =
        QString::fromStdString(ToUtf8(static_cast<char32_t>(ch))).toLower().toStdString();
    if (typed.empty())
        return false;
    for (auto& b : buttons_) {
        if (b->keys.find(typed) != std::string::npos) {
            PressButton(*b);
            return true;
        }
    }
    return false;
}

bool CGXBCalculator::OnKeyDown(UINT vk, UINT, UINT) {
    if (vk == fw::VK_TAB && !IsPopup()) {
        // Tab leaves the calculator for the next control of the dialog (Shift: previous).
        focusNextPrevChild(!fw::IsKeyDown(fw::VK_SHIFT));
        return true;
    }
    for (auto& b : buttons_) {
        if (b->virtualKey != 0 && b->virtualKey == vk) {
            PressButton(*b);
            return true;
        }
    }
    return false;
}

fw::LRESULT CGXBCalculator::WindowProc(fw::Message& msg) {
    if (msg.id == fw::WM_SYSCOLORCHANGE) {
        enterBitmap_ = MakeEnterBitmap();
        Invalidate(false);
    }
    return fw::Window::WindowProc(msg);
}
