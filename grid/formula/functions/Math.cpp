// Math, logic and string worksheet functions.
#include <cmath>

#include "grid/formula/FunctionArgs.h"

namespace formula {

namespace {

void Abs(GXValue& result, GXCallFrame& frame) {
    result = GXValue::Number(std::fabs(GXNumericArgument(frame)));
}

void Pi(GXValue& result, GXCallFrame& frame) {
    if (frame.count != 0) {
        GXFunctionError(71);
    }
    result = GXValue::Number(3.141592653589793);
}

void If(GXValue& result, GXCallFrame& frame) {
    if (frame.count != 3) {
        GXFunctionError(GX_ERR_WRONG_ARG_COUNT);
    }
    GXValue& cond = frame.arg(1);
    if (!GXDereferenceValue(cond) || cond.type != GX_VT_NUMBER) {
        GXFunctionError(GX_ERR_BAD_ARG_TYPE);
    }
    result = GXEvaluateArg(frame.arg(cond.number != 0 ? 2 : 3));
}

}  // namespace

void GXRegisterMathFunctions(GXHandlerRegistry& r) {
    r.Add("ABS", Abs);
    r.Add("IF", If);
    r.Add("PI", Pi);
}

}  // namespace formula
