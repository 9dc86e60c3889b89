#include "grid/formula/Parser.h"

#include <strings.h>
#include <cctype>
#include <cmath>
#include <vector>

#include "grid/formula/EngineState.h"
#include "grid/formula/ErrorMessages.h"
#include "grid/formula/FormulaText.h"
#include "grid/formula/NumberText.h"
#include "grid/formula/Scanner.h"
#include "grid/formula/WorksheetFunctions.h"

namespace formula {

GXRangeName* GXFindRangeName(GXEngineSheet& sheet, std::string_view name) {
    for (auto& n : sheet.names) {
        if (n->name.size() == name.size() &&
            strncasecmp(n->name.c_str(), name.data(), name.size()) == 0) {
            return n.get();
        }
    }
    return nullptr;
}

namespace {

struct ParseFail {
    int error;
    int position;
    int expected;
    int found;
};

class Parser {
public:
    Parser(GXEngineSheet* sheet, std::string_view text) : sheet_(sheet) {
        GXScanner scanner(text);
        do {
            tokens_.push_back(scanner.NextToken());
        } while (tokens_.back().kind != GX_TOK_END);
        nodes_.reserve(GX_MAX_NODES);
    }

    void Formula(GXFormula& out);

private:
    const GXToken& Peek(size_t ahead = 0) const {
        return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)];
    }
    int Kind(size_t ahead = 0) const { return Peek(ahead).kind; }
    GXToken Take() { return tokens_[std::min(pos_++, tokens_.size() - 1)]; }
    bool Accept(int kind) {
        if (Kind() != kind) {
            return false;
        }
        ++pos_;
        return true;
    }

    [[noreturn]] void Fail(int error, int expected = -1) const {
        const GXToken& t = Peek();
        // A character the scanner could not place explains itself better than "expected".
        int number = t.kind == GX_TOK_ERROR ? t.value : error;
        throw ParseFail{number, t.column + 1, expected, t.kind};
    }
    void Expect(int kind) {
        if (!Accept(kind)) {
            Fail(kind == GX_TOK_ERROR_LITERAL ? GX_ERR_UNEXPECTED : GX_ERR_EXPECTED_FIRST + kind,
                 kind);
        }
    }

    int16_t NewNode(GXNodeKind kind) {
        if (nodes_.size() >= GX_MAX_NODES) {
            Fail(GX_ERR_TOKEN_OVERFLOW);
        }
        nodes_.emplace_back().kind = kind;
        return static_cast<int16_t>(nodes_.size() - 1);
    }
    int16_t Operator(int op, int16_t left, int16_t right) {
        int16_t n = NewNode(GX_NODE_OPERATOR);
        nodes_[n].op = op;
        nodes_[n].left = left;
        nodes_[n].right = right;
        return n;
    }

    int16_t Term();
    int16_t Binary(int level);
    int16_t Unary();
    int16_t Power();
    int16_t Postfix();
    int16_t Primary();
    int16_t RelativeReference();
    int16_t CellReference();
    int16_t NameReference(const std::string& name);
    int16_t Call(const std::string& name);
    int16_t RangeTail(int16_t left);
    void JoinCells(int16_t left, int16_t right);
    int16_t AttachedItem();
    void BindArguments(int16_t call, const GXWorksheetFunctionEntry& fn,
                       const std::vector<int16_t>& links);

    GXEngineSheet* sheet_;
    std::vector<GXToken> tokens_;
    size_t pos_ = 0;
    std::vector<GXExprNode> nodes_;
    int depth_ = 0;
};

// The two-operand levels from the loosest binding to the tightest.
struct BinaryLevel {
    int tokens[2];
    int ops[2];
};

