#include "grid/controls/CGXRichEditCtrl.h"

#include "framework/controls/ControlStyles.h"
#include "framework/window/SystemMetrics.h"
#include "framework/window/VirtualKeys.h"
#include "framework/window/WindowStyles.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRange.h"
#include "grid/core/GXFlagScope.h"

#include <QString>

#include <algorithm>

const CGXControlClassInfo CGXRichEditCtrl::kClassInfo{"CGXRichEditCtrl", &CGXControl::kClassInfo};

namespace {

constexpr fw::Rect kOffScreen{30000, 30000, 30100, 30100};

bool CtrlHeld() {
    return fw::IsKeyDown(fw::VK_CONTROL);
}

fw::RichAlign ToWindowAlign(GXRichAlign a) {
    return a == GXRichAlign::Center  ? fw::RichAlign::Center
           : a == GXRichAlign::Right ? fw::RichAlign::Right
                                     : fw::RichAlign::Left;
}

GXRichAlign FromWindowAlign(fw::RichAlign a) {
    return a == fw::RichAlign::Center  ? GXRichAlign::Center
           : a == fw::RichAlign::Right ? GXRichAlign::Right
                                       : GXRichAlign::Left;
}

std::string ValueOf(const CGXStyle& style) {
    return style.GetIncludeValue() ? style.GetValue() : std::string();
}

// The text with the character's text put in place of the selection.
std::string WithSelectionReplaced(const fw::RichEdit& wnd, const std::string& insert) {
    const QString text = QString::fromStdString(wnd.GetWindowText());
    int start = 0, end = 0;
    wnd.GetSel(start, end);
    QString result = text;
    result.replace(start, end - start, QString::fromStdString(insert));
    return result.toStdString();
}

}  // namespace

// --- the window ----------------------------------------------------------------------------------

fw::LRESULT CGXRichEditWnd::WindowProc(fw::Message& msg) {
    const auto key = static_cast<unsigned>(msg.wParam);
    const auto repeat = static_cast<unsigned>(msg.lParam & 0xFFFF);
    const auto flags = static_cast<unsigned>((msg.lParam >> 16) & 0xFFFF);
    switch (msg.id) {
        case fw::WM_KEYDOWN:
            return control_->OnEditKeyDown(key, repeat, flags);
        case fw::WM_CHAR:
            return control_->OnEditChar(key, repeat, flags);
        case fw::WM_KEYUP:
        case fw::WM_SYSKEYDOWN:
        case fw::WM_SYSKEYUP:
        case fw::WM_SYSCHAR:
            return control_->OnEditForwardKey(msg.id, key, repeat, flags);
        default:
            return Default(msg);
    }
}

// --- documents
// -------------------------------------------------------------------------------------

std::vector<fw::RichParagraph> CGXRichEditCtrl::ToWindow(const GXRichDocument& doc) {
    std::vector<fw::RichParagraph> out;
    for (const GXRichParagraph& p : doc.paragraphs) {
        fw::RichParagraph q;
        q.align = ToWindowAlign(p.align);
        for (const GXRichRun& r : p.runs) {
            fw::RichCharFormat f;
            f.bold = r.format.bold;
            f.italic = r.format.italic;
            f.underline = r.format.underline;
            f.strikeOut = r.format.strikeOut;
            f.face = r.format.face;
            f.sizeTwips = r.format.sizeTwips;
            f.color = r.format.color;
            q.runs.push_back({r.text, f});
        }
        out.push_back(std::move(q));
    }
    return out;
}

GXRichDocument CGXRichEditCtrl::FromWindow(const std::vector<fw::RichParagraph>& paragraphs) {
    GXRichDocument doc;
    for (const fw::RichParagraph& q : paragraphs) {
        GXRichParagraph p;
        p.align = FromWindowAlign(q.align);
        for (const fw::RichRun& r : q.runs) {
            GXRichCharFormat f;
            f.bold = r.format.bold;
            f.italic = r.format.italic;
            f.underline = r.format.underline;
            f.strikeOut = r.format.strikeOut;
            f.face = r.format.face;
            f.sizeTwips = r.format.sizeTwips;
            f.color = r.format.color;
            p.runs.push_back({r.text, f});
        }
        doc.paragraphs.push_back(std::move(p));
    }
    return doc;
}

