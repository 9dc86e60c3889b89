// Currency cells (control id 52545): the cell stores a plain decimal number with the format's
// fractional digits ("1234.50"); every cell shows it formatted as money by the cell's format (the
// user's locale with the "Currency: ..." user attributes on top). The current cell, once
// editing starts, shows the currency edit window over the cell; the grid keeps the keyboard and
// hands the edit's keys on to it, so Tab, Enter and the arrows at the text's ends still move
// in the grid. Space flips the sign. The number of decimals limits how many integer digits an
// amount may have: a longer amount is refused when the cell is left, never cut.
//
// The control lives beside the stand-alone currency edit (grid/extras) and reaches the factory
// through GXRegisterExtrasCellControls.
#pragma once

#include "grid/extras/CGXBCurrencyFormat.h"
#include "grid/extras/CGXWindowCellControl.h"

#include <memory>

class CGXBCurrencyEdit;
class CGXStylesMap;

inline constexpr unsigned GX_IDS_CTRL_CURRENCY = 52545;
inline constexpr std::uint16_t GX_IDS_UA_CURRENCY_SEPARATORS = 51045;
inline constexpr std::uint16_t GX_IDS_UA_CURRENCY_ATTRIBUTES = 51046;
inline constexpr std::uint16_t GX_IDS_UA_CURRENCY_POSITIVE = 51047;
inline constexpr std::uint16_t GX_IDS_UA_CURRENCY_NEGATIVE = 51048;
inline constexpr std::uint16_t GX_IDS_UA_CURRENCY_DECIMALS = 51049;
inline constexpr std::uint16_t GX_IDS_UA_CURRENCY_FRACTION = 51050;
inline constexpr std::uint16_t GX_IDS_UA_CURRENCY_SYMBOL = 51054;

class CGXCurrencyEdit : public CGXWindowCellControl {
public:
    static const CGXControlClassInfo kClassInfo;
    explicit CGXCurrencyEdit(CGXGridCore* grid, unsigned controlId = GX_IDS_CTRL_CURRENCY);
    ~CGXCurrencyEdit() override;
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    static void AddUserAttributes(CGXStylesMap& map);
    // The format of a cell: the user's locale, then each present attribute.
    static CGXBCurrencyFormat LoadFormatFromStyle(const CGXStyle& style);
    // The stored form of an amount: "%.<fraction digits>f" in the C locale.
    static std::string StoredText(double value, const CGXBCurrencyFormat& format);
    // FALSE when the amount has more integer digits than the format's number of decimals.
    static bool FitsFormat(double value, const CGXBCurrencyFormat& format);

    void Init(ROWCOL row, ROWCOL col) override;
    // Refuses an amount the format cannot show (too many integer digits).
    bool OnValidate() override;
    void SetValue(const std::string& value) override;
    bool GetControlText(std::string& text, ROWCOL row, ROWCOL col, const std::string* valueText,
                        const CGXStyle& style) override;
    bool ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                   const CGXStyle* style) override;
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;
    bool ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) override;

    CGXBCurrencyEdit* GetWindow() const { return m_pWnd.get(); }

protected:
    fw::Window* CellWindow() const override;
    std::string WindowValue() const override;
    std::string WindowText() const override;

private:
    bool CreateWindows();

    bool m_bInitInProgress = false;
    std::unique_ptr<CGXBCurrencyEdit> m_pWnd;
};
