#include "grid/formula/FormulaText.h"

#include <cctype>
#include <cstdio>

#include "grid/formula/NumberText.h"
#include "grid/formula/Parser.h"
#include "grid/formula/WorksheetFunctions.h"

namespace formula {

namespace {

const char* BinaryText(int op) {
    switch (op) {
        case GX_OP_ADD:
            return "+";
        case GX_OP_SUB:
            return "-";
        case GX_OP_MUL:
            return "*";
        case GX_OP_DIV:
            return "/";
        case GX_OP_POW:
            return "**";
        case GX_OP_MOD:
            return "%";
        case GX_OP_AND:
            return "&&";
        case GX_OP_OR:
            return "||";
        case GX_OP_CONCAT:
            return "&";
        case GX_OP_BITOR:
            return "|";
        case GX_OP_BITXOR:
            return "^";
        case GX_OP_SHL:
            return "<<";
        case GX_OP_SHR:
            return ">>";
        case GX_OP_EQ:
            return "==";
        case GX_OP_NE:
            return "!=";
        case GX_OP_LT:
            return "<";
        case GX_OP_GT:
            return ">";
        case GX_OP_LE:
            return "<=";
        case GX_OP_GE:
            return ">=";
        // ".." before or after a name would scan as part of that name ("A1..Rate").
        case GX_OP_RANGE:
            return ":";
        default:
            return nullptr;
    }
}

const char* PrefixText(int op) {
    switch (op) {
        case GX_OP_PLUS:
            return "+";
        case GX_OP_NEG:
            return "-";
        case GX_OP_NOT:
            return "!";
        case GX_OP_BITNOT:
            return "~";
        default:
            return nullptr;
    }
}

void OperatorToText(const GXExprNode* nodes, const GXExprNode& n, std::string& out) {
    if (const char* text = BinaryText(n.op)) {
        GXNodeToText(nodes, n.left, out);
        out += text;
        GXNodeToText(nodes, n.right, out);
    } else if (const char* prefix = PrefixText(n.op)) {
        out += prefix;
        GXNodeToText(nodes, n.left, out);
    } else if (n.op == GX_OP_COND) {
        GXNodeToText(nodes, n.left, out);
        out += "?";
        GXNodeToText(nodes, n.right, out);
    } else if (n.op == GX_OP_PERCENT) {
        GXNodeToText(nodes, n.left, out);
        out += "%";
    } else {
        out += "??";
    }
}

void NumberToText(const GXExprNode& n, std::string& out) {
    if (n.flags & GX_NODE_HEX) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%X",
                      static_cast<uint32_t>(static_cast<int32_t>(n.number)));
        out += buf;
    } else {
        out += GXFormatNumber(n.number);
    }
}

void CallToText(const GXExprNode* nodes, const GXExprNode& n, std::string& out) {
    std::string_view name = n.fn ? n.fn->name : "";
    if (!name.empty() && name[0] == '@') {
        out += '@';
    }
    out += name;
    out += '(';
    GXNodeToText(nodes, n.right, out);
    out += ')';
}

}  // namespace

