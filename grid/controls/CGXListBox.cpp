#include "grid/controls/CGXListBox.h"

#include "framework/controls/ControlStyles.h"
#include "framework/window/Messages.h"
#include "framework/window/SystemMetrics.h"
#include "framework/window/VirtualKeys.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXRange.h"
#include "grid/core/GXChoiceList.h"
#include "grid/core/GXFlagScope.h"

#include <algorithm>

const CGXControlClassInfo CGXListBox::kClassInfo{"CGXListBox", &CGXControl::kClassInfo};

// --- the window side
// ------------------------------------------------------------------------------

fw::LRESULT CGXListBoxWnd::WindowProc(fw::Message& msg) {
    const unsigned key = static_cast<unsigned>(msg.wParam);
    const unsigned repeat = static_cast<unsigned>(msg.lParam & 0xFFFF);
    const unsigned flags = static_cast<unsigned>((msg.lParam >> 16) & 0xFFFF);
    switch (msg.id) {
        case fw::WM_KEYDOWN:
            return control_->OnListKeyDown(key, repeat, flags);
        case fw::WM_KEYUP:
        case fw::WM_CHAR:
        case fw::WM_SYSKEYDOWN:
        case fw::WM_SYSKEYUP:
        case fw::WM_SYSCHAR:
            // The grid first; a key it does not take gets the list's own processing.
            return control_->OnListForwardKey(msg.id, key, repeat, flags);
        default:
            return fw::ListBox::WindowProc(msg);
    }
}

fw::LRESULT CGXListBox::OnListForwardKey(unsigned message, unsigned key, unsigned repeat,
                                         unsigned flags) {
    return m_pGrid->ProcessKeys(m_pWnd.get(), message, key, repeat, flags) ? 1 : 0;
}

fw::LRESULT CGXListBox::OnListKeyDown(unsigned key, unsigned repeat, unsigned flags) {
    if (m_bInit)
        m_pGrid->ScrollCellInView(m_nRow, m_nCol, GX_UPDATENOW);
    const bool grid = fw::IsKeyDown(fw::VK_CONTROL) || key == fw::VK_TAB || key == fw::VK_RETURN ||
                      key == fw::VK_ESCAPE || key == fw::VK_LEFT || key == fw::VK_RIGHT ||
                      key == fw::VK_DELETE || (key >= fw::VK_F1 && key <= fw::VK_F24);
    if (!grid)
        return 0;  // Up, Down, the page keys, Home and End move in the list
    m_pGrid->ProcessKeys(m_pWnd.get(), fw::WM_KEYDOWN, key, repeat, flags);
    return 1;
}

// --- the control
// ----------------------------------------------------------------------------------

CGXListBox::CGXListBox(CGXGridCore* grid, unsigned id) : CGXControl(grid), m_nId(id) {}

CGXListBox::~CGXListBox() {
    if (m_pWnd && !fw::Window::FromHandle(m_hWnd))
        static_cast<void>(m_pWnd.release());  // gone with the grid window
}

fw::Window* CGXListBox::GetWnd() const {
    return m_pWnd.get();
}

int CGXListBox::Margin() {
    const int half = fw::GetSystemMetrics(fw::SM_CXFRAME) / 2;
    return half >= 3 ? half : 2;
}

bool CGXListBox::CreateListBox() {
    fw::Window* grid = m_pGrid->GridWnd();
    if (!grid)
        return false;
    auto wnd = std::make_unique<CGXListBoxWnd>(this);
    // The list scrolls by bars of its own, shown as its lines need them.
    if (!wnd->Create(fw::LBS_NOTIFY, {0, 0, 1, 1}, grid, m_nId))
        return false;
    wnd->ShowWindow(fw::SW_HIDE);
    m_hWnd = wnd->Handle();
    m_pWnd = std::move(wnd);
    return true;
}

void CGXListBox::Init(ROWCOL row, ROWCOL col) {
    CGXControl::Init(row, col);
    if (!m_pWnd)
        CreateListBox();
    GetStyle();
    SetActive(false);
    m_bModified = false;
}

std::vector<std::string> CGXListBox::Lines(const CGXStyle& style) {
    std::vector<std::string> lines;
    if (!style.GetIncludeChoiceList())
        return lines;
    std::string list = style.GetChoiceList(), line;
    while (!list.empty()) {
        const int more = GXExtractLine(list, line);
        lines.push_back(line);
        if (more < 0)
            break;
    }
    return lines;
}

