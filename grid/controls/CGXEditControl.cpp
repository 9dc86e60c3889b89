#include "grid/controls/CGXEditControl.h"

#include "framework/controls/ControlStyles.h"
#include "framework/persist/Clipboard.h"
#include "framework/window/Messages.h"
#include "framework/window/VirtualKeys.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXRange.h"
#include "grid/core/GXColor.h"
#include "grid/core/GXFlagScope.h"

#include <algorithm>
#include <cctype>

const CGXControlClassInfo CGXEditControl::kClassInfo{"CGXEditControl", &CGXStatic::kClassInfo};

namespace {

// The edit window counts positions in UTF-16 units; the texts here are UTF-8.
int UnitsOf(unsigned char lead) {
    return lead >= 0xF0 ? 2 : 1;
}

int UnitCount(std::string_view text) {
    int n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            n += UnitsOf(c);
    return n;
}

std::size_t ByteOffset(std::string_view text, int units) {
    std::size_t i = 0;
    while (i < text.size() && units > 0) {
        const auto c = static_cast<unsigned char>(text[i]);
        units -= UnitsOf(c);
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    }
    return i;
}

bool EqualAt(std::string_view text, std::size_t pos, std::string_view find, bool matchCase) {
    if (pos + find.size() > text.size())
        return false;
    for (std::size_t i = 0; i < find.size(); ++i) {
        const auto a = static_cast<unsigned char>(text[pos + i]);
        const auto b = static_cast<unsigned char>(find[i]);
        if (matchCase ? a != b : std::tolower(a) != std::tolower(b))
            return false;
    }
    return true;
}

bool CtrlHeld() {
    return fw::IsKeyDown(fw::VK_CONTROL);
}
bool ShiftHeld() {
    return fw::IsKeyDown(fw::VK_SHIFT);
}

}  // namespace

// --- the window side
// ------------------------------------------------------------------------------

fw::LRESULT CGXEditWnd::WindowProc(fw::Message& msg) {
    const unsigned key = static_cast<unsigned>(msg.wParam);
    const unsigned repeat = static_cast<unsigned>(msg.lParam & 0xFFFF);
    const unsigned flags = static_cast<unsigned>((msg.lParam >> 16) & 0xFFFF);
    switch (msg.id) {
        case fw::WM_KEYDOWN:
            return control_->OnEditKeyDown(key, repeat, flags);
        case fw::WM_KEYUP:
            return control_->OnEditKeyUp(key, repeat, flags);
        case fw::WM_CHAR:
            return control_->OnEditChar(key, repeat, flags);
        case fw::WM_SYSKEYDOWN:
        case fw::WM_SYSKEYUP:
        case fw::WM_SYSCHAR:
            return control_->OnEditForwardKey(msg.id, key, repeat, flags);
        default:
            return Default(msg);
    }
}

CGXEditControl::CGXEditControl(CGXGridCore* grid, unsigned id) : CGXStatic(grid), m_nId(id) {}

CGXEditControl::~CGXEditControl() {
    // A window destroyed with its parent grid window is not deleted twice.
    if (m_pWnd && !fw::Window::FromHandle(m_hWnd))
        static_cast<void>(m_pWnd.release());
}

fw::Window* CGXEditControl::GetWnd() const {
    return m_pWnd.get();
}

bool CGXEditControl::CreateEditWnd(fw::DWORD style, const fw::Rect* rect) {
    fw::Window* grid = m_pGrid->GridWnd();
    if (!grid)
        return false;
    auto wnd = std::make_unique<CGXEditWnd>(this);
    const fw::DWORD ex = m_bRtlReading ? 0x2000u : 0u;
    // A multi-line window scrolls by a bar of its own (m_bVertScrollBar keeps room for it).
    if (!(style & fw::ES_MULTILINE))
        style |= fw::ES_AUTOHSCROLL;
    if (!wnd->Create(style, rect ? *rect : fw::Rect{0, 0, 1, 1}, grid, m_nId))
        return false;
    if (ex)
        wnd->ModifyStyleEx(0, ex);
    wnd->ShowWindow(fw::SW_HIDE);
    m_hWnd = wnd->Handle();
    m_pWnd = std::move(wnd);
    return true;
}

