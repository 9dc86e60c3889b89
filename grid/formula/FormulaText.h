// Compiled formulas back to text, and the escaping of string literals.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "grid/formula/Formula.h"

namespace formula {

// The whole formula ("=" term [";" constraint] ["\" references] ["//" comment]); "" for an
// empty formula. nullopt when the text would pass 511 characters.
std::optional<std::string> GXFormulaToText(const GXFormula& formula);
// One node and its operands appended to out.
void GXNodeToText(const GXExprNode* nodes, int index, std::string& out);

// Control and high bytes as C escapes; a double quote escaped only when quote is set.
std::string GXEscapeText(std::string_view text, bool quote);
// C escapes decoded; nullopt when more than 511 characters would result.
std::optional<std::string> GXUnescapeText(std::string_view text);

}  // namespace formula
