#include "grid/extras/CGXBDateTimeCtrl.h"

#include "framework/drawing/DeviceContext.h"
#include "framework/drawing/PaintContext.h"
#include "framework/window/VirtualKeys.h"
#include "grid/core/CGXSysColorCache.h"
#include "grid/core/GXBitmapResources.h"
#include "grid/core/GXLibraryState.h"
#include "grid/extras/CGXBPopupCalendar.h"
#include "grid/extras/GXExtrasSupport.h"
#include "grid/extras/GXLocaleInfo.h"

#include <QDate>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace {

const QDate kOleEpoch(1899, 12, 30);
constexpr double kMinDate = -657434;
constexpr double kMaxDate = 2958465.99999;
constexpr double kHalfSecond = 0.5 / 86400.0;
constexpr fw::UINT WM_SETTINGCHANGE = 0x001A;
constexpr fw::UINT kMsgChosen = 2007;
constexpr fw::UINT kMsgCancelled = 2008;

int DaysIn(int year, int month) {
    return QDate(year, month, 1).daysInMonth();
}

// A day the month does not have is lowered to the month's last day.
void LowerDay(GXOleDateParts& p) {
    p.day = std::min(p.day, DaysIn(p.year, p.month));
}

int Wrap(int v, int count) {
    return ((v % count) + count) % count;
}

// The fields from fine to coarse: second, minute, hour, day, month, year.
int& Field(GXOleDateParts& p, int level) {
    switch (level) {
        case 0:
            return p.second;
        case 1:
            return p.minute;
        case 2:
            return p.hour;
        case 3:
            return p.day;
        case 4:
            return p.month;
        default:
            return p.year;
    }
}

}  // namespace

// --- OLE dates ---------------------------------------------------------------------------------

bool GXOleDateIsValid(double d) {
    return std::isfinite(d) && d >= kMinDate && d <= kMaxDate;
}

std::optional<GXOleDateParts> GXOleDateToParts(double d) {
    if (!GXOleDateIsValid(d))
        return std::nullopt;
    d += d >= 0 ? kHalfSecond : -kHalfSecond;  // to the nearest second, away from zero
    const double whole = std::trunc(d);
    const double frac = std::fabs(d - whole);
    int seconds = static_cast<int>(std::floor(frac * 86400.0));
    seconds = std::clamp(seconds, 0, 86399);
    const QDate date = kOleEpoch.addDays(static_cast<qint64>(whole));
    if (!date.isValid() || date.year() < 100 || date.year() > 9999)
        return std::nullopt;
    GXOleDateParts p;
    p.year = date.year();
    p.month = date.month();
    p.day = date.day();
    p.hour = seconds / 3600;
    p.minute = seconds / 60 % 60;
    p.second = seconds % 60;
    p.dayOfWeek = date.dayOfWeek() % 7 + 1;
    return p;
}

std::optional<double> GXOleDateFromParts(const GXOleDateParts& p) {
    if (p.year < 100 || p.year > 9999 || p.hour < 0 || p.hour > 23 || p.minute < 0 ||
        p.minute > 59 || p.second < 0 || p.second > 59)
        return std::nullopt;
    const QDate date(p.year, p.month, p.day);
    if (!date.isValid())
        return std::nullopt;
    const double days = static_cast<double>(kOleEpoch.daysTo(date));
    const double t = (p.hour * 3600 + p.minute * 60 + p.second) / 86400.0;
    return days >= 0 ? days + t : days - t;
}

// --- creation and format -----------------------------------------------------------------------

CGXBDateTimeCtrl::CGXBDateTimeCtrl() : font_(fw::DefaultGuiFont()) {
    static std::once_flag filled;
    std::call_once(filled, [] { CGXSysColorCache::Instance().Update(); });
    const QDateTime now = QDateTime::currentDateTime();
    GXOleDateParts p;
    p.year = now.date().year();
    p.month = now.date().month();
    p.day = now.date().day();
    p.hour = now.time().hour();
    p.minute = now.time().minute();
    p.second = now.time().second();
    value_ = GXOleDateFromParts(p).value_or(0);
}

CGXBDateTimeCtrl::~CGXBDateTimeCtrl() {
    if (calendar_)
        calendar_.release()->deleteLater();
}

