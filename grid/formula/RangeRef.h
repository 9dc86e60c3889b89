// A cell or range reference as the engine stores it: three 32-bit words whose layout is shared
// by formula nodes, range names and worksheet-function values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace formula {

inline constexpr int GX_MAX_ROW = 0x7FFFFF;
inline constexpr int GX_MAX_COL = 4095;

struct GXRangeRef {
    // Word 1: first row in bits 0-23; word 2: last row in bits 0-23; the high byte of both
    // words belongs to the engine and is kept as it is.
    uint32_t r0 = 0;
    uint32_t r1 = 0;
    // Word 3: bits 0-12 first column, 13 first row absolute, 14 first column absolute,
    // 15-27 last column, 28 last row absolute, 29 last column absolute, 30 single cell.
    uint32_t c = 0;

    static constexpr uint32_t kRowMask = 0xFFFFFF;
    static constexpr uint32_t kColMask = 0x1FFF;
    static constexpr uint32_t kAbsRow0 = 1u << 13;
    static constexpr uint32_t kAbsCol0 = 1u << 14;
    static constexpr uint32_t kAbsRow1 = 1u << 28;
    static constexpr uint32_t kAbsCol1 = 1u << 29;
    static constexpr uint32_t kSingle = 1u << 30;

    int firstRow() const { return static_cast<int>(r0 & kRowMask); }
    int lastRow() const { return static_cast<int>(r1 & kRowMask); }
    int firstCol() const { return static_cast<int>(c & kColMask); }
    int lastCol() const { return static_cast<int>((c >> 15) & kColMask); }
    bool absFirstRow() const { return c & kAbsRow0; }
    bool absFirstCol() const { return c & kAbsCol0; }
    bool absLastRow() const { return c & kAbsRow1; }
    bool absLastCol() const { return c & kAbsCol1; }
    bool single() const { return c & kSingle; }

    void setFirstRow(int r) { r0 = (r0 & ~kRowMask) | (static_cast<uint32_t>(r) & kRowMask); }
    void setLastRow(int r) { r1 = (r1 & ~kRowMask) | (static_cast<uint32_t>(r) & kRowMask); }
    void setFirstCol(int col) { c = (c & ~kColMask) | (static_cast<uint32_t>(col) & kColMask); }
    void setLastCol(int col) {
        c = (c & ~(kColMask << 15)) | ((static_cast<uint32_t>(col) & kColMask) << 15);
    }
    void setFlag(uint32_t flag, bool on) { c = on ? (c | flag) : (c & ~flag); }

    int rowCount() const { return lastRow() - firstRow() + 1; }
    int colCount() const { return lastCol() - firstCol() + 1; }
    bool contains(int row, int col) const {
        return row >= firstRow() && row <= lastRow() && col >= firstCol() && col <= lastCol();
    }
};

// Rows 1..0x7FFFFF and columns 0..4095 in both corners.
bool GXRangeValid(const GXRangeRef& r);
// first <= last for rows and columns, the absolute flags following their coordinates; a single
// cell copies its first corner (with flags) into the second.
void GXNormalize(GXRangeRef& r);
// Out-of-range coordinates become 0, which makes the reference invalid.
GXRangeRef GXMakeRange(int row0, int col0, int row1, int col1);
GXRangeRef GXMakeCell(int row, int col);
bool GXRangesIntersect(const GXRangeRef& a, const GXRangeRef& b);
std::optional<GXRangeRef> GXIntersection(const GXRangeRef& a, const GXRangeRef& b);
// Coordinates only; absolute flags are ignored.
bool GXRangesEqual(const GXRangeRef& a, const GXRangeRef& b);

// Column letters in bijective base 26 ("A" 0, "Z" 25, "AA" 26), any case; -1 when the letters
// are not all letters or name a column above 4095.
int GXColumnFromLetters(std::string_view letters);
// "A" for 0 ... "FAN" for 4095; empty above 4095 or below 0.
std::string GXColumnName(int column);
// "[$]letters[$]digits" with an optional second corner after ":", "." or "..".
bool GXParseRef(std::string_view text, GXRangeRef& out);
// The reference's text ("A1", "$A$1", "A1..B2"); nullopt for an invalid reference.
std::optional<std::string> GXRefToText(const GXRangeRef& r);

}  // namespace formula
