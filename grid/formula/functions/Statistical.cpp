// Statistical worksheet functions.
#include "grid/formula/FunctionArgs.h"

namespace formula {

namespace {

void Sum(GXValue& result, GXCallFrame& frame) {
    double sum = 0;
    GXForEachListNumber(frame, 1, [&](double x) { sum += x; });
    result = GXValue::Number(sum);
}

}  // namespace

void GXRegisterStatisticalFunctions(GXHandlerRegistry& r) {
    r.Add("SUM", Sum);
}

}  // namespace formula