bool CGXBDateTimeCtrl::Create(unsigned style, const fw::Rect& rect, fw::Window* parent, unsigned id,
                              unsigned exStyle) {
    if (!fw::Window::Create(parent, rect, id, style | fw::WS_CHILD, exStyle))
        return false;
    setFocusPolicy(Qt::StrongFocus);
    if (style & kStyleDropDown) {
        GXRegisterExtrasBitmaps();
        fw::Bitmap bmp = GXLoadSysColorBitmap(GXResourceName::Id(20028));
        if (bmp.IsNull())
            bmp = GXLoadSysColorBitmap(GXResourceName::Named("GXBDROPARROW"));
        gadgets_.push_back(std::make_unique<CGXBDTButtonGadget>(this, bmp));
    }
    if (style & kStyleSpin)
        gadgets_.push_back(std::make_unique<CGXBDTSpinGadget>(this));
    fixedCount_ = static_cast<int>(gadgets_.size());
    BuildGadgets();
    return true;
}

std::string CGXBDateTimeCtrl::Picture() const {
    switch (formatType_) {
        case kTime:
            return GXLocaleTimePicture();
        case kLongDate:
            return GXLocaleDatePicture(true);
        case kCustom:
            return custom_;
        case kShortDateTime:
            return GXLocaleDatePicture(false) + " " + GXLocaleTimePicture();
        default:
            return GXLocaleDatePicture(false);
    }
}

void CGXBDateTimeCtrl::SetFormatType(int type) {
    formatType_ = type;
    custom_.clear();
    if (IsCreated())
        BuildGadgets();
}

void CGXBDateTimeCtrl::SetCustomFormat(const std::string& picture) {
    formatType_ = kCustom;
    custom_ = picture;
    if (IsCreated())
        BuildGadgets();
}

void CGXBDateTimeCtrl::SetNonEditableFields(unsigned mask) {
    nonEditable_ = mask;
    if (IsCreated())
        BuildGadgets();
}

void CGXBDateTimeCtrl::ClearFieldGadgets() {
    if (capture_) {
        capture_ = nullptr;
        ReleaseCapture();
    }
    for (auto it = timers_.begin(); it != timers_.end();) {
        KillTimer(it->first);
        it = timers_.erase(it);
    }
    gadgets_.resize(static_cast<std::size_t>(fixedCount_));
    current_ = -1;
    scroll_ = 0;
}

void CGXBDateTimeCtrl::BuildGadgets() {
    ClearFieldGadgets();
    hasDateFields_ = false;
    const std::u32string pic = QString::fromStdString(Picture()).toStdU32String();
    std::u32string literal;
    auto flushLiteral = [&] {
        if (!literal.empty())
            gadgets_.push_back(std::make_unique<CGXBDTStaticGadget>(
                this, QString::fromStdU32String(literal).toStdString()));
        literal.clear();
    };
    auto add = [&](std::unique_ptr<CGXBDTGadget> g, int id, unsigned lockBit) {
        flushLiteral();
        g->id = id;
        if (nonEditable_ & lockBit)
            g->flags &= ~CGXBDTGadget::kEnabled;
        gadgets_.push_back(std::move(g));
    };
    auto names = [](bool months, bool full) {
        std::vector<std::string> out;
        for (int i = 1; i <= (months ? 12 : 7); ++i)
            out.push_back(
                (months ? GXLocaleMonthName(i, full) : GXLocaleDayName(i, full)).value_or(""));
        return out;
    };
    std::size_t i = 0;
    while (i < pic.size()) {
        const char32_t c = pic[i];
        if (c == U'\'' || c == U'"') {
            const std::size_t end = pic.find(c, i + 1);
            flushLiteral();
            literal =
                pic.substr(i + 1, end == std::u32string::npos ? std::u32string::npos : end - i - 1);
            flushLiteral();
            i = end == std::u32string::npos ? pic.size() : end + 1;
            continue;
        }
        const int limit =
            (c == U'd' || c == U'M' || c == U'y')                                          ? 4
            : (c == U'h' || c == U'H' || c == U'm' || c == U's' || c == U't' || c == U'g') ? 2
                                                                                           : 0;
        if (limit == 0) {
            literal += c;
            ++i;
            continue;
        }
        int n = 1;
        while (n < limit && i + static_cast<std::size_t>(n) < pic.size() &&
               pic[i + static_cast<std::size_t>(n)] == c)
            ++n;
        i += static_cast<std::size_t>(n);
        switch (c) {
            case U'h':
                add(std::make_unique<CGXBDTNumericGadget>(this, 1, 12, n == 2), kHour12, 8);
                break;
            case U'H':
                add(std::make_unique<CGXBDTNumericGadget>(this, 0, 23, n == 2), kHour24, 8);
                break;
            case U'm':
                add(std::make_unique<CGXBDTNumericGadget>(this, 0, 59, n == 2), kMinute, 0x10);
                break;
            case U's':
                add(std::make_unique<CGXBDTNumericGadget>(this, 0, 59, n == 2), kSecond, 0x20);
                break;
            case U't': {
                std::vector<std::string> ampm = {GXLocaleAmPm(false), GXLocaleAmPm(true)};
                if (n == 1)
                    for (std::string& s : ampm) s = QString::fromStdString(s).left(1).toStdString();
                add(std::make_unique<CGXBDTListGadget>(this, ampm), kAmPm, 8);
                break;
            }
            case U'd':
                hasDateFields_ = true;
                if (n <= 2)
                    add(std::make_unique<CGXBDTNumericGadget>(this, 1, 31, n == 2), kDay, 4);
                else
                    add(std::make_unique<CGXBDTListGadget>(this, names(false, n == 4)), kDayName,
                        4);
                break;
            case U'M':
                hasDateFields_ = true;
                if (n <= 2)
                    add(std::make_unique<CGXBDTNumericGadget>(this, 1, 12, n == 2), kMonth, 2);
                else
                    add(std::make_unique<CGXBDTListGadget>(this, names(true, n == 4)), kMonthName,
                        2);
                break;
            case U'y':
                hasDateFields_ = true;
                if (n <= 2)
                    add(std::make_unique<CGXBDTNumericGadget>(this, 0, 99, n == 2), kYear2, 1);
                else
                    add(std::make_unique<CGXBDTNumericGadget>(this, 0, 9999, false), kYear4, 1);
                break;
            default:  // g, gg: the era is not shown
                hasDateFields_ = true;
                break;
        }
    }
    flushLiteral();
    UpdateGadgets(0xFFFF);
    current_ = FirstFieldIndex();
    LayoutGadgets();
    Invalidate(false);
}

