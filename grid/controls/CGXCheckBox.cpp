#include "grid/controls/CGXCheckBox.h"

#include "framework/window/SystemMetrics.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXBitmapResources.h"
#include "grid/core/GXColor.h"
#include "grid/core/GXLibraryState.h"

#include <strings.h>
#include <algorithm>
#include <array>
#include <cstdlib>

const CGXControlClassInfo CGXCheckBox::kClassInfo{"CGXCheckBox", &CGXControl::kClassInfo};
const CGXControlClassInfo CGXCheckBoxEx::kClassInfo{"CGXCheckBoxEx", &CGXCheckBox::kClassInfo};

namespace {

constexpr int kBox = 13;
constexpr int kImages = 5;
// Colour-table indexes of the strips and the fixed colours that LoadBitmaps maps.
enum Ink : std::uint8_t { kBlack, kRed, kGreen, kLightGrey, kDarkGrey, kWhite, kInkCount };
constexpr std::array<COLORREF, kInkCount> kInkColor = {0x000000, 0x0000FF, 0x00FF00,
                                                       0xC0C0C0, 0x808080, 0xFFFFFF};

void PutLe(std::vector<std::uint8_t>& v, std::uint32_t x, int bytes) {
    for (int i = 0; i < bytes; ++i) v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}

// One image of the strip: the frame, the face (window colour, or button face when pressed or
// disabled) and the check mark.
void PaintImage(std::array<std::array<std::uint8_t, kBox * kImages>, kBox>& px, int image,
                bool threeD) {
    const int x0 = image * kBox;
    const bool pressed = image == 2 || image == 3;
    const bool checked = image == 1 || image == 3 || image == 4;
    for (int y = 0; y < kBox; ++y)
        for (int x = 0; x < kBox; ++x) {
            std::uint8_t ink = pressed ? kLightGrey : kRed;
            if (threeD) {
                if (x == 0 || y == 0)
                    ink = kDarkGrey;
                else if (x == kBox - 1 || y == kBox - 1)
                    ink = kWhite;
                else if (x == 1 || y == 1)
                    ink = kBlack;
                else if (x == kBox - 2 || y == kBox - 2)
                    ink = kLightGrey;
            } else if (x == 0 || y == 0 || x == kBox - 1 || y == kBox - 1) {
                ink = kGreen;
            }
            px[static_cast<std::size_t>(y)][static_cast<std::size_t>(x0 + x)] = ink;
        }
    if (!checked)
        return;
    // A check mark of seven columns, three pixels high each.
    static constexpr int kTop[7] = {5, 6, 7, 6, 5, 4, 3};
    for (int i = 0; i < 7; ++i)
        for (int d = 0; d < 3; ++d)
            px[static_cast<std::size_t>(kTop[i] + d)][static_cast<std::size_t>(x0 + 3 + i)] =
                image == 4 ? kDarkGrey : kBlack;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

}  // namespace

std::vector<std::uint8_t> CGXCheckBox::LibraryStrip(unsigned id) {
    if (id != GX_IDB_CHECKBOX && id != GX_IDB_CHECKBOX_3D && id != GX_IDB_CHECKBOX_3D_OLD)
        return {};
    std::array<std::array<std::uint8_t, kBox * kImages>, kBox> px{};
    for (int i = 0; i < kImages; ++i) PaintImage(px, i, id != GX_IDB_CHECKBOX);
    // An 8-bit bottom-up DIB with a table of the fixed colours.
    const std::uint32_t stride = (kBox * kImages + 3) & ~3u;
    std::vector<std::uint8_t> v;
    PutLe(v, 40, 4);
    PutLe(v, kBox * kImages, 4);
    PutLe(v, kBox, 4);
    PutLe(v, 1, 2);
    PutLe(v, 8, 2);
    PutLe(v, 0, 4);
    PutLe(v, stride * kBox, 4);
    PutLe(v, 0, 4);
    PutLe(v, 0, 4);
    PutLe(v, kInkCount, 4);
    PutLe(v, 0, 4);
    for (COLORREF c : kInkColor) {
        v.push_back(static_cast<std::uint8_t>(c >> 16));
        v.push_back(static_cast<std::uint8_t>(c >> 8));
        v.push_back(static_cast<std::uint8_t>(c));
        v.push_back(0);
    }
    for (int y = kBox - 1; y >= 0; --y) {
        const auto& row = px[static_cast<std::size_t>(y)];
        v.insert(v.end(), row.begin(), row.end());
        for (std::uint32_t p = kBox * kImages; p < stride; ++p) v.push_back(0);
    }
    return v;
}

CGXCheckBox::CGXCheckBox(CGXGridCore* grid, bool draw3d, unsigned bitmapId, unsigned printBitmapId)
    : CGXControl(grid),
      m_b3d(draw3d),
      m_nBitmapId(bitmapId                      ? bitmapId
                  : !draw3d                     ? GX_IDB_CHECKBOX
                  : GXGetLibraryState().m_bWin4 ? GX_IDB_CHECKBOX_3D
                                                : GX_IDB_CHECKBOX_3D_OLD),
      m_nPrintBitmapId(printBitmapId ? printBitmapId : GX_IDB_CHECKBOX) {}

void CGXCheckBox::AddUserAttributes(CGXStylesMap& map) {
    map.AddUserAttribute(GX_IDS_UA_CHECKBOX_CHECKED);
    map.AddUserAttribute(GX_IDS_UA_CHECKBOX_UNCHECKED);
}

// --- values ------------------------------------------------------------------------------------

std::string CGXCheckBox::CheckedText(const CGXStyle& style) {
    std::string s = style.GetUserAttribute(GX_IDS_UA_CHECKBOX_CHECKED).GetValue();
    return s.empty() ? "1" : s;
}

std::string CGXCheckBox::UncheckedText(const CGXStyle& style) {
    std::string s = style.GetUserAttribute(GX_IDS_UA_CHECKBOX_UNCHECKED).GetValue();
    return s.empty() ? "0" : s;
}

bool CGXCheckBox::IsTriState(const CGXStyle& style) {
    return style.GetIncludeTriState() && style.GetTriState();
}

std::string CGXCheckBox::ToggledValue(const CGXStyle& style, const std::string& value) {
    const std::string checked = CheckedText(style), unchecked = UncheckedText(style);
    if (value == checked)
        return unchecked;
    if (IsTriState(style) && value == unchecked)
        return {};
    return checked;
}

unsigned CGXCheckBox::AlignmentFlags(const CGXStyle& style) {
    unsigned a = 0;
    if (style.GetIncludeHorizontalAlignment()) {
        if (style.GetHorizontalAlignment() == fw::DT_CENTER)
            a |= 0x1;
        else if (style.GetHorizontalAlignment() == fw::DT_RIGHT)
            a |= 0x2;
    }
    if (style.GetIncludeVerticalAlignment()) {
        if (style.GetVerticalAlignment() == fw::DT_VCENTER)
            a |= 0x4;
        else if (style.GetVerticalAlignment() == fw::DT_BOTTOM)
            a |= 0x8;
    }
    return a;
}

unsigned CGXCheckBox::GetState(ROWCOL row, ROWCOL col, const CGXStyle& style) {
    unsigned state = 0;
    if (style.GetIncludeEnabled() && !style.GetEnabled())
        state |= GX_CHECK_PRESSED;
    if (m_bInit && m_pGrid->IsCurrentCell(row, col)) {
        state |= GX_CHECK_FOCUS;
        if (m_bPressed && IsInitFor(row, col))
            state |= GX_CHECK_PRESSED;
    }
    const std::string value = style.GetIncludeValue() ? style.GetValue() : std::string();
    if (value == CheckedText(style))
        state |= GX_CHECK_CHECKED;
    else if (!IsTriState(style) || value == UncheckedText(style))
        state |= GX_CHECK_UNCHECKED;
    return state;
}

bool CGXCheckBox::ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                            const CGXStyle* style) {
    std::unique_ptr<CGXStyle> made;
    if (!style) {
        made = m_pGrid->CreateStyle();
        m_pGrid->ComposeStyleRowCol(row, col, made.get());
        style = made.get();
    }
    if (IsTriState(*style) && !EqualNoCase(text, CheckedText(*style)) &&
        !EqualNoCase(text, UncheckedText(*style)))
        text.clear();
    if (made)
        m_pGrid->RecycleStyle(std::move(made));
    return true;
}