fw::DWORD CGXEditControl::CalcEditStyle() {
    const CGXStyle& style = GetStyle();
    fw::DWORD s = 0;
    const unsigned align = style.GetHorizontalAlignment();
    if (align == fw::DT_RIGHT)
        s |= fw::ES_RIGHT;
    else if (align == fw::DT_CENTER)
        s |= fw::ES_CENTER;
    if (style.GetWrapText() || style.GetAllowEnter())
        s |= fw::ES_MULTILINE;
    return s;
}

// --- state and binding
// ----------------------------------------------------------------------------

void CGXEditControl::SetActive(bool active) {
    if (active && m_pWnd) {
        m_bActive = true;
        FreeStyle(true);
        GetStyle();
    } else {
        m_bActive = active && m_pWnd;
    }
}

void CGXEditControl::SetModify(bool modified) {
    if (m_pWnd)
        m_pWnd->SetModify(modified);
}

bool CGXEditControl::GetModify() {
    return m_pWnd && m_pWnd->GetModify();
}

void CGXEditControl::Init(ROWCOL row, ROWCOL col) {
    CGXControl::Init(row, col);
    if (!m_pWnd)
        CreateEditWnd(0, nullptr);
    const CGXStyle& style = GetStyle();
    m_bOption = style.GetIncludeAllowEnter() && style.GetAllowEnter();
    std::string value = m_pGrid->GetValueRowCol(row, col);
    if (CGXData* data = m_pGrid->GetData())
        data->GetExpressionAt(row, col, value);  // a formula is edited as its text
    SetValue(value);
    if (m_pWnd) {
        SetSel(0, -1);
        if (m_bActive)
            m_pWnd->LineScroll(255);
    }
    SetModify(false);
}

bool CGXEditControl::Store() {
    std::string text;
    if (!m_bInit || !GetModify() || !GetValue(text))
        return true;
    SetActive(false);
    FreeStyle(true);
    return m_pGrid->SetValueRange(CGXRange(m_nRow, m_nCol), text, gxOverride, 0);
}

// --- values
// ---------------------------------------------------------------------------------------

std::string CGXEditControl::GetWindowText() const {
    return m_pWnd ? m_pWnd->GetWindowText() : std::string();
}

void CGXEditControl::GetSel(int& start, int& end) const {
    start = end = 0;
    if (m_pWnd)
        m_pWnd->GetSel(start, end);
}

void CGXEditControl::SetSel(int start, int end) {
    if (m_pWnd)
        m_pWnd->SetSel(start, end);
}

void CGXEditControl::SetCaret(int index) {
    if (!m_pWnd)
        return;
    const int len = UnitCount(GetWindowText());
    const int at = index < 0 ? len : std::min(index, len);
    m_pWnd->SetSel(at, at);
}

void CGXEditControl::GetCurrentText(std::string& text) {
    text.clear();
    if (m_bActive && m_pWnd)
        text = GetWindowText();
    else if (m_bInit)
        GetControlText(text, m_nRow, m_nCol, nullptr, GetStyle());
}

void CGXEditControl::SetCurrentText(const std::string& text) {
    if (!m_bInit || !m_pWnd)
        return;
    if (!m_bActive)
        SetActive(true);
    if (ValidateText(text)) {
        m_pWnd->SetWindowText(text);
        SetModify(true);
        OnModifyCell();
    }
}

bool CGXEditControl::GetValue(std::string& text) {
    if (!m_bInit)
        return false;
    GetCurrentText(text);
    return true;
}

void CGXEditControl::SetValue(const std::string& text) {
    if (!m_pWnd)
        return;
    std::string shown = text;
    const CGXGridParam* param = m_pGrid->GetParam();
    if (!(param && (param->m_nEditFormat & 0x01)) && m_bInit)
        GetControlText(shown, m_nRow, m_nCol, &text, GetStyle());
    m_pWnd->SetWindowText(shown);
}

std::string CGXEditControl::TextWithSelectionReplaced(const std::string& text) const {
    const std::string window = GetWindowText();
    int start = 0, end = 0;
    GetSel(start, end);
    const std::size_t a = ByteOffset(window, std::min(start, end));
    const std::size_t b = ByteOffset(window, std::max(start, end));
    return window.substr(0, a) + text + window.substr(b);
}

bool CGXEditControl::GetSelection(std::string& text) {
    if (!m_bActive || !m_pWnd) {
        GetCurrentText(text);
        return false;
    }
    text = GetWindowText();
    int start = 0, end = 0;
    GetSel(start, end);
    if (start == end)
        return false;
    const std::size_t a = ByteOffset(text, std::min(start, end));
    const std::size_t b = ByteOffset(text, std::max(start, end));
    text = text.substr(a, b - a);
    return true;
}