// --- the control
// -----------------------------------------------------------------------------------

CGXRichEditCtrl::CGXRichEditCtrl(CGXGridCore* grid) : CGXControl(grid) {}

CGXRichEditCtrl::~CGXRichEditCtrl() = default;

bool CGXRichEditCtrl::CreateWindows() {
    if (m_pWnd)
        return true;
    fw::Window* grid = m_pGrid->GridWnd();
    if (!grid)
        return false;
    auto wnd = std::make_unique<CGXRichEditWnd>(this);
    if (!wnd->Create(fw::ES_MULTILINE, {0, 0, 10, 10}, grid, GX_IDS_CTRL_RICHEDIT))
        return false;
    wnd->ShowWindow(fw::SW_HIDE);
    auto draw = std::make_unique<fw::RichEdit>();
    if (!draw->Create(fw::ES_MULTILINE, kOffScreen, grid, 0))
        return false;
    draw->ShowWindow(fw::SW_HIDE);
    m_pWnd = std::move(wnd);
    m_pDrawWnd = std::move(draw);
    return true;
}

void CGXRichEditCtrl::ApplyDefaultFont(fw::RichEdit& wnd, const CGXStyle& style) {
    if (style.GetIncludeFont())
        wnd.SetDefaultFont(style.GetFont().GetLogFontZoomed(m_pGrid->GetZoom()));
}

void CGXRichEditCtrl::Init(ROWCOL row, ROWCOL col) {
    CGXControl::Init(row, col);
    FreeStyle(false);
    if (!CreateWindows())
        return;
    const CGXStyle& style = GetStyle();
    GXFlagScope quiet(m_bQuiet, true);
    ApplyDefaultFont(*m_pWnd, style);
    SetValue(ValueOf(style));
    m_pWnd->SetSel(0, -1);
    m_pWnd->SetModify(false);
    m_nRememberedRowHeight = m_bRememberRowHeight ? m_pGrid->GetRowHeight(row) : 0;
}

void CGXRichEditCtrl::Reset() {
    Hide();
    m_bActive = false;
    CGXControl::Reset();
}

void CGXRichEditCtrl::SetActive(bool active) {
    m_bActive = active && m_pWnd != nullptr;
    if (!m_bActive)
        Hide();
}

void CGXRichEditCtrl::SetModify(bool modified) {
    if (m_pWnd)
        m_pWnd->SetModify(modified);
}

bool CGXRichEditCtrl::GetModify() {
    return m_pWnd && m_pWnd->GetModify();
}

void CGXRichEditCtrl::Hide() {
    if (m_pWnd)
        HideCellWindow(*m_pWnd);
}

void CGXRichEditCtrl::SetValue(const std::string& value) {
    if (!m_pWnd)
        return;
    GXFlagScope quiet(m_bQuiet, true);
    m_pWnd->SetContent(ToWindow(GXReadRichText(value)));
}

bool CGXRichEditCtrl::GetValue(std::string& value) {
    if (!m_bInit)
        return false;
    if (m_bActive && m_pWnd)
        value = GXWriteRichText(FromWindow(m_pWnd->GetContent()));
    else
        value = ValueOf(GetStyle());
    return true;
}

bool CGXRichEditCtrl::Store() {
    std::string value;
    if (!m_pStyle || !GetModify() || !GetValue(value))
        return true;
    SetActive(false);
    SetModify(false);
    return m_pGrid->SetValueRange(CGXRange(m_nRow, m_nCol), value, gxOverride, GX_INVALIDATE);
}

bool CGXRichEditCtrl::GetControlText(std::string& text, ROWCOL, ROWCOL,
                                     const std::string* valueText, const CGXStyle& style) {
    const std::string value = valueText ? *valueText : ValueOf(style);
    text = value.empty() ? std::string() : GXRichPlainText(value);
    return !value.empty();
}

void CGXRichEditCtrl::GetCurrentText(std::string& text) {
    text.clear();
    if (m_bActive && m_pWnd)
        text = m_pWnd->GetWindowText();
    else if (m_bInit)
        GetControlText(text, m_nRow, m_nCol, nullptr, GetStyle());
}

