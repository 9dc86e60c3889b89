// The one table of engine error texts: parser, scanner, evaluator and worksheet functions all
// report a number into it.
#pragma once

namespace formula {

inline constexpr int GX_ERROR_COUNT = 382;

// The message of an error number; numbers outside 0..381 give the text of 0 ("unknown error"),
// numbers without a message give "". Never null.
const char* GXErrorMessage(int number);

// Error numbers the core raises itself.
enum GXErrorNumber : int {
    GX_ERR_UNKNOWN = 0,
    GX_ERR_OUT_OF_MEMORY = 5,
    GX_ERR_NOT_FINITE = 40,
    GX_ERR_CELL_ERROR = 60,
    GX_ERR_DIVIDE_BY_ZERO = 70,
    GX_ERR_FLOATING = 86,
    GX_ERR_ERROR_LITERAL = 89,
    GX_ERR_OP_NE = 90,
    GX_ERR_OP_AND = 91,
    GX_ERR_OP_LE = 92,
    GX_ERR_OP_LT = 93,
    GX_ERR_OP_EQ = 94,
    GX_ERR_OP_GE = 95,
    GX_ERR_OP_GT = 96,
    GX_ERR_BAD_ARG_TYPE = 98,
    GX_ERR_INT_PARAM_RANGE = 109,
    GX_ERR_INVALID_CELL_REF = 110,
    GX_ERR_MODULO_ZERO = 122,
    GX_ERR_NON_NUMERIC = 128,
    GX_ERR_OPERAND_ERROR = 133,
    GX_ERR_LARGER_32_BITS = 136,
    GX_ERR_OPERAND_STACK = 139,
    GX_ERR_CONCAT_TYPES = 140,
    GX_ERR_RANGE_OPERANDS = 141,
    GX_ERR_RECURSION = 148,
    GX_ERR_RESULT_IS_RANGE = 149,
    GX_ERR_STRING_TOO_LONG = 150,
    GX_ERR_WRONG_ARG_COUNT = 165,
    GX_ERR_NOT_INSTALLED = 166,
    GX_ERR_INVALID_CHAR = 223,
    GX_ERR_UNEXPECTED = 225,
    GX_ERR_REF_OUT_OF_RANGE = 226,
    GX_ERR_UNDEFINED_FUNCTION = 227,
    GX_ERR_FREEING_NODE = 228,
    GX_ERR_TOO_MANY_ARGS = 229,
    GX_ERR_NOT_ENOUGH_ARGS = 230,
    GX_ERR_EXPECTED_FIRST = 231,  // 231 + token type: "expected to find ... here"
    GX_ERR_EXPECTED_OPERAND = 274,
    GX_ERR_RANGE_RHS = 275,
    GX_ERR_TOKEN_OVERFLOW = 280,
    GX_ERR_UNDEFINED_NAME = 281,
    GX_ERR_UNRESOLVED_NAME = 283,
    GX_ERR_UNCONSUMED = 284,
};

}  // namespace formula
