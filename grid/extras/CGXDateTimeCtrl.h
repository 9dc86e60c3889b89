// Date-time cells (control ids 52543 with the pop-up calendar button, 52544 without): the cell
// stores an OLE date ("%.13g": days since 30 December 1899, the time as the fraction); every cell
// shows it field by field in the cell's format ("DateTime: Date format type" and "DateTime:
// Custom date format", the user's locale otherwise) through a hidden captive date-time window.
// The current cell, once editing starts, shows the date-time window over the cell; the grid
// keeps the keyboard and hands it the field keys: digits, Up and Down change the field, Left and
// Right move between fields (and leave the cell past the first or last), F4 opens the calendar.
// A text given as a whole (pasted, set, or typed into the grid's own editing) is read as a date
// in the user's locale, or else cut into fields at blanks, line ends and the separators (",")
// that are handed in order to the cell format's fields.
// Lives beside the stand-alone date-time control and reaches the factory through
// GXRegisterExtrasCellControls.
#pragma once

#include "grid/extras/CGXWindowCellControl.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

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

class CGXDateTimeCtrl : public CGXWindowCellControl {
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
    // A date, a time or both written in the user's locale's short or long form (a year may have
    // two or four digits); none when the text is no such date.
    std::optional<double> ParseDateText(const std::string& text);
    // The pieces of a text between blanks, line ends and the separator characters.
    std::vector<std::string> SplitInput(const std::string& text) const;

    void Init(ROWCOL row, ROWCOL col) override;
    void SetValue(const std::string& value) override;
    // While bound: activates the control and shows the date the text gives (an empty text gives
    // 30 December 1899 00:00); a text that gives no date changes nothing.
    void SetCurrentText(const std::string& text) override;
    // A date text, or fields for the cell's format, as the stored number; FALSE when neither.
    bool ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                   const CGXStyle* style) override;
    bool GetControlText(std::string& text, ROWCOL row, ROWCOL col, const std::string* valueText,
                        const CGXStyle& style) override;
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;
    bool ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) override;

    CGXBDateTimeCtrl* GetWindow() const { return m_pWnd.get(); }

    std::string m_sSeparators = ",";  // besides blanks and line ends, between typed fields

protected:
    fw::Window* CellWindow() const override;
    std::string WindowValue() const override;
    std::string WindowText() const override;

private:
    bool CreateWindows();
    void ApplyRange(const CGXStyle& style);
    // The date a text gives for a cell of this style: a date text, else its fields.
    std::optional<double> DateFromText(const std::string& text, const CGXStyle& style);
    std::optional<double> DateFromFields(const std::vector<std::string>& fields,
                                         const CGXStyle& style);

    std::unique_ptr<CGXBDateTimeCtrl> m_pWnd;
    std::unique_ptr<CGXBDateTimeCtrl> m_pCaptive;  // formats inactive cells
};