void CGXRichEditCtrl::GetSelectedText(std::string& text) {
    if (m_bActive && m_pWnd) {
        text = m_pWnd->GetSelText();
        if (text.empty())
            text = m_pWnd->GetWindowText();
        return;
    }
    GetCurrentText(text);
}

void CGXRichEditCtrl::SetCurrentText(const std::string& text) {
    if (!m_bInit || !m_pWnd || !ValidateText(text) || !Activate())
        return;
    {
        GXFlagScope quiet(m_bQuiet, true);
        m_pWnd->SetContent(ToWindow(GXReadRichText(GXWrapPlainText(text))));
    }
    m_pWnd->SetModify(true);
    OnModifyCell();
}

bool CGXRichEditCtrl::ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                                const CGXStyle* style) {
    std::unique_ptr<CGXStyle> composed;
    if (!style) {
        composed = m_pGrid->CreateStyle();
        m_pGrid->ComposeStyleRowCol(row, col, composed.get());
        style = composed.get();
    }
    if (style->GetIncludeMaxLength() && style->GetMaxLength() != 0)
        text = GXLeftChars(text, style->GetMaxLength());
    text = GXWrapPlainText(text);
    if (composed)
        m_pGrid->RecycleStyle(std::move(composed));
    return true;
}

bool CGXRichEditCtrl::SetControlText(ROWCOL row, ROWCOL col, const std::string& text,
                                     unsigned flags, const CGXStyle* style) {
    std::unique_ptr<CGXStyle> composed;
    if (!style) {
        composed = m_pGrid->CreateStyle();
        m_pGrid->ComposeStyleRowCol(row, col, composed.get());
        style = composed.get();
    }
    // The length limit applies to the text before it is wrapped, never to the document.
    std::string value = text;
    bool result = ConvertControlTextToValue(value, row, col, style) && !m_pGrid->QueryReadOnly() &&
                  !(style->GetIncludeReadOnly() && style->GetReadOnly());
    if (result)
        result = m_pGrid->SetValueRange(CGXRange(row, col), value, gxOverride, flags);
    if (composed)
        m_pGrid->RecycleStyle(std::move(composed));
    return result;
}

unsigned CGXRichEditCtrl::StyleToFormats(const CGXStyle& style, fw::RichCharFormat& format,
                                         fw::RichAlign& align, bool& hasAlign) {
    unsigned mask = 0;
    format = {};
    hasAlign = style.GetIncludeHorizontalAlignment();
    const unsigned h = hasAlign ? style.GetHorizontalAlignment() : fw::DT_LEFT;
    align = h == fw::DT_CENTER  ? fw::RichAlign::Center
            : h == fw::DT_RIGHT ? fw::RichAlign::Right
                                : fw::RichAlign::Left;
    if (style.GetIncludeFont()) {
        const CGXFont& font = style.GetFont();
        if (font.GetIncludeWeight()) {
            mask |= fw::CFM_BOLD;
            format.bold = font.GetWeight() >= 700;
        }
        if (font.GetIncludeItalic()) {
            mask |= fw::CFM_ITALIC;
            format.italic = font.GetItalic();
        }
        if (font.GetIncludeUnderline()) {
            mask |= fw::CFM_UNDERLINE;
            format.underline = font.GetUnderline();
        }
        if (font.GetIncludeStrikeOut()) {
            mask |= fw::CFM_STRIKEOUT;
            format.strikeOut = font.GetStrikeOut();
        }
        if (font.GetIncludeFaceName() && font.GetFaceName()) {
            mask |= fw::CFM_FACE;
            format.face = font.GetFaceName();
        }
        if (font.GetIncludeSize()) {
            mask |= fw::CFM_SIZE;
            format.sizeTwips = static_cast<int>(font.GetSize() * 20 + 0.5);
        }
    }
    if (style.GetIncludeTextColor()) {
        mask |= fw::CFM_COLOR;
        format.color = style.GetTextColor() & 0xFFFFFFu;
    }
    return mask;
}

