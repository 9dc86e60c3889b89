#include "grid/extras/CGXBCalendar.h"

#include "framework/drawing/DeviceContext.h"
#include "framework/drawing/PaintContext.h"
#include "framework/window/VirtualKeys.h"
#include "grid/extras/GXExtrasSupport.h"
#include "grid/extras/GXLocaleInfo.h"

#include <algorithm>
#include <cmath>

namespace {

// Column boundaries of the seven weekdays, as fractions of the width.
constexpr double kColumns[8] = {0, 0.143, 0.286, 0.429, 0.572, 0.715, 0.858, 1};

// The toolkit's weekday (Monday 1 ... Sunday 7) as the calendar counts (Sunday 1 ... Saturday 7).
int DayOfWeek(const QDate& d) {
    return d.dayOfWeek() % 7 + 1;
}

fw::Size Measure(const fw::LogFont& font, const std::string& text) {
    QImage probe(1, 1, QImage::Format_ARGB32);
    fw::DeviceContext dc(&probe);
    dc.SelectFont(font);
    return dc.GetTextExtent(text);
}

}  // namespace

CGXBCalendar::CGXBCalendar() : ownerFont_(fw::DefaultGuiFont()) {
    colors_.Load();
}

CGXBCalendar::~CGXBCalendar() = default;

bool CGXBCalendar::IsDateValid(const QDate& d) {
    if (!d.isValid())
        return false;
    const int y = d.year();
    const int m = d.month();
    return (y > 100 || (y == 100 && m > 1)) && (y < 9999 || (y == 9999 && m < 12));
}

bool CGXBCalendar::Create(unsigned style, const fw::Rect& rect, fw::Window* owner, unsigned id) {
    if (owner)
        owner_ = owner->Handle();
    SetClassStyle((style & fw::WS_POPUP) ? 2056 : 8);
    if (!current_.isValid())
        current_ = QDate::currentDate();
    dayBar_.style = otherMonthOptions_;
    dayBar_.panelStyle = panelOptions_ & ~(GXCalPanel::kSelectable | GXCalPanel::kHighlightable);
    title_.style = otherMonthOptions_ | GXCalStyle::kCentre;
    title_.panelStyle = dayBar_.panelStyle;
    const fw::DWORD childStyle = (style & fw::WS_POPUP) ? style : (style | fw::WS_CHILD);
    if (!fw::Window::Create(owner, rect, id, childStyle))
        return false;
    FillDays();
    UpdateTitle();
    Layout();
    created_ = true;
    UpdateWindow();
    SetFocus();
    return true;
}

void CGXBCalendar::SetFirstDayOfWeek(int day) {
    firstDayOfWeek_ = std::clamp(day, 1, 7);
    UpdateTitle();
    if (created_) {
        FillDays();
        Layout();
        Invalidate(false);
    }
}

bool CGXBCalendar::SetCurrentDate(const QDate& date, bool redraw) {
    if ((created_ && (behaviour_ & kDateFixed)) || !IsDateValid(date)) {
        GXExtrasBeep();
        return false;
    }
    current_ = date;
    UpdateTitle();
    FillDays();
    if (redraw && created_)
        Invalidate(false);
    return true;
}

QDate CGXBCalendar::GetSelectedDate() const {
    return selectedBox_ < 0 ? QDate() : boxes_[static_cast<std::size_t>(selectedBox_)].date;
}

int CGXBCalendar::BoxOf(const QDate& date) const {
    for (int i = 0; i < 42; ++i)
        if (boxes_[static_cast<std::size_t>(i)].date == date)
            return i;
    return -1;
}

void CGXBCalendar::FillDays() {
    QDate d(current_.year(), current_.month(), 1);
    while (DayOfWeek(d) != firstDayOfWeek_) d = d.addDays(-1);
    firstVisible_ = d;
    selectedBox_ = -1;
    for (int i = 0; i < 42; ++i) {
        CGXBDayBox& b = boxes_[static_cast<std::size_t>(i)];
        b.date = d;
        b.otherMonth = d.month() != current_.month();
        b.style = b.otherMonth ? otherMonthOptions_ : inMonthOptions_;
        b.panelStyle = panelOptions_;
        b.text = std::to_string(d.day());
        b.highlighted = highlighted_.count(d) != 0;
        b.selected = hasRemembered_ && d == remembered_;
        if (b.selected)
            selectedBox_ = i;
        d = d.addDays(1);
    }
}

