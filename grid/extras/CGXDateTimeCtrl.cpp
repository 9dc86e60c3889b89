#include "grid/extras/CGXDateTimeCtrl.h"

#include "framework/window/Message.h"
#include "framework/window/VirtualKeys.h"
#include "framework/window/WindowStyles.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/extras/CGXBDateTimeCtrl.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

const CGXControlClassInfo CGXDateTimeCtrl::kClassInfo{"CGXDateTimeCtrl",
                                                      &CGXWindowCellControl::kClassInfo};

namespace {

std::string Attr(const CGXStyle& style, std::uint16_t id) {
    return style.GetIncludeUserAttribute(id) ? style.GetUserAttribute(id).GetValue()
                                             : std::string();
}

std::optional<double> OleDateOf(const QDate& d, const QTime& t) {
    GXOleDateParts p;
    p.year = d.year(), p.month = d.month(), p.day = d.day();
    p.hour = t.hour(), p.minute = t.minute(), p.second = t.second();
    return GXOleDateFromParts(p);
}

}  // namespace

CGXDateTimeCtrl::CGXDateTimeCtrl(CGXGridCore* grid, unsigned controlId)
    : CGXWindowCellControl(grid, controlId, {10000, 10000, 10001, 10001}) {}

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

fw::Window* CGXDateTimeCtrl::CellWindow() const {
    return m_pWnd.get();
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
        SetValue(ShownValue(nullptr, style));
        ApplyRange(style);
    }
    m_bModified = false;
}

void CGXDateTimeCtrl::SetValue(const std::string& value) {
    if (!m_pWnd)
        return;
    const std::optional<double> v = ParseValue(value);
    m_pWnd->SetDateTime(v && *v != 0 ? *v : 0);
}

std::string CGXDateTimeCtrl::WindowValue() const {
    return StoredText(m_pWnd->GetDateTime());
}

std::string CGXDateTimeCtrl::WindowText() const {
    return m_pWnd->DisplayText();
}

bool CGXDateTimeCtrl::GetControlText(std::string& text, ROWCOL, ROWCOL,
                                     const std::string* valueText, const CGXStyle& style) {
    text.clear();
    const std::optional<double> v = ParseValue(ShownValue(valueText, style));
    if (!v || *v == 0 || !CreateWindows())
        return false;
    ApplyFormat(*m_pCaptive, style);
    m_pCaptive->SetDateTime(*v);
    text = m_pCaptive->DisplayText();
    return true;
}

std::optional<double> CGXDateTimeCtrl::ParseDateText(const std::string& text) {
    const QString t = QString::fromUtf8(text).simplified();
    if (t.isEmpty())
        return std::nullopt;
    const QLocale loc;
    // A picture with a two-digit year takes four digits too; two digits get the century the
    // window's rule gives (and are tried first, so that "26" is never the year 26).
    const auto withYear = [this](QDate d, bool twoDigits) {
        if (twoDigits && m_pCaptive)
            d = QDate(m_pCaptive->GetCentury(d.year() % 100) + d.year() % 100, d.month(), d.day());
        return d;
    };
    for (QLocale::FormatType type : {QLocale::ShortFormat, QLocale::LongFormat}) {
        for (bool wide : {false, true}) {
            QString date = loc.dateFormat(type);
            QString both = loc.dateTimeFormat(type);
            const bool shortYear = !date.contains(QLatin1String("yyyy"));
            if (wide && shortYear) {
                date.replace(QLatin1String("yy"), QLatin1String("yyyy"));
                both.replace(QLatin1String("yy"), QLatin1String("yyyy"));
            }
            const bool twoDigits = shortYear && !wide;
            const QDateTime dt = loc.toDateTime(t, both);
            if (dt.isValid())
                if (const std::optional<double> v =
                        OleDateOf(withYear(dt.date(), twoDigits), dt.time()))
                    return v;
            const QDate d = loc.toDate(t, date);
            if (d.isValid())
                if (const std::optional<double> v = OleDateOf(withYear(d, twoDigits), QTime(0, 0)))
                    return v;
        }
    }
    for (const QString& format :
         {loc.timeFormat(QLocale::ShortFormat), loc.timeFormat(QLocale::LongFormat),
          QStringLiteral("H:mm:ss"), QStringLiteral("H:mm")}) {
        const QTime tm = loc.toTime(t, format);
        if (tm.isValid())
            return OleDateOf(QDate(1899, 12, 30), tm);
    }
    return std::nullopt;
}

std::vector<std::string> CGXDateTimeCtrl::SplitInput(const std::string& text) const {
    std::vector<std::string> fields;
    std::string piece;
    for (char c : text) {
        if (c == '\r' || c == '\n' || c == ' ' || m_sSeparators.find(c) != std::string::npos) {
            if (!piece.empty())
                fields.push_back(std::move(piece));
            piece.clear();
        } else {
            piece += c;
        }
    }
    if (!piece.empty())
        fields.push_back(std::move(piece));
    return fields;
}