// --- bitmaps -----------------------------------------------------------------------------------

COLORREF CGXCheckBox::MapBitmapColor(COLORREF color, bool printing) {
    switch (color & 0xFFFFFFu) {
        case 0x000000:
            return printing ? 0x000000 : GXGetSysColor(fw::COLOR_WINDOWTEXT);
        case 0x0000FF:
            return printing ? 0xFFFFFF : GXGetSysColor(fw::COLOR_WINDOW);
        case 0x00FF00:
            return GXGetSysColor(fw::COLOR_WINDOWFRAME);
        case 0xC0C0C0:
            return GXGetSysColor(fw::COLOR_BTNFACE);
        default:
            return color;
    }
}

bool CGXCheckBox::LoadBitmaps() {
    m_boxBitmap.reset();
    m_printBitmap.reset();
    auto load = [this](unsigned id, bool printing) -> std::optional<fw::Dib> {
        std::vector<std::uint8_t> block = LibraryStrip(id);
        if (block.empty()) {
            auto app = GXLoadDIBResource(GXResourceName::Id(id));
            if (!app)
                return std::nullopt;
            block = std::move(*app);
        }
        fw::Dib::Result parsed = fw::Dib::Parse(block);
        if (!parsed)
            return std::nullopt;
        // Rewrite the colour table in place: each entry through MapBitmapColor.
        const std::size_t table = block[0] | (block[1] << 8) | (block[2] << 16) |
                                  (static_cast<std::size_t>(block[3]) << 24);
        for (int i = 0; i < parsed.dib.ColorCount(); ++i) {
            const std::size_t at = table + 4 * static_cast<std::size_t>(i);
            const COLORREF c = parsed.dib.PaletteColor(i) & 0xFFFFFFu;
            const COLORREF m = MapBitmapColor(c, printing) & 0xFFFFFFu;
            if (m != c) {
                block[at] = static_cast<std::uint8_t>(m >> 16);
                block[at + 1] = static_cast<std::uint8_t>(m >> 8);
                block[at + 2] = static_cast<std::uint8_t>(m);
            }
        }
        fw::Dib::Result mapped = fw::Dib::Parse(block);
        if (!mapped)
            return std::nullopt;
        return std::move(mapped.dib);
    };
    m_boxBitmap = load(m_nBitmapId, false);
    if (!m_boxBitmap)
        return false;
    m_printBitmap = load(m_nPrintBitmapId, true);
    return true;
}