void CGXBCalendar::UpdateTitle() {
    const bool full = (title_.style & GXCalStyle::kFullMonthNames) != 0;
    const std::string month = GXLocaleMonthName(current_.month(), full).value_or("");
    title_.text = month + " " + std::to_string(current_.year());
    for (int i = 1; i <= 7; ++i) {
        const int day = (firstDayOfWeek_ + i - 2) % 7 + 1;
        dayBar_.names[static_cast<std::size_t>(i - 1)] =
            GXLocaleDayName(day, (dayBar_.style & GXCalStyle::kFullDayNames) != 0).value_or("");
    }
}

void CGXBCalendar::Layout() {
    const fw::Rect c = GetClientRect();
    const int w = c.Width();
    const int h = c.Height();
    auto y = [&](double f) { return static_cast<int>(std::lround(h * f)); };
    auto x = [&](int i) { return static_cast<int>(std::lround(w * kColumns[i])); };
    title_.rect = {0, 0, w, y(0.175)};
    dayBar_.rect = {0, y(0.175), w, y(0.25)};
    for (int row = 0; row < 6; ++row)
        for (int col = 0; col < 7; ++col)
            boxes_[static_cast<std::size_t>(row * 7 + col)].rect = {
                x(col), y(0.25 + 0.125 * row), x(col + 1), y(0.25 + 0.125 * (row + 1))};
    title_.LayoutButtons();
    ApplyFonts();
}

void CGXBCalendar::ApplyFonts() {
    fw::LogFont base = ownerFont_;
    base.faceName = "Arial";
    fw::LogFont titleFont = base;
    fw::LogFont barFont = base;
    fw::LogFont dayFont = base;
    if (behaviour_ & kFitFonts) {
        // The title: as large as the sample month and year fit, beside the buttons.
        const bool full = (title_.style & GXCalStyle::kFullMonthNames) != 0;
        const std::string sample = full ? "September, 2000" : "Sep, 2000";
        const bool buttons =
            (title_.panelStyle & (GXCalPanel::kMonthButtons | GXCalPanel::kYearButtons)) != 0;
        const double widen = buttons ? 2.2 : 1.2;
        auto fits = [&](const fw::LogFont& f) {
            const fw::Size s = Measure(f, sample);
            return s.cx * widen <= title_.rect.Width() && s.cy * 1.2 <= title_.rect.Height();
        };
        titleFont.height = -std::max(6, std::abs(base.height == 0 ? 12 : base.height));
        for (int i = 0; i < 8 && fits(titleFont); ++i) titleFont.height *= 2;
        while (!fits(titleFont) && titleFont.height < -4) {
            const int step = std::max(1, std::abs(titleFont.height) / 20);
            titleFont.height += step;
        }
        // The weekday bar: seven of the names of day 4 side by side.
        barFont.height = -std::max(4, dayBar_.rect.Height() * 2 / 3);
        while (barFont.height < -4 &&
               (7 * Measure(barFont, dayBar_.names[3]).cx > dayBar_.rect.Width() ||
                Measure(barFont, dayBar_.names[3]).cy > dayBar_.rect.Height()))
            ++barFont.height;
        dayFont.height = -std::max(4, boxes_[0].rect.Height() / 2);
        while (dayFont.height < -4 && Measure(dayFont, "30").cx + 4 > boxes_[0].rect.Width())
            ++dayFont.height;
    }
    title_.font = titleFont;
    dayBar_.font = barFont;
    for (auto& b : boxes_) b.font = dayFont;
}

fw::Size CGXBCalendar::NaturalSize() {
    fw::LogFont base = ownerFont_;
    base.faceName = "Arial";
    fw::LogFont titleFont = base;
    titleFont.height = base.height * 2;
    titleFont.width = base.width * 2;
    const fw::Size t = Measure(titleFont, "September, 2000");
    const fw::Size bar = Measure(base, "Wed");
    const fw::Size box = Measure(base, "30");
    const int boxW = box.cx + 8;
    const int boxH = box.cy + 6;
    const int width = std::max({static_cast<int>(t.cx * 2.2), 7 * (bar.cx + 4), 7 * boxW});
    const int height = t.cy * 3 / 2 + bar.cy + 4 + 6 * boxH;
    return {width, height};
}

// --- selection, highlight and navigation -----------------------------------------------------

void CGXBCalendar::Post(UINT msg, fw::WPARAM w, fw::LPARAM l) {
    fw::PostMessage(owner_, msg, w, l);
}