std::optional<double> CGXDateTimeCtrl::DateFromFields(const std::vector<std::string>& fields,
                                                      const CGXStyle& style) {
    if (fields.empty() || !CreateWindows())
        return std::nullopt;
    ApplyFormat(*m_pCaptive, style);
    // Fields the text does not give keep the cell's date (today for an empty cell).
    const std::optional<double> old = ParseValue(ShownValue(nullptr, style));
    std::optional<GXOleDateParts> parts =
        GXOleDateToParts(old ? *old : OleDateOf(QDate::currentDate(), QTime(0, 0)).value_or(0));
    if (!parts)
        return std::nullopt;
    bool pm = parts->hour >= 12;
    bool twelveHour = false;
    std::size_t next = 0;
    for (const auto& g : m_pCaptive->Gadgets()) {
        if (next == fields.size())
            break;
        const std::string& field = fields[next];
        if (dynamic_cast<const CGXBDTNumericGadget*>(g.get())) {
            ++next;
            const int v = std::atoi(field.c_str());
            switch (g->id) {
                case CGXBDateTimeCtrl::kHour12:
                    twelveHour = true;
                    parts->hour = v % 12;
                    break;
                case CGXBDateTimeCtrl::kHour24:
                    parts->hour = v;
                    break;
                case CGXBDateTimeCtrl::kMinute:
                    parts->minute = v;
                    break;
                case CGXBDateTimeCtrl::kSecond:
                    parts->second = v;
                    break;
                case CGXBDateTimeCtrl::kDay:
                    parts->day = v;
                    break;
                case CGXBDateTimeCtrl::kMonth:
                    parts->month = v;
                    break;
                case CGXBDateTimeCtrl::kYear2:
                    parts->year = m_pCaptive->GetCentury(v % 100) + v % 100;
                    break;
                case CGXBDateTimeCtrl::kYear4:
                    parts->year = v;
                    break;
                default:
                    break;
            }
        } else if (const auto* list = dynamic_cast<const CGXBDTListGadget*>(g.get())) {
            ++next;
            const QString typed = QString::fromUtf8(field);
            int found = -1;
            for (std::size_t i = 0; i < list->Items().size() && found < 0; ++i)
                if (QString::fromUtf8(list->Items()[i]).startsWith(typed, Qt::CaseInsensitive))
                    found = static_cast<int>(i);
            if (found < 0)
                return std::nullopt;
            if (g->id == CGXBDateTimeCtrl::kMonthName)
                parts->month = found + 1;
            else if (g->id == CGXBDateTimeCtrl::kAmPm)
                pm = found == 1;
        }
    }
    if (twelveHour && pm)
        parts->hour += 12;
    if (parts->hour > 23 || parts->minute > 59 || parts->second > 59 || parts->month < 1 ||
        parts->month > 12 || parts->day < 1 ||
        QDate(parts->year, parts->month, 1).daysInMonth() < parts->day)
        return std::nullopt;
    return GXOleDateFromParts(*parts);
}

std::optional<double> CGXDateTimeCtrl::DateFromText(const std::string& text,
                                                    const CGXStyle& style) {
    CreateWindows();
    if (std::atoi(Attr(style, GX_IDS_UA_FORCENUMERIC).c_str()) == 0) {
        const std::optional<double> date = ParseDateText(text);
        if (date && *date != 0)
            return date;
    }
    return DateFromFields(SplitInput(text), style);
}

void CGXDateTimeCtrl::SetCurrentText(const std::string& text) {
    if (!m_bInit || !m_pWnd || !StartEditing())
        return;
    if (text.empty()) {
        m_pWnd->SetDateTime(0);
    } else {
        if (!ValidateText(text))
            return;
        const std::optional<double> date = DateFromText(text, GetStyle());
        if (!date)
            return;
        m_pWnd->SetDateTime(*date);
    }
    m_bModified = true;
    OnModifyCell();
    Refresh();
}

bool CGXDateTimeCtrl::ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                                const CGXStyle* style) {
    if (text.empty())
        return true;
    std::unique_ptr<CGXStyle> composed;
    if (!style) {
        composed = m_pGrid->CreateStyle();
        m_pGrid->ComposeStyleRowCol(row, col, composed.get());
        style = composed.get();
    }
    const std::optional<double> date = DateFromText(text, *style);
    if (composed)
        m_pGrid->RecycleStyle(std::move(composed));
    if (!date)
        return false;
    text = StoredText(*date);
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
    if (DrawsWindowFor(row, col)) {
        DrawActiveCell(dc, rect, GetCellRect(row, col, &rect, &style), row, col, style,
                       standardStyle);
        return;
    }
    CGXStatic::Draw(dc, rect, row, col, style, standardStyle);
}
