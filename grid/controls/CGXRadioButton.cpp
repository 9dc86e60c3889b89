#include "grid/controls/CGXRadioButton.h"

#include "framework/window/VirtualKeys.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"

#include <algorithm>
#include <cstdlib>

const CGXControlClassInfo CGXRadioButton::kClassInfo{"CGXRadioButton", &CGXControl::kClassInfo};
const CGXControlClassInfo CGXRadioButtonEx::kClassInfo{"CGXRadioButtonEx",
                                                       &CGXRadioButton::kClassInfo};

namespace {

constexpr int kButtonArea = 18;

int LineHeight(const fw::DeviceContext& dc) {
    const fw::TextMetrics tm = dc.GetTextMetrics();
    return std::max(12, tm.height + tm.externalLeading);
}

int CharStep(const fw::DeviceContext& dc) {
    return std::max(12, dc.GetTextMetrics().maxCharWidth);
}

std::string Attr(const CGXStyle& style, std::uint16_t id) {
    return style.GetIncludeUserAttribute(id) ? style.GetUserAttribute(id).GetValue()
                                             : std::string();
}

// A memory context with the style's font, for hit tests and sizes outside drawing.
struct MeasureDC {
    fw::DeviceContext dc;
    MeasureDC(CGXGridCore& grid, const CGXStyle& style) {
        dc.CreateCompatibleDC(nullptr);
        grid.LoadFont(&dc, style);
    }
};

}  // namespace