void CGXBCalendar::SelectDate(const QDate& date, bool select) {
    const int index = BoxOf(date);
    if (index < 0)
        return;
    if (selectedBox_ >= 0 && selectedBox_ != index) {
        boxes_[static_cast<std::size_t>(selectedBox_)].selected = false;
        if (created_)
            InvalidateRect(boxes_[static_cast<std::size_t>(selectedBox_)].rect, false);
    }
    CGXBDayBox& b = boxes_[static_cast<std::size_t>(index)];
    b.selected = select && (b.panelStyle & GXCalPanel::kSelectable);
    selectedBox_ = b.selected ? index : -1;
    remembered_ = date;
    hasRemembered_ = b.selected;
    if (created_) {
        InvalidateRect(b.rect, false);
        Post(kMsgSelection, b.selected ? 1 : 0, index);
        if ((behaviour_ & kChooseOnSelect) && b.selected)
            Choose();
    }
}

void CGXBCalendar::HighlightDate(const QDate& date, bool on) {
    if (on)
        highlighted_.insert(date);
    else
        highlighted_.erase(date);
    const int index = BoxOf(date);
    if (index < 0)
        return;
    CGXBDayBox& b = boxes_[static_cast<std::size_t>(index)];
    b.highlighted = on && (b.panelStyle & GXCalPanel::kHighlightable);
    if (created_) {
        InvalidateRect(b.rect, false);
        Post(kMsgHighlight, on ? 1 : 0, index);
    }
}

void CGXBCalendar::ToggleDate(const QDate& date) {
    const int index = BoxOf(date);
    if (index < 0)
        return;
    const bool wasSelected = boxes_[static_cast<std::size_t>(index)].selected;
    SelectDate(date, !wasSelected);
    if ((behaviour_ & kChooseOnSelect) && wasSelected)
        Choose();
}

bool CGXBCalendar::Step(int days, int months, int years, bool moveSelection) {
    // Months and years step by the calendar (31 January and one month on is 28 or 29 February),
    // so a step never skips or repeats a month.
    auto target = [&](const QDate& from) {
        return from.addDays(days).addMonths(months).addYears(years);
    };
    if (!moveSelection) {
        const QDate t = target(current_);
        if (!IsDateValid(t) || ((behaviour_ & kDateFixed) && created_)) {
            GXExtrasBeep();
            return false;
        }
        return SetCurrentDate(t);
    }
    if (selectedBox_ < 0) {
        GXExtrasBeep();
        return false;
    }
    const QDate t = target(GetSelectedDate());
    if (!IsDateValid(t)) {
        GXExtrasBeep();
        return false;
    }
    if (t.month() != current_.month() || t.year() != current_.year())
        if (!SetCurrentDate(t))
            return false;
    SelectDate(t, true);
    return true;
}

bool CGXBCalendar::NextDay(bool s) {
    return Step(1, 0, 0, s);
}
bool CGXBCalendar::PrevDay(bool s) {
    return Step(-1, 0, 0, s);
}
bool CGXBCalendar::NextWeek(bool s) {
    return Step(7, 0, 0, s);
}
bool CGXBCalendar::PrevWeek(bool s) {
    return Step(-7, 0, 0, s);
}
bool CGXBCalendar::NextMonth(bool s) {
    return Step(0, 1, 0, s);
}
bool CGXBCalendar::PrevMonth(bool s) {
    return Step(0, -1, 0, s);
}
bool CGXBCalendar::NextYear(bool s) {
    return Step(0, 0, 1, s);
}
bool CGXBCalendar::PrevYear(bool s) {
    return Step(0, 0, -1, s);
}

void CGXBCalendar::Choose() {
    Post(kMsgChosen);
    ShowWindow(fw::SW_HIDE);
}

void CGXBCalendar::Cancel() {
    Post(kMsgCancelled);
    ShowWindow(fw::SW_HIDE);
}

// --- painting and input ----------------------------------------------------------------------

void CGXBCalendar::OnPaint() {
    fw::PaintContext dc(*this);
    const fw::Rect client = GetClientRect();
    fw::Bitmap bmp = fw::Bitmap::Create(std::max(1, client.Width()), std::max(1, client.Height()));
    fw::DeviceContext mem;
    mem.CreateCompatibleDC(&dc);
    mem.SelectBitmap(bmp);
    mem.FillSolidRect(client, colors_.face);
    title_.Draw(mem, colors_);
    dayBar_.Draw(mem, colors_);
    for (const auto& b : boxes_) b.Draw(mem, colors_);
    mem.Flush();
    dc.BitBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, fw::SRCCOPY);
}

void CGXBCalendar::OnSize(UINT type, int cx, int cy) {
    fw::Window::OnSize(type, cx, cy);
    if (created_) {
        Layout();
        Invalidate(false);
    }
}

int CGXBCalendar::BoxAt(fw::Point p) const {
    for (int i = 0; i < 42; ++i)
        if (boxes_[static_cast<std::size_t>(i)].rect.Contains(p))
            return i;
    return -1;
}

