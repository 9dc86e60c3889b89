// One cell of an engine sheet: its value, its formula, its flags and its grid style.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "grid/formula/Formula.h"

namespace formula {

// The grid's style of a cell, opaque to the engine: the grid wraps its own style object.
class GXCellStyle {
public:
    virtual ~GXCellStyle() = default;
    virtual std::unique_ptr<GXCellStyle> Clone() const = 0;
    // The display text of a number in this style's number format; nullopt when the style has
    // no number format, so the engine's own "%.14g" applies.
    virtual std::optional<std::string> FormatNumber(double) const { return std::nullopt; }
};

enum GXCellKind : uint32_t {
    GX_CELL_PLACEHOLDER = 0,
    GX_CELL_NUMBER = 1,
    GX_CELL_TEXT = 2,
    GX_CELL_FORMULA = 3,        // refers to cells or calls functions
    GX_CELL_CONST_FORMULA = 4,  // constants only
};

enum GXValueKind : uint32_t {
    GX_VAL_EMPTY = 0,
    GX_VAL_NA = 1,
    GX_VAL_ERROR = 2,
    GX_VAL_NUMBER = 3,
    GX_VAL_LONG_TEXT = 4,
    GX_VAL_SHORT_TEXT = 5,  // at most 8 bytes
};

enum GXCellFlag : uint32_t {
    GX_CF_LINKED = 1u << 8,
    GX_CF_STALE = 1u << 15,
    GX_CF_COMPUTED = 1u << 16,
    GX_CF_IN_PROGRESS = 1u << 17,
    GX_CF_CHANGED = 1u << 18,
    GX_CF_CYCLE = 1u << 19,
    GX_CF_VIOLATED = 1u << 20,
};

struct GXCellBlock;

// The fields a recalculation pass reads for every formula come first and together, so that a
// pass over a large sheet touches one cache line of most records rather than two.
struct GXEngineCell {
    uint32_t flags = 0;
    uint32_t stamp = 0;
    std::unique_ptr<GXFormula> formula;
    int row = 0;
    int col = 0;
    uint32_t visit = 0;  // the recalculation walk that listed this cell last
    int error = 0;
    double number = 0;
    GXEngineCell* next = nullptr;        // hash chain
    const char* errorContext = nullptr;  // static text naming where the error arose, or null
    GXBoxedText text;  // a text value, out of line: most cells hold numbers or formulas
    std::unique_ptr<GXCellStyle> style;
    GXCellBlock* block = nullptr;

    GXCellKind kind() const { return static_cast<GXCellKind>(flags & 0xF); }
    void setKind(GXCellKind k) { flags = (flags & ~0xFu) | k; }
    GXValueKind valueKind() const { return static_cast<GXValueKind>((flags >> 4) & 0xF); }
    void setValueKind(GXValueKind v) { flags = (flags & ~0xF0u) | (v << 4); }
    int slot() const { return static_cast<int>((flags >> 9) & 0x3F); }
    bool has(uint32_t f) const { return (flags & f) != 0; }
    void set(uint32_t f, bool on = true) { flags = on ? (flags | f) : (flags & ~f); }
    bool isFormula() const { return kind() == GX_CELL_FORMULA || kind() == GX_CELL_CONST_FORMULA; }
    bool isText() const {
        return valueKind() == GX_VAL_LONG_TEXT || valueKind() == GX_VAL_SHORT_TEXT;
    }
    // Stores a text value as long or short text by its length.
    void setTextValue(std::string value) {
        setValueKind(value.size() > 8 ? GX_VAL_LONG_TEXT : GX_VAL_SHORT_TEXT);
        text = std::move(value);
    }
};

}  // namespace formula