bool CGXRichEditCtrl::StoreStyleRowCol(ROWCOL row, ROWCOL col, const CGXStyle& style,
                                       GXModifyType type) {
    fw::RichCharFormat format;
    fw::RichAlign align = fw::RichAlign::Left;
    bool hasAlign = false;
    const unsigned mask = StyleToFormats(style, format, align, hasAlign);
    if (type == gxExclude || (mask == 0 && !hasAlign) || !CreateWindows())
        return m_pGrid->SetStyleRange(CGXRange(row, col), &style, type);
    std::unique_ptr<CGXStyle> rest = style.Clone();
    rest->SetIncludeFont(false).SetIncludeHorizontalAlignment(false).SetIncludeTextColor(false);
    if (IsInitFor(row, col) && m_bActive && m_pGrid->IsCurrentCell(row, col)) {
        m_pWnd->SetCharFormat(format, mask);
        if (hasAlign)
            m_pWnd->SetAlignment(align);
        m_pWnd->SetModify(true);
        OnModifyCell();
    } else {
        std::string value;
        if (style.GetIncludeValue()) {
            value = style.GetValue();
        } else {
            const std::unique_ptr<CGXStyle> cell = m_pGrid->CreateStyle();
            m_pGrid->ComposeStyleRowCol(row, col, cell.get());
            value = ValueOf(*cell);
        }
        m_pDrawWnd->SetContent(ToWindow(GXReadRichText(value)));
        m_bDrawValueSet = false;
        m_pDrawWnd->SetCharFormat(format, mask, true);
        if (hasAlign)
            m_pDrawWnd->SetAlignment(align, true);
        // The document replaces the value whatever the modify type says of the rest.
        rest->SetIncludeValue(false);
        if (!m_pGrid->SetValueRange(CGXRange(row, col),
                                    GXWriteRichText(FromWindow(m_pDrawWnd->GetContent())),
                                    gxOverride, GX_INVALIDATE))
            return false;
    }
    return rest->IsEmpty() || m_pGrid->SetStyleRange(CGXRange(row, col), rest.get(), type);
}

// --- size and drawing
// ------------------------------------------------------------------------------

fw::Size CGXRichEditCtrl::AddBorders(fw::Size size, const CGXStyle& style) {
    const int m = std::max(2, fw::GetSystemMetrics(fw::SM_CXFRAME) / 2);
    size.cx += m + m / 2;
    return m_pGrid->AddBorders(size, style);
}

fw::Size CGXRichEditCtrl::CalcSize(fw::DeviceContext&, ROWCOL row, ROWCOL col,
                                   const CGXStyle& style, bool) {
    if (!CreateWindows())
        return {0, 0};
    const fw::Rect inner = GetCellRect(row, col, nullptr, &style);
    ApplyDefaultFont(*m_pDrawWnd, style);
    const std::string value = ValueOf(style);
    m_pDrawWnd->SetContent(ToWindow(GXReadRichText(value)));
    m_bDrawValueSet = false;  // the drawing window now holds this value without the cache
    const int width = std::max(1, inner.Width());
    return AddBorders({width, m_pDrawWnd->RequiredHeight(width) + 1}, style);
}

void CGXRichEditCtrl::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                           const CGXStyle& style, const CGXStyle* standardStyle) {
    const fw::Rect inner = GetCellRect(row, col, &rect, &style);
    if (IsInitFor(row, col) && m_bActive && m_pWnd && !m_pGrid->IsPrinting()) {
        GXFlagScope quiet(m_bQuiet, true);
        DrawBackground(dc, rect, style, true);
        m_pWnd->MoveWindow(inner, false);
        m_pWnd->SetBackgroundColor(style.GetInterior().GetColorResolved() & 0xFFFFFFu);
        m_bGrow = style.GetIncludeAutoSize() && style.GetAutoSize();
        if (const bool readOnly = IsReadOnly(); readOnly != m_pWnd->IsReadOnly())
            m_pWnd->SetReadOnly(readOnly);
        m_pWnd->LimitText(style.GetIncludeMaxLength() ? style.GetMaxLength() : 0);
        m_pWnd->ShowWindow(fw::SW_SHOWNA);
        TakeFocusFromGrid(*m_pWnd);
        DrawChildren(dc, rect, row, col, style);
        m_pGrid->m_coveredWindowRects.push_back(inner);
        return;
    }
    DrawBackground(dc, rect, style, false);
    const std::string value = ValueOf(style);
    if (inner.Width() < 2 || inner.Height() < 2 || value.empty() || !CreateWindows()) {
        DrawChildren(dc, rect, row, col, style);
        return;
    }
    ApplyDefaultFont(*m_pDrawWnd,
                     standardStyle && !style.GetIncludeFont() ? *standardStyle : style);
    if (!m_bDrawValueSet || m_sDrawValue != value) {
        m_pDrawWnd->SetContent(ToWindow(GXReadRichText(value)));
        m_sDrawValue = value;
        m_bDrawValueSet = true;
    }
    m_pDrawWnd->SetBackgroundColor(style.GetInterior().GetColorResolved() & 0xFFFFFFu);
    m_pDrawWnd->Render(dc, inner);
    DrawChildren(dc, rect, row, col, style);
}

