#include "grid/extras/CGXDateTimeCtrl.h"

#include "framework/window/Message.h"
#include "framework/window/VirtualKeys.h"
#include "framework/window/WindowStyles.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/extras/CGXBDateTimeCtrl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

const CGXControlClassInfo CGXDateTimeCtrl::kClassInfo{"CGXDateTimeCtrl", &CGXStatic::kClassInfo};

namespace {

std::string Attr(const CGXStyle& style, std::uint16_t id) {
    return style.GetIncludeUserAttribute(id) ? style.GetUserAttribute(id).GetValue()
                                             : std::string();
}

}  // namespace

CGXDateTimeCtrl::CGXDateTimeCtrl(CGXGridCore* grid, unsigned controlId)
    : CGXStatic(grid), m_nControlId(controlId) {}

CGXDateTimeCtrl::~CGXDateTimeCtrl() = default;

void CGXDateTimeCtrl::AddUserAttributes(CGXStylesMap& map) {
    CGXStyle fields;
    fields.SetControl(52542).SetChoiceList(
        "No Edit\nFixed Year\nFixed Month\nFixed Day\nFixed Hour\nFixed Minute\nFixed Second");
    map.AddUserAttribute(GX_IDS_UA_DATENOEDIT, &fields);
    map.AddUserAttribute(GX_IDS_UA_DATEMIN);
    map.AddUserAttribute(GX_IDS_UA_DATEMAX);
    CGXStyle mode;
    mode.SetControl(52541).SetChoiceList("No Validation\t0\nTime\t1\nDate\t2\nDate and Time\t3");
    map.AddUserAttribute(GX_IDS_UA_DATEVALIDMODE, &mode);
    CGXStyle type;
    type.SetControl(52541).SetChoiceList(
        "Time\t0\nShortDate\t1\nLongDate\t2\nCustom\t3\nDateTime\t4");
    map.AddUserAttribute(GX_IDS_UA_DATEFORMATTYPE, &type);
    map.AddUserAttribute(GX_IDS_UA_CUSTOMFORMAT);
    CGXStyle fast;
    fast.SetControl(52523).SetHorizontalAlignment(fw::DT_CENTER);
    map.AddUserAttribute(GX_IDS_UA_FASTINPUT, &fast);
    map.AddUserAttribute(GX_IDS_UA_FORCENUMERIC);
}

bool CGXDateTimeCtrl::ApplyFormat(CGXBDateTimeCtrl& wnd, const CGXStyle& style) {
    const std::string custom = Attr(style, GX_IDS_UA_CUSTOMFORMAT);
    int type = CGXBDateTimeCtrl::kShortDate;
    if (style.GetIncludeUserAttribute(GX_IDS_UA_DATEFORMATTYPE))
        type = std::clamp(std::atoi(Attr(style, GX_IDS_UA_DATEFORMATTYPE).c_str()), 0, 4);
    else if (!custom.empty())
        type = CGXBDateTimeCtrl::kCustom;
    if (type == CGXBDateTimeCtrl::kCustom)
        wnd.SetCustomFormat(custom);
    else
        wnd.SetFormatType(type);
    const std::string picture = wnd.Picture();
    return type == 1 || type == 2 || type == 4 || picture.find_first_of("dMy") != std::string::npos;
}

std::optional<double> CGXDateTimeCtrl::ParseValue(const std::string& value) {
    if (value.empty())
        return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(value.c_str(), &end);
    if (end == value.c_str() || !std::isfinite(v) || !GXOleDateIsValid(v))
        return std::nullopt;
    return v;
}

std::string CGXDateTimeCtrl::StoredText(double date) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.13g", date);
    return buf;
}

bool CGXDateTimeCtrl::CreateWindows() {
    if (m_pWnd)
        return true;
    fw::Window* grid = m_pGrid->GridWnd();
    if (!grid)
        return false;
    const unsigned bits = m_nControlId == GX_IDS_CTRL_DATETIME ? 3u : 2u;
    auto wnd = std::make_unique<CGXBDateTimeCtrl>();
    if (!wnd->Create(fw::WS_CHILD | bits, {0, 0, 1, 1}, grid, m_nControlId))
        return false;
    auto captive = std::make_unique<CGXBDateTimeCtrl>();
    if (!captive->Create(fw::WS_CHILD, {30000, 30000, 30500, 30100}, grid, m_nControlId + 1,
                         0x4 /* WS_EX_NOPARENTNOTIFY */))
        return false;
    captive->ShowWindow(fw::SW_HIDE);
    wnd->ShowWindow(fw::SW_HIDE);
    m_pWnd = std::move(wnd);
    m_pCaptive = std::move(captive);
    return true;
}

void CGXDateTimeCtrl::ApplyRange(const CGXStyle& style) {
    const auto date = [&](std::uint16_t id, double fallback) {
        const std::optional<double> v = ParseValue(Attr(style, id));
        return v && *v != 0 ? *v : fallback;
    };
    m_pWnd->SetDateTimeRange(date(GX_IDS_UA_DATEMIN, -657434), date(GX_IDS_UA_DATEMAX, 2958465),
                             std::atoi(Attr(style, GX_IDS_UA_DATEVALIDMODE).c_str()));
}