void CGXBDateTimeCtrl::UpdateGadgets(unsigned mask) {
    const auto p = GXOleDateToParts(value_);
    if (!p)
        return;
    pm_ = p->hour > 11;
    for (auto& g : gadgets_) {
        if (g->id < 0 || !(static_cast<unsigned>(g->id) & mask))
            continue;
        switch (g->id) {
            case kHour12:
                g->value = p->hour == 0 ? 12 : (p->hour > 12 ? p->hour - 12 : p->hour);
                break;
            case kHour24:
                g->value = p->hour;
                break;
            case kMinute:
                g->value = p->minute;
                break;
            case kSecond:
                g->value = p->second;
                break;
            case kAmPm:
                g->value = pm_ ? 1 : 0;
                break;
            case kDay:
                g->value = p->day;
                break;
            case kDayName:
                g->value = p->dayOfWeek - 1;
                break;
            case kMonth:
                g->value = p->month;
                break;
            case kMonthName:
                g->value = p->month - 1;
                break;
            case kYear2:
                g->value = p->year % 100;
                break;
            case kYear4:
                g->value = p->year;
                break;
            default:
                continue;
        }
        if (IsCreated())
            InvalidateGadget(*g);
    }
}

std::string CGXBDateTimeCtrl::DisplayText() const {
    std::string out;
    for (std::size_t i = static_cast<std::size_t>(fixedCount_); i < gadgets_.size(); ++i) {
        const CGXBDTGadget* g = gadgets_[i].get();
        if (auto* n = dynamic_cast<const CGXBDTNumericGadget*>(g))
            out += n->Text();
        else if (auto* l = dynamic_cast<const CGXBDTListGadget*>(g))
            out += l->Text();
        else if (auto* s = dynamic_cast<const CGXBDTStaticGadget*>(g))
            out += s->Text();
    }
    return out;
}

// --- value and range ---------------------------------------------------------------------------

bool CGXBDateTimeCtrl::SetDateTime(double value) {
    const auto old = GXOleDateToParts(value_);
    const auto p = GXOleDateToParts(value);
    if (!p)
        return false;
    value_ = value;
    unsigned mask = 0xFFFF;
    if (old) {
        mask = 0;
        if (old->hour != p->hour)
            mask |= kHour12 | kHour24 | kAmPm;
        if (old->minute != p->minute)
            mask |= kMinute;
        if (old->second != p->second)
            mask |= kSecond;
        if (old->day != p->day)
            mask |= kDay;
        if (old->dayOfWeek != p->dayOfWeek)
            mask |= kDayName;
        if (old->month != p->month)
            mask |= kMonth | kMonthName;
        if (old->year != p->year)
            mask |= kYear2 | kYear4;
    }
    UpdateGadgets(mask);
    return true;
}

namespace {
// The part of a value the validation mode looks at: 1 the time of day, 2 the date, else all.
double Reduce(double v, int mode) {
    if (mode == 1)
        return std::fabs(v - std::trunc(v));
    if (mode == 2)
        return std::trunc(v);
    return v;
}
}  // namespace