void CGXRichEditCtrl::GrowRow() {
    if (m_bQuiet || !m_bInit || !m_bActive || !m_bGrow || !m_pWnd ||
        !m_pGrid->IsCurrentCell(m_nRow, m_nCol))
        return;
    GXFlagScope quiet(m_bQuiet, true);
    const fw::Rect inner = GetCellRect(m_nRow, m_nCol);
    const int need =
        AddBorders({inner.Width(), m_pWnd->RequiredHeight(std::max(1, inner.Width()))}, GetStyle())
            .cy +
        1;
    const int height = m_pGrid->GetRowHeight(m_nRow);
    if (need > height) {
        // No higher than the grid shows below the rows above the cell.
        fw::Window* grid = m_pGrid->GridWnd();
        const fw::Rect cell = m_pGrid->CalcRectFromRowCol(m_nRow, m_nCol);
        const int limit = grid ? std::max(0, grid->GetClientRect().bottom - cell.top - 1) : need;
        if (height < limit) {
            m_pGrid->SetRowHeight(m_nRow, m_nRow, std::min(need, limit));
            m_pGrid->ScrollCellInView(m_nRow, m_nCol, GX_UPDATENOW);
        }
    } else if (need < height && m_bRememberRowHeight) {
        const int shrunk = std::max(need, m_nRememberedRowHeight);
        if (shrunk < height)
            m_pGrid->SetRowHeight(m_nRow, m_nRow, shrunk);
    }
}

// --- editing -----------------------------------------------------------------------------------

bool CGXRichEditCtrl::Activate() {
    if (m_bActive)
        return true;
    if (!m_pWnd || !OnStartEditing())
        return false;
    SetActive(true);
    return true;
}

bool CGXRichEditCtrl::OnCommand(fw::WPARAM wParam, fw::LPARAM) {
    if (m_pWnd && fw::LOWORD(wParam) == GX_IDS_CTRL_RICHEDIT &&
        fw::HIWORD(wParam) == fw::EN_CHANGE && m_bActive && !m_bQuiet) {
        OnModifyCell();
        GrowRow();
    }
    return false;
}

bool CGXRichEditCtrl::ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) {
    if (CGXControl::ProcessKeys(message, key, repeat, flags))
        return true;
    if (!m_bInit || !m_pWnd || m_bActive)
        return false;
    if (message == fw::WM_KEYDOWN)
        return OnGridKeyDown(key);
    if (message == fw::WM_CHAR && key >= 32 && key != 127) {
        std::string text;
        const auto c = static_cast<char32_t>(key);
        text = QString::fromUcs4(&c, 1).toStdString();
        return OnGridCharText(text);
    }
    return false;
}

bool CGXRichEditCtrl::OnGridKeyDown(unsigned key) {
    if (CtrlHeld())
        return false;
    switch (key) {
        case fw::VK_END:
        case fw::VK_HOME:
            if (!Activate())
                return false;
            m_pWnd->SetSel(key == fw::VK_END ? m_pWnd->GetTextLength() : 0,
                           key == fw::VK_END ? m_pWnd->GetTextLength() : 0);
            break;
        case fw::VK_DELETE:
            if (fw::IsKeyDown(fw::VK_SHIFT) || IsReadOnly() || !OnDeleteCell() || !Activate())
                return false;
            {
                GXFlagScope quiet(m_bQuiet, true);
                m_pWnd->SetContent({});
            }
            m_pWnd->SetModify(true);
            OnModifyCell();
            break;
        default:
            return false;
    }
    if (!m_pGrid->ScrollCellInView(m_nRow, m_nCol, GX_UPDATENOW))
        Refresh();
    return true;
}

