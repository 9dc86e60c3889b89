#include "grid/formula/RangeRef.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace formula {

bool GXRangeValid(const GXRangeRef& r) {
    auto rowOk = [](uint32_t w) { return (w & 0xFFFFFF) != 0 && (w & 0x800000) == 0; };
    auto colOk = [](int col) { return (col & 0x1000) == 0; };
    return rowOk(r.r0) && rowOk(r.r1) && colOk(r.firstCol()) && colOk(r.lastCol());
}

void GXNormalize(GXRangeRef& r) {
    if (r.single()) {
        r.setLastRow(r.firstRow());
        r.setLastCol(r.firstCol());
        r.setFlag(GXRangeRef::kAbsRow1, r.absFirstRow());
        r.setFlag(GXRangeRef::kAbsCol1, r.absFirstCol());
        return;
    }
    if (r.firstRow() > r.lastRow()) {
        int a = r.firstRow(), b = r.lastRow();
        bool fa = r.absFirstRow(), fb = r.absLastRow();
        r.setFirstRow(b);
        r.setLastRow(a);
        r.setFlag(GXRangeRef::kAbsRow0, fb);
        r.setFlag(GXRangeRef::kAbsRow1, fa);
    }
    if (r.firstCol() > r.lastCol()) {
        int a = r.firstCol(), b = r.lastCol();
        bool fa = r.absFirstCol(), fb = r.absLastCol();
        r.setFirstCol(b);
        r.setLastCol(a);
        r.setFlag(GXRangeRef::kAbsCol0, fb);
        r.setFlag(GXRangeRef::kAbsCol1, fa);
    }
}

GXRangeRef GXMakeRange(int row0, int col0, int row1, int col1) {
    auto row = [](int v) { return (v >= 1 && v <= GX_MAX_ROW) ? v : 0; };
    auto col = [](int v) { return (v >= 0 && v <= GX_MAX_COL) ? v : 0x1000; };
    GXRangeRef r;
    r.setFirstRow(row(row0));
    r.setLastRow(row(row1));
    r.setFirstCol(col(col0));
    r.setLastCol(col(col1));
    return r;
}

GXRangeRef GXMakeCell(int row, int col) {
    GXRangeRef r = GXMakeRange(row, col, row, col);
    r.setFlag(GXRangeRef::kSingle, true);
    return r;
}

bool GXRangesIntersect(const GXRangeRef& a, const GXRangeRef& b) {
    return a.firstRow() <= b.lastRow() && b.firstRow() <= a.lastRow() &&
           a.firstCol() <= b.lastCol() && b.firstCol() <= a.lastCol();
}

std::optional<GXRangeRef> GXIntersection(const GXRangeRef& a, const GXRangeRef& b) {
    if (!GXRangesIntersect(a, b)) {
        return std::nullopt;
    }
    return GXMakeRange(std::max(a.firstRow(), b.firstRow()), std::max(a.firstCol(), b.firstCol()),
                       std::min(a.lastRow(), b.lastRow()), std::min(a.lastCol(), b.lastCol()));
}

bool GXRangesEqual(const GXRangeRef& a, const GXRangeRef& b) {
    return a.firstRow() == b.firstRow() && a.lastRow() == b.lastRow() &&
           a.firstCol() == b.firstCol() && a.lastCol() == b.lastCol();
}

int GXColumnFromLetters(std::string_view letters) {
    if (letters.empty()) {
        return -1;
    }
    long value = 0;
    for (char ch : letters) {
        if (!std::isalpha(static_cast<unsigned char>(ch))) {
            return -1;
        }
        value = value * 26 + (std::toupper(static_cast<unsigned char>(ch)) - 'A' + 1);
        if (value - 1 > GX_MAX_COL) {
            return -1;
        }
    }
    return static_cast<int>(value - 1);
}

std::string GXColumnName(int column) {
    if (column < 0 || column > GX_MAX_COL) {
        return {};
    }
    std::string s;
    for (int n = column + 1; n > 0; n = (n - 1) / 26) {
        s.insert(s.begin(), static_cast<char>('A' + (n - 1) % 26));
    }
    return s;
}

namespace {

// One corner: ["$"] letters ["$"] digits. Advances pos; false when the corner is malformed.
bool ParseCorner(std::string_view t, size_t& pos, int& row, int& col, bool& absRow, bool& absCol) {
    absCol = pos < t.size() && t[pos] == '$';
    if (absCol) {
        ++pos;
    }
    size_t start = pos;
    while (pos < t.size() && std::isalpha(static_cast<unsigned char>(t[pos]))) {
        ++pos;
    }
    col = GXColumnFromLetters(t.substr(start, pos - start));
    if (col < 0) {
        return false;
    }
    absRow = pos < t.size() && t[pos] == '$';
    if (absRow) {
        ++pos;
    }
    start = pos;
    long value = 0;
    while (pos < t.size() && std::isdigit(static_cast<unsigned char>(t[pos]))) {
        value = value * 10 + (t[pos] - '0');
        if (value > GX_MAX_ROW) {
            return false;
        }
        ++pos;
    }
    row = static_cast<int>(value);
    return pos > start && row >= 1;
}

}  // namespace

bool GXParseRef(std::string_view text, GXRangeRef& out) {
    size_t pos = 0;
    int row0, col0, row1, col1;
    bool ar0, ac0, ar1, ac1;
    if (!ParseCorner(text, pos, row0, col0, ar0, ac0)) {
        return false;
    }
    GXRangeRef r = GXMakeRange(row0, col0, row0, col0);
    r.setFlag(GXRangeRef::kAbsRow0, ar0);
    r.setFlag(GXRangeRef::kAbsCol0, ac0);
    if (pos == text.size()) {
        r.setFlag(GXRangeRef::kSingle, true);
    } else {
        if (text[pos] != ':' && text[pos] != '.') {
            return false;
        }
        ++pos;
        if (pos < text.size() && text[pos] == '.') {
            ++pos;
        }
        if (!ParseCorner(text, pos, row1, col1, ar1, ac1) || pos != text.size()) {
            return false;
        }
        r.setLastRow(row1);
        r.setLastCol(col1);
        r.setFlag(GXRangeRef::kAbsRow1, ar1);
        r.setFlag(GXRangeRef::kAbsCol1, ac1);
    }
    if (!GXRangeValid(r)) {
        return false;
    }
    GXNormalize(r);
    out = r;
    return true;
}

std::optional<std::string> GXRefToText(const GXRangeRef& r) {
    if (!GXRangeValid(r)) {
        return std::nullopt;
    }
    auto corner = [](int row, int col, bool absRow, bool absCol) {
        std::string s = absCol ? "$" : "";
        s += GXColumnName(col);
        s += absRow ? "$" : "";
        s += std::to_string(row);
        return s;
    };
    std::string s = corner(r.firstRow(), r.firstCol(), r.absFirstRow(), r.absFirstCol());
    if (!r.single()) {
        s += "..";
        s += corner(r.lastRow(), r.lastCol(), r.absLastRow(), r.absLastCol());
    }
    return s;
}

}  // namespace formula
