// The formula scanner: formula text to tokens, longest match first, the earlier rule winning a
// tie. Pure: it keeps its input and position in the object, prints nothing and never exits.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace formula {

// Token kinds; 0..32 and 42 are operators (see the parser), the others below.
enum GXTokenKind : int {
    GX_TOK_SEMICOLON = 0,
    GX_TOK_COLON = 1,
    GX_TOK_COMMA = 2,
    GX_TOK_QUESTION = 3,
    GX_TOK_HASH = 4,
    GX_TOK_BACKSLASH = 5,
    GX_TOK_PLUS = 6,
    GX_TOK_MINUS = 7,
    GX_TOK_STAR = 8,
    GX_TOK_SLASH = 9,
    GX_TOK_PERCENT = 10,
    GX_TOK_BAR = 11,
    GX_TOK_CARET = 12,
    GX_TOK_AMP = 13,
    GX_TOK_BANG = 14,
    GX_TOK_TILDE = 15,
    GX_TOK_LT = 16,
    GX_TOK_GT = 17,
    GX_TOK_LPAREN = 18,
    GX_TOK_RPAREN = 19,
    GX_TOK_LBRACE = 20,
    GX_TOK_RBRACE = 21,
    GX_TOK_ASSIGN = 22,
    GX_TOK_POWER = 23,
    GX_TOK_ANDAND = 24,
    GX_TOK_OROR = 25,
    GX_TOK_SHL = 26,
    GX_TOK_SHR = 27,
    GX_TOK_LE = 28,
    GX_TOK_GE = 29,
    GX_TOK_NE = 30,
    GX_TOK_EQ = 31,
    GX_TOK_DOTDOT = 32,
    GX_TOK_CELL = 33,
    GX_TOK_NAME = 34,
    GX_TOK_FUNCTION = 35,
    GX_TOK_STRING = 36,
    GX_TOK_NUMBER = 37,
    GX_TOK_HEX = 38,
    GX_TOK_COMMENT = 39,
    GX_TOK_END = 40,
    GX_TOK_ERROR = 41,
    GX_TOK_DOT = 42,
    GX_TOK_ERROR_LITERAL = 43,
};

struct GXToken {
    int kind = GX_TOK_END;
    std::optional<std::string> text;  // names, references, literals, comments
    int value = 0;                    // the error number of a scanner error (223)
    int column = 0;                   // offset of the token's first character
};

class GXScanner {
public:
    GXScanner() = default;
    explicit GXScanner(std::string_view text) { SetInput(text); }

    // Starts over on a new text; the column counter restarts at 0.
    void SetInput(std::string_view text);
    // The next token; GX_TOK_END at the end of the input, repeatedly.
    GXToken NextToken();

private:
    std::string text_;
    size_t pos_ = 0;
};

}  // namespace formula