bool CGXRichEditCtrl::OnGridCharText(const std::string& text) {
    if (IsReadOnly() || !ValidateText(text))
        return false;
    SetCurrentText(text);
    if (!m_bActive)
        return false;
    m_pWnd->SetSel(m_pWnd->GetTextLength(), m_pWnd->GetTextLength());
    if (!m_pGrid->ScrollCellInView(m_nRow, m_nCol, GX_UPDATENOW))
        Refresh();
    return true;
}

bool CGXRichEditCtrl::LButtonUp(unsigned flags, fw::Point point, unsigned hit) {
    const bool handled = CGXControl::LButtonUp(flags, point, hit);
    if (!m_bInit || !m_pWnd || m_bActive || IsReadOnly() || !Activate())
        return handled;
    m_pWnd->SetSel(m_pWnd->GetTextLength(), m_pWnd->GetTextLength());
    Refresh();
    return true;
}

bool CGXRichEditCtrl::LButtonDblClk(unsigned flags, fw::Point point) {
    if (!m_bInit || !m_pWnd || m_bActive)
        return CGXControl::LButtonDblClk(flags, point);
    return LButtonUp(flags, point, 0);
}

fw::LRESULT CGXRichEditCtrl::OnEditForwardKey(unsigned message, unsigned key, unsigned repeat,
                                              unsigned flags) {
    return m_pGrid->ProcessKeys(m_pWnd.get(), message, key, repeat, flags) ? 1 : 0;
}

fw::LRESULT CGXRichEditCtrl::OnEditKeyDown(unsigned key, unsigned repeat, unsigned flags) {
    if (!m_bActive)
        return OnEditForwardKey(fw::WM_KEYDOWN, key, repeat, flags);
    const bool ctrl = CtrlHeld();
    int start = 0, end = 0;
    m_pWnd->GetSel(start, end);
    bool window = true;
    switch (key) {
        case fw::VK_ESCAPE:
        case fw::VK_TAB:
        case fw::VK_PRIOR:
        case fw::VK_NEXT:
            window = false;
            break;
        case fw::VK_RETURN:
            window = ctrl || (GetStyle().GetIncludeAllowEnter() && GetStyle().GetAllowEnter());
            break;
        case fw::VK_LEFT:
            window = ctrl || start > 0;
            break;
        case fw::VK_RIGHT:
            window = ctrl || end < m_pWnd->GetTextLength();
            break;
        case fw::VK_UP:
            window = ctrl || m_pWnd->LineFromChar(start) >= 1;
            break;
        case fw::VK_DOWN:
            window = ctrl || m_pWnd->LineFromChar(end) < m_pWnd->GetLineCount() - 1;
            break;
        case 'C':
        case 'V':
        case 'X':
            window = !ctrl;  // the grid's copy, paste and cut
            break;
        default:
            window = !(key >= fw::VK_F1 && key <= fw::VK_F24);
            break;
    }
    if (window)
        return 0;
    m_pGrid->ScrollCellInView(m_nRow, m_nCol, GX_UPDATENOW);
    return OnEditForwardKey(fw::WM_KEYDOWN, key, repeat, flags);
}

fw::LRESULT CGXRichEditCtrl::OnEditChar(unsigned ch, unsigned repeat, unsigned flags) {
    if (!m_bInit || !m_bActive || m_pWnd->IsReadOnly())
        return 1;
    if (ch == '\r' && GetStyle().GetIncludeAllowEnter() && GetStyle().GetAllowEnter())
        return 0;  // a new paragraph
    if (ch < 32 || ch == 127)
        return ch == '\r' || ch == '\t' || ch == 27
                   ? OnEditForwardKey(fw::WM_CHAR, ch, repeat, flags)
                   : 0;
    const auto c = static_cast<char32_t>(ch);
    const std::string typed = QString::fromUcs4(&c, 1).toStdString();
    if (!ValidateText(WithSelectionReplaced(*m_pWnd, typed))) {
        // A refused character is not typed.
        OnInvalidChar(typed);
        return 1;
    }
    return 0;
}
