#include "grid/controls/CGXControl.h"

#include "framework/window/SystemMetrics.h"
#include "framework/window/Window.h"
#include "grid/controls/CGXCellTip.h"
#include "grid/controls/CGXChild.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/GXDrawHelpers.h"
#include "grid/core/GXFlagScope.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

const CGXControlClassInfo CGXControl::kClassInfo{"CGXControl", nullptr};
const CGXControlClassInfo CGXStatic::kClassInfo{"CGXStatic", &CGXControl::kClassInfo};

CGXControl::~CGXControl() = default;

// --- children ------------------------------------------------------------------------------------

CGXChild* CGXControl::AddChild(std::unique_ptr<CGXChild> child) {
    m_children.push_back(std::move(child));
    return m_children.back().get();
}

std::unique_ptr<CGXChild> CGXControl::RemoveChild(CGXChild* child) {
    for (auto it = m_children.begin(); it != m_children.end(); ++it) {
        if (it->get() != child)
            continue;
        std::unique_ptr<CGXChild> taken = std::move(*it);
        m_children.erase(it);
        if (m_pActiveChild == child)
            m_pActiveChild = nullptr;
        return taken;
    }
    return nullptr;
}

CGXChild* CGXControl::GetChild(int index) const {
    if (index < 0 || index >= GetChildCount())
        return nullptr;
    return m_children[static_cast<std::size_t>(index)].get();
}

void CGXControl::OnClickedButton(CGXChild*) {
    if (m_bInit)
        m_pGrid->OnClickedButtonRowCol(m_nRow, m_nCol);
}

void CGXControl::DrawChildren(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                              const CGXStyle& style) {
    if (m_children.empty())
        return;
    const fw::Rect inner = GetCellRect(row, col, &rect, &style);
    OnInitChildren(row, col, inner);
    const bool focus =
        m_pGrid->IsCurrentCell(row, col) && m_pGrid->m_bGridHasFocus && !m_pGrid->IsPrinting();
    for (auto& child : m_children) child->Draw(dc, focus, style);
    // The children keep the bound cell's places: a press or a refresh finds them there.
    if (m_bInit && !IsInitFor(row, col))
        InitChildrenForMouse();
}

fw::Rect CGXControl::InitChildrenForMouse() {
    if (!m_bInit)
        return {};
    const fw::Rect inner = GetCellRect(m_nRow, m_nCol);
    OnInitChildren(m_nRow, m_nCol, inner);
    return inner;
}

bool CGXControl::ButtonDownToChild(bool (CGXChild::*down)(unsigned, fw::Point), unsigned flags,
                                   fw::Point point) {
    if (m_children.empty())
        return false;
    InitChildrenForMouse();
    for (auto& child : m_children) {
        if (child->HitTest(point)) {
            m_pActiveChild = child.get();
            return (child.get()->*down)(flags, point);
        }
    }
    return false;
}

bool CGXControl::DblClkToChildren(bool (CGXChild::*dbl)(unsigned, fw::Point), unsigned flags,
                                  fw::Point point) {
    if (m_children.empty())
        return false;
    InitChildrenForMouse();
    for (auto& child : m_children) {
        if (!child->HitTest(point))
            continue;
        m_pActiveChild = child.get();
        if ((child.get()->*dbl)(flags, point))
            return true;
    }
    return false;
}

bool CGXControl::MouseMove(unsigned flags, fw::Point point) {
    if (!m_pActiveChild)
        return false;
    InitChildrenForMouse();
    return m_pActiveChild->MouseMove(flags, point);
}

bool CGXControl::LButtonDown(unsigned flags, fw::Point point, unsigned) {
    return ButtonDownToChild(&CGXChild::LButtonDown, flags, point);
}