void CGXBCalendar::OnLButtonDown(UINT, fw::Point p) {
    SetFocus();
    const int button = title_.ButtonAt(p);
    if (button >= 0) {
        title_.pressed = button;
        SetCapture();
        InvalidateRect(title_.rect, false);
        return;
    }
    const int index = BoxAt(p);
    if (index < 0)
        return;
    const CGXBDayBox& b = boxes_[static_cast<std::size_t>(index)];
    const QDate date = b.date;
    if (b.otherMonth && !(b.style & GXCalStyle::kFrameSelected))
        if (!SetCurrentDate(date))
            return;
    if (panelOptions_ & GXCalPanel::kClickSelects)
        SelectDate(date, true);
    else
        ToggleDate(date);
}

void CGXBCalendar::OnLButtonUp(UINT, fw::Point p) {
    if (title_.pressed < 0)
        return;
    const int pressed = title_.pressed;
    title_.pressed = -1;
    ReleaseCapture();
    InvalidateRect(title_.rect, false);
    if (title_.ButtonAt(p) != pressed)
        return;
    switch (CGXBCalTitle::kCommands[static_cast<std::size_t>(pressed)]) {
        case 20030:
            PrevYear(false);
            break;
        case 20032:
            PrevMonth(false);
            break;
        case 20029:
            NextMonth(false);
            break;
        case 20031:
            NextYear(false);
            break;
    }
}

void CGXBCalendar::OnLButtonDblClk(UINT flags, fw::Point p) {
    const int index = BoxAt(p);
    if (index >= 0 &&
        (boxes_[static_cast<std::size_t>(index)].style & GXCalStyle::kDblClkChooses)) {
        Choose();
        return;
    }
    OnLButtonDown(flags, p);
}

void CGXBCalendar::OnRButtonDown(UINT, fw::Point p) {
    const int index = BoxAt(p);
    if (index < 0)
        return;
    const CGXBDayBox& b = boxes_[static_cast<std::size_t>(index)];
    const QDate date = b.date;
    if (b.otherMonth && !(b.style & GXCalStyle::kFrameSelected))
        if (!SetCurrentDate(date))
            return;
    HighlightDate(date, !IsHighlighted(date));
}

fw::UINT CGXBCalendar::OnGetDlgCode() {
    return fw::DLGC_WANTARROWS | fw::DLGC_WANTCHARS | fw::DLGC_WANTALLKEYS;
}

bool CGXBCalendar::OnKeyDown(UINT vk, UINT, UINT) {
    if (!(behaviour_ & kKeyboard))
        return false;
    const bool ctrl = fw::IsKeyDown(fw::VK_CONTROL);
    const unsigned pad =
        vk >= fw::VK_NUMPAD0 && vk <= fw::VK_NUMPAD0 + 9 ? vk - fw::VK_NUMPAD0 : 99;
    switch (vk) {
        case fw::VK_ESCAPE:
        case fw::VK_CANCEL:
            Cancel();
            return true;
        case fw::VK_RETURN:
            if (selectedBox_ >= 0)
                Choose();
            else
                Cancel();
            return true;
        case fw::VK_SPACE:
            ToggleDate(current_);
            return true;
        case fw::VK_HOME:
            SelectDate(QDate(current_.year(), current_.month(), 1), true);
            return true;
        case fw::VK_END:
            SelectDate(QDate(current_.year(), current_.month(), current_.daysInMonth()), true);
            return true;
        default:
            break;
    }
    if (ctrl) {
        if (vk == fw::VK_UP || vk == fw::VK_PRIOR || pad == 8)
            return PrevYear(false), true;
        if (vk == fw::VK_DOWN || vk == fw::VK_NEXT || pad == 2)
            return NextYear(false), true;
        if (vk == fw::VK_LEFT || pad == 4)
            return PrevMonth(false), true;
        if (vk == fw::VK_RIGHT || pad == 6)
            return NextMonth(false), true;
        return false;
    }
    if (vk == fw::VK_RIGHT || pad == 6)
        return NextDay(true), true;
    if (vk == fw::VK_LEFT || pad == 4)
        return PrevDay(true), true;
    if (vk == fw::VK_DOWN || pad == 2)
        return NextWeek(true), true;
    if (vk == fw::VK_UP || pad == 8)
        return PrevWeek(true), true;
    if (vk == fw::VK_NEXT)
        return NextMonth(true), true;
    if (vk == fw::VK_PRIOR)
        return PrevMonth(true), true;
    return false;
}

fw::LRESULT CGXBCalendar::WindowProc(fw::Message& msg) {
    if (msg.id == fw::WM_SYSCOLORCHANGE) {
        colors_.Load();
        Invalidate(false);
    }
    return fw::Window::WindowProc(msg);
}
