// A self-drawn window that edits one date-time value field by field. A format picture (the
// locale's, from GXLocaleInfo, or a custom one) is cut into gadgets: numeric fields, name lists
// and literal text, optionally with a spin gadget (style 2) and a drop-down button (style 1)
// that opens the pop-up calendar. Every change is checked against an optional range first.
// Values are OLE dates: days since 30 December 1899 with the time of day as the fraction, from
// -657434 (1 January 100) to 2958465 (31 December 9999). Tells the parent WM_COMMAND with code
// 0x100 after a change (not with WS_EX_NOPARENTNOTIFY). User-interface thread.
#pragma once

#include "grid/extras/CGXBDTGadgets.h"

#include "framework/window/Window.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CGXBPopupCalendar;

// A broken-down OLE date.
struct GXOleDateParts {
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
    int dayOfWeek = 7;  // 1 Sunday ... 7 Saturday
};
// To and from the parts, rounding to the nearest second; none outside the valid range.
std::optional<GXOleDateParts> GXOleDateToParts(double date);
std::optional<double> GXOleDateFromParts(const GXOleDateParts& parts);
bool GXOleDateIsValid(double date);

class CGXBDateTimeCtrl : public fw::Window, public CGXBDTGadgetOwner {
    Q_OBJECT

public:
    using UINT = fw::UINT;
    using LRESULT = fw::LRESULT;

    static constexpr unsigned kStyleDropDown = 1;
    static constexpr unsigned kStyleSpin = 2;
    static constexpr unsigned kStyleCurrentCentury = 0x10;
    static constexpr unsigned kChangedCode = 0x100;
    enum FormatType { kTime = 0, kShortDate = 1, kLongDate = 2, kCustom = 3, kShortDateTime = 4 };
    // Gadget ids, also the bits of an update mask.
    enum GadgetId {
        kHour12 = 1,
        kHour24 = 2,
        kMinute = 4,
        kSecond = 8,
        kAmPm = 16,
        kDay = 32,
        kDayName = 64,
        kMonth = 128,
        kMonthName = 256,
        kYear2 = 512,
        kYear4 = 1024,
        kButton = 0x4000,
        kSpin = 0x8000
    };

    CGXBDateTimeCtrl();
    ~CGXBDateTimeCtrl() override;

    // Extended styles: WS_EX_CLIENTEDGE draws a two-pixel sunken border inside the window,
    // WS_EX_NOPARENTNOTIFY keeps changes from the parent.
    bool Create(unsigned style, const fw::Rect& rect, fw::Window* parent, unsigned id,
                unsigned exStyle = 0);
    // The area the gadgets use: the client area, less the own border when there is one.
    fw::Rect GadgetArea() const;

    void SetFormatType(int type);
    void SetCustomFormat(const std::string& picture);
    bool SetDateTime(double value);
    double GetDateTime() const { return value_; }
    bool SetDateTimeRange(double minimum, double maximum, int mode);
    void SetNonEditableFields(unsigned mask);
    bool IsFirstField() const;
    bool IsLastField() const;
    int GadgetFromPoint(fw::Point p) const;
    bool IsModified() const { return (state_ & 1) != 0; }

    // The gadgets in order (fixed first), the current one, and the picture in use; for tests.
    const std::vector<std::unique_ptr<CGXBDTGadget>>& Gadgets() const { return gadgets_; }
    int CurrentGadget() const { return current_; }
    std::string Picture() const;
    // The field texts joined as shown (without fixed gadgets).
    std::string DisplayText() const;
    CGXBPopupCalendar* Calendar() const { return calendar_.get(); }

    virtual bool GetAutoAdvance() const { return autoAdvance_; }
    virtual bool ValidateDateTime(double& value, int level);
    virtual bool OnValidate(double) { return true; }
    virtual void NotifyChanged();
    virtual int GetCentury(int twoDigitYear);
    virtual void LayoutGadgets();
    virtual void DrawGadgets(fw::DeviceContext& dc);
    virtual bool DropDownCalendar();
    virtual std::unique_ptr<CGXBPopupCalendar> CreatePopupCalendar();
    bool OnGadgetNotify(int type, int id, int value) override;

    // CGXBDTGadgetOwner.
    void InvalidateGadget(const CGXBDTGadget& g) override;
    void CaptureGadget(CGXBDTGadget* g) override;
    void StartGadgetTimer(CGXBDTGadget* g, unsigned ms) override;
    void StopGadgetTimer(CGXBDTGadget* g) override;
    fw::ColorRef BackColor() const override;
    fw::ColorRef TextColor() const override;

protected:
    LRESULT WindowProc(fw::Message& msg) override;
    void OnPaint() override;
    void OnSize(UINT type, int cx, int cy) override;
    bool OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
    bool OnSysKeyDown(UINT vk, UINT repeat, UINT flags) override;
    bool OnChar(UINT ch, UINT repeat, UINT flags) override;
    UINT OnGetDlgCode() override { return 131; }
    void OnLButtonDown(UINT flags, fw::Point p) override;
    void OnLButtonUp(UINT flags, fw::Point p) override;
    void OnMouseMove(UINT flags, fw::Point p) override;
    void OnCancelMode() override;
    void OnSetFocus(fw::Window* old) override;
    void OnKillFocus(fw::Window* next) override;
    void OnTimer(fw::UINT_PTR id) override;

private:
    void BuildGadgets();
    void ClearFieldGadgets();
    void UpdateGadgets(unsigned mask);
    void SetCurrent(int index);
    void MoveField(bool forward);
    void ScrollIntoView(int index);
    bool Apply(double value, int type, int level);
    bool HandleField(int type, int id, int value);
    int FirstFieldIndex() const;
    int LastFieldIndex() const;
    fw::Point ToGadget(const CGXBDTGadget& g, fw::Point p) const;

    double value_ = 0;
    double min_ = -657434;
    double max_ = 2958465;
    int mode_ = 0;
    int formatType_ = kShortDate;
    std::string custom_;
    unsigned nonEditable_ = 0;
    bool autoAdvance_ = true;
    unsigned state_ = 0;
    fw::LogFont font_;
    std::vector<std::unique_ptr<CGXBDTGadget>> gadgets_;
    int fixedCount_ = 0;
    int current_ = -1;
    int scroll_ = 0;
    int reserved_ = 0;
    CGXBDTGadget* capture_ = nullptr;
    std::unique_ptr<CGXBPopupCalendar> calendar_;
    bool pm_ = false;
    bool hasDateFields_ = false;
    std::map<fw::UINT_PTR, CGXBDTGadget*> timers_;
    fw::UINT_PTR nextTimer_ = 100;
};
