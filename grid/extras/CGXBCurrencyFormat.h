// How the currency edit shows an amount: symbol, grouping, separators, the positive and negative
// patterns, padding and colours; and how it reads a text back into an amount. Texts are UTF-8;
// digits and the separators are single bytes, so byte indices of digits are character-safe.
#pragma once

#include "framework/base/Color.h"

#include <string>
#include <string_view>

class CGXBCurrencyFormat {
public:
    // TRUE reads the user's locale (GXLocaleInfo), FALSE takes the fixed defaults. In both the
    // integer digits are -1 (unlimited): the locale has no such setting of its own.
    explicit CGXBCurrencyFormat(bool fromLocale = true);
    virtual ~CGXBCurrencyFormat() = default;
    CGXBCurrencyFormat(const CGXBCurrencyFormat&) = default;
    CGXBCurrencyFormat& operator=(const CGXBCurrencyFormat&) = default;

    // The amount and sign of a text; false refuses it (unbalanced parentheses, no digit, other
    // characters inside the number).
    virtual bool ParseText(std::string_view text, double& value, bool& negative) const;
    virtual std::string FormatValue(double magnitude, bool negative) const;
    // The index of the last `ch` (the decimal separator when 0), or -1.
    virtual int FindDecimalSeparator(std::string_view text, char ch = 0) const;
    // The first and last index of the number in a text (see the .cpp); false without a digit.
    virtual bool FindDigitSpan(std::string_view text, int& start, int& end) const;
    virtual void CopyFrom(const CGXBCurrencyFormat& other) { *this = other; }
    virtual bool IsEqual(const CGXBCurrencyFormat& other) const;
    bool IsDifferent(const CGXBCurrencyFormat& other) const { return !IsEqual(other); }

    // Refuses (false) a digit other than '0'.
    bool SetPaddingChar(char c);
    void SetBackgroundColor(fw::ColorRef c) { background = c, colorFlags |= 1; }
    void SetNegativeColor(fw::ColorRef c) { negativeColor = c, colorFlags |= 2; }
    void SetPositiveColor(fw::ColorRef c) { positiveColor = c, colorFlags |= 4; }
    bool GetBackgroundColor(fw::ColorRef& c) const { return Get(1, background, c); }
    bool GetNegativeColor(fw::ColorRef& c) const { return Get(2, negativeColor, c); }
    bool GetPositiveColor(fw::ColorRef& c) const { return Get(4, positiveColor, c); }
    void SetPositiveFormat(int f) { positiveFormat = f; }
    void SetNegativeFormat(int f) { negativeFormat = f; }

    bool leadingZero = true;
    bool decimalLine = false;
    bool noIntegerLimit = false;
    bool padBeforeGrouping = false;
    std::string symbol = "$";
    std::string grouping = "3;0";
    char thousandsSeparator = ',';
    char decimalSeparator = '.';
    char paddingChar = ' ';
    fw::ColorRef background = 0;
    fw::ColorRef negativeColor = 0;
    fw::ColorRef positiveColor = 0;
    fw::ColorRef lineColor = 0;
    int colorFlags = 0;
    int positiveFormat = 0;
    int negativeFormat = 0;
    int integerDigits = -1;
    int fractionDigits = 2;

private:
    bool Get(int flag, fw::ColorRef v, fw::ColorRef& out) const {
        if (!(colorFlags & flag))
            return false;
        out = v;
        return true;
    }
};