bool CGXControl::LButtonUp(unsigned flags, fw::Point point, unsigned) {
    const fw::Rect inner = InitChildrenForMouse();
    bool handled = m_pActiveChild && m_pActiveChild->LButtonUp(flags, point);
    // The core leaves the click of a bound cell to its control.
    if (m_bInit && inner.Contains(point))
        handled = m_pGrid->OnCellClicked(m_nRow, m_nCol, flags, point) || handled;
    return handled;
}

bool CGXControl::LButtonDblClk(unsigned flags, fw::Point point) {
    return DblClkToChildren(&CGXChild::LButtonDblClk, flags, point);
}

bool CGXControl::MButtonDown(unsigned flags, fw::Point point, unsigned) {
    return ButtonDownToChild(&CGXChild::MButtonDown, flags, point);
}

bool CGXControl::MButtonUp(unsigned flags, fw::Point point, unsigned) {
    InitChildrenForMouse();
    return m_pActiveChild && m_pActiveChild->MButtonUp(flags, point);
}

bool CGXControl::MButtonDblClk(unsigned flags, fw::Point point) {
    return DblClkToChildren(&CGXChild::MButtonDblClk, flags, point);
}

bool CGXControl::RButtonDown(unsigned flags, fw::Point point, unsigned) {
    return ButtonDownToChild(&CGXChild::RButtonDown, flags, point);
}

bool CGXControl::RButtonUp(unsigned flags, fw::Point point, unsigned) {
    InitChildrenForMouse();
    return m_pActiveChild && m_pActiveChild->RButtonUp(flags, point);
}

bool CGXControl::RButtonDblClk(unsigned flags, fw::Point point) {
    return DblClkToChildren(&CGXChild::RButtonDblClk, flags, point);
}

bool CGXControl::ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) {
    return m_pActiveChild && m_pActiveChild->OnKeyMessage(message, key, repeat, flags);
}

bool CGXControl::OnCancelMode() {
    for (auto& child : m_children) child->OnCancelMode();
    return false;
}

bool CGXControl::OnTimer(unsigned id) {
    return m_pActiveChild && m_pActiveChild->OnTimer(id);
}

bool CGXControl::OnSysColorChange() {
    for (auto& child : m_children) child->OnSysColorChange();
    return false;
}

bool CGXControl::OnSettingsChange() {
    for (auto& child : m_children) child->OnWinIniChange();
    return false;
}

bool CGXControl::IsKindOfControlClass(const CGXControlClassInfo& info) const {
    for (const CGXControlClassInfo* c = &GetControlClass(); c; c = c->base)
        if (c == &info || std::strcmp(c->name, info.name) == 0)
            return true;
    return false;
}

// --- binding -------------------------------------------------------------------------------------

void CGXControl::Init(ROWCOL row, ROWCOL col) {
    m_nRow = row;
    m_nCol = col;
    m_bInit = true;
    SetActive(false);
    SetModify(false);
    FreeStyle(false);
    m_pGrid->OnInitCurrentCell(row, col);
    if (m_pGrid->GetParam() && (m_pGrid->GetParam()->m_nActivateCell & 0x04) && OnStartEditing())
        SetActive(true);
}

void CGXControl::Reset() {
    Hide();
    SetModify(false);
    SetActive(false);
    FreeStyle(true);
    m_bInit = false;
    m_nRow = m_nCol = GX_INVALID;
}

const CGXStyle& CGXControl::GetStyle() {
    if (!m_pStyle)
        m_pStyle = m_pGrid->LookupStyleRowCol(m_nRow, m_nCol).Clone();
    return *m_pStyle;
}

void CGXControl::FreeStyle(bool) {
    m_pStyle.reset();
}

