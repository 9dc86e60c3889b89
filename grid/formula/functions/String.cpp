// Text worksheet functions. Results are bounded to 511 bytes: a longer one raises 150 rather
// than being cut silently.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "grid/formula/CellContents.h"
#include "grid/formula/FunctionArgs.h"
#include "grid/formula/NumberText.h"

namespace formula {

namespace {

enum : int {
    kErrOutOfRange = 55,
    kErrNegativeCount = 64,
    kErrPlaces = 67,
    kErrHexTooLong = 88,
    kErrIndex = 107,
    kErrMagnitude = 116,
    kErrNonHex = 127,
    kErrOperand = 138,
    kErrSubstringLonger = 157,
    kErrNotFound = 158,
};

void StringResult(GXValue& result, std::string_view text) {
    std::string s;
    GXCopyBounded(s, text);
    result = GXValue::String(std::move(s));
}

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Control characters go; bytes from 0x80 on are parts of multibyte characters and stay.
bool Printable(char c) {
    auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || std::isprint(u);
}

void Char(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    int code = GXTruncClamp(GXNumberArg(frame, 1));
    if (code < 1 || code > 255) {
        GXFunctionError(kErrOperand);
    }
    StringResult(result, std::string(1, static_cast<char>(code)));
}

void Code(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    const std::string& s = GXStringArg(frame, 1);
    result = GXValue::Number(s.empty() ? 0 : static_cast<unsigned char>(s[0]));
}

void Clean(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    std::string s = GXStringArg(frame, 1);
    s.erase(std::remove_if(s.begin(), s.end(), [](char c) { return !Printable(c); }), s.end());
    StringResult(result, s);
}

void Exact(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 2);
    std::string a = GXStringArg(frame, 1);
    const std::string& b = GXStringArg(frame, 2);
    result = GXValue::Number(a == b ? 1 : 0);
}

void Find(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 3);
    std::string sub = GXStringArg(frame, 1);
    const std::string& s = GXStringArg(frame, 2);
    double start = std::trunc(GXNumberArg(frame, 3));
    if (sub.size() > s.size()) {
        GXFunctionError(kErrSubstringLonger);
    }
    if (!(start >= 0 && start < static_cast<double>(s.size()))) {
        GXFunctionError(kErrIndex);
    }
    size_t at = s.find(sub, static_cast<size_t>(start));
    if (at == std::string::npos) {
        GXFunctionError(kErrNotFound);
    }
    result = GXValue::Number(static_cast<double>(at));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

void HexToNum(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    const std::string& s = GXStringArg(frame, 1);
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) {
        ++i;
    }
    while (i < s.size() && s[i] == '0') {
        ++i;
    }
    uint32_t value = 0;
    int digits = 0;
    for (; i < s.size() && HexDigit(s[i]) >= 0; ++i, ++digits) {
        value = value << 4 | static_cast<uint32_t>(HexDigit(s[i]));
    }
    if (digits > 8) {
        GXFunctionError(kErrHexTooLong);
    }
    if (!std::all_of(s.begin() + static_cast<std::ptrdiff_t>(i), s.end(), IsBlank)) {
        GXFunctionError(kErrNonHex);
    }
    result = GXValue::Number(static_cast<int32_t>(value));
}

void NumToHex(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    double x = GXNumberArg(frame, 1);
    if (!(x >= -2147483648.0 && x < 2147483648.0)) {
        GXFunctionError(kErrMagnitude);
    }
    auto bits = static_cast<uint32_t>(static_cast<int32_t>(x));
    char buffer[16];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, bits, 16).ptr;
    StringResult(result, std::string_view(buffer, static_cast<size_t>(end - buffer)));
}

// A count argument: truncated, not below 0.
size_t Count(GXCallFrame& frame, int i) {
    int n = GXTruncClamp(GXNumberArg(frame, i));
    if (n < 0) {
        GXFunctionError(kErrNegativeCount);
    }
    return static_cast<size_t>(n);
}

template <bool FromLeft>
void Side(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 2);
    std::string s = GXStringArg(frame, 1);
    size_t n = std::min(Count(frame, 2), s.size());
    StringResult(result, FromLeft ? s.substr(0, n) : s.substr(s.size() - n));
}

