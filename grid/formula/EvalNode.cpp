// Node evaluation: operands, operators and function calls.
#include <cmath>

#include "grid/formula/EngineState.h"
#include "grid/formula/ErrorMessages.h"
#include "grid/formula/Evaluator.h"
#include "grid/formula/NumberText.h"
#include "grid/formula/Parser.h"
#include "grid/formula/WorksheetFunctions.h"

namespace formula {

namespace {

double Finite(double v) {
    if (!std::isfinite(v)) {
        GXRaiseError(GX_ERR_NOT_FINITE);
    }
    return v;
}

double Num(const GXExprNode* nodes, int index) {
    return GXValueToNumber(GXEvalNode(nodes, index));
}
int32_t Int(const GXExprNode* nodes, int index) {
    return GXValueToInt(GXEvalNode(nodes, index));
}

// An operand of "&" or of a comparison read to a number or a text; anything else raises the
// operator's error (an error value raises its own).
GXValue ReadOperand(GXValue v, int error) {
    if (v.type == GX_VT_ERROR) {
        GXRaiseError(v.error, v.context);
    }
    if (v.type == GX_VT_CELL) {
        v = GXResolveCell(v.ref.firstRow(), v.ref.firstCol());
    }
    if (v.type != GX_VT_NUMBER && v.type != GX_VT_STRING) {
        GXRaiseError(error);
    }
    return v;
}

std::string TrimTrailing(std::string s) {
    size_t end = s.size();
    while (end > 1 && std::isspace(static_cast<unsigned char>(s[end - 1]))) {
        --end;
    }
    s.resize(end);
    return s;
}

// -1, 0 or 1: every text sorts below every number.
int Compare(const GXValue& a, const GXValue& b) {
    if (a.type != b.type) {
        return a.type == GX_VT_STRING ? -1 : 1;
    }
    if (a.type == GX_VT_STRING) {
        int c = TrimTrailing(a.text).compare(TrimTrailing(b.text));
        return (c > 0) - (c < 0);
    }
    return (a.number > b.number) - (a.number < b.number);
}

GXValue Comparison(const GXExprNode* nodes, const GXExprNode& n) {
    static const int kErrors[] = {GX_ERR_OP_EQ, GX_ERR_OP_NE, GX_ERR_OP_LT,
                                  GX_ERR_OP_GT, GX_ERR_OP_LE, GX_ERR_OP_GE};
    int error = kErrors[n.op - GX_OP_EQ];
    GXValue a = ReadOperand(GXEvalNode(nodes, n.left), error);
    GXValue b = ReadOperand(GXEvalNode(nodes, n.right), error);
    int c = Compare(a, b);
    bool r = false;
    switch (n.op) {
        case GX_OP_EQ:
            r = c == 0;
            break;
        case GX_OP_NE:
            r = c != 0;
            break;
        case GX_OP_LT:
            r = c < 0;
            break;
        case GX_OP_GT:
            r = c > 0;
            break;
        case GX_OP_LE:
            r = c <= 0;
            break;
        default:
            r = c >= 0;
            break;
    }
    return GXValue::Number(r ? 1 : 0);
}

GXValue Concatenate(const GXExprNode* nodes, const GXExprNode& n) {
    GXValue a = ReadOperand(GXEvalNode(nodes, n.left), GX_ERR_OP_AND);
    GXValue b = ReadOperand(GXEvalNode(nodes, n.right), GX_ERR_OP_AND);
    if (a.type != b.type) {
        GXRaiseError(GX_ERR_CONCAT_TYPES);
    }
    if (a.type == GX_VT_NUMBER) {
        return GXValue::Number(GXValueToInt(a) & GXValueToInt(b));
    }
    if (a.text.size() + b.text.size() > GX_MAX_TEXT) {
        GXRaiseError(GX_ERR_STRING_TOO_LONG);
    }
    return GXValue::String(a.text + b.text);
}

GXValue RangeBetween(const GXExprNode* nodes, const GXExprNode& n) {
    GXValue a = GXEvalNode(nodes, n.left);
    GXValue b = GXEvalNode(nodes, n.right);
    if (a.type != GX_VT_CELL || b.type != GX_VT_CELL) {
        GXRaiseError(GX_ERR_RANGE_OPERANDS);
    }
    GXRangeRef r = a.ref;
    r.setLastRow(b.ref.firstRow());
    r.setLastCol(b.ref.firstCol());
    r.setFlag(GXRangeRef::kAbsRow1, b.ref.absFirstRow());
    r.setFlag(GXRangeRef::kAbsCol1, b.ref.absFirstCol());
    r.setFlag(GXRangeRef::kSingle, false);
    GXNormalize(r);
    return GXValue::Range(r);
}

double Arithmetic(const GXExprNode* nodes, const GXExprNode& n) {
    switch (n.op) {
        case GX_OP_ADD:
            return Num(nodes, n.left) + Num(nodes, n.right);
        case GX_OP_SUB:
            return Num(nodes, n.left) - Num(nodes, n.right);
        case GX_OP_MUL:
            return Num(nodes, n.left) * Num(nodes, n.right);
        case GX_OP_PLUS:
            return Num(nodes, n.left);
        case GX_OP_NEG:
            return -Num(nodes, n.left);
        case GX_OP_PERCENT:
            return Num(nodes, n.left) * 0.01;
        case GX_OP_DIV: {
            double a = Num(nodes, n.left), b = Num(nodes, n.right);
            if (b == 0) {
                GXRaiseError(GX_ERR_DIVIDE_BY_ZERO);
            }
            return a / b;
        }
        case GX_OP_POW: {
            double r = std::pow(Num(nodes, n.left), Num(nodes, n.right));
            if (!std::isfinite(r)) {  // domain, pole or overflow
                GXRaiseError(GX_ERR_DIVIDE_BY_ZERO);
            }
            return r;
        }
        default:
            return 0;
    }
}

int32_t Integer(const GXExprNode* nodes, const GXExprNode& n) {
    switch (n.op) {
        case GX_OP_MOD: {
            int32_t a = Int(nodes, n.left), b = Int(nodes, n.right);
            if (b == 0) {
                GXRaiseError(GX_ERR_MODULO_ZERO);
            }
            return b == -1 ? 0 : a % b;
        }
        case GX_OP_BITOR:
            return Int(nodes, n.left) | Int(nodes, n.right);
        case GX_OP_BITXOR:
            return Int(nodes, n.left) ^ Int(nodes, n.right);
        case GX_OP_BITNOT:
            return ~Int(nodes, n.left);
        case GX_OP_SHL: {
            uint32_t a = static_cast<uint32_t>(Int(nodes, n.left));
            return static_cast<int32_t>(a << (static_cast<uint32_t>(Int(nodes, n.right)) & 31));
        }
        case GX_OP_SHR: {
            int32_t a = Int(nodes, n.left);
            return a >> (static_cast<uint32_t>(Int(nodes, n.right)) & 31);
        }
        default:
            return 0;
    }
}

GXValue EvalOperator(const GXExprNode* nodes, const GXExprNode& n) {
    switch (n.op) {
        case GX_OP_AND:
            return GXValue::Number(Num(nodes, n.left) != 0 && Num(nodes, n.right) != 0);
        case GX_OP_OR:
            return GXValue::Number(Num(nodes, n.left) != 0 || Num(nodes, n.right) != 0);
        case GX_OP_NOT:
            return GXValue::Number(Num(nodes, n.left) == 0);
        case GX_OP_CONCAT:
            return Concatenate(nodes, n);
        case GX_OP_MOD:
        case GX_OP_BITOR:
        case GX_OP_BITXOR:
        case GX_OP_BITNOT:
        case GX_OP_SHL:
        case GX_OP_SHR:
            return GXValue::Number(Integer(nodes, n));
        case GX_OP_EQ:
        case GX_OP_NE:
        case GX_OP_LT:
        case GX_OP_GT:
        case GX_OP_LE:
        case GX_OP_GE:
            return Comparison(nodes, n);
        case GX_OP_COND: {
            const GXExprNode& branches = nodes[n.right];
            return GXEvalNode(nodes, Num(nodes, n.left) != 0 ? branches.left : branches.right);
        }
        case GX_OP_RANGE:
            return RangeBetween(nodes, n);
        case GX_OP_ERROR:
            GXRaiseError(GX_ERR_ERROR_LITERAL);
        default:
            return GXValue::Number(Finite(Arithmetic(nodes, n)));
    }
}

GXValue Relative(const GXExprNode* nodes, const GXExprNode& n) {
    int row = 0, col = 0;
    GXGetEvalCell(row, col);
    double r = row, c = col;
    if (n.rowTerm >= 0) {
        r += std::trunc(Num(nodes, n.rowTerm));
    }
    if (n.colTerm >= 0) {
        c += std::trunc(Num(nodes, n.colTerm));
    }
    if (r < 1 || r > GX_MAX_ROW || c < 0 || c > GX_MAX_COL) {
        GXRaiseError(GX_ERR_INVALID_CELL_REF);
    }
    return GXValue::Cell(GXMakeCell(static_cast<int>(r), static_cast<int>(c)));
}

// Number arguments become numbers here: a cell is read, a text is converted. A blank cell is
// the number 0 whatever "blank cells count as zero" says, as the argument routines read it
// (GXNumericArgument, GXDereferenceValue): that setting governs operators and a formula that
// is only a reference, not a function's number argument.
void ConvertToNumber(GXValue& v) {
    if (v.type == GX_VT_CELL) {
        GXValue read = GXResolveCell(v.ref.firstRow(), v.ref.firstCol());
        if (GXIsBlankCell(GXCurrentSheet(), v.ref.firstRow(), v.ref.firstCol())) {
            read = GXValue::Number(0);
        }
        if (read.type != GX_VT_NUMBER && read.type != GX_VT_STRING) {
            GXRaiseError(GX_ERR_NON_NUMERIC);
        }
        v = std::move(read);
    }
    if (v.type == GX_VT_STRING) {
        v = GXValue::Number(GXStrToD(v.text));
    }
}

GXValue Call(const GXExprNode* nodes, const GXExprNode& n) {
    GXCallFrame frame;
    frame.entry = n.fn;
    frame.args.emplace_back();
    for (int link = n.right; link >= 0; link = nodes[link].right) {
        const GXExprNode& l = nodes[link];
        GXValue v;
        if (l.flags & GX_NODE_UNEVALUATED) {
            v.type = GX_VT_UNEVALUATED;
            v.nodes = nodes;
            v.index = l.left;
        } else {
            v = GXEvalNode(nodes, l.left);
            if (l.conversion <= GX_ARG_NUMBER) {
                ConvertToNumber(v);
            }
        }
        frame.args.push_back(std::move(v));
    }
    frame.count = static_cast<int>(frame.args.size()) - 1;
    GXValue result = GXValue::Number(0);
    if (n.fn == nullptr || n.fn->disabled) {
        return result;
    }
    if (n.fn->handler == nullptr) {
        GXRaiseError(GX_ERR_NOT_INSTALLED, n.fn->name);
    }
    GX_EVAL_STATE& s = GXGetEvalState();
    const char* outerName = s.functionName;
    GXCallFrame* outerFrame = s.frame;
    s.functionName = n.fn->name;
    s.frame = &frame;
    struct Restore {
        GX_EVAL_STATE& s;
        const char* name;
        GXCallFrame* frame;
        ~Restore() {
            s.functionName = name;
            s.frame = frame;
        }
    } restore{s, outerName, outerFrame};
    n.fn->handler(result, frame);
    s.error = 0;
    if (CGXWorksheetFunctions* set = GXGetEngineState().WorksheetFunctions()) {
        set->PostCall();
    }
    if (result.type == GX_VT_NUMBER) {
        Finite(result.number);
    }
    return result;
}

}  // namespace

GXValue GXEvalNode(const GXExprNode* nodes, int index) {
    if (index < 0) {
        GXRaiseError(GX_ERR_UNCONSUMED);
    }
    const GXExprNode& n = nodes[index];
    switch (n.kind) {
        case GX_NODE_OPERATOR:
            return EvalOperator(nodes, n);
        case GX_NODE_NUMBER:
            return GXValue::Number(Finite(n.number));
        case GX_NODE_STRING:
            return GXValue::String(n.text.str());
        case GX_NODE_CELL:
            return GXValue::Cell(n.ref);
        case GX_NODE_RANGE:
            return GXValue::Range(n.ref);
        case GX_NODE_RELATIVE:
            return Relative(nodes, n);
        case GX_NODE_NAMED_CELL:
        case GX_NODE_NAMED_RANGE:
            if (n.name == nullptr) {
                GXRaiseError(GX_ERR_UNRESOLVED_NAME);
            }
            return n.kind == GX_NODE_NAMED_CELL ? GXValue::Cell(n.name->ref)
                                                : GXValue::Range(n.name->ref);
        case GX_NODE_CALL:
            return Call(nodes, n);
        case GX_NODE_BARE_NAME:
            GXRaiseError(GX_ERR_UNRESOLVED_NAME);
        default:
            GXRaiseError(GX_ERR_UNCONSUMED);
    }
}

}  // namespace formula
