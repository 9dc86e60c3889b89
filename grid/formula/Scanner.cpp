#include "grid/formula/Scanner.h"

#include <strings.h>
#include <array>
#include <cctype>

#include "grid/formula/ErrorMessages.h"
#include "grid/formula/RangeRef.h"

namespace formula {

namespace {

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsHex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

size_t Run(std::string_view s, size_t i, bool (*pred)(char), size_t max = std::string_view::npos) {
    size_t n = 0;
    while (i + n < s.size() && n < max && pred(s[i + n])) {
        ++n;
    }
    return n;
}

// ["$"] 1-3 letters ["$"] 1-7 digits.
size_t MatchCell(std::string_view s) {
    size_t i = (!s.empty() && s[0] == '$') ? 1 : 0;
    size_t letters = Run(s, i, IsLetter);
    if (letters < 1 || letters > 3) {
        return 0;
    }
    i += letters;
    if (i < s.size() && s[i] == '$') {
        ++i;
    }
    size_t digits = Run(s, i, IsDigit, 7);
    return digits ? i + digits : 0;
}

bool IsNameChar(char c) {
    return IsLetter(c) || IsDigit(c) || c == '_' || c == '.' || c == '$';
}

size_t MatchName(std::string_view s) {
    if (s.empty() || !(IsLetter(s[0]) || s[0] == '_' || s[0] == '$')) {
        return 0;
    }
    return 1 + Run(s, 1, IsNameChar);
}

bool IsAtChar(char c) {
    return IsLetter(c) || IsDigit(c) || c == '_' || c == '@';
}

size_t MatchAt(std::string_view s) {
    if (s.empty() || s[0] != '@') {
        return 0;
    }
    size_t n = Run(s, 1, IsAtChar);
    return n ? n + 1 : 0;
}

size_t MatchString(std::string_view s) {
    if (s.empty() || s[0] != '"') {
        return 0;
    }
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '\\') {
            ++i;
        } else if (s[i] == '"') {
            return i + 1;
        }
    }
    return 0;
}

size_t MatchHex(std::string_view s) {
    if (s.size() < 3 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) {
        return 0;
    }
    size_t n = Run(s, 2, IsHex);
    return n ? n + 2 : 0;
}

// An optional exponent: 'e', optional sign, digits.
size_t Exponent(std::string_view s, size_t i) {
    if (i >= s.size() || s[i] != 'e') {
        return 0;
    }
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
        ++j;
    }
    size_t digits = Run(s, j, IsDigit);
    return digits ? j + digits - i : 0;
}

size_t MatchNumber(std::string_view s) {
    size_t digits = Run(s, 0, IsDigit);
    if (digits > 0) {
        size_t i = digits;
        if (i < s.size() && s[i] == '.') {
            i += 1 + Run(s, i + 1, IsDigit);
        }
        return i + Exponent(s, i);
    }
    if (s.size() >= 2 && s[0] == '.') {
        size_t frac = Run(s, 1, IsDigit);
        if (frac) {
            return 1 + frac + Exponent(s, 1 + frac);
        }
    }
    return 0;
}

size_t MatchComment(std::string_view s) {
    if (s.size() < 2 || s[0] != '/' || s[1] != '/') {
        return 0;
    }
    size_t end = s.find('\n');
    return end == std::string_view::npos ? s.size() : end;
}

struct Operator {
    const char* text;
    int kind;
};

constexpr Operator kOperators[] = {
    {"#NOT#", 14}, {"#AND#", 24}, {"#OR#", 25}, {"**", 23}, {"&&", 24}, {"||", 25}, {"<<", 26},
    {">>", 27},    {"<=", 28},    {">=", 29},   {"!=", 30}, {"<>", 30}, {"==", 31}, {"..", 32},
    {"??", 43},    {";", 0},      {":", 1},     {",", 2},   {"?", 3},   {"#", 4},   {"\\", 5},
    {"+", 6},      {"-", 7},      {"*", 8},     {"/", 9},   {"%", 10},  {"|", 11},  {"^", 12},
    {"&", 13},     {"!", 14},     {"~", 15},    {"<", 16},  {">", 17},  {"(", 18},  {")", 19},
    {"{", 20},     {"}", 21},     {"=", 22},    {".", 42},
};