void GXNodeToText(const GXExprNode* nodes, int index, std::string& out) {
    if (index < 0) {
        return;
    }
    const GXExprNode& n = nodes[index];
    if (n.flags & GX_NODE_PARENTHESISED) {
        out += '(';
    }
    switch (n.kind) {
        case GX_NODE_OPERATOR:
            OperatorToText(nodes, n, out);
            break;
        case GX_NODE_NUMBER:
            NumberToText(n, out);
            break;
        case GX_NODE_STRING:
            out += '"';
            out += GXEscapeText(n.text.str(), true);
            out += '"';
            break;
        case GX_NODE_CELL:
        case GX_NODE_RANGE:
            out += GXRefToText(n.ref).value_or("??");
            break;
        case GX_NODE_NAMED_CELL:
        case GX_NODE_NAMED_RANGE:
        case GX_NODE_BARE_NAME:
            out += n.name ? n.name->name : n.text.str();
            break;
        case GX_NODE_CALL:
            CallToText(nodes, n, out);
            break;
        case GX_NODE_ARG_LINK:
            GXNodeToText(nodes, n.left, out);
            if (n.right >= 0) {
                out += ',';
                GXNodeToText(nodes, n.right, out);
            }
            break;
        case GX_NODE_RELATIVE:
            out += '#';
            if (n.colTerm >= 0) {
                out += '{';
                GXNodeToText(nodes, n.colTerm, out);
                if (n.rowTerm >= 0) {
                    out += ',';
                    GXNodeToText(nodes, n.rowTerm, out);
                }
                out += '}';
            }
            break;
        case GX_NODE_BRANCHES:
            GXNodeToText(nodes, n.left, out);
            out += ':';
            GXNodeToText(nodes, n.right, out);
            break;
    }
    if (n.flags & GX_NODE_PARENTHESISED) {
        out += ')';
    }
}

std::optional<std::string> GXFormulaToText(const GXFormula& f) {
    if (f.empty()) {
        return std::string();
    }
    const GXExprNode* nodes = f.nodes.data();
    std::string out = "=";
    GXNodeToText(nodes, f.root, out);
    if (f.constraint >= 0) {
        out += ';';
        GXNodeToText(nodes, f.constraint, out);
    }
    if (f.attached >= 0) {
        out += '\\';
        for (int i = f.attached; i >= 0; i = nodes[i].right) {
            if (i != f.attached) {
                out += ',';
            }
            const GXExprNode& item = nodes[i];
            if (item.named()) {
                out += item.name ? item.name->name : "??";
            } else {
                out += GXRefToText(item.ref).value_or("??");
            }
        }
    }
    if (f.comment.has()) {
        out += "//";
        out += f.comment.str();
    }
    if (out.size() > GX_MAX_TEXT) {
        return std::nullopt;
    }
    return out;
}

std::string GXEscapeText(std::string_view text, bool quote) {
    static const char kNamed[] = "abtnvfr";  // 7 to 13
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c >= 7 && c <= 13) {
            out += '\\';
            out += kNamed[c - 7];
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '"' && quote) {
            out += "\\\"";
        } else if (c < 32 || (c >= 127 && c <= 160)) {
            bool nextOctal = i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '7';
            int digits = (c >= 64 || nextOctal) ? 3 : (c >= 8 ? 2 : 1);
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%0*o", digits, c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Decodes the escape after a backslash at text[i]; i is left on its last character.
char DecodeEscape(std::string_view text, size_t& i) {
    char c = text[i];
    switch (c) {
        case 'a':
            return 7;
        case 'b':
            return 8;
        case 'f':
            return 12;
        case 'n':
            return 10;
        case 'r':
            return 13;
        case 't':
            return 9;
        case 'v':
            return 11;
        default:
            break;
    }
    if (c >= '0' && c <= '7') {
        int value = 0;
        for (int n = 0; n < 3 && i < text.size() && text[i] >= '0' && text[i] <= '7'; ++n) {
            value = value * 8 + (text[i++] - '0');
        }
        --i;
        return static_cast<char>(value);
    }
    if (c == 'x' && i + 1 < text.size() && HexDigit(text[i + 1]) >= 0) {
        int value = HexDigit(text[++i]);
        if (i + 1 < text.size() && HexDigit(text[i + 1]) >= 0) {
            value = value * 16 + HexDigit(text[++i]);
        }
        return static_cast<char>(value);
    }
    return c;  // '"', '\\', 'x' without digits and every other character stand for themselves
}

}  // namespace

std::optional<std::string> GXUnescapeText(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\') {
            if (++i >= text.size()) {
                break;
            }
            c = DecodeEscape(text, i);
        }
        if (out.size() >= GX_MAX_TEXT) {
            return std::nullopt;
        }
        out += c;
    }
    return out;
}

}  // namespace formula