bool CGXBDateTimeCtrl::SetDateTimeRange(double minimum, double maximum, int mode) {
    if (!GXOleDateToParts(minimum) || !GXOleDateToParts(maximum) || minimum > maximum)
        return false;
    min_ = Reduce(minimum, mode);
    max_ = Reduce(maximum, mode);
    mode_ = mode;
    double v = value_;
    if (!ValidateDateTime(v, -1))
        return false;
    SetDateTime(v);
    return true;
}

bool CGXBDateTimeCtrl::ValidateDateTime(double& value, int level) {
    if (!GXOleDateIsValid(value))
        return false;
    if (mode_ == 0)
        return true;
    const double reduced = Reduce(value, mode_);
    auto near = [](double a, double b) {
        return static_cast<long long>(std::fabs(a - b) * 86400.0 + 0.5) == 0;
    };
    if ((reduced >= min_ && reduced <= max_) || near(reduced, min_) || near(reduced, max_))
        return true;
    if (level == 0 || level < -1)
        return false;
    const double bound = reduced < min_ ? min_ : max_;
    auto rp = GXOleDateToParts(reduced);
    auto bp = GXOleDateToParts(bound);
    if (!rp || !bp)
        return false;
    GXOleDateParts snapped = *rp;
    if (level == -1) {
        snapped = *bp;
    } else {
        for (int l = level; l <= 5; ++l)
            if (Field(snapped, l) != Field(*bp, l))
                return false;
        for (int l = 0; l < level; ++l) Field(snapped, l) = Field(*bp, l);
    }
    const auto s = GXOleDateFromParts(snapped);
    if (!s)
        return false;
    // Put the reduced part back into the whole value.
    double whole = *s;
    if (mode_ == 1) {
        const double day = std::trunc(value);
        whole = day >= 0 ? day + *s : day - *s;
    } else if (mode_ == 2) {
        whole = *s + (value >= 0 ? 1 : -1) * std::fabs(value - std::trunc(value));
    }
    const double check = Reduce(whole, mode_);
    if (!((check >= min_ && check <= max_) || near(check, min_) || near(check, max_)))
        return false;
    value = whole;
    return true;
}

void CGXBDateTimeCtrl::NotifyChanged() {
    if (GetExStyle() & 0x4)  // WS_EX_NOPARENTNOTIFY
        return;
    if (fw::Window* p = GetParentWindow())
        p->SendMessage(
            fw::WM_COMMAND,
            fw::MAKEWPARAM(static_cast<int>(GetDlgCtrlID()), static_cast<int>(kChangedCode)),
            static_cast<fw::LPARAM>(Handle().value));
}

int CGXBDateTimeCtrl::GetCentury(int yy) {
    const QLocale loc;
    QString text = loc.toString(QDate(1999, 1, 1), QLocale::ShortFormat);
    const QString digits = QString::number(yy).rightJustified(2, QLatin1Char('0'));
    if (text.contains(QLatin1String("1999")))
        text.replace(QLatin1String("1999"), digits);
    else
        text.replace(QLatin1String("99"), digits);
    const QDate parsed = loc.toDate(text, QLocale::ShortFormat);
    return parsed.isValid() ? parsed.year() - yy : 1900;
}

// --- editing -----------------------------------------------------------------------------------

bool CGXBDateTimeCtrl::Apply(double v, int type, int level) {
    if (!ValidateDateTime(v, level))
        return false;
    if (type == 6)
        return true;
    if (!OnValidate(v))
        return false;
    SetDateTime(v);
    state_ |= 1;
    NotifyChanged();
    UpdateWindow();
    return true;
}