bool CGXCheckBox::OnSysColorChange() {
    LoadBitmaps();
    return false;
}

// --- drawing -----------------------------------------------------------------------------------

fw::Rect CGXCheckBox::CalcBoxRect(fw::DeviceContext& dc, const fw::Rect& rect,
                                  const std::string& label, unsigned alignment) {
    int h = m_nBoxSize;
    int needed = m_nBoxSize;
    if (!label.empty()) {
        const fw::TextMetrics tm = dc.GetTextMetrics();
        h = std::min(tm.height + tm.internalLeading, m_nBoxSize);
        needed = m_nBoxSize * 3 / 2 + dc.GetTextExtent(label).cx;
    }
    fw::Rect r = rect;
    if (alignment & 0x1)
        r.left += std::max(0, (rect.Width() - needed) / 2);
    else if (alignment & 0x2)
        r.left += std::max(0, rect.Width() - needed);
    else
        r.left += 3;
    if (alignment & 0x4)
        r.top += std::abs(rect.Height() - h) / 2;
    else if (alignment & 0x8) {
        if (rect.bottom - h > r.top)
            r.top = rect.bottom - h;
    } else
        r.top += 3;
    return {r.left, r.top, std::min(rect.right, r.left + m_nBoxSize),
            std::min(rect.bottom, r.top + m_nBoxSize)};
}

void CGXCheckBox::DrawCheckBox(fw::DeviceContext& dc, const fw::Rect& rect, unsigned state,
                               unsigned alignment, const std::string& label) {
    const fw::Rect box = CalcBoxRect(dc, rect, label, alignment);
    if (!m_boxBitmap && !LoadBitmaps())
        return;
    const bool printing = m_pGrid->IsPrinting();
    const fw::Dib* dib = printing && m_printBitmap ? &*m_printBitmap : &*m_boxBitmap;
    int image = static_cast<int>(state & GX_CHECK_PRESSED);
    if (state & GX_CHECK_CHECKED)
        image += 1;
    else if (!(state & GX_CHECK_UNCHECKED))
        image = 4;
    const int w = std::min(box.Width(), m_nBoxSize), h = std::min(box.Height(), m_nBoxSize);
    if (w <= 0 || h <= 0)
        return;
    dc.StretchDIBits({box.left, box.top, box.left + w, box.top + h},
                     {image * m_nBoxSize, 0, image * m_nBoxSize + w, h}, *dib, fw::SRCCOPY);
}