void CGXEditControl::ReplaceSel(const std::string& text) {
    if (!m_bActive || !m_pWnd) {
        if (m_bInit && m_pGrid->IsCurrentCell(m_nRow, m_nCol))
            m_pGrid->SetControlTextRowCol(m_nRow, m_nCol, text, GX_UPDATENOW, m_pStyle.get());
        return;
    }
    if (IsReadOnly())
        return;
    SetModify(true);
    m_pWnd->ReplaceSel(text);
}

bool CGXEditControl::ReplaceAll(const std::string& find, const std::string& replacement,
                                bool matchCase, ROWCOL row, ROWCOL col) {
    if (find.empty())
        return false;
    std::string source;
    if (m_bActive && IsInitFor(row, col)) {
        const std::string window = GetWindowText();
        int start = 0, end = 0;
        GetSel(start, end);
        source = window.substr(ByteOffset(window, std::min(start, end)));
    } else {
        std::unique_ptr<CGXStyle> style = m_pGrid->CreateStyle();
        m_pGrid->ComposeStyleRowCol(row, col, style.get());
        GetControlText(source, row, col, nullptr, *style);
        m_pGrid->RecycleStyle(std::move(style));
    }
    // The result grows as it needs: no fixed work area to run past.
    std::string result;
    result.reserve(source.size());
    int replaced = 0;
    for (std::size_t i = 0; i < source.size();) {
        if (EqualAt(source, i, find, matchCase)) {
            result += replacement;
            i += find.size();
            ++replaced;
        } else {
            result += source[i++];
        }
    }
    if (replaced == 0)
        return false;
    m_pGrid->SetControlTextRowCol(row, col, result, GX_UPDATENOW, nullptr);
    return true;
}

bool CGXEditControl::ValidatePasteText(const std::string& text) {
    return ValidateText(TextWithSelectionReplaced(text));
}

bool CGXEditControl::Copy() {
    std::string text;
    if (!m_bActive || !GetSelection(text))
        return false;
    fw::Clipboard clip;
    return clip.IsOpen() && clip.Empty() && clip.SetText(text);
}

bool CGXEditControl::Cut() {
    if (!m_bActive || IsReadOnly() || !Copy())
        return false;
    ReplaceSel(std::string());
    return true;
}

bool CGXEditControl::Paste() {
    if (!m_bInit || !m_bActive || IsReadOnly())
        return false;
    std::optional<std::string> text;
    {
        fw::Clipboard clip;
        if (!clip.IsOpen())
            return false;
        text = clip.GetText();
    }
    if (!text)
        return false;
    // A pasted text is one line: the edit window shows no line breaks.
    std::string line = *text;
    line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
    std::replace(line.begin(), line.end(), '\n', ' ');
    if (m_nLimitText > 0 &&
        GXCharCount(TextWithSelectionReplaced(line)) > static_cast<std::size_t>(m_nLimitText))
        return true;
    if (ValidatePasteText(line))
        ReplaceSel(line);
    return true;
}

// --- drawing
// ---------------------------------------------------------------------------------------

void CGXEditControl::Hide() {
    if (m_pWnd)
        HideCellWindow(*m_pWnd);
}

