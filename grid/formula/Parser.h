// Formula text to compiled formula: recursive descent over the scanner's tokens, with a node
// buffer of 200 nodes. Function calls are bound to the installed worksheet-function set.
#pragma once

#include <string_view>

#include "grid/formula/CellStore.h"
#include "grid/formula/Formula.h"

namespace formula {

inline constexpr int GX_MAX_NODES = 200;
inline constexpr int GX_MAX_ARGS = 100;
inline constexpr int GX_MAX_NESTING = 200;
inline constexpr size_t GX_MAX_TEXT = 511;  // string literals, text results, formula text

struct GXParseResult {
    bool ok = true;
    int error = 0;      // error number (ErrorMessages.h)
    int position = 0;   // 1-based character position of the offending token
    int expected = -1;  // expected token kind, -1 when none
    int found = -1;     // token kind found
};

// Parses a formula ("=" term [";" constraint] ["\" references] [comment]) against the names of
// `sheet` (may be null). On failure `out` is left empty.
GXParseResult GXParseFormulaText(GXEngineSheet* sheet, std::string_view text, GXFormula& out);
// The same for a sheet number, recording the outcome (flag, number, position) in the engine
// state.
bool GXParseFormula(int sheet, std::string_view text, GXFormula& out);

// The sheet's name of these letters in any case, or null.
GXRangeName* GXFindRangeName(GXEngineSheet& sheet, std::string_view name);

}  // namespace formula