void Mid(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 3);
    std::string s = GXStringArg(frame, 1);
    int start = GXTruncClamp(GXNumberArg(frame, 2));
    if (start < 1 || static_cast<size_t>(start) > s.size()) {
        GXFunctionError(kErrIndex);
    }
    StringResult(result, s.substr(static_cast<size_t>(start) - 1, Count(frame, 3)));
}

void Length(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    result = GXValue::Number(static_cast<double>(GXStringArg(frame, 1).size()));
}

enum class Case { kLower, kUpper, kProper };

template <Case C>
void ChangeCase(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    GXValue& v = frame.arg(1);
    if (GXDereferenceValue(v) && v.type == GX_VT_NUMBER) {
        StringResult(result, "");
        return;
    }
    std::string s = GXStringArg(frame, 1);
    bool wordStart = true;
    for (char& c : s) {
        auto u = static_cast<unsigned char>(c);
        bool upper = C == Case::kUpper || (C == Case::kProper && wordStart);
        c = static_cast<char>(upper ? std::toupper(u) : std::tolower(u));
        wordStart = IsBlank(c);
    }
    StringResult(result, s);
}

void Repeat(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 2);
    std::string s = GXStringArg(frame, 1);
    size_t n = Count(frame, 2);
    if (static_cast<uint64_t>(s.size()) * n >= GX_RESULT_LIMIT) {
        GXFunctionError(GX_ERR_STRING_TOO_LONG);
    }
    // Copies of an empty text make an empty text, however many are asked for.
    std::string r;
    for (size_t i = 0; i < n && !s.empty(); ++i) {
        r += s;
    }
    StringResult(result, r);
}

void Replace(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 4);
    std::string s = GXStringArg(frame, 1);
    int start = GXTruncClamp(GXNumberArg(frame, 2));
    int n = GXTruncClamp(GXNumberArg(frame, 3));
    const std::string& with = GXStringArg(frame, 4);
    if (start < 0 || n < 0) {
        GXFunctionError(kErrOutOfRange);
    }
    size_t from = std::min(static_cast<size_t>(start), s.size());
    size_t count = std::min(static_cast<size_t>(n), s.size() - from);
    std::string r = s.substr(0, from);
    GXAppendBounded(r, with);
    GXAppendBounded(r, std::string_view(s).substr(from + count));
    result = GXValue::String(std::move(r));
}

void Trim(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    const std::string& s = GXStringArg(frame, 1);
    std::string r;
    bool gap = false;
    for (char c : s) {
        if (IsBlank(c)) {
            gap = !r.empty();
            continue;
        }
        if (gap) {
            r += ' ';
            gap = false;
        }
        r += c;
    }
    StringResult(result, r);
}

void Value(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    result = GXValue::Number(GXStrToD(GXStringArg(frame, 1)));
}

void String(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 2);
    GXValue& xv = frame.arg(1);
    double x = GXDereferenceValue(xv) && xv.type == GX_VT_NUMBER ? xv.number : 0;
    double places = std::trunc(GXNumberArg(frame, 2));
    if (!(places >= 0 && places <= 15)) {
        GXFunctionError(kErrPlaces);
    }
    char buffer[400];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed,
                                   static_cast<int>(places));
    if (ec != std::errc()) {
        GXFunctionError(GX_ERR_STRING_TOO_LONG);
    }
    StringResult(result, std::string_view(buffer, static_cast<size_t>(end - buffer)));
}

void S(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    const GXValue& v = frame.arg(1);
    std::string text;
    if (v.type == GX_VT_ERROR) {
        GXRaiseValueError(v);
    } else if (v.type == GX_VT_STRING) {
        text = v.text;
    } else if (v.type == GX_VT_CELL || v.type == GX_VT_RANGE) {
        GXCellString(v.ref.firstRow(), v.ref.firstCol(), text);
    }
    StringResult(result, text);
}

void N(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    const GXValue& v = frame.arg(1);
    double x = 0;
    if (v.type == GX_VT_ERROR) {
        GXRaiseValueError(v);
    } else if (v.type == GX_VT_NUMBER) {
        x = v.number;
    } else if (v.type == GX_VT_CELL || v.type == GX_VT_RANGE) {
        GXCellNumber(v.ref.firstRow(), v.ref.firstCol(), x);
    }
    result = GXValue::Number(x);
}