void CGXEditControl::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                          const CGXStyle& style, const CGXStyle* standardStyle) {
    if (!IsInitFor(row, col) || !m_bActive || !m_pWnd || m_pGrid->IsPrinting()) {
        CGXStatic::Draw(dc, rect, row, col, style, standardStyle);
        DrawChildren(dc, rect, row, col, style);
        return;
    }
    // The text rectangle: one line high unless the text wraps, placed as the cell aligns.
    fw::Rect r = GetCellRect(row, col, &rect, &style);
    const std::optional<fw::LogFont> old = m_pGrid->LoadFont(&dc, style, standardStyle);
    const fw::TextMetrics tm = dc.GetTextMetrics();
    if (old)
        dc.SelectFont(*old);
    m_nLineHeight = tm.height + tm.externalLeading + 4;
    if (!style.GetWrapText()) {
        const unsigned valign = style.GetVerticalAlignment();
        if (valign == fw::DT_VCENTER) {
            const int free = r.Height() - m_nLineHeight;
            if (free > 0)
                r.top += free / 2;
        } else if (valign == fw::DT_BOTTOM && r.bottom - m_nLineHeight > r.top) {
            r.top = r.bottom - m_nLineHeight;
        }
        r.bottom = std::min(r.bottom, r.top + m_nLineHeight);
    }
    const unsigned halign = style.GetHorizontalAlignment();
    m_nAlignment = (halign == fw::DT_CENTER ? 1u : halign == fw::DT_RIGHT ? 2u : 0u);
    if (halign == fw::DT_RIGHT)
        r.right += 1;
    DrawBackground(dc, rect, style, true);
    m_rgbBackground = style.GetInterior().GetColorResolved() & 0xFFFFFFu;
    m_rgbText = GXResolveColor(style.GetTextColor()) & 0xFFFFFFu;
    // The window types in the font and colours the cell is drawn with, at the grid's zoom.
    const CGXStyle* fontStyle = style.GetIncludeFont() ? &style : standardStyle;
    if (fontStyle && fontStyle->GetIncludeFont())
        m_pWnd->SetFont(fontStyle->GetFont().GetLogFontZoomed(m_pGrid->GetZoom()));
    m_pWnd->SetColors(m_rgbText, m_rgbBackground);
    m_bRtlReading = std::atoi(style.GetUserAttribute(GX_IDS_UA_RTLREADING).GetValue().c_str()) != 0;
    fw::Window* grid = m_pGrid->GridWnd();
    if (!grid || grid->ScreenToClient(m_pWnd->GetWindowRect()) != r)
        m_pWnd->MoveWindow(r, false);
    const fw::DWORD esAlign = m_nAlignment == 2   ? fw::ES_RIGHT
                              : m_nAlignment == 1 ? fw::ES_CENTER
                                                  : 0u;
    if ((m_pWnd->GetStyle() & (fw::ES_CENTER | fw::ES_RIGHT)) != esAlign)
        m_pWnd->SetAlignment(esAlign);
    m_nLimitText = style.GetIncludeMaxLength() ? style.GetMaxLength() : 0;
    // Setting a limit or the read-only state again would reset the caret: only changes go.
    if (m_pWnd->GetLimitText() != m_nLimitText)
        m_pWnd->LimitText(m_nLimitText);
    m_pWnd->ShowWindow(fw::SW_SHOWNA);
    if (const bool readOnly = IsReadOnly(); readOnly != m_pWnd->IsReadOnly())
        m_pWnd->SetReadOnly(readOnly);
    TakeFocusFromGrid(*m_pWnd);
    DrawChildren(dc, rect, row, col, style);
    m_pGrid->m_coveredWindowRects.push_back(r);
}

// --- keys from the grid
// ------------------------------------------------------------------------------

bool CGXEditControl::ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) {
    if (CGXControl::ProcessKeys(message, key, repeat, flags))
        return true;
    switch (message) {
        case fw::WM_KEYDOWN:
            return OnGridKeyDown(key, repeat, flags);
        case fw::WM_CHAR: {
            std::string text;
            bool pending = false;
            unsigned lead = 0;
            if (GXCollectDbcsChar(key, text, pending, lead))
                return OnGridCharText(text, repeat, flags);
            return OnGridChar(key, repeat, flags);
        }
        default:
            return false;
    }
}

bool CGXEditControl::ActivateForEditing() {
    if (m_bActive)
        return true;
    if (!OnStartEditing())
        return false;
    SetActive(true);
    return true;
}

void CGXEditControl::FocusAndShow() {
    if (!m_pGrid->ScrollCellInView(m_nRow, m_nCol, GX_UPDATENOW))
        Refresh();
}

bool CGXEditControl::OnGridKeyDown(unsigned key, unsigned, unsigned) {
    if (!m_pWnd || !m_bInit || CtrlHeld())
        return false;
    switch (key) {
        case fw::VK_END:
        case fw::VK_HOME:
            if (!ActivateForEditing())
                return false;
            SetCaret(key == fw::VK_END ? -1 : 0);
            break;
        case fw::VK_DELETE: {
            const CGXGridParam* param = m_pGrid->GetParam();
            // A grid that clears cells itself (the selection with the current cell) keeps
            // Delete.
            if ((param && param->m_bDirectCutPaste) || m_pGrid->CanClear() || IsReadOnly() ||
                ShiftHeld() || !OnDeleteCell() || !ActivateForEditing())
                return false;
            m_pWnd->SetWindowText("");
            SetModify(true);
            OnModifyCell();
            break;
        }
        default:
            return false;
    }
    FocusAndShow();
    return true;
}