bool CGXBDateTimeCtrl::HandleField(int type, int id, int typed) {
    auto parts = GXOleDateToParts(value_);
    if (!parts)
        return false;
    GXOleDateParts p = *parts;
    const bool up = type == 1 || type == 3;
    const bool step = type >= 1 && type <= 4;
    const int by = type == 3 || type == 4 ? typed : 1;
    const bool typedValue = type == 6 || type == 7;
    int level = 0;
    switch (id) {
        case kHour12:
        case kHour24:
            level = 2;
            if (step) {
                const int s = type >= 3 ? std::min(by, 2) : 1;
                p.hour = Wrap(p.hour + (up ? s : -s), 24);
            } else if (typedValue) {
                if (id == kHour12) {
                    if (typed < 1 || typed > 12)
                        return false;
                    // 12 is the hour 0 of its half: 12 AM is midnight, 12 PM noon.
                    p.hour = typed % 12 + (pm_ ? 12 : 0);
                } else {
                    if (typed < 0 || typed > 23)
                        return false;
                    p.hour = typed;
                }
            } else {
                p.hour = type == 8 ? 0 : 23;
                level = 3;
            }
            break;
        case kMinute:
        case kSecond: {
            int& f = id == kMinute ? p.minute : p.second;
            level = id == kMinute ? 1 : 0;
            if (step) {
                const int s = type >= 3 ? std::min(by, 2) : 1;
                f = Wrap(f + (up ? s : -s), 60);
            } else if (typedValue) {
                if (typed < 0 || typed > 59)
                    return false;
                f = typed;
            } else {
                f = type == 8 ? 0 : 59;
                ++level;
            }
            break;
        }
        case kAmPm:
            level = 2;
            if (step)
                p.hour = Wrap(p.hour + 12, 24);
            else if (typedValue)
                p.hour = typed == 1 ? (p.hour < 12 ? p.hour + 12 : p.hour)
                                    : (p.hour >= 12 ? p.hour - 12 : p.hour);
            else
                p.hour = type == 8 ? (p.hour >= 12 ? p.hour - 12 : p.hour)
                                   : (p.hour < 12 ? p.hour + 12 : p.hour);
            break;
        case kDay:
            level = 3;
            if (step) {
                const int s = type >= 3 ? std::min(by, 2) : 1;
                const int last = DaysIn(p.year, p.month);
                p.day += up ? s : -s;
                if (p.day > last)
                    p.day = 1;
                if (p.day < 1)
                    p.day = 31;
            } else if (typedValue) {
                if (typed < 1 || typed > 31)
                    return false;
                p.day = typed;
            } else {
                p.day = type == 8 ? 1 : 31;
                level = 4;
            }
            LowerDay(p);
            break;
        case kDayName: {
            level = 3;
            QDate d(p.year, p.month, p.day);
            if (step)
                d = d.addDays(up ? 1 : -1);
            else if (typedValue)
                d = d.addDays(typed - (p.dayOfWeek - 1));
            else
                d = d.addDays(type == 8 ? -(p.dayOfWeek - 1) : 7 - p.dayOfWeek);
            p.year = d.year();
            p.month = d.month();
            p.day = d.day();
            break;
        }
        case kMonth:
        case kMonthName:
            level = 4;
            if (step) {
                p.month = Wrap(p.month - 1 + (up ? 1 : -1), 12) + 1;
            } else if (typedValue) {
                const int m = id == kMonthName ? typed + 1 : typed;
                if (m < 1 || m > 12)
                    return false;
                p.month = m;
            } else {
                p.month = type == 8 ? 1 : 12;
                level = 5;
            }
            LowerDay(p);
            break;
        case kYear2:
        case kYear4:
            level = 5;
            if (step) {
                p.year = up ? std::min(9999, p.year + by) : std::max(100, p.year - by);
            } else if (typedValue) {
                if (id == kYear4) {
                    p.year = typed;
                } else {
                    const int century = (GetStyle() & kStyleCurrentCentury)
                                            ? QDate::currentDate().year() / 100 * 100
                                            : GetCentury(typed);
                    p.year = century + typed;
                }
                if (p.year < 100 || p.year > 9999)
                    return false;
            } else {
                const auto bound = GXOleDateToParts(type == 8 ? min_ : max_);
                p.year = bound ? std::max(100, bound->year) : p.year;
                level = 6;
            }
            LowerDay(p);
            break;
        default:
            return false;
    }
    const auto v = GXOleDateFromParts(p);
    if (!v)
        return false;
    return Apply(*v, type, std::min(level, 5));
}

bool CGXBDateTimeCtrl::OnGadgetNotify(int type, int id, int value) {
    if (type == 10) {
        state_ = value ? (state_ | 4) : (state_ & ~4u);
        return true;
    }
    if (type == 11) {
        if (GetAutoAdvance())
            MoveField(true);
        return true;
    }
    if (id == kButton)
        return type == 5 ? DropDownCalendar() : false;
    if (id == kSpin) {
        if (current_ < 0)
            return false;
        return HandleField(type, gadgets_[static_cast<std::size_t>(current_)]->id, value);
    }
    return HandleField(type, id, value);
}

// --- fields and layout -------------------------------------------------------------------------

int CGXBDateTimeCtrl::FirstFieldIndex() const {
    for (int i = fixedCount_; i < static_cast<int>(gadgets_.size()); ++i)
        if (gadgets_[static_cast<std::size_t>(i)]->flags & CGXBDTGadget::kEnabled)
            return i;
    return -1;
}

int CGXBDateTimeCtrl::LastFieldIndex() const {
    for (int i = static_cast<int>(gadgets_.size()) - 1; i >= fixedCount_; --i)
        if (gadgets_[static_cast<std::size_t>(i)]->flags & CGXBDTGadget::kEnabled)
            return i;
    return -1;
}