void CGXListBox::FillListBox() {
    if (!m_pWnd || !m_bInit)
        return;
    // Filling is not the user's choice: the cell stays unmodified.
    GXFlagScope filling(m_bFilling, true);
    m_pWnd->ResetContent();
    const CGXStyle& style = GetStyle();
    for (const std::string& line : Lines(style)) m_pWnd->AddString(line);
    std::string text;
    if (GetControlText(text, m_nRow, m_nCol, nullptr, style) && !text.empty())
        m_pWnd->SetCurSel(m_pWnd->FindStringExact(-1, text) >= 0 ? m_pWnd->FindStringExact(-1, text)
                                                                 : m_pWnd->FindString(-1, text));
}

bool CGXListBox::Store() {
    if (!m_bInit)
        return true;
    if (IsReadOnly()) {
        Init(m_nRow, m_nCol);
        m_bModified = false;
        Refresh();
    }
    SetActive(false);
    if (!m_bModified || !m_pWnd)
        return true;
    const int sel = m_pWnd->GetCurSel();
    const std::string text = sel >= 0 ? m_pWnd->GetText(sel) : std::string();
    m_bModified = false;
    return m_pGrid->SetValueRange(CGXRange(m_nRow, m_nCol), text, gxOverride, GX_INVALIDATE);
}

fw::Rect CGXListBox::GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect,
                                 const CGXStyle* style) {
    fw::Rect r = CGXControl::GetCellRect(row, col, rect, style);
    const int m = Margin();
    r.left += m;
    r.right -= m / 2;
    return r;
}

fw::Size CGXListBox::AddBorders(fw::Size size, const CGXStyle& style) {
    size.cx += Margin() + Margin() / 2;
    return m_pGrid->AddBorders(size, style);
}

void CGXListBox::Hide() {
    if (m_pWnd)
        HideCellWindow(*m_pWnd);
}

void CGXListBox::GetCurrentText(std::string& text) {
    if (m_bActive && m_pWnd) {
        const int sel = m_pWnd->GetCurSel();
        text = sel >= 0 ? m_pWnd->GetText(sel) : std::string();
        return;
    }
    CGXControl::GetCurrentText(text);
}

void CGXListBox::SetCurrentText(const std::string& text) {
    if (!m_bInit || !m_pWnd)
        return;
    SetActive(true);
    if (!ValidateText(text))
        return;
    {
        GXFlagScope filling(m_bFilling, true);
        m_pWnd->SetCurSel(m_pWnd->FindStringExact(-1, text));
    }
    m_bModified = true;
    OnModifyCell();
}

int CGXListBox::LineHeight(fw::DeviceContext& dc) const {
    const fw::TextMetrics tm = dc.GetTextMetrics();
    return std::max(1, tm.height + tm.externalLeading);
}

int CGXListBox::FirstDrawnLine(const std::vector<std::string>& lines, const std::string& value,
                               int lineHeight, const fw::Rect& text) const {
    const auto it = std::find(lines.begin(), lines.end(), value);
    if (value.empty() || it == lines.end())
        return 0;
    const int index = static_cast<int>(it - lines.begin());
    // Skip lines until the value's line ends inside the cell.
    const int fit = std::max(1, text.Height() / lineHeight);
    return std::max(0, index - fit + 1);
}

void CGXListBox::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                      const CGXStyle& style, const CGXStyle* standardStyle) {
    const CGXProperties* props = m_pGrid->GetProperties();
    const bool blackWhite = m_pGrid->IsPrinting() && props && props->GetBlackWhite();
    if (IsInitFor(row, col) && m_bActive && m_pWnd && !m_pGrid->IsPrinting()) {
        m_rgbBackground = style.GetInterior().GetColorResolved() & 0xFFFFFFu;
        DrawBackground(dc, rect, style, true);
        fw::Rect r = GetCellRect(row, col, &rect, &style);
        if (style.GetHorizontalAlignment() == fw::DT_RIGHT)
            r.right += 1;
        fw::Window* grid = m_pGrid->GridWnd();
        const bool shown = m_pWnd->IsWindowVisible();
        if (!grid || grid->ScreenToClient(m_pWnd->GetWindowRect()) != r)
            m_pWnd->MoveWindow(r, false);
        if (!shown) {
            FillListBox();
            m_pWnd->ShowWindow(fw::SW_SHOWNA);
        }
        TakeFocusFromGrid(*m_pWnd);
        m_pGrid->m_coveredWindowRects.push_back(r);
        CGXControl::Draw(dc, rect, row, col, style, standardStyle);
        return;
    }
    if (rect.Width() <= 1 || rect.Height() <= 1)
        return;
    const std::optional<fw::LogFont> oldFont = m_pGrid->LoadFont(&dc, style, standardStyle);
    const COLORREF oldText =
        dc.SetTextColor(blackWhite ? 0 : GXResolveColor(style.GetTextColor()) & 0xFFFFFFu);
    DrawBackground(dc, rect, style, false);
    const int oldMode = dc.SetBkMode(fw::TRANSPARENT);
    const fw::Rect text = GetCellRect(row, col, &rect, &style);
    const unsigned format = style.GetHorizontalAlignment() | fw::DT_SINGLELINE | fw::DT_NOPREFIX;
    const int h = LineHeight(dc);
    const std::vector<std::string> lines = Lines(style);
    const std::string value = style.GetIncludeValue() ? style.GetValue() : std::string();
    fw::Rect line{text.left + 2, text.top, text.right, text.top + h};
    for (std::size_t i = static_cast<std::size_t>(FirstDrawnLine(lines, value, h, text));
         i < lines.size() && line.bottom <= text.bottom; ++i) {
        fw::Rect r = line;
        dc.DrawText(lines[i], r, format);
        if (!value.empty() && lines[i] == value)
            dc.InvertRect({text.left, line.top, text.right, line.bottom});
        line.top += h;
        line.bottom += h;
    }
    dc.SetBkMode(oldMode);
    dc.SetTextColor(oldText);
    if (oldFont)
        dc.SelectFont(*oldFont);
    CGXControl::Draw(dc, rect, row, col, style, standardStyle);
}