bool CGXControl::OnValidate() {
    if (IsActive() && GetModify()) {
        std::string text;
        GetCurrentText(text);
        if (!text.empty()) {
            const CGXStyle& style = m_pGrid->LookupStyleRowCol(m_nRow, m_nCol);
            const std::string min = style.GetUserAttribute(GX_IDS_UA_VALID_MIN).GetValue();
            const std::string max = style.GetUserAttribute(GX_IDS_UA_VALID_MAX).GetValue();
            const double value = std::atof(text.c_str());
            if ((!min.empty() && value < std::atof(min.c_str())) ||
                (!max.empty() && value > std::atof(max.c_str()))) {
                m_pGrid->SetWarningText(style.GetUserAttribute(GX_IDS_UA_VALID_MSG).GetValue());
                return false;
            }
        }
        if (!ValidateText(text))
            return false;
    }
    return m_pGrid->OnValidateCell(m_nRow, m_nCol);
}

bool CGXControl::OnStartEditing() {
    if (!m_bInit || !m_pGrid->OnStartEditing(m_nRow, m_nCol))
        return false;
    m_pGrid->ScrollCellInView(m_nRow, m_nCol, GX_UPDATENOW);
    return true;
}

bool CGXControl::OnModifyCell() {
    return GetModify() && m_pGrid->OnModifyCell(m_nRow, m_nCol);
}

bool CGXControl::OnCancelEditing() {
    return m_pGrid->OnCancelEditing(m_nRow, m_nCol);
}

void CGXControl::OnCanceledEditing() {
    m_pGrid->OnCanceledEditing(m_nRow, m_nCol);
}

bool CGXControl::OnEndEditing() {
    return m_pGrid->OnEndEditing(m_nRow, m_nCol);
}

bool CGXControl::OnLeftCell(ROWCOL newRow, ROWCOL newCol) {
    return m_pGrid->OnLeftCell(m_nRow, m_nCol, newRow, newCol);
}

bool CGXControl::OnDeleteCell() {
    return m_pGrid->OnDeleteCell(m_nRow, m_nCol);
}

bool CGXControl::Refresh() {
    if (!m_bInit)
        return false;
    Hide();
    if (fw::Window* wnd = m_pGrid->GridWnd()) {
        const fw::Rect r = IsActive() ? m_pGrid->CalcRectFromRowColEx(m_nRow, m_nCol)
                                      : m_pGrid->CalcRectFromRowCol(m_nRow, m_nCol);
        if (!r.IsEmpty())
            wnd->InvalidateRect(r);
    }
    return true;
}

unsigned CGXControl::NeedCellTip(ROWCOL row, ROWCOL col, const CGXStyle& style) {
    return m_pCellTip ? m_pCellTip->NeedTip(row, col, style) : 0;
}

unsigned CGXControl::GetCellTipKind(ROWCOL row, ROWCOL col, const CGXStyle& style) {
    return m_pCellTip ? m_pCellTip->GetTipKind(row, col, style) : 0x7FFFFFFFu;
}

void CGXControl::InitCellTip(ROWCOL row, ROWCOL col, const CGXStyle& style, CGXCellTipWnd* wnd) {
    if (m_pCellTip)
        m_pCellTip->InitTipWnd(row, col, style, wnd);
}

void CGXControl::AttachCellTips() {
    if (!m_pCellTip)
        m_pCellTip.reset(new CGXCellTipStatic(this));  // NOLINT: held with its own deleter
}

void CGXCellTipDeleter::operator()(CGXCellTipBase* tip) const {
    delete tip;
}

bool CGXControl::IsReadOnly() {
    if (m_bInit)
        GetStyle();
    if (m_pGrid->QueryReadOnly())
        return true;
    return m_pStyle && m_pStyle->GetIncludeReadOnly() && m_pStyle->GetReadOnly();
}

// --- geometry and drawing
// ---------------------------------------------------------------------------