std::vector<std::string> GXRadioItems(const std::string& choiceList) {
    std::vector<std::string> items;
    std::string line;
    for (char c : choiceList) {
        if (c == '\r' || c == '\n') {
            if (!line.empty())
                items.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        items.push_back(line);
    return items;
}

std::vector<GXRadioItemRect> GXLayoutRadioButtons(fw::DeviceContext& dc, const fw::Rect& rect,
                                                  const std::vector<std::string>& items,
                                                  bool horizontal, bool textRight) {
    std::vector<GXRadioItemRect> out;
    const int lh = LineHeight(dc);
    int x = rect.left;
    for (std::size_t n = 0; n < items.size(); ++n) {
        const int w = dc.GetTextExtent(items[n]).cx;
        const int top = horizontal ? rect.top : rect.top + static_cast<int>(n) * lh;
        const int left = horizontal ? x : rect.left;
        GXRadioItemRect r;
        if (textRight) {
            r.button = {left, top, left + kButtonArea, top + lh};
            r.text = {left + kButtonArea, top, left + kButtonArea + w, top + lh};
            x = r.text.right + 2;
        } else {
            r.text = {left + 3, top, left + 3 + w, top + lh};
            r.button = {r.text.right, top, r.text.right + kButtonArea, top + lh};
            x = r.button.right + CharStep(dc);
        }
        out.push_back(r);
    }
    return out;
}

void GXDrawRadioButton(fw::DeviceContext& dc, int left, int top, int, int bottom, bool chosen,
                       bool draw3d) {
    top = top + (bottom - top - 12) / 2;
    const fw::Rect outer{left + 3, top, left + 15, top + 12};
    const fw::Pen oldPen = dc.SelectPen(fw::Pen{fw::PS_SOLID, 1, 0x000000});
    const fw::Brush oldBrush = dc.SelectBrush(fw::Brush{fw::BS_SOLID, 0xFFFFFF});
    if (draw3d) {
        // A sunken ring: shadow above left, light below right, then the white face.
        dc.SelectPen(fw::Pen{fw::PS_SOLID, 1, 0x808080});
        dc.Ellipse(outer);
        dc.SelectPen(fw::Pen{fw::PS_SOLID, 1, 0xE0E0E0});
        dc.Ellipse({outer.left + 1, outer.top + 1, outer.right, outer.bottom});
        dc.SelectPen(fw::Pen{fw::PS_SOLID, 1, 0x404040});
        dc.Ellipse({outer.left + 1, outer.top + 1, outer.right - 1, outer.bottom - 1});
    } else {
        dc.Ellipse(outer);
    }
    if (chosen) {
        dc.SelectPen(fw::Pen{fw::PS_SOLID, 1, 0x000000});
        dc.SelectBrush(fw::Brush{fw::BS_SOLID, 0x000000});
        dc.Ellipse({left + 5, top + 2, left + 13, top + 10});
    }
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
}

int GXDrawRadioButtons(fw::DeviceContext& dc, const fw::Rect& rect, int value,
                       const std::string& choices, bool draw3d, bool horizontal, bool textRight) {
    const std::vector<std::string> items = GXRadioItems(choices);
    const int saved = dc.SaveDC();
    dc.IntersectClipRect(rect);
    const std::vector<GXRadioItemRect> layout =
        GXLayoutRadioButtons(dc, rect, items, horizontal, textRight);
    for (std::size_t n = 0; n < items.size(); ++n) {
        const fw::Rect& b = layout[n].button;
        GXDrawRadioButton(dc, b.left, b.top, b.right, b.bottom, static_cast<int>(n) == value,
                          draw3d);
        fw::Rect t = layout[n].text;
        t.right = std::max(t.right, rect.right);
        dc.DrawText(items[n], t, fw::DT_SINGLELINE | fw::DT_VCENTER | fw::DT_NOPREFIX);
    }
    dc.RestoreDC(saved);
    return static_cast<int>(items.size());
}

int GXHitTestRadioButtons(fw::DeviceContext& dc, const fw::Rect& rect, const std::string& choices,
                          fw::Point point, bool horizontal, bool textRight) {
    const std::vector<std::string> items = GXRadioItems(choices);
    const std::vector<GXRadioItemRect> layout =
        GXLayoutRadioButtons(dc, rect, items, horizontal, textRight);
    for (std::size_t n = 0; n < layout.size(); ++n)
        if (rect.Contains(point) &&
            (layout[n].button.Contains(point) || layout[n].text.Contains(point)))
            return static_cast<int>(n);
    return -1;
}

// --- CGXRadioButton ---------------------------------------------------------------------------

int CGXRadioButton::IndexOf(const CGXStyle& style) {
    if (!style.GetIncludeValue() || style.GetValue().empty())
        return -1;
    return std::atoi(style.GetValue().c_str());
}

bool CGXRadioButton::Writable(const CGXStyle& style) {
    return !IsReadOnly() && !(style.GetIncludeReadOnly() && style.GetReadOnly());
}

int CGXRadioButton::HitTest(const CGXStyle& style, fw::Point point) {
    MeasureDC m(*m_pGrid, style);
    const std::string choices = style.GetIncludeChoiceList() ? style.GetChoiceList() : "";
    return GXHitTestRadioButtons(m.dc, GetCellRect(m_nRow, m_nCol, nullptr, &style), choices, point,
                                 Horizontal(style), TextRight(style));
}

fw::Size CGXRadioButton::CalcSize(fw::DeviceContext& dc, ROWCOL, ROWCOL, const CGXStyle& style,
                                  bool) {
    const std::optional<fw::LogFont> oldFont = m_pGrid->LoadFont(&dc, style);
    int width = 0;
    const std::vector<std::string> items =
        GXRadioItems(style.GetIncludeChoiceList() ? style.GetChoiceList() : "");
    for (const std::string& item : items) width = std::max(width, dc.GetTextExtent(item).cx);
    const int height = LineHeight(dc) * static_cast<int>(items.size());
    if (oldFont)
        dc.SelectFont(*oldFont);
    return AddBorders({width + 22, height + 4}, style);
}

void CGXRadioButton::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                          const CGXStyle& style, const CGXStyle* standardStyle) {
    const std::optional<fw::LogFont> oldFont = m_pGrid->LoadFont(&dc, style, standardStyle);
    const CGXProperties* props = m_pGrid->GetProperties();
    const bool bw = props && props->GetBlackWhite() && dc.IsPrinting();
    const COLORREF oldText = dc.SetTextColor(bw ? 0x000000 : style.GetTextColor() & 0xFFFFFFu);
    const COLORREF oldBk =
        dc.SetBkColor(bw ? 0xFFFFFF : style.GetInterior().GetColorResolved() & 0xFFFFFFu);
    DrawBackground(dc, rect, style, false);
    const int oldMode = dc.SetBkMode(fw::TRANSPARENT);
    const std::string choices = style.GetIncludeChoiceList() ? style.GetChoiceList() : "";
    m_nItemCount = GXDrawRadioButtons(dc, GetCellRect(row, col, &rect, &style), IndexOf(style),
                                      choices, m_b3d, Horizontal(style), TextRight(style));
    CGXControl::Draw(dc, rect, row, col, style, standardStyle);
    dc.SetBkMode(oldMode);
    dc.SetBkColor(oldBk);
    dc.SetTextColor(oldText);
    if (oldFont)
        dc.SelectFont(*oldFont);
}

bool CGXRadioButton::LButtonUp(unsigned flags, fw::Point point, unsigned hit) {
    if (!m_bInit)
        return false;
    FreeStyle(false);
    const CGXStyle& style = GetStyle();
    if (!Writable(style))
        return false;
    const int index = HitTest(style, point);
    const ROWCOL row = m_nRow, col = m_nCol;
    if (index >= 0 && index != IndexOf(style) && OnStartEditing()) {
        m_pGrid->SetValueRange(CGXRange(row, col), std::to_string(index), gxOverride, GX_UPDATENOW);
        FreeStyle(false);
    }
    if (index >= 0)
        m_pGrid->OnClickedButtonRowCol(row, col);
    CGXControl::LButtonUp(flags, point, hit);
    return true;
}

bool CGXRadioButton::ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) {
    if (CGXControl::ProcessKeys(message, key, repeat, flags))
        return true;
    if (message != fw::WM_CHAR || key != ' ' || !m_bInit)
        return false;
    FreeStyle(false);
    const CGXStyle& style = GetStyle();
    if (!Writable(style) || !OnStartEditing())
        return true;
    const int count = static_cast<int>(
        GXRadioItems(style.GetIncludeChoiceList() ? style.GetChoiceList() : "").size());
    int next = IndexOf(style) + 1;
    if (next >= count || next < 0)
        next = 0;
    m_pGrid->SetValueRange(CGXRange(m_nRow, m_nCol), std::to_string(next), gxOverride,
                           GX_UPDATENOW);
    FreeStyle(false);
    return true;
}