bool CGXEditControl::OnGridChar(unsigned ch, unsigned repeat, unsigned flags) {
    if (ch < 32 || ch == 127)
        return false;
    std::string text;
    bool pending = false;
    unsigned lead = 0;
    GXCollectDbcsChar(ch, text, pending, lead);
    return OnGridCharText(text, repeat, flags);
}

bool CGXEditControl::OnGridCharText(const std::string& text, unsigned, unsigned) {
    if (!m_pWnd || !m_bInit || IsReadOnly())
        return false;
    if (!m_bActive) {
        if (!ValidateText(text) || !OnStartEditing())
            return false;
        SetActive(true);
        // The typed text replaces the cell's text.
        SetCurrentText(text);
        SetCaret(-1);
        Refresh();
        return true;
    }
    const std::string result = TextWithSelectionReplaced(text);
    if (m_nLimitText > 0 && GXCharCount(result) > static_cast<std::size_t>(m_nLimitText))
        return true;
    if (ValidateText(result)) {
        GXFlagScope replacing(m_bReplacing, true);
        ReplaceSel(text);
    }
    return true;
}

// --- mouse
// ---------------------------------------------------------------------------------------------

int CGXEditControl::CalcCharFromPoint(fw::Point point) {
    if (!m_bInit)
        return -1;
    const CGXStyle& style = GetStyle();
    const fw::Rect r = GetCellRect(m_nRow, m_nCol, nullptr, &style);
    std::string text = m_bActive ? GetWindowText() : std::string();
    if (!m_bActive)
        GetControlText(text, m_nRow, m_nCol, nullptr, style);
    unsigned format =
        fw::DT_NOPREFIX | (style.GetWrapText() ? fw::DT_WORDBREAK : fw::DT_SINGLELINE);
    format |= style.GetVerticalAlignment() | style.GetHorizontalAlignment();
    fw::DeviceContext dc;
    dc.CreateCompatibleDC(nullptr);
    m_pGrid->LoadFont(&dc, style);
    const int byte = CGXDrawingAndFormatting::GetInstance().HitTestText(dc, text, r, format, point);
    if (byte < 0)
        return -1;
    return UnitCount(std::string_view(text).substr(0, static_cast<std::size_t>(byte)));
}

bool CGXEditControl::LButtonUp(unsigned flags, fw::Point point, unsigned hit) {
    if (!m_pWnd)
        return CGXStatic::LButtonUp(flags, point, hit);
    const CGXGridParam* param = m_pGrid->GetParam();
    const unsigned activate = param ? param->m_nActivateCell : 0;
    const int at = CalcCharFromPoint(point);
    if (((activate & 0x01) && at >= 0) || (activate & 0x06)) {
        if (ActivateForEditing()) {
            SetCaret(std::max(at, 0));
            Refresh();
        }
    }
    CGXControl::LButtonUp(flags, point, hit);
    return true;
}

bool CGXEditControl::LButtonDblClk(unsigned flags, fw::Point point) {
    const CGXGridParam* param = m_pGrid->GetParam();
    if (m_pWnd && !m_bActive && param && (param->m_nActivateCell & 0x08)) {
        if (ActivateForEditing()) {
            SetCaret(std::max(CalcCharFromPoint(point), 0));
            Refresh();
        }
        CGXControl::LButtonDblClk(flags, point);
        return true;
    }
    return CGXControl::LButtonDblClk(flags, point);
}

bool CGXEditControl::OnCommand(fw::WPARAM wParam, fw::LPARAM lParam) {
    if (!m_pWnd || fw::WindowHandle{static_cast<fw::WPARAM>(lParam)} != m_pWnd->Handle())
        return CGXControl::OnCommand(wParam, lParam);
    if (fw::HIWORD(wParam) == fw::EN_CHANGE && m_bActive)
        OnModifyCell();
    return true;
}

// --- keys in the edit window
// ---------------------------------------------------------------------------

fw::LRESULT CGXEditControl::OnEditForwardKey(unsigned message, unsigned key, unsigned repeat,
                                             unsigned flags) {
    return m_pGrid->ProcessKeys(m_pWnd.get(), message, key, repeat, flags) ? 1 : 0;
}