constexpr BinaryLevel kLevels[] = {
    {{GX_TOK_OROR, -1}, {GX_OP_OR, -1}},
    {{GX_TOK_ANDAND, -1}, {GX_OP_AND, -1}},
    {{GX_TOK_BAR, -1}, {GX_OP_BITOR, -1}},
    {{GX_TOK_CARET, -1}, {GX_OP_BITXOR, -1}},
    {{GX_TOK_AMP, -1}, {GX_OP_CONCAT, -1}},
    {{GX_TOK_ASSIGN, GX_TOK_EQ}, {GX_OP_EQ, GX_OP_EQ}},
    {{GX_TOK_NE, -1}, {GX_OP_NE, -1}},  // joined with the level above, see Binary
    {{GX_TOK_LT, GX_TOK_GT}, {GX_OP_LT, GX_OP_GT}},
    {{GX_TOK_LE, GX_TOK_GE}, {GX_OP_LE, GX_OP_GE}},  // joined with the level above
    {{GX_TOK_SHL, GX_TOK_SHR}, {GX_OP_SHL, GX_OP_SHR}},
    {{GX_TOK_PLUS, GX_TOK_MINUS}, {GX_OP_ADD, GX_OP_SUB}},
    {{GX_TOK_STAR, GX_TOK_SLASH}, {GX_OP_MUL, GX_OP_DIV}},
    {{GX_TOK_PERCENT, -1}, {GX_OP_MOD, -1}},  // joined with the level above
};
// Levels 5+6, 7+8 and 11+12 are one level each (equality, relation, multiplication): an
// operator of either row continues the same left-associative loop.
constexpr int kLevelStart[] = {0, 1, 2, 3, 4, 5, 7, 9, 10, 11};
constexpr int kLevelEnd[] = {1, 2, 3, 4, 5, 7, 9, 10, 11, 13};
constexpr int kLevelCount = 10;

void Parser::Formula(GXFormula& out) {
    if (Kind() == GX_TOK_EQ) {
        throw ParseFail{GX_ERR_EXPECTED_OPERAND, 1, -1, GX_TOK_EQ};
    }
    Expect(GX_TOK_ASSIGN);
    int16_t root = Term();
    int16_t constraint = -1, attached = -1;
    if (Accept(GX_TOK_SEMICOLON)) {
        constraint = Term();
    }
    if (Accept(GX_TOK_BACKSLASH)) {
        attached = AttachedItem();
        int16_t last = attached;
        while (Accept(GX_TOK_COMMA)) {
            int16_t item = AttachedItem();
            nodes_[last].right = item;
            last = item;
        }
    }
    std::optional<std::string> comment;
    if (Kind() == GX_TOK_COMMENT) {
        comment = Take().text;
    }
    Expect(GX_TOK_END);
    out.root = root;
    out.constraint = constraint;
    out.attached = attached;
    // The working buffer holds 200 nodes; the formula keeps only those it uses.
    out.nodes.assign(nodes_.begin(), nodes_.end());
    if (comment) {
        out.comment = std::move(*comment);
    }
}

int16_t Parser::AttachedItem() {
    if (Kind() == GX_TOK_CELL) {
        int16_t left = CellReference();
        if (Kind() == GX_TOK_COLON || Kind() == GX_TOK_DOTDOT || Kind() == GX_TOK_DOT) {
            ++pos_;
            if (Kind() != GX_TOK_CELL) {
                Fail(GX_ERR_EXPECTED_FIRST + int{GX_TOK_CELL}, GX_TOK_CELL);
            }
            JoinCells(left, CellReference());
        }
        return left;
    }
    if (Kind() == GX_TOK_NAME) {
        return NameReference(*Take().text);
    }
    Fail(GX_ERR_EXPECTED_FIRST + int{GX_TOK_CELL}, GX_TOK_CELL);
}

int16_t Parser::Term() {
    int16_t cond = Binary(0);
    if (Accept(GX_TOK_QUESTION)) {
        int16_t whenTrue = Term();
        Expect(GX_TOK_COLON);
        int16_t whenFalse = Term();
        int16_t branches = NewNode(GX_NODE_BRANCHES);
        nodes_[branches].left = whenTrue;
        nodes_[branches].right = whenFalse;
        cond = Operator(GX_OP_COND, cond, branches);
    }
    return cond;
}