fw::Rect CGXControl::GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect,
                                 const CGXStyle* style) {
    if (!style)
        style = &m_pGrid->LookupStyleRowCol(row, col);
    fw::Rect r = rect ? *rect : m_pGrid->CalcRectFromRowCol(row, col);
    m_pGrid->SubtractBorders(r, *style, true);
    if (m_pGrid->GetDisplayVertLines() && col > m_pGrid->GetHeaderCols() &&
        col == m_pGrid->GetFrozenCols() && col != 0 && !style->HasBorder(gxBorderRight))
        r.right -= 1;
    if (m_pGrid->GetDisplayHorzLines() && row > m_pGrid->GetHeaderRows() &&
        row == m_pGrid->GetFrozenRows() && row != 0 && !style->HasBorder(gxBorderBottom))
        r.bottom -= 1;
    return r;
}

fw::Size CGXControl::AddBorders(fw::Size size, const CGXStyle& style) {
    return m_pGrid->AddBorders(size, style);
}

fw::Size CGXControl::CalcSize(fw::DeviceContext& dc, ROWCOL row, ROWCOL col, const CGXStyle& style,
                              const CGXStyle*, bool heightOnly) {
    CGXAbstractCalcSizeImp* imp = m_pGrid->GetCalcSizeImp();
    return imp ? imp->CalcSize(m_pGrid, this, dc, row, col, style, heightOnly) : fw::Size{};
}

void CGXControl::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                      const CGXStyle& style, const CGXStyle*) {
    DrawChildren(dc, rect, row, col, style);
}

void CGXControl::DrawFrame(fw::DeviceContext& dc, const fw::Rect& rect) {
    const CGXGridParam* param = m_pGrid->GetParam();
    if (param) {
        const std::uint32_t mode = param->m_nHideCurrentCell;
        if (mode != 0 && mode != 2)
            return;
        if (mode == 2 && !m_pGrid->m_bGridHasFocus)
            return;
    }
    // The frame the user chose in the grid's properties ("Current Cell."); a text that names
    // none of the choices is drawn as "Invert Thin.".
    std::string choice;
    if (const CGXProperties* props = m_pGrid->GetProperties()) {
        const auto it = props->m_userProperties.find(GX_IDS_UA_CURRENTCELL);
        if (it != props->m_userProperties.end() && it->second.style &&
            it->second.style->GetIncludeValue())
            choice = it->second.style->GetValue();
    }
    if (choice == "No Border.")
        return;
    if (choice == "Thin Border." || choice == "Thick Border.") {
        const CGXPen pen(fw::PS_SOLID, choice == "Thin Border." ? 1 : 2, 0);
        for (int side : {gxBorderTop, gxBorderBottom, gxBorderLeft, gxBorderRight})
            m_pGrid->DrawCellBorder(pen, rect, side, &dc, nullptr);
        return;
    }
    // Bands along the edges, inverted (one pixel, two for "Invert Thick.").
    const int w = choice == "Invert Thick." ? 2 : 1;
    dc.InvertRect({rect.left, rect.top, rect.left + w, rect.bottom});
    dc.InvertRect({rect.right - w, rect.top, rect.right, rect.bottom});
    dc.InvertRect({rect.left + w, rect.top, rect.right - w, rect.top + w});
    dc.InvertRect({rect.left + w, rect.bottom - w, rect.right - w, rect.bottom});
}

void CGXControl::DrawBackground(fw::DeviceContext& dc, const fw::Rect& rect, const CGXStyle& style,
                                bool erase) {
    if (erase)
        m_pGrid->DrawBrushRect(&dc, rect, style.GetInterior());
    Draw3dFrame(dc, rect, style);
}

void CGXControl::Draw3dFrame(fw::DeviceContext& dc, const fw::Rect& rect, const CGXStyle& style) {
    const CGXProperties* props = m_pGrid->GetProperties();
    if (m_pGrid->IsPrinting() && props && props->GetBlackWhite())
        return;
    if (!style.GetIncludeDraw3dFrame())
        return;
    const unsigned kind = style.GetDraw3dFrame();
    if (kind != 1 && kind != 2)
        return;
    fw::Rect r = m_pGrid->GetCellRectInset(rect, style, true);
    const COLORREF light = GXGetSysColor(fw::COLOR_BTNHIGHLIGHT) & 0xFFFFFFu;
    const COLORREF dark = 0;
    CGXDrawingAndFormatting::GetInstance().DrawFrame(dc, r.left - 1, r.top - 1, r.right + 1,
                                                     r.bottom + 1, 1, kind == 1 ? light : dark,
                                                     kind == 1 ? dark : light);
}