void CGXCheckBox::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                       const CGXStyle& style, const CGXStyle* standardStyle) {
    const unsigned state = GetState(row, col, style);
    const unsigned alignment = AlignmentFlags(style);
    const std::optional<fw::LogFont> oldFont = m_pGrid->LoadFont(&dc, style, standardStyle);
    DrawBackground(dc, rect, style, false);  // the grid filled the cell
    const int oldMode = dc.SetBkMode(fw::TRANSPARENT);
    const COLORREF oldBk = dc.SetBkColor(style.GetInterior().GetColorResolved() & 0xFFFFFFu);
    const COLORREF oldText = dc.SetTextColor(style.GetTextColor() & 0xFFFFFFu);
    const fw::Rect inner = GetCellRect(row, col, &rect, &style);
    const std::string label = style.GetIncludeChoiceList() ? style.GetChoiceList() : std::string();
    DrawCheckBox(dc, inner, state, alignment, label);
    const int labelLeft = inner.left + m_nBoxSize * 3 / 2;
    if (!label.empty() && labelLeft < inner.right) {
        fw::Rect r{labelLeft, inner.top, inner.right, inner.bottom};
        unsigned format = fw::DT_NOPREFIX;
        format |= (style.GetIncludeWrapText() && style.GetWrapText()) ? fw::DT_WORDBREAK
                                                                      : fw::DT_SINGLELINE;
        if (alignment & 0x1)
            format |= fw::DT_CENTER;
        if (alignment & 0x2)
            format |= fw::DT_RIGHT;
        if (alignment & 0x4)
            format |= fw::DT_VCENTER;
        if (alignment & 0x8)
            format |= fw::DT_BOTTOM;
        dc.DrawText(label, r, format);
    }
    CGXControl::Draw(dc, rect, row, col, style, standardStyle);
    dc.SetTextColor(oldText);
    dc.SetBkColor(oldBk);
    dc.SetBkMode(oldMode);
    if (oldFont)
        dc.SelectFont(*oldFont);
}

fw::Size CGXCheckBox::CalcSize(fw::DeviceContext& dc, ROWCOL row, ROWCOL col, const CGXStyle& style,
                               bool heightOnly) {
    fw::Rect rect = GetCellRect(row, col, nullptr, &style);
    const int textWidth = rect.Width();
    rect.left += m_nBoxSize * 3 / 2;
    const int m = std::max(3, fw::GetSystemMetrics(fw::SM_CXFRAME) / 2);
    const std::optional<fw::LogFont> oldFont = m_pGrid->LoadFont(&dc, style);
    const fw::TextMetrics tm = dc.GetTextMetrics();
    const int lineHeight = tm.height + tm.externalLeading + 1;
    const std::string label = style.GetIncludeChoiceList() ? style.GetChoiceList() : std::string();
    int width = 0, height = 0;
    if (label.empty()) {
        height = lineHeight;
        width = tm.maxCharWidth + 2 * m;
    } else {
        std::vector<std::string> lines;
        const bool wrap = style.GetIncludeWrapText() && style.GetWrapText();
        if (wrap) {
            std::array<int, 32> starts{}, lengths{};
            fw::Rect r = rect;
            const int n = CGXDrawingAndFormatting::GetInstance().SplitTextLines(
                dc, label, r, fw::DT_WORDBREAK, starts, lengths);
            for (int i = 0; i < n; ++i)
                lines.push_back(label.substr(static_cast<std::size_t>(starts[i]),
                                             static_cast<std::size_t>(lengths[i])));
        }
        if (heightOnly) {
            height = lineHeight * (wrap ? std::max<int>(1, static_cast<int>(lines.size())) : 1);
            width = textWidth;
        } else {
            if (!wrap || lineHeight * static_cast<int>(lines.size()) > rect.Height()) {
                lines.clear();
                std::size_t start = 0;
                while (start <= label.size()) {
                    const std::size_t end = label.find_first_of("\r\n", start);
                    lines.push_back(label.substr(
                        start, end == std::string::npos ? std::string::npos : end - start));
                    if (end == std::string::npos)
                        break;
                    start = end + ((label[end] == '\r' && end + 1 < label.size() &&
                                    label[end + 1] == '\n')
                                       ? 2
                                       : 1);
                }
            }
            for (const std::string& line : lines)
                width = std::max(width, dc.GetTextExtent(line).cx);
            width += 2 * m;
            height = rect.Height();
        }
    }
    if (oldFont)
        dc.SelectFont(*oldFont);
    return AddBorders({m_nBoxSize + width + 6, std::max(m_nBoxSize + 4, height)}, style);
}

// --- input -------------------------------------------------------------------------------------