// --- CGXRadioButtonEx -------------------------------------------------------------------------

void CGXRadioButtonEx::AddUserAttributes(CGXStylesMap& map) {
    CGXStyle align;
    align.SetControl(52532).SetChoiceList("Vertical\nHorizontal");
    map.AddUserAttribute(GX_IDS_UA_RADIOBUTTON_ALIGN, &align);
    CGXStyle text;
    text.SetControl(52532).SetChoiceList("Left\nRight");
    map.AddUserAttribute(GX_IDS_UA_RADIOBUTTONTEXTALIGN, &text);
}

bool CGXRadioButtonEx::Horizontal(const CGXStyle& style) const {
    return Attr(style, GX_IDS_UA_RADIOBUTTON_ALIGN) == "1";
}

bool CGXRadioButtonEx::TextRight(const CGXStyle& style) const {
    return Attr(style, GX_IDS_UA_RADIOBUTTONTEXTALIGN) == "1";
}

fw::Size CGXRadioButtonEx::CalcSize(fw::DeviceContext& dc, ROWCOL, ROWCOL, const CGXStyle& style,
                                    bool heightOnly) {
    const std::optional<fw::LogFont> oldFont = m_pGrid->LoadFont(&dc, style);
    const std::vector<std::string> items =
        GXRadioItems(style.GetIncludeChoiceList() ? style.GetChoiceList() : "");
    const int step = CharStep(dc);
    const std::string textAlign = Attr(style, GX_IDS_UA_RADIOBUTTONTEXTALIGN);
    int width = 0;
    for (const std::string& item : items) {
        const int w = dc.GetTextExtent(item).cx + kButtonArea + (textAlign != "1" ? step + 3 : 2);
        width = Horizontal(style) ? width + w : std::max(width, w);
    }
    if (textAlign == "0")
        width -= step + 4;
    int height = LineHeight(dc);
    if (!Horizontal(style) && heightOnly)
        height *= static_cast<int>(items.size());
    if (oldFont)
        dc.SelectFont(*oldFont);
    return AddBorders({std::max(width, 0) + 4, height + 4}, style);
}

void CGXRadioButtonEx::Choose(const std::string& value) {
    m_pStyle->SetValue(value);
    m_pGrid->RedrawRowCol(CGXRange(m_nRow, m_nCol), GX_UPDATENOW);
    m_bModified = true;
    OnModifyCell();
}

bool CGXRadioButtonEx::LButtonUp(unsigned flags, fw::Point point, unsigned hit) {
    if (!m_bInit)
        return false;
    if (!m_bActive)
        FreeStyle(false);
    const CGXStyle& style = GetStyle();
    if (!Writable(style))
        return false;
    const int index = HitTest(style, point);
    if (index >= 0) {
        if (!m_bActive && OnStartEditing())
            SetActive(true);
        if (m_bActive && index != IndexOf(*m_pStyle))
            Choose(std::to_string(index));
        m_pGrid->OnClickedButtonRowCol(m_nRow, m_nCol);
    }
    CGXControl::LButtonUp(flags, point, hit);
    return true;
}

bool CGXRadioButtonEx::ProcessKeys(unsigned message, unsigned key, unsigned repeat,
                                   unsigned flags) {
    if (CGXControl::ProcessKeys(message, key, repeat, flags) || !m_bInit)
        return false;
    if (message == fw::WM_KEYDOWN && key == fw::VK_DELETE && m_bActive && m_pStyle) {
        Choose(std::string());
        return true;
    }
    if (message != fw::WM_CHAR || key != ' ')
        return false;
    if (!m_bActive) {
        if (!OnStartEditing())
            return false;
        SetActive(true);
    }
    GetStyle();
    if (Writable(*m_pStyle)) {
        const int count = static_cast<int>(
            GXRadioItems(m_pStyle->GetIncludeChoiceList() ? m_pStyle->GetChoiceList() : "").size());
        int next = IndexOf(*m_pStyle) + 1;
        if (next >= count || next < 0)
            next = 0;
        Choose(std::to_string(next));
    }
    return true;
}