fw::LRESULT CGXEditControl::OnEditKeyDown(unsigned key, unsigned repeat, unsigned flags) {
    if (!m_bActive || CtrlHeld())
        return OnEditForwardKey(fw::WM_KEYDOWN, key, repeat, flags);
    if (key == fw::VK_CONTROL || key == fw::VK_SHIFT)
        return 0;
    m_pGrid->ScrollCellInView(m_nRow, m_nCol, GX_UPDATENOW);
    const std::string text = GetWindowText();
    const int len = UnitCount(text);
    int start = 0, end = 0;
    GetSel(start, end);
    const bool multi = (m_pWnd->GetStyle() & fw::ES_MULTILINE) != 0;
    bool window = true;  // the window handles the key itself
    switch (key) {
        case fw::VK_RETURN:
            window = (m_pWnd->GetStyle() & fw::ES_WANTRETURN) != 0;
            break;
        case fw::VK_LEFT:
            window = m_bRtlReading ? start < len : end > 0;
            break;
        case fw::VK_RIGHT:
            window = m_bRtlReading ? end > 0 : start < len;
            break;
        case fw::VK_UP:
            window = multi && text.find('\n') < ByteOffset(text, start);
            break;
        case fw::VK_DOWN:
            window = multi && text.find('\n', ByteOffset(text, end)) != std::string::npos;
            break;
        case fw::VK_INSERT:
            if (ShiftHeld()) {
                Paste();
                return 1;
            }
            break;
        case fw::VK_DELETE:
            if (ShiftHeld() && start != end) {
                Cut();
                return 1;
            }
            break;
        case fw::VK_TAB:
        case fw::VK_ESCAPE:
        case fw::VK_PRIOR:
        case fw::VK_NEXT:
            window = false;
            break;
        default:
            window = !(key >= fw::VK_F1 && key <= fw::VK_F24);
            break;
    }
    if (window)
        return 0;
    return OnEditForwardKey(fw::WM_KEYDOWN, key, repeat, flags);
}

fw::LRESULT CGXEditControl::OnEditKeyUp(unsigned key, unsigned repeat, unsigned flags) {
    return OnEditForwardKey(fw::WM_KEYUP, key, repeat, flags);
}

bool CGXEditControl::OnKeyFilter(unsigned ch, unsigned, unsigned) {
    m_sPendingText.clear();
    if (!m_bInit || !m_bActive || !m_pWnd || IsReadOnly() || (m_pWnd->GetStyle() & fw::ES_READONLY))
        return false;
    m_pGrid->ScrollCellInView(m_nRow, m_nCol, GX_UPDATENOW);
    if (CtrlHeld()) {
        switch (ch) {
            case 3:
                Copy();
                return false;
            case 22:
                Paste();
                return false;
            case 24:
                Cut();
                return false;
            case 10:
                if (GetStyle().GetIncludeAllowEnter() && GetStyle().GetAllowEnter())
                    m_sPendingText = "\r\n";
                break;
            default:
                return true;
        }
    } else if (ch == 13) {
        if (m_pWnd->GetStyle() & fw::ES_WANTRETURN)
            m_sPendingText = "\n";
        else
            return false;
    } else if (ch < 32) {
        return true;  // control characters (Backspace) are the window's
    } else {
        bool pending = false;
        unsigned lead = 0;
        GXCollectDbcsChar(ch, m_sPendingText, pending, lead);
    }
    if (m_sPendingText.empty())
        return false;
    const std::string result = TextWithSelectionReplaced(m_sPendingText);
    if (m_nLimitText > 0 && GXCharCount(result) > static_cast<std::size_t>(m_nLimitText)) {
        m_sPendingText.clear();
    } else if (!ValidateText(result)) {
        OnInvalidChar(m_sPendingText);
        m_sPendingText.clear();
    }
    return false;
}

fw::LRESULT CGXEditControl::OnEditChar(unsigned ch, unsigned repeat, unsigned flags) {
    if (OnKeyFilter(ch, repeat, flags)) {
        // The window types it (Backspace) once the grid has seen the character.
        m_pGrid->ProcessKeys(m_pWnd.get(), fw::WM_CHAR, ch, repeat, flags);
        return 0;
    }
    if (!m_sPendingText.empty()) {
        GXFlagScope replacing(m_bReplacing, true);
        const std::string text = std::move(m_sPendingText);
        m_sPendingText.clear();
        ReplaceSel(text);
        if (m_bCaretToStart) {
            m_bCaretToStart = false;
            SetCaret(0);
            if (fw::Window* grid = m_pGrid->GridWnd())
                grid->UpdateWindow();
        }
    }
    return 1;
}