fw::Rect CGXCheckBox::HitRect(const CGXStyle& style) {
    fw::DeviceContext dc;
    dc.CreateCompatibleDC(nullptr);
    const std::optional<fw::LogFont> oldFont = m_pGrid->LoadFont(&dc, style);
    const std::string label = style.GetIncludeChoiceList() ? style.GetChoiceList() : std::string();
    const fw::Rect r =
        CalcBoxRect(dc, GetCellRect(m_nRow, m_nCol, nullptr, &style), label, AlignmentFlags(style));
    (void)oldFont;
    return r;
}

bool CGXCheckBox::CanToggle(const CGXStyle& style) {
    return !IsReadOnly() && !(style.GetIncludeReadOnly() && style.GetReadOnly());
}

bool CGXCheckBox::LButtonDown(unsigned flags, fw::Point point, unsigned hit) {
    if (!m_bInit)
        return false;
    if (!IsActive())
        FreeStyle(false);  // an active control keeps its pending value in its copy
    if (IsReadOnly())
        return false;
    m_rectHit = HitRect(GetStyle());
    if (m_rectHit.Contains(point)) {
        m_bPressed = true;
        Refresh();
    }
    CGXControl::LButtonDown(flags, point, hit);
    return true;
}

bool CGXCheckBox::MouseMove(unsigned flags, fw::Point point) {
    const bool pressed = (flags & fw::MK_LBUTTON) && m_rectHit.Contains(point);
    if (pressed != m_bPressed) {
        m_bPressed = pressed;
        Refresh();
    }
    CGXControl::MouseMove(flags, point);
    return true;
}

bool CGXCheckBox::LButtonUp(unsigned flags, fw::Point point, unsigned hit) {
    const bool wasPressed = m_bPressed;
    m_bPressed = false;
    if (!CGXControl::LButtonUp(flags, point, hit) && m_bInit && m_rectHit.Contains(point)) {
        OnClickedButton();
    } else if (wasPressed) {
        Refresh();
    }
    m_rectHit = {};
    return true;
}

bool CGXCheckBox::LButtonDblClk(unsigned flags, fw::Point point) {
    m_bPressed = false;
    if (!CGXControl::LButtonDblClk(flags, point) && m_bInit && HitRect(GetStyle()).Contains(point))
        OnClickedButton();
    return true;
}

bool CGXCheckBox::ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) {
    if (CGXControl::ProcessKeys(message, key, repeat, flags))
        return true;
    if (message == fw::WM_CHAR && key == ' ' && m_bInit) {
        OnClickedButton();
        return true;
    }
    return false;
}

bool CGXCheckBox::OnCancelMode() {
    if (m_bPressed) {
        m_bPressed = false;
        Refresh();
    }
    return false;
}

void CGXCheckBox::OnClickedButton(CGXChild*) {
    if (!m_bInit || !OnStartEditing())
        return;
    // The value lives in the grid: toggle what the grid holds now, not an older copy.
    FreeStyle(false);
    const CGXStyle& style = GetStyle();
    if (!CanToggle(style))
        return;
    const std::string value =
        ToggledValue(style, style.GetIncludeValue() ? style.GetValue() : std::string());
    const ROWCOL row = m_nRow, col = m_nCol;
    m_pGrid->SetValueRange(CGXRange(row, col), value, gxOverride, GX_UPDATENOW);
    FreeStyle(false);
    m_pGrid->OnClickedButtonRowCol(row, col);
}

// --- the variant with an active state -----------------------------------------------------------

bool CGXCheckBoxEx::LButtonDown(unsigned flags, fw::Point point, unsigned hit) {
    return CGXCheckBox::LButtonDown(flags, point, hit);
}

bool CGXCheckBoxEx::ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) {
    if (message == fw::WM_KEYDOWN && key == fw::VK_DELETE && m_bActive && m_pStyle) {
        m_pStyle->SetValue(std::string());
        m_pGrid->RedrawRowCol(CGXRange(m_nRow, m_nCol), GX_UPDATENOW);
        m_bModified = true;
        OnModifyCell();
        return true;
    }
    return CGXCheckBox::ProcessKeys(message, key, repeat, flags);
}

void CGXCheckBoxEx::OnClickedButton(CGXChild*) {
    if (!m_bInit)
        return;
    if (!m_bActive) {
        if (!OnStartEditing())
            return;
        SetActive(true);
    }
    GetStyle();
    if (!CanToggle(*m_pStyle))
        return;
    m_pStyle->SetValue(ToggledValue(*m_pStyle, PendingValue()));
    m_pGrid->RedrawRowCol(CGXRange(m_nRow, m_nCol), GX_UPDATENOW);
    m_bModified = true;
    OnModifyCell();
    m_pGrid->OnClickedButtonRowCol(m_nRow, m_nCol);
}