void CGXDateTimeCtrl::Init(ROWCOL row, ROWCOL col) {
    CGXStatic::Init(row, col);
    FreeStyle(false);
    const CGXStyle& style = GetStyle();
    if (CreateWindows()) {
        m_pWnd->SetNonEditableFields(
            static_cast<unsigned>(std::atoi(Attr(style, GX_IDS_UA_DATENOEDIT).c_str())));
        ApplyFormat(*m_pWnd, style);
        SetValue(style.GetIncludeValue() ? style.GetValue() : std::string());
        ApplyRange(style);
    }
    m_bModified = false;
}

void CGXDateTimeCtrl::Reset() {
    Hide();
    m_bActive = false;
    m_bModified = false;
    CGXStatic::Reset();
}

void CGXDateTimeCtrl::SetActive(bool active) {
    m_bActive = active && m_pWnd != nullptr;
    if (!m_bActive)
        Hide();
}

void CGXDateTimeCtrl::Hide() {
    if (m_pWnd && m_pWnd->IsWindowVisible()) {
        m_pWnd->MoveWindow({10000, 10000, 10001, 10001}, false);
        m_pWnd->ShowWindow(fw::SW_HIDE);
    }
}

void CGXDateTimeCtrl::SetValue(const std::string& value) {
    if (!m_pWnd)
        return;
    const std::optional<double> v = ParseValue(value);
    m_pWnd->SetDateTime(v && *v != 0 ? *v : 0);
}

bool CGXDateTimeCtrl::GetValue(std::string& value) {
    if (!m_bInit)
        return false;
    if (!m_pWnd || !m_bModified) {
        value = GetStyle().GetIncludeValue() ? GetStyle().GetValue() : std::string();
        return true;
    }
    value = StoredText(m_pWnd->GetDateTime());
    return true;
}

bool CGXDateTimeCtrl::Store() {
    std::string value;
    if (!m_pStyle || !m_bModified || !GetValue(value))
        return true;
    SetActive(false);
    m_bModified = false;
    return m_pGrid->SetValueRange(CGXRange(m_nRow, m_nCol), value, gxOverride, GX_INVALIDATE);
}

void CGXDateTimeCtrl::GetCurrentText(std::string& text) {
    text.clear();
    if (!m_bInit)
        return;
    if (m_bActive && m_pWnd) {
        text = m_pWnd->DisplayText();
        return;
    }
    GetControlText(text, m_nRow, m_nCol, nullptr, GetStyle());
}

bool CGXDateTimeCtrl::GetControlText(std::string& text, ROWCOL, ROWCOL,
                                     const std::string* valueText, const CGXStyle& style) {
    text.clear();
    const std::string value = valueText                 ? *valueText
                              : style.GetIncludeValue() ? style.GetValue()
                                                        : std::string();
    const std::optional<double> v = ParseValue(value);
    if (!v || *v == 0 || !CreateWindows())
        return false;
    ApplyFormat(*m_pCaptive, style);
    m_pCaptive->SetDateTime(*v);
    text = m_pCaptive->DisplayText();
    return true;
}

bool CGXDateTimeCtrl::StartEditing() {
    if (m_bActive)
        return true;
    if (!m_pWnd || IsReadOnly() || !OnStartEditing())
        return false;
    SetActive(true);
    Refresh();
    return true;
}

bool CGXDateTimeCtrl::ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) {
    if (!m_bInit || !m_pWnd)
        return false;
    if (message == fw::WM_KEYDOWN) {
        switch (key) {
            case fw::VK_LEFT:
            case fw::VK_RIGHT:
                // Past the first or the last field the grid moves on.
                if (!m_bActive || (key == fw::VK_LEFT && m_pWnd->IsFirstField()) ||
                    (key == fw::VK_RIGHT && m_pWnd->IsLastField()))
                    return false;
                break;
            case fw::VK_UP:
            case fw::VK_DOWN:
                if (!m_bActive)
                    return false;
                break;
            default:
                if (key != fw::VK_F1 + 3)
                    return false;  // Tab, Enter, Escape, pages to the grid; characters as WM_CHAR
                break;
        }
    } else if (message == fw::WM_CHAR) {
        if (key < '0' || key > '9')
            return m_bActive && key >= 32;  // other characters type nothing
    } else {
        return false;
    }
    if (!StartEditing())
        return false;
    const double before = m_pWnd->GetDateTime();
    m_pWnd->SendMessage(message, key, (repeat & 0xFFFF) | (flags << 16));
    if (m_pWnd->GetDateTime() != before) {
        m_bModified = true;
        OnModifyCell();
    }
    m_pWnd->Invalidate(false);
    return true;
}

void CGXDateTimeCtrl::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                           const CGXStyle& style, const CGXStyle* standardStyle) {
    if (m_bActive && m_pWnd && IsInitFor(row, col) && !m_pGrid->IsPrinting()) {
        DrawBackground(dc, rect, style, false);
        m_pWnd->MoveWindow(GetCellRect(row, col, &rect, &style), false);
        m_pWnd->ShowWindow(fw::SW_SHOWNA);
        m_pWnd->Invalidate(false);
        CGXControl::Draw(dc, rect, row, col, style, standardStyle);
        return;
    }
    CGXStatic::Draw(dc, rect, row, col, style, standardStyle);
}