int16_t Parser::Binary(int level) {
    if (level == kLevelCount) {
        return Unary();
    }
    int16_t left = Binary(level + 1);
    for (;;) {
        int op = -1;
        for (int row = kLevelStart[level]; row < kLevelEnd[level] && op < 0; ++row) {
            for (int i = 0; i < 2; ++i) {
                if (kLevels[row].tokens[i] >= 0 && Kind() == kLevels[row].tokens[i]) {
                    op = kLevels[row].ops[i];
                }
            }
        }
        if (op < 0) {
            return left;
        }
        ++pos_;
        int16_t right = Binary(level + 1);
        left = Operator(op, left, right);
    }
}

int16_t Parser::Unary() {
    int op = Kind() == GX_TOK_PLUS    ? GX_OP_PLUS
             : Kind() == GX_TOK_MINUS ? GX_OP_NEG
             : Kind() == GX_TOK_BANG  ? GX_OP_NOT
             : Kind() == GX_TOK_TILDE ? GX_OP_BITNOT
                                      : -1;
    if (op < 0) {
        return Power();
    }
    ++pos_;
    int16_t operand = Power();
    return Operator(op, operand, -1);
}

int16_t Parser::Power() {
    int16_t left = Postfix();
    while (Accept(GX_TOK_POWER)) {
        int16_t right = Postfix();
        left = Operator(GX_OP_POW, left, right);
    }
    return left;
}

bool BeginsOperand(int kind) {
    return kind == GX_TOK_HASH || kind == GX_TOK_LPAREN ||
           (kind >= GX_TOK_CELL && kind <= GX_TOK_HEX) || kind == GX_TOK_ERROR_LITERAL;
}

int16_t Parser::Postfix() {
    int16_t operand = Primary();
    if (Kind() == GX_TOK_PERCENT && !BeginsOperand(Kind(1))) {
        ++pos_;
        return Operator(GX_OP_PERCENT, operand, -1);
    }
    return operand;
}

int16_t Parser::Primary() {
    switch (Kind()) {
        case GX_TOK_HASH:
            return RelativeReference();
        case GX_TOK_LPAREN: {
            // Parentheses make no nodes, so only this limit keeps their nesting bounded.
            if (++depth_ > GX_MAX_NESTING) {
                Fail(GX_ERR_OPERAND_STACK);
            }
            ++pos_;
            int16_t inner = Term();
            Expect(GX_TOK_RPAREN);
            --depth_;
            nodes_[inner].flags |= GX_NODE_PARENTHESISED;
            return inner;
        }
        case GX_TOK_CELL:
            return RangeTail(CellReference());
        case GX_TOK_NAME: {
            std::string name = *Take().text;
            return RangeTail(Kind() == GX_TOK_LPAREN ? Call(name) : NameReference(name));
        }
        case GX_TOK_FUNCTION:
            return RangeTail(Call(*Take().text));
        case GX_TOK_STRING: {
            const GXToken& t = Peek();
            auto decoded = GXUnescapeText(*t.text);
            if (!decoded) {
                Fail(GX_ERR_STRING_TOO_LONG);
            }
            ++pos_;
            int16_t n = NewNode(GX_NODE_STRING);
            nodes_[n].text = std::move(*decoded);
            return n;
        }
        case GX_TOK_NUMBER: {
            double v = GXStrToD(*Peek().text);
            if (!std::isfinite(v)) {
                Fail(282);  // unrepresentable number
            }
            ++pos_;
            int16_t n = NewNode(GX_NODE_NUMBER);
            nodes_[n].number = v;
            return n;
        }
        case GX_TOK_HEX: {
            const std::string& digits = *Peek().text;
            size_t first = digits.find_first_not_of('0');
            if (first != std::string::npos && digits.size() - first > 8) {
                Fail(88);  // hex number greater than 32 bits
            }
            ++pos_;
            int16_t n = NewNode(GX_NODE_NUMBER);
            nodes_[n].number = static_cast<int32_t>(std::stoul(digits, nullptr, 16));
            nodes_[n].flags |= GX_NODE_HEX;
            return n;
        }
        case GX_TOK_ERROR_LITERAL:
            ++pos_;
            return Operator(GX_OP_ERROR, -1, -1);
        default:
            Fail(GX_ERR_EXPECTED_OPERAND);
    }
}