bool CGXBDateTimeCtrl::IsFirstField() const {
    return current_ == FirstFieldIndex();
}

bool CGXBDateTimeCtrl::IsLastField() const {
    return current_ == LastFieldIndex();
}

void CGXBDateTimeCtrl::SetCurrent(int index) {
    if (index == current_ || index < 0)
        return;
    if (current_ >= 0)
        gadgets_[static_cast<std::size_t>(current_)]->Activate(false);
    current_ = index;
    if (GetFocus() == this)
        gadgets_[static_cast<std::size_t>(current_)]->Activate(true);
    ScrollIntoView(index);
    Invalidate(false);
}

void CGXBDateTimeCtrl::MoveField(bool forward) {
    if (current_ < 0)
        return;
    const int n = static_cast<int>(gadgets_.size());
    for (int i = current_ + (forward ? 1 : -1); i >= fixedCount_ && i < n; i += forward ? 1 : -1) {
        if (gadgets_[static_cast<std::size_t>(i)]->flags & CGXBDTGadget::kEnabled) {
            SetCurrent(i);
            return;
        }
    }
}

fw::Rect CGXBDateTimeCtrl::GadgetArea() const {
    fw::Rect r = GetClientRect();
    if (GetExStyle() & fw::WS_EX_CLIENTEDGE)
        r.Inflate(-2, -2);
    return r;
}

void CGXBDateTimeCtrl::LayoutGadgets() {
    if (!IsCreated())
        return;
    QImage probe(1, 1, QImage::Format_ARGB32);
    fw::DeviceContext dc(&probe);
    dc.SelectFont(font_);
    const fw::Rect client = GadgetArea();
    int right = client.right;
    reserved_ = 0;
    int x = client.left + 1;
    for (std::size_t i = 0; i < gadgets_.size(); ++i) {
        CGXBDTGadget& g = *gadgets_[i];
        g.CalcSize(dc);
        const int w = g.rect.Width();
        const int h = g.rect.bottom == -1 ? client.Height() : g.rect.Height();
        if (g.flags & CGXBDTGadget::kFixed) {
            g.rect = {right - w, client.top, right, client.bottom};
            right -= w;
            reserved_ += w;
        } else {
            const int top = client.top + std::max(0, (client.Height() - h) / 2);
            g.rect = {x, top, x + w, top + h};
            x += w;
        }
    }
    if (current_ >= 0)
        ScrollIntoView(current_);
}

void CGXBDateTimeCtrl::ScrollIntoView(int index) {
    if (index < fixedCount_)
        return;
    const fw::Rect r = gadgets_[static_cast<std::size_t>(index)]->rect;
    const fw::Rect c = GadgetArea();
    const int left = r.left - scroll_;
    const int right = r.right - scroll_;
    const int limit = c.right - 1 - reserved_;
    if (left < c.left + 1)
        scroll_ = r.left - c.left - 1;
    else if (right > limit)
        scroll_ += right - limit;
    scroll_ = std::max(0, scroll_);
}

int CGXBDateTimeCtrl::GadgetFromPoint(fw::Point p) const {
    // The fixed gadgets (spin, button) never take the field focus, so they carry no enabled bit;
    // they answer the mouse wherever they stand.
    for (int i = 0; i < fixedCount_; ++i) {
        const CGXBDTGadget& g = *gadgets_[static_cast<std::size_t>(i)];
        if ((g.flags & (CGXBDTGadget::kEnabled | CGXBDTGadget::kMouse)) && g.rect.Contains(p))
            return i;
    }
    int last = -1;
    for (int i = fixedCount_; i < static_cast<int>(gadgets_.size()); ++i) {
        const CGXBDTGadget& g = *gadgets_[static_cast<std::size_t>(i)];
        if (!(g.flags & CGXBDTGadget::kEnabled))
            continue;
        if (g.rect.right - scroll_ >= p.x)
            return i;
        last = i;
    }
    return last;
}

fw::Point CGXBDateTimeCtrl::ToGadget(const CGXBDTGadget& g, fw::Point p) const {
    return (g.flags & CGXBDTGadget::kFixed) ? p : fw::Point{p.x + scroll_, p.y};
}

// --- owner services ----------------------------------------------------------------------------

void CGXBDateTimeCtrl::InvalidateGadget(const CGXBDTGadget& g) {
    if (!IsCreated())
        return;
    fw::Rect r = g.rect;
    if (!(g.flags & CGXBDTGadget::kFixed))
        r.Offset(-scroll_, 0);
    InvalidateRect(r, false);
}

