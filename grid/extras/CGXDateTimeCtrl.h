// Date-time cells (control ids 52543 with the pop-up calendar button, 52544 without): the cell
// stores an OLE date ("%.13g": days since 30 December 1899, the time as the fraction); every cell
// shows it field by field in the cell's format ("DateTime: Date format type" and "DateTime:
// Custom date format", the user's locale otherwise) through a hidden captive date-time window.
// The current cell, once editing starts, shows the date-time window over the cell; the grid
// keeps the keyboard and hands it the field keys: digits, Up and Down change the field, Left and
// Right move between fields (and leave the cell past the first or last), F4 opens the calendar.
// Lives beside the stand-alone date-time control and reaches the factory through
// GXRegisterExtrasCellControls.
#pragma once

#include "grid/controls/CGXControl.h"

#include <memory>
#include <optional>

class CGXBDateTimeCtrl;
class CGXStylesMap;

inline constexpr unsigned GX_IDS_CTRL_DATETIME = 52543;
inline constexpr unsigned GX_IDS_CTRL_DATETIMENOCAL = 52544;
inline constexpr std::uint16_t GX_IDS_UA_DATENOEDIT = 51034;
inline constexpr std::uint16_t GX_IDS_UA_DATEMIN = 51035;
inline constexpr std::uint16_t GX_IDS_UA_DATEMAX = 51036;
inline constexpr std::uint16_t GX_IDS_UA_DATEVALIDMODE = 51037;
inline constexpr std::uint16_t GX_IDS_UA_DATEFORMATTYPE = 51038;
inline constexpr std::uint16_t GX_IDS_UA_CUSTOMFORMAT = 51039;
inline constexpr std::uint16_t GX_IDS_UA_FASTINPUT = 51044;
inline constexpr std::uint16_t GX_IDS_UA_FORCENUMERIC = 52571;

class CGXDateTimeCtrl : public CGXStatic {
public:
    static const CGXControlClassInfo kClassInfo;
    CGXDateTimeCtrl(CGXGridCore* grid, unsigned controlId);
    ~CGXDateTimeCtrl() override;
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    static void AddUserAttributes(CGXStylesMap& map);
    // Gives a window the cell's format; TRUE when the format shows a date.
    static bool ApplyFormat(CGXBDateTimeCtrl& wnd, const CGXStyle& style);
    // A stored value as an OLE date: a number ("%.13g" or any decimal), or none.
    static std::optional<double> ParseValue(const std::string& value);
    static std::string StoredText(double date);

    void Init(ROWCOL row, ROWCOL col) override;
    void Reset() override;
    void SetActive(bool active) override;
    bool IsActive() override { return m_bActive; }
    void SetModify(bool modified) override { m_bModified = modified; }
    bool GetModify() override { return m_bModified; }
    bool Store() override;
    bool GetValue(std::string& value) override;
    void SetValue(const std::string& value) override;
    void GetCurrentText(std::string& text) override;
    bool GetControlText(std::string& text, ROWCOL row, ROWCOL col, const std::string* valueText,
                        const CGXStyle& style) override;
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;
    bool ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) override;
    void Hide() override;

    CGXBDateTimeCtrl* GetWindow() const { return m_pWnd.get(); }

private:
    bool CreateWindows();
    bool StartEditing();
    void ApplyRange(const CGXStyle& style);

    unsigned m_nControlId;
    std::unique_ptr<CGXBDateTimeCtrl> m_pWnd;
    std::unique_ptr<CGXBDateTimeCtrl> m_pCaptive;  // formats inactive cells
};