// --- values and texts --------------------------------------------------------------------------

void CGXControl::GetCurrentText(std::string& text) {
    text.clear();
    if (m_pStyle && m_pStyle->GetIncludeValue()) {
        text = m_pStyle->GetValue();
        return;
    }
    if (m_bInit)
        GetControlText(text, m_nRow, m_nCol, nullptr, GetStyle());
}

void CGXControl::SetCurrentText(const std::string& text) {
    if (m_bInit)
        m_pGrid->SetControlTextRowCol(m_nRow, m_nCol, text, GX_UPDATENOW, m_pStyle.get());
}

bool CGXControl::GetValue(std::string& text) {
    if (!m_bInit)
        return false;
    const CGXStyle& style = GetStyle();
    if (!style.GetIncludeValue())
        return false;
    text = style.GetValue();
    return true;
}

void CGXControl::SetValue(const std::string& text) {
    if (!m_bInit)
        return;
    GetStyle();
    m_pStyle->SetValue(text);
}

bool CGXControl::GetControlText(std::string& text, ROWCOL, ROWCOL, const std::string* valueText,
                                const CGXStyle& style) {
    const bool formatted = style.GetIncludeFormat() && (style.GetFormat() & 0x1F) != 0;
    if (valueText) {
        text = formatted ? GXFormatText(style, valueText) : *valueText;
        return true;
    }
    if (!style.GetIncludeValue())
        return false;
    text = formatted ? GXFormatText(style) : style.GetValue();
    return true;
}

bool CGXControl::SetControlText(ROWCOL row, ROWCOL col, const std::string& text, unsigned flags,
                                const CGXStyle* style) {
    std::unique_ptr<CGXStyle> made;
    if (!style) {
        made = m_pGrid->CreateStyle();
        m_pGrid->ComposeStyleRowCol(row, col, made.get());
        style = made.get();
    }
    std::string value = text;
    bool result = ConvertControlTextToValue(value, row, col, style);
    if (result &&
        (m_pGrid->QueryReadOnly() || (style->GetIncludeReadOnly() && style->GetReadOnly())))
        result = false;
    if (result) {
        // The limit counts characters: a character is never cut in the middle.
        if (style->GetIncludeMaxLength() && style->GetMaxLength() != 0)
            value = GXLeftChars(value, style->GetMaxLength());
        result = m_pGrid->SetValueRange(CGXRange(row, col), value, gxOverride, flags);
    }
    if (made)
        m_pGrid->RecycleStyle(std::move(made));
    return result;
}

std::size_t GXCharCount(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

std::string GXLeftChars(std::string_view text, std::size_t count) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (chars == count)
            return std::string(text.substr(0, i));
        ++chars;
    }
    return std::string(text);
}