void CGXBDateTimeCtrl::CaptureGadget(CGXBDTGadget* g) {
    capture_ = g;
    if (g)
        SetCapture();
    else
        ReleaseCapture();
}

void CGXBDateTimeCtrl::StartGadgetTimer(CGXBDTGadget* g, unsigned ms) {
    StopGadgetTimer(g);
    const fw::UINT_PTR id = nextTimer_++;
    timers_[id] = g;
    SetTimer(id, ms);
}

void CGXBDateTimeCtrl::StopGadgetTimer(CGXBDTGadget* g) {
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->second == g) {
            KillTimer(it->first);
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
}

void CGXBDateTimeCtrl::OnTimer(fw::UINT_PTR id) {
    const auto it = timers_.find(id);
    if (it != timers_.end())
        it->second->OnTimer();
}

fw::ColorRef CGXBDateTimeCtrl::BackColor() const {
    return IsWindowEnabled() ? CGXSysColorCache::Instance().clrWindow
                             : fw::GetSysColor(fw::COLOR_BTNFACE);
}

fw::ColorRef CGXBDateTimeCtrl::TextColor() const {
    return CGXSysColorCache::Instance().clrWindowText;
}

// --- painting ----------------------------------------------------------------------------------

void CGXBDateTimeCtrl::DrawGadgets(fw::DeviceContext& dc) {
    dc.SelectFont(font_);
    for (int i = 0; i < fixedCount_; ++i) gadgets_[static_cast<std::size_t>(i)]->Draw(dc);
    const int saved = dc.SaveDC();
    for (int i = 0; i < fixedCount_; ++i)
        dc.ExcludeClipRect(gadgets_[static_cast<std::size_t>(i)]->rect);
    dc.OffsetViewportOrg(-scroll_, 0);
    for (std::size_t i = static_cast<std::size_t>(fixedCount_); i < gadgets_.size(); ++i)
        gadgets_[i]->Draw(dc);
    dc.RestoreDC(saved);
}

void CGXBDateTimeCtrl::OnPaint() {
    fw::PaintContext dc(*this);
    const fw::Rect client = GetClientRect();
    fw::Bitmap bmp = fw::Bitmap::Create(std::max(1, client.Width()), std::max(1, client.Height()));
    fw::DeviceContext mem;
    mem.CreateCompatibleDC(&dc);
    mem.SelectBitmap(bmp);
    mem.FillSolidRect(client, BackColor());
    if (GetExStyle() & fw::WS_EX_CLIENTEDGE) {
        // Two nested frames, sunken, in the library's cached colours.
        const CGXSysColorCache& c = CGXSysColorCache::Instance();
        fw::Rect edge = client;
        mem.Draw3dRect(edge, c.clrBtnShadow, c.clrBtnHilite);
        edge.Inflate(-1, -1);
        mem.Draw3dRect(edge, c.clr3DDkShadow, c.clr3DLight);
        mem.IntersectClipRect(GadgetArea());
    }
    DrawGadgets(mem);
    mem.Flush();
    dc.BitBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, fw::SRCCOPY);
}

void CGXBDateTimeCtrl::OnSize(UINT type, int cx, int cy) {
    fw::Window::OnSize(type, cx, cy);
    LayoutGadgets();
    Invalidate(false);
}

// --- input -------------------------------------------------------------------------------------

bool CGXBDateTimeCtrl::OnKeyDown(UINT vk, UINT, UINT) {
    const bool shift = fw::IsKeyDown(fw::VK_SHIFT);
    switch (vk) {
        case fw::VK_LEFT:
            MoveField(false);
            return true;
        case fw::VK_RIGHT:
            MoveField(true);
            return true;
        case fw::VK_TAB:
            MoveField(!shift);
            return true;
        default:
            break;
    }
    if (vk == fw::VkFunction(4)) {
        if (GetStyle() & kStyleDropDown)
            DropDownCalendar();
        return true;
    }
    if (current_ >= 0)
        return gadgets_[static_cast<std::size_t>(current_)]->OnKeyDown(vk);
    return false;
}

bool CGXBDateTimeCtrl::OnSysKeyDown(UINT vk, UINT repeat, UINT flags) {
    if (vk == fw::VK_DOWN && (GetStyle() & kStyleDropDown)) {
        DropDownCalendar();
        return true;
    }
    return fw::Window::OnSysKeyDown(vk, repeat, flags);
}

