// A month calendar window: a title with the month and year and four navigation buttons, a bar
// of weekday names and 42 day boxes (six weeks), worked with the mouse and the keyboard, with
// day and month names from the user's locale (GXLocaleInfo). It keeps one current date, an
// optional selected day box and the set of highlighted dates, and posts what happens to its
// owner: 2005 selection changed (state, box), 2006 highlight changed (on, box), 2007 a date was
// chosen and 2008 cancelled (after both the calendar hides). Dates run from February 100 to
// November 9999. User-interface thread.
#pragma once

#include "grid/extras/CGXBCalendarPanels.h"

#include "framework/window/Window.h"

#include <QDate>

#include <array>
#include <set>

class CGXBCalendar : public fw::Window {
    Q_OBJECT

public:
    using UINT = fw::UINT;
    using LRESULT = fw::LRESULT;

    static constexpr UINT kMsgSelection = 2005;
    static constexpr UINT kMsgHighlight = 2006;
    static constexpr UINT kMsgChosen = 2007;
    static constexpr UINT kMsgCancelled = 2008;

    // Behaviour flags.
    static constexpr unsigned kFitFonts = 1;
    static constexpr unsigned kNaturalSize = 2;
    static constexpr unsigned kChooseOnSelect = 4;
    static constexpr unsigned kKeyboard = 0x20;
    static constexpr unsigned kDateFixed = 0x40;

    CGXBCalendar();
    ~CGXBCalendar() override;

    // Creates the calendar as a child of `owner` (or, with WS_POPUP, a pop-up owned by it).
    bool Create(unsigned style, const fw::Rect& rect, fw::Window* owner, unsigned id);

    static bool IsDateValid(const QDate& date);

    bool SetCurrentDate(const QDate& date, bool redraw = true);
    QDate GetCurrentDate() const { return current_; }
    QDate GetFirstVisibleDate() const { return firstVisible_; }
    // The selected box (0-41) or -1, and its date (null when none).
    int GetSelectedBox() const { return selectedBox_; }
    QDate GetSelectedDate() const;
    void SelectDate(const QDate& date, bool select);
    void HighlightDate(const QDate& date, bool on);
    bool IsHighlighted(const QDate& date) const { return highlighted_.count(date) != 0; }
    void ToggleDate(const QDate& date);

    // Each moves the view, or with `moveSelection` the selection; false (and a beep) when
    // refused.
    bool NextDay(bool moveSelection);
    bool PrevDay(bool moveSelection);
    bool NextWeek(bool moveSelection);
    bool PrevWeek(bool moveSelection);
    bool NextMonth(bool moveSelection);
    bool PrevMonth(bool moveSelection);
    bool NextYear(bool moveSelection);
    bool PrevYear(bool moveSelection);

    void SetFirstDayOfWeek(int day);  // 1 Sunday ... 7 Saturday
    int GetFirstDayOfWeek() const { return firstDayOfWeek_; }
    void SetBehaviour(unsigned flags) { behaviour_ = flags; }
    unsigned GetBehaviour() const { return behaviour_; }
    void SetOwnerFont(const fw::LogFont& font) { ownerFont_ = font; }

    // The size the calendar needs for its fonts (the owner's font as made by Create).
    fw::Size NaturalSize();

    const CGXBDayBox& Box(int index) const { return boxes_[static_cast<std::size_t>(index)]; }
    const CGXBDayBar& DayBar() const { return dayBar_; }
    const CGXBCalTitle& Title() const { return title_; }
    // The box showing the date, or -1.
    int BoxOf(const QDate& date) const;

protected:
    void OnPaint() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnLButtonDown(UINT flags, fw::Point p) override;
    void OnLButtonUp(UINT flags, fw::Point p) override;
    void OnLButtonDblClk(UINT flags, fw::Point p) override;
    void OnRButtonDown(UINT flags, fw::Point p) override;
    bool OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
    UINT OnGetDlgCode() override;
    LRESULT WindowProc(fw::Message& msg) override;

    void Post(UINT msg, fw::WPARAM w = 0, fw::LPARAM l = 0);
    // Reports 2007 or 2008 and hides.
    void Choose();
    void Cancel();

    unsigned inMonthOptions_ = 257;
    unsigned otherMonthOptions_ = 0x1000017F;
    unsigned panelOptions_ = 0x39C000;

private:
    void FillDays();
    void Layout();
    void ApplyFonts();
    void UpdateTitle();
    bool Step(int days, int months, int years, bool moveSelection);
    int BoxAt(fw::Point p) const;

    CGXBDayBar dayBar_;
    CGXBCalTitle title_;
    QDate current_{1970, 1, 1};
    QDate firstVisible_;
    QDate remembered_;
    bool hasRemembered_ = false;
    int firstDayOfWeek_ = 2;
    std::array<CGXBDayBox, 42> boxes_;
    std::set<QDate> highlighted_;
    int selectedBox_ = -1;
    fw::LogFont ownerFont_;
    GXCalColors colors_;
    unsigned behaviour_ = kFitFonts | kKeyboard;
    bool created_ = false;
    fw::WindowHandle owner_{};
};
