#include "grid/extras/CGXCurrencyEdit.h"

#include "framework/window/Message.h"
#include "framework/window/VirtualKeys.h"
#include "framework/window/WindowStyles.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/extras/CGXBCurrencyEdit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

const CGXControlClassInfo CGXCurrencyEdit::kClassInfo{"CGXCurrencyEdit",
                                                      &CGXWindowCellControl::kClassInfo};

namespace {

std::string Attr(const CGXStyle& style, std::uint16_t id) {
    return style.GetUserAttribute(id).GetValue();
}

// A stored value in the C locale; none for an empty or unreadable one.
std::optional<double> ReadStored(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

}  // namespace

CGXCurrencyEdit::CGXCurrencyEdit(CGXGridCore* grid, unsigned controlId)
    : CGXWindowCellControl(grid, controlId, {0, 0, 0, 0}) {}

CGXCurrencyEdit::~CGXCurrencyEdit() = default;

void CGXCurrencyEdit::AddUserAttributes(CGXStylesMap& map) {
    CGXStyle attributes;
    attributes.SetControl(52535).SetUserAttribute(51023, "##AAAA#");
    map.AddUserAttribute(GX_IDS_UA_CURRENCY_ATTRIBUTES, &attributes);
    CGXStyle positive;
    positive.SetControl(52532).SetChoiceList("$1\n1$\n$ 1\n1 $\n(1$)");
    map.AddUserAttribute(GX_IDS_UA_CURRENCY_POSITIVE, &positive);
    CGXStyle negative;
    negative.SetControl(52532).SetChoiceList(
        "($1)\n-$1\n$-1\n$1-\n(1$)\n-1$\n1-$\n1$-\n-1 $\n-$ 1\n$ 1-");
    map.AddUserAttribute(GX_IDS_UA_CURRENCY_NEGATIVE, &negative);
    for (std::uint16_t id : {GX_IDS_UA_CURRENCY_DECIMALS, GX_IDS_UA_CURRENCY_FRACTION,
                             GX_IDS_UA_CURRENCY_SYMBOL, GX_IDS_UA_CURRENCY_SEPARATORS})
        map.AddUserAttribute(id);
}

CGXBCurrencyFormat CGXCurrencyEdit::LoadFormatFromStyle(const CGXStyle& style) {
    CGXBCurrencyFormat f(true);
    const auto has = [&](std::uint16_t id) { return style.GetIncludeUserAttribute(id); };
    if (has(GX_IDS_UA_CURRENCY_ATTRIBUTES)) {
        std::string a = Attr(style, GX_IDS_UA_CURRENCY_ATTRIBUTES);
        if (a.size() != 4)
            a = "11 1";
        f.leadingZero = a[0] != '0';
        f.decimalLine = a[1] != '0';
        f.SetPaddingChar(a[2]);
    }
    if (has(GX_IDS_UA_CURRENCY_POSITIVE))
        f.SetPositiveFormat(std::atoi(Attr(style, GX_IDS_UA_CURRENCY_POSITIVE).c_str()));
    if (has(GX_IDS_UA_CURRENCY_NEGATIVE))
        f.SetNegativeFormat(std::atoi(Attr(style, GX_IDS_UA_CURRENCY_NEGATIVE).c_str()));
    if (has(GX_IDS_UA_CURRENCY_DECIMALS))
        f.integerDigits = std::atoi(Attr(style, GX_IDS_UA_CURRENCY_DECIMALS).c_str());
    if (has(GX_IDS_UA_CURRENCY_FRACTION))
        f.fractionDigits =
            std::clamp(std::atoi(Attr(style, GX_IDS_UA_CURRENCY_FRACTION).c_str()), 0, 15);
    if (has(GX_IDS_UA_CURRENCY_SYMBOL)) {
        const std::string s = Attr(style, GX_IDS_UA_CURRENCY_SYMBOL);
        f.symbol = s.starts_with('0') ? std::string() : s;
    }
    if (has(GX_IDS_UA_CURRENCY_SEPARATORS)) {
        std::string s = Attr(style, GX_IDS_UA_CURRENCY_SEPARATORS);
        if (s.size() != 2)
            s = ",.";
        f.thousandsSeparator = s[0] == '0' ? 0 : s[0];
        f.decimalSeparator = s[1];
    }
    return f;
}

std::string CGXCurrencyEdit::StoredText(double value, const CGXBCurrencyFormat& format) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", std::clamp(format.fractionDigits, 0, 15), value);
    return buf;
}

bool CGXCurrencyEdit::FitsFormat(double value, const CGXBCurrencyFormat& format) {
    if (format.integerDigits < 0 || value == 0)
        return true;
    const double integer = std::floor(std::fabs(value));
    int digits = integer < 1 ? 1 : static_cast<int>(std::floor(std::log10(integer))) + 1;
    return digits <= std::max(format.integerDigits, 1);
}

fw::Window* CGXCurrencyEdit::CellWindow() const {
    return m_pWnd.get();
}

bool CGXCurrencyEdit::CreateWindows() {
    if (m_pWnd)
        return true;
    if (!m_pGrid->GridWnd())
        return false;
    auto wnd = std::make_unique<CGXBCurrencyEdit>();
    if (!wnd->Create(fw::WS_CHILD, {0, 0, 0, 0}, m_pGrid->GridWnd(), m_nControlId))
        return false;
    m_pWnd = std::move(wnd);
    return true;
}