bool CGXBDateTimeCtrl::OnChar(UINT ch, UINT, UINT) {
    if (ch == '\t' || current_ < 0)
        return true;
    const std::size_t next = static_cast<std::size_t>(current_) + 1;
    if (next < gadgets_.size()) {
        if (auto* s = dynamic_cast<CGXBDTStaticGadget*>(gadgets_[next].get())) {
            const QString text = QString::fromStdString(s->Text()).trimmed();
            const QString typed = QString::fromUcs4(reinterpret_cast<const char32_t*>(&ch), 1);
            if ((text.isEmpty() && ch == ' ') || (!text.isEmpty() && typed == text)) {
                MoveField(true);
                return true;
            }
        }
    }
    gadgets_[static_cast<std::size_t>(current_)]->OnChar(static_cast<char32_t>(ch));
    return true;
}

void CGXBDateTimeCtrl::OnLButtonDown(UINT flags, fw::Point p) {
    const int index = GadgetFromPoint(p);
    if (index < 0)
        return;
    CGXBDTGadget& g = *gadgets_[static_cast<std::size_t>(index)];
    if (!(g.flags & CGXBDTGadget::kFixed)) {
        if (GetFocus() != this)
            SetFocus();
        SetCurrent(index);
    } else if (GetFocus() != this) {
        SetFocus();
    }
    if (g.flags & CGXBDTGadget::kMouse)
        g.OnLButtonDown(flags, ToGadget(g, p));
}

void CGXBDateTimeCtrl::OnLButtonUp(UINT flags, fw::Point p) {
    if (capture_)
        capture_->OnLButtonUp(flags, ToGadget(*capture_, p));
}

void CGXBDateTimeCtrl::OnMouseMove(UINT flags, fw::Point p) {
    if (capture_)
        capture_->OnMouseMove(flags, ToGadget(*capture_, p));
}

void CGXBDateTimeCtrl::OnCancelMode() {
    if (capture_)
        capture_->OnCancelMode();
    if (current_ >= 0)
        gadgets_[static_cast<std::size_t>(current_)]->OnCancelMode();
}

void CGXBDateTimeCtrl::OnSetFocus(fw::Window* old) {
    fw::Window::OnSetFocus(old);
    if (current_ < 0)
        current_ = FirstFieldIndex();
    if (current_ >= 0)
        gadgets_[static_cast<std::size_t>(current_)]->Activate(true);
}

void CGXBDateTimeCtrl::OnKillFocus(fw::Window* next) {
    fw::Window::OnKillFocus(next);
    if (current_ >= 0)
        gadgets_[static_cast<std::size_t>(current_)]->Activate(false);
}

// --- calendar ----------------------------------------------------------------------------------

std::unique_ptr<CGXBPopupCalendar> CGXBDateTimeCtrl::CreatePopupCalendar() {
    return std::make_unique<CGXBPopupCalendar>();
}

bool CGXBDateTimeCtrl::DropDownCalendar() {
    if (current_ >= 0)
        if (auto* n = dynamic_cast<CGXBDTNumericGadget*>(
                gadgets_[static_cast<std::size_t>(current_)].get()))
            n->Commit();
    GXSetActivationSuppressed(true);
    if (calendar_)
        calendar_.release()->deleteLater();
    calendar_ = CreatePopupCalendar();
    const auto p = GXOleDateToParts(value_);
    const QDate date = p ? QDate(p->year, p->month, p->day) : QDate::currentDate();
    calendar_->SetCurrentDate(date, false);
    if (!calendar_->CreatePopup(1, GetWindowRect(), this))
        calendar_.reset();
    else
        calendar_->SelectDate(date, true);
    GXSetActivationSuppressed(false);
    return true;
}

fw::LRESULT CGXBDateTimeCtrl::WindowProc(fw::Message& msg) {
    switch (msg.id) {
        case kMsgChosen:
            if (calendar_) {
                const QDate d = calendar_->GetSelectedDate().isValid()
                                    ? calendar_->GetSelectedDate()
                                    : calendar_->GetCurrentDate();
                auto p = GXOleDateToParts(value_);
                if (p && d.isValid()) {
                    p->year = d.year();
                    p->month = d.month();
                    p->day = d.day();
                    if (const auto v = GXOleDateFromParts(*p))
                        Apply(*v, 7, 3);
                }
                calendar_.release()->deleteLater();
            }
            return 0;
        case kMsgCancelled:
            if (calendar_)
                calendar_.release()->deleteLater();
            return 0;
        case WM_SETTINGCHANGE:
            BuildGadgets();
            break;
        case fw::WM_SYSCOLORCHANGE:
            CGXSysColorCache::Instance().Update();
            for (auto& g : gadgets_) g->OnSysColorChange();
            break;
        case fw::WM_DESTROY:
            ClearFieldGadgets();
            break;
        default:
            break;
    }
    return fw::Window::WindowProc(msg);
}