bool CGXListBox::ActivateAt(fw::Point point) {
    if (m_bActive)
        return true;
    if (!OnStartEditing())
        return false;
    // The line under the pointer as the inactive cell showed it.
    const CGXStyle& style = GetStyle();
    const std::vector<std::string> lines = Lines(style);
    fw::DeviceContext dc;
    dc.CreateCompatibleDC(nullptr);
    m_pGrid->LoadFont(&dc, style);
    const int h = LineHeight(dc);
    const fw::Rect text = GetCellRect(m_nRow, m_nCol, nullptr, &style);
    const int first =
        FirstDrawnLine(lines, style.GetIncludeValue() ? style.GetValue() : std::string(), h, text);
    const int index = first + (point.y - text.top) / h;
    SetActive(true);
    Refresh();
    if (m_pGrid->GridWnd())
        m_pGrid->GridWnd()->UpdateWindow();
    // A click on a line is the user's choice.
    if (m_pWnd && point.y >= text.top && index < m_pWnd->GetCount() &&
        index != m_pWnd->GetCurSel() && !IsReadOnly()) {
        m_pWnd->SetCurSel(index);
        m_bModified = true;
        OnModifyCell();
    }
    return true;
}

bool CGXListBox::LButtonUp(unsigned flags, fw::Point point, unsigned hit) {
    const CGXGridParam* param = m_pGrid->GetParam();
    if ((flags & fw::MK_RBUTTON) || !param || !(param->m_nActivateCell & 0x07) || !m_bInit)
        return true;
    if (!ActivateAt(point))
        return false;
    CGXControl::LButtonUp(flags, point, hit);
    return true;
}

bool CGXListBox::LButtonDblClk(unsigned flags, fw::Point point) {
    const CGXGridParam* param = m_pGrid->GetParam();
    if (m_bInit && !m_bActive && param && (param->m_nActivateCell & 0x08)) {
        if (!ActivateAt(point))
            return false;
        CGXControl::LButtonDblClk(flags, point);
        return true;
    }
    return CGXControl::LButtonDblClk(flags, point);
}

bool CGXListBox::ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) {
    if (CGXControl::ProcessKeys(message, key, repeat, flags))
        return true;
    if (message != fw::WM_KEYDOWN || !m_bInit || !m_pWnd)
        return false;
    // Keys that leave or end the edit stay the grid's, as in the list window.
    if (fw::IsKeyDown(fw::VK_CONTROL) || key == fw::VK_TAB || key == fw::VK_RETURN ||
        key == fw::VK_ESCAPE || key == fw::VK_LEFT || key == fw::VK_RIGHT || key == fw::VK_DELETE ||
        (key >= fw::VK_F1 && key <= fw::VK_F24) || m_bActive)
        return false;
    GetStyle();
    if (!OnStartEditing())
        return false;
    SetActive(true);
    if (!m_pGrid->ScrollCellInView(m_nRow, m_nCol, GX_UPDATENOW))
        Refresh();
    return true;
}

bool CGXListBox::OnCommand(fw::WPARAM wParam, fw::LPARAM lParam) {
    if (!m_pWnd || fw::WindowHandle{static_cast<fw::WPARAM>(lParam)} != m_pWnd->Handle())
        return CGXControl::OnCommand(wParam, lParam);
    if (fw::HIWORD(wParam) == fw::LBN_SELCHANGE && !m_bFilling && m_bInit && !IsReadOnly()) {
        m_bModified = true;
        OnModifyCell();
    }
    return true;
}