void CGXCurrencyEdit::Init(ROWCOL row, ROWCOL col) {
    m_bInitInProgress = true;
    CGXStatic::Init(row, col);
    FreeStyle(false);
    const CGXStyle& style = GetStyle();
    if (CreateWindows()) {
        m_pWnd->SetFormat(LoadFormatFromStyle(style));
        SetValue(ShownValue(nullptr, style));
        const unsigned h =
            style.GetIncludeHorizontalAlignment() ? style.GetHorizontalAlignment() : fw::DT_LEFT;
        m_pWnd->SetAlignment(h == fw::DT_CENTER ? 1 : h == fw::DT_RIGHT ? 2 : 0);
    }
    m_bInitInProgress = false;
    m_bModified = false;
}

std::string CGXCurrencyEdit::WindowValue() const {
    CGXBCurrencyFormat f;
    m_pWnd->GetFormat(f);
    // The amount as it stands: the number of decimals never rescales the integer part.
    return StoredText(m_pWnd->GetValue(), f);
}

std::string CGXCurrencyEdit::WindowText() const {
    return m_pWnd->GetWindowText();
}

void CGXCurrencyEdit::SetValue(const std::string& value) {
    if (!m_pWnd)
        return;
    const std::optional<double> v = ReadStored(value);
    m_pWnd->SetValue(v.value_or(0));
}

bool CGXCurrencyEdit::OnValidate() {
    if (m_bInit && m_pWnd && m_bModified) {
        CGXBCurrencyFormat f;
        m_pWnd->GetFormat(f);
        if (!FitsFormat(m_pWnd->GetValue(), f))
            return false;
    }
    return CGXStatic::OnValidate();
}

bool CGXCurrencyEdit::GetControlText(std::string& text, ROWCOL, ROWCOL,
                                     const std::string* valueText, const CGXStyle& style) {
    text.clear();
    const std::optional<double> v = ReadStored(ShownValue(valueText, style));
    if (!v)
        return false;
    text = LoadFormatFromStyle(style).FormatValue(std::fabs(*v), *v < 0);
    return !text.empty();
}

bool CGXCurrencyEdit::ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                                const CGXStyle* style) {
    if (text.empty())
        return true;
    std::unique_ptr<CGXStyle> composed;
    if (!style) {
        composed = m_pGrid->CreateStyle();
        m_pGrid->ComposeStyleRowCol(row, col, composed.get());
        style = composed.get();
    }
    const CGXBCurrencyFormat f = LoadFormatFromStyle(*style);
    double magnitude = 0;
    bool negative = false;
    if (!f.ParseText(text, magnitude, negative))
        return false;
    text = StoredText(negative ? -magnitude : magnitude, f);
    return true;
}

bool CGXCurrencyEdit::ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) {
    if (!m_bInit || !m_pWnd)
        return false;
    const bool keyDown = message == fw::WM_KEYDOWN;
    if (keyDown) {
        switch (key) {
            case fw::VK_TAB:
            case fw::VK_RETURN:
            case fw::VK_ESCAPE:
            case fw::VK_PRIOR:
            case fw::VK_NEXT:
            case fw::VK_UP:
            case fw::VK_DOWN:
                return false;  // the grid moves
            case fw::VK_LEFT:
            case fw::VK_RIGHT: {
                if (!m_bActive)
                    return false;
                const int caret = m_pWnd->GetCaret();
                const int end = static_cast<int>(m_pWnd->GetWindowText().size());
                if ((key == fw::VK_LEFT && caret <= 0) || (key == fw::VK_RIGHT && caret >= end))
                    return false;
                break;
            }
            case fw::VK_F1 + 1:  // F2 opens the calculator
            case fw::VK_DELETE:
            case fw::VK_HOME:
            case fw::VK_END:
            case fw::VK_BACK:
                break;
            case fw::VK_SPACE:
            case fw::VK_INSERT:
                break;
            default:
                return false;  // characters come as WM_CHAR
        }
    } else if (message == fw::WM_CHAR) {
        if (key == '\r' || key == '\n' || key == '\t' || key == 27)
            return false;
    } else {
        return false;
    }
    if (!StartEditing())
        return false;
    const std::string before = m_pWnd->GetWindowText();
    const bool wasNegative = m_pWnd->IsNegative();
    if (key == ' ') {
        if (keyDown)
            m_pWnd->ToggleSign();  // Space flips the sign; its character types nothing
    } else {
        m_pWnd->SendMessage(message, key, (repeat & 0xFFFF) | (flags << 16));
    }
    if (m_pWnd->GetWindowText() != before || m_pWnd->IsNegative() != wasNegative) {
        m_bModified = true;
        OnModifyCell();
    }
    Refresh();
    return true;
}

void CGXCurrencyEdit::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                           const CGXStyle& style, const CGXStyle* standardStyle) {
    if (DrawsWindowFor(row, col)) {
        // The window edits in the cell's font, as the other cells show their amounts.
        const CGXStyle* fontStyle = style.GetIncludeFont() ? &style : standardStyle;
        if (fontStyle && fontStyle->GetIncludeFont())
            m_pWnd->SetFont(fontStyle->GetFont().GetLogFontZoomed(m_pGrid->GetZoom()));
        DrawActiveCell(dc, rect, GetCellRect(row, col, &rect, &style), row, col, style,
                       standardStyle);
        return;
    }
    CGXStatic::Draw(dc, rect, row, col, style, standardStyle);
}