// The longest operator at the start of s (the table lists longer texts first).
size_t MatchOperator(std::string_view s, int& kind) {
    for (const Operator& op : kOperators) {
        size_t n = std::char_traits<char>::length(op.text);
        if (n > s.size()) {
            continue;
        }
        bool keyword = op.text[0] == '#' && n > 1;
        bool same = keyword ? strncasecmp(s.data(), op.text, n) == 0 : s.substr(0, n) == op.text;
        if (same) {
            kind = op.kind;
            return n;
        }
    }
    return 0;
}

}  // namespace

void GXScanner::SetInput(std::string_view text) {
    text_.assign(text);
    pos_ = 0;
}

GXToken GXScanner::NextToken() {
    while (pos_ < text_.size() &&
           (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n')) {
        ++pos_;
    }
    GXToken tok;
    tok.column = static_cast<int>(pos_);
    if (pos_ >= text_.size()) {
        tok.kind = GX_TOK_END;
        return tok;
    }
    std::string_view s = std::string_view(text_).substr(pos_);
    // Rules in priority order: a longer match wins, an earlier rule wins a tie.
    enum Rule { kCell, kName, kAt, kString, kHex, kNumber, kComment, kOperator, kCount };
    std::array<size_t, kCount> len{};
    int opKind = 0;
    len[kCell] = MatchCell(s);
    len[kName] = MatchName(s);
    len[kAt] = MatchAt(s);
    len[kString] = MatchString(s);
    len[kHex] = MatchHex(s);
    len[kNumber] = MatchNumber(s);
    len[kComment] = MatchComment(s);
    len[kOperator] = MatchOperator(s, opKind);
    int best = kCount;
    size_t bestLen = 0;
    for (int r = 0; r < kCount; ++r) {
        if (len[r] > bestLen) {
            best = r;
            bestLen = len[r];
        }
    }
    std::string lexeme(s.substr(0, bestLen));
    switch (best) {
        case kCell: {
            size_t i = lexeme[0] == '$' ? 1 : 0;
            size_t letters = Run(lexeme, i, IsLetter);
            tok.kind = GXColumnFromLetters(std::string_view(lexeme).substr(i, letters)) >= 0
                           ? GX_TOK_CELL
                           : GX_TOK_NAME;
            tok.text = lexeme;
            break;
        }
        case kName: {
            GXRangeRef ref;
            size_t dot = lexeme.find('.');
            if (dot != std::string::npos && GXParseRef(lexeme, ref)) {
                // A range written with '.' or '..': keep the first corner, scan the rest again.
                lexeme.resize(dot);
                bestLen = dot;
                tok.kind = GX_TOK_CELL;
            } else {
                tok.kind = GX_TOK_NAME;
            }
            tok.text = lexeme;
            break;
        }
        case kAt:
            tok.kind = GX_TOK_FUNCTION;
            tok.text = lexeme.substr(1);
            break;
        case kString:
            tok.kind = GX_TOK_STRING;
            tok.text = lexeme.substr(1, lexeme.size() - 2);
            break;
        case kHex:
            tok.kind = GX_TOK_HEX;
            tok.text = lexeme.substr(2);
            break;
        case kNumber:
            tok.kind = GX_TOK_NUMBER;
            tok.text = lexeme;
            break;
        case kComment:
            tok.kind = GX_TOK_COMMENT;
            tok.text = lexeme.substr(2);
            break;
        case kOperator:
            tok.kind = opKind;
            break;
        default:
            tok.kind = GX_TOK_ERROR;
            tok.value = GX_ERR_INVALID_CHAR;
            bestLen = 1;
            break;
    }
    pos_ += bestLen;
    return tok;
}

}  // namespace formula