int16_t Parser::RelativeReference() {
    ++pos_;  // '#'
    int16_t col = -1, row = -1;
    if (Accept(GX_TOK_LBRACE)) {
        col = Term();
        if (Accept(GX_TOK_COMMA)) {
            row = Term();
        }
        Expect(GX_TOK_RBRACE);
    }
    int16_t n = NewNode(GX_NODE_RELATIVE);
    nodes_[n].colTerm = col;
    nodes_[n].rowTerm = row;
    return n;
}

int16_t Parser::CellReference() {
    GXRangeRef ref;
    if (!GXParseRef(*Peek().text, ref)) {
        Fail(GX_ERR_REF_OUT_OF_RANGE);
    }
    ++pos_;
    int16_t n = NewNode(GX_NODE_CELL);
    nodes_[n].ref = ref;
    return n;
}

int16_t Parser::NameReference(const std::string& name) {
    GXRangeName* found = sheet_ ? GXFindRangeName(*sheet_, name) : nullptr;
    if (found == nullptr) {
        --pos_;  // report the name itself
        Fail(GX_ERR_UNDEFINED_NAME);
    }
    int16_t n = NewNode(found->ref.single() ? GX_NODE_NAMED_CELL : GX_NODE_NAMED_RANGE);
    nodes_[n].name = found;
    return n;
}

int16_t Parser::Call(const std::string& name) {
    std::string upper = name;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    size_t nameToken = pos_ - 1;
    std::vector<int16_t> args;
    if (Accept(GX_TOK_LPAREN)) {
        if (Kind() != GX_TOK_RPAREN) {
            args.push_back(Term());
            while (Accept(GX_TOK_COMMA)) {
                args.push_back(Term());
            }
        }
        Expect(GX_TOK_RPAREN);
    }
    size_t end = pos_;
    const GXWorksheetFunctionEntry* fn = GXLookupWorksheetFunction(upper);
    if (fn == nullptr) {
        pos_ = nameToken;
        Fail(GX_ERR_UNDEFINED_FUNCTION);
    }
    pos_ = nameToken;  // argument errors are reported at the function's name
    if (args.size() > GX_MAX_ARGS) {
        Fail(GX_ERR_TOO_MANY_ARGS);
    }
    int16_t call = NewNode(GX_NODE_CALL);
    nodes_[call].fn = fn;
    std::vector<int16_t> links;
    int16_t prev = call;
    for (int16_t arg : args) {
        int16_t link = NewNode(GX_NODE_ARG_LINK);
        nodes_[link].left = arg;
        nodes_[link].prevLink = prev;
        if (prev == call) {
            nodes_[call].right = link;
        } else {
            nodes_[prev].right = link;
        }
        prev = link;
        links.push_back(link);
    }
    BindArguments(call, *fn, links);
    pos_ = end;
    if (upper == "XVALUE" && links.size() >= 2) {
        nodes_[nodes_[links[1]].left].flags |= GX_NODE_NOT_DEPENDENCY;
    }
    return call;
}