// The display text of a cell; a missing cell has none.
std::string CellText(int row, int col) {
    GXEngineSheet& sheet = GXCurrentSheet();
    GXEngineCell* cell = GXFindCell(sheet, row, col);
    return cell != nullptr ? GXGetCellText(sheet, *cell) : std::string();
}

void StrLen(GXValue& result, GXCallFrame& frame) {
    double length = 0;
    for (int i = 1; i <= frame.count; ++i) {
        const GXValue& v = frame.arg(i);
        if (v.type == GX_VT_ERROR) {
            GXRaiseValueError(v);
        } else if (v.type == GX_VT_STRING) {
            length += static_cast<double>(v.text.size());
        } else if (v.type == GX_VT_CELL) {
            length += static_cast<double>(CellText(v.ref.firstRow(), v.ref.firstCol()).size());
        } else {
            GXFunctionError(GX_ERR_BAD_ARG_TYPE);
        }
    }
    result = GXValue::Number(length);
}

// Appends the list's values: numbers "%.14g", strings as they are, cells by their display
// text. With separators (TSV) every scalar ends with "\n" and a range is written as rows of
// tab-separated cells ending with "\r\n"; its missing cells are empty fields, so the columns
// stay aligned.
template <bool Separated>
void Concatenate(GXValue& result, GXCallFrame& frame) {
    std::string r;
    auto scalar = [&](std::string_view text) {
        GXAppendBounded(r, text);
        if (Separated) {
            GXAppendBounded(r, "\n");
        }
    };
    for (int i = 1; i <= frame.count; ++i) {
        const GXValue& v = frame.arg(i);
        switch (v.type) {
            case GX_VT_NUMBER:
                scalar(GXFormatNumber(v.number));
                break;
            case GX_VT_STRING:
                scalar(v.text);
                break;
            case GX_VT_CELL:
                scalar(CellText(v.ref.firstRow(), v.ref.firstCol()));
                break;
            case GX_VT_ERROR:
                GXRaiseValueError(v);
            case GX_VT_RANGE:
                if (!Separated) {
                    for (GXEngineCell* c : GXRangeCells(v.ref)) {
                        GXAppendBounded(r, CellText(c->row, c->col));
                    }
                    break;
                }
                {
                    GXRangeRef used;
                    if (!GXGetBounds(GXCurrentSheet(), used)) {
                        break;
                    }
                    int lastRow = std::min(v.ref.lastRow(), used.lastRow());
                    int lastCol = std::min(v.ref.lastCol(), used.lastCol());
                    for (int row = v.ref.firstRow(); row <= lastRow; ++row) {
                        for (int col = v.ref.firstCol(); col <= lastCol; ++col) {
                            GXAppendBounded(r, CellText(row, col));
                            GXAppendBounded(r, col < lastCol ? "\t" : "\r\n");
                        }
                    }
                }
                break;
            default:
                GXFunctionError(GX_ERR_BAD_ARG_TYPE);
        }
    }
    result = GXValue::String(std::move(r));
}

}  // namespace

void GXRegisterStringFunctions(GXHandlerRegistry& r) {
    r.Add("CHAR", Char);
    r.Add("CLEAN", Clean);
    r.Add("CODE", Code);
    r.Add("EXACT", Exact);
    r.Add("FIND", Find);
    r.Add("HEXTONUM", HexToNum);
    r.Add("LEFT", Side<true>);
    r.Add("LENGTH", Length);
    r.Add("LOWER", ChangeCase<Case::kLower>);
    r.Add("MID", Mid);
    r.Add("N", N);
    r.Add("NUMTOHEX", NumToHex);
    r.Add("PROPER", ChangeCase<Case::kProper>);
    r.Add("REPEAT", Repeat);
    r.Add("REPLACE", Replace);
    r.Add("RIGHT", Side<false>);
    r.Add("S", S);
    r.Add("STRCAT", Concatenate<false>);
    r.Add("STRING", String);
    r.Add("STRLEN", StrLen);
    r.Add("TRIM", Trim);
    r.Add("TSV", Concatenate<true>);
    r.Add("UPPER", ChangeCase<Case::kUpper>);
    r.Add("VALUE", Value);
}

}  // namespace formula