namespace {
// Takes the first line off `list` (CR, LF or CR LF ends it); FALSE when the list had no break.
bool ExtractLine(std::string& list, std::string& line) {
    const std::size_t end = list.find_first_of("\r\n");
    if (end == std::string::npos) {
        line = list;
        list.clear();
        return false;
    }
    line = list.substr(0, end);
    std::size_t next = end + 1;
    if (list[end] == '\r' && next < list.size() && list[next] == '\n')
        ++next;
    list.erase(0, next);
    return true;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
}  // namespace

bool CGXControl::GetChoiceListItem(std::string& text, const std::string& choiceList, int index) {
    text.clear();
    if (choiceList.empty() || index < 0)
        return false;
    std::string list = choiceList, line;
    for (int i = 0;; ++i) {
        const bool more = ExtractLine(list, line);
        if (i == index) {
            text = line;
            return true;
        }
        if (!more || list.empty())
            return false;
    }
}

int CGXControl::FindStringInChoiceList(std::string& out, const std::string& text,
                                       const std::string& choiceList, bool exact) {
    out.clear();
    if (text.empty())
        return -1;
    std::string list = choiceList, line, prefixLine;
    int prefixIndex = -1;
    for (int i = 0; !list.empty(); ++i) {
        const bool more = ExtractLine(list, line);
        if (EqualNoCase(line, text)) {
            out = line;
            return i;
        }
        if (!exact && prefixIndex < 0 && line.size() >= text.size() &&
            EqualNoCase(std::string_view(line).substr(0, text.size()), text)) {
            prefixIndex = i;
            prefixLine = line;
        }
        if (!more)
            break;
    }
    if (exact || prefixIndex < 0)
        return -1;
    out = prefixLine;
    return prefixIndex;
}

// --- the active cell's own window
// -----------------------------------------------------------------

void CGXControl::HideCellWindow(fw::Window& wnd) {
    if (!wnd.IsWindowVisible())
        return;
    GXFlagScope noFocus(m_pGrid->m_bNoFocusChange, true);
    fw::Window* grid = m_pGrid->GridWnd();
    if (grid && fw::Window::GetFocus() == &wnd)
        grid->SetFocus();
    wnd.ShowWindow(fw::SW_HIDE);
}

void CGXControl::TakeFocusFromGrid(fw::Window& wnd) {
    fw::Window* grid = m_pGrid->GridWnd();
    if (grid && fw::Window::GetFocus() == grid) {
        GXFlagScope noFocus(m_pGrid->m_bNoFocusChange, true);
        wnd.SetFocus();
    }
}

// --- static text ---------------------------------------------------------------------------------

int CGXStatic::TextMargin() {
    const int half = fw::GetSystemMetrics(fw::SM_CXFRAME) / 2;
    return half >= 3 ? half : 2;
}

fw::Rect CGXStatic::GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect,
                                const CGXStyle* style) {
    if (!style)
        style = &m_pGrid->LookupStyleRowCol(row, col);
    fw::Rect r = CGXControl::GetCellRect(row, col, rect, style);
    const int m = TextMargin();
    r.left += m;
    r.right -= style->GetHorizontalAlignment() == fw::DT_RIGHT ? m + 1 : m / 2;
    return r;
}

fw::Size CGXStatic::AddBorders(fw::Size size, const CGXStyle& style) {
    size.cx += 2 * TextMargin() + 1;
    return m_pGrid->AddBorders(size, style);
}

void CGXStatic::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                     const CGXStyle& style, const CGXStyle* standardStyle) {
    const fw::Rect inner = GetCellRect(row, col, &rect, &style);
    if (inner.IsEmpty())
        return;
    Draw3dFrame(dc, rect, style);
    // Most cells of a large grid are empty: nothing to measure or draw.
    if (!style.GetIncludeValue() || style.GetValue().empty())
        return;
    const std::optional<fw::LogFont> oldFont = m_pGrid->LoadFont(&dc, style, standardStyle);
    const CGXProperties* props = m_pGrid->GetProperties();
    const bool blackWhite = m_pGrid->IsPrinting() && props && props->GetBlackWhite();
    const COLORREF oldColor = dc.SetTextColor(blackWhite ? 0 : style.GetTextColor() & 0xFFFFFFu);
    const int oldMode = dc.SetBkMode(fw::TRANSPARENT);
    CGXDrawingAndFormatting::GetInstance().DrawControlText(*this, dc, inner, row, col, style);
    dc.SetBkMode(oldMode);
    dc.SetTextColor(oldColor);
    if (oldFont)
        dc.SelectFont(*oldFont);
}