void Parser::BindArguments(int16_t, const GXWorksheetFunctionEntry& fn,
                           const std::vector<int16_t>& links) {
    std::vector<GXArgDescriptor> before, after;
    const GXArgDescriptor* repeating = nullptr;
    size_t required = 0;
    for (int i = 0; i < fn.argCount; ++i) {
        const GXArgDescriptor& d = fn.args[i];
        uint32_t presence = d.flags & GX_ARGF_PRESENCE_MASK;
        if (presence == GX_ARGF_PRESENCE_MASK) {
            continue;  // a descriptor that takes no argument
        }
        if (presence != GX_ARGF_OPTIONAL) {
            ++required;
        }
        if (presence == GX_ARGF_REPEATING && repeating == nullptr) {
            repeating = &d;
        } else {
            (repeating ? after : before).push_back(d);
        }
    }
    size_t n = links.size();
    if (n < required) {
        Fail(GX_ERR_NOT_ENOUGH_ARGS);
    }
    if (repeating == nullptr && n > before.size()) {
        Fail(GX_ERR_TOO_MANY_ARGS);
    }
    for (size_t i = 0; i < n; ++i) {
        const GXArgDescriptor* d;
        if (i < before.size()) {
            d = &before[i];
        } else if (n - i <= after.size() && n >= before.size() + after.size()) {
            d = &after[after.size() - (n - i)];
        } else {
            d = repeating;
        }
        GXExprNode& link = nodes_[links[i]];
        link.conversion = d->kind;
        if (d->flags & GX_ARGF_UNEVALUATED) {
            link.flags |= GX_NODE_UNEVALUATED;
        }
    }
}

int16_t Parser::RangeTail(int16_t left) {
    if (Kind() != GX_TOK_COLON && Kind() != GX_TOK_DOTDOT && Kind() != GX_TOK_DOT) {
        return left;
    }
    ++pos_;
    int16_t right;
    if (Kind() == GX_TOK_CELL) {
        right = CellReference();
    } else if (Kind() == GX_TOK_NAME) {
        std::string name = *Take().text;
        right = Kind() == GX_TOK_LPAREN ? Call(name) : NameReference(name);
    } else if (Kind() == GX_TOK_FUNCTION && Kind(1) == GX_TOK_LPAREN) {
        right = Call(*Take().text);
    } else {
        Fail(GX_ERR_RANGE_RHS);
    }
    GXExprNode& l = nodes_[left];
    const GXExprNode& r = nodes_[right];
    bool plainLeft = l.kind == GX_NODE_CELL && !(l.flags & GX_NODE_PARENTHESISED);
    if (!plainLeft || r.kind != GX_NODE_CELL) {
        return Operator(GX_OP_RANGE, left, right);
    }
    JoinCells(left, right);
    return left;
}

void Parser::JoinCells(int16_t left, int16_t right) {
    // The right corner is released again; it must be the node allocated last.
    if (right != static_cast<int16_t>(nodes_.size() - 1)) {
        Fail(GX_ERR_FREEING_NODE);
    }
    GXExprNode& l = nodes_[left];
    const GXExprNode& r = nodes_[right];
    l.kind = GX_NODE_RANGE;
    l.ref.setLastRow(r.ref.firstRow());
    l.ref.setLastCol(r.ref.firstCol());
    l.ref.setFlag(GXRangeRef::kAbsRow1, r.ref.absFirstRow());
    l.ref.setFlag(GXRangeRef::kAbsCol1, r.ref.absFirstCol());
    l.ref.setFlag(GXRangeRef::kSingle, false);
    GXNormalize(l.ref);
    nodes_.pop_back();
}

}  // namespace

GXParseResult GXParseFormulaText(GXEngineSheet* sheet, std::string_view text, GXFormula& out) {
    out = GXFormula{};
    try {
        Parser parser(sheet, text);
        parser.Formula(out);
        return {};
    } catch (const ParseFail& f) {
        out = GXFormula{};
        return {false, f.error, f.position, f.expected, f.found};
    }
}

bool GXParseFormula(int sheet, std::string_view text, GXFormula& out) {
    GXParseResult r = GXParseFormulaText(GXGetSheet(sheet), text, out);
    GXGetEngineState().SetError(r.ok ? 0 : 1, r.error, r.position);
    return r.ok;
}

}  // namespace formula
