// Math worksheet functions: one-number and two-number functions, constants, random numbers,
// POLY and IF.
#include <cmath>

#include "grid/formula/FunctionArgs.h"
#include "grid/formula/NumericHelpers.h"

namespace formula {

namespace {

enum : int {
    kErrNegative = 52,
    kErrNotInteger = 53,
    kErrNoArguments = 71,
    kErrDomainUnit = 73,
    kErrDomainFact = 74,
    kErrDomainPositive = 76,
    kErrCoefficientType = 102,
    kErrLessThanTwo = 114,
    kErrPlaces = 123,
    kErrBothZero = 132,
};

// -0 reads "-0" in a cell; every result that can be a signed zero goes through here.
double Unsigned0(double x) {
    return x == 0 ? 0.0 : x;
}

// A library result that overflowed is the library's range error.
double RangeChecked(double x) {
    if (std::isinf(x)) {
        GXFunctionError(GX_ERR_FLOATING);
    }
    return x;
}

using UnaryFn = double (*)(double);

template <UnaryFn Fn>
void Unary(GXValue& result, GXCallFrame& frame) {
    result = GXValue::Number(Fn(GXNumericArgument(frame)));
}

double Abs(double x) {
    return std::fabs(x);
}
double Acos(double x) {
    if (x < -1 || x > 1) {
        GXFunctionError(kErrDomainUnit);
    }
    return std::acos(x);
}
double Asin(double x) {
    if (x < -1 || x > 1) {
        GXFunctionError(kErrDomainUnit);
    }
    return std::asin(x);
}
double Atan(double x) {
    return std::atan(x);
}
double Cos(double x) {
    return std::cos(x);
}
double Sin(double x) {
    return std::sin(x);
}
double Tan(double x) {
    return std::tan(x);
}
double Tanh(double x) {
    return std::tanh(x);
}
double Cosh(double x) {
    return RangeChecked(std::cosh(x));
}
double Sinh(double x) {
    return RangeChecked(std::sinh(x));
}
double Exp(double x) {
    return RangeChecked(std::exp(x));
}
double Degrees(double x) {
    return x * 57.29577951308232;
}
double Radians(double x) {
    return x * 0.017453292519943295;
}
double Positive(double x) {
    if (!(x > 0)) {
        GXFunctionError(kErrDomainPositive);
    }
    return x;
}
double Ln(double x) {
    return std::log(Positive(x));
}
double Log10(double x) {
    return std::log10(Positive(x));
}
double Log2(double x) {
    return std::log(Positive(x)) * 1.4426950408889634;
}
double Sqrt(double x) {
    if (x < 0) {
        GXFunctionError(kErrNegative);
    }
    return std::sqrt(x);
}
double Int(double x) {
    return Unsigned0(std::trunc(x));
}
double Frac(double x) {
    return Unsigned0(x - std::trunc(x));
}
double Ceil(double x) {
    return Unsigned0(std::ceil(x));
}
double Floor(double x) {
    return Unsigned0(std::floor(x));
}
double Sigmoid(double x) {
    return 1 / (std::exp(x) + 1);
}
double Gamma(double x) {
    return RangeChecked(std::exp(GXLnGamma(Positive(x))));
}
double LnGamma(double x) {
    return GXLnGamma(Positive(x));
}
double Fact(double x) {
    if (!(x >= 0 && x <= 170)) {
        GXFunctionError(kErrDomainFact);
    }
    if (x != std::trunc(x)) {
        GXFunctionError(kErrNotInteger);
    }
    if (x > 20) {
        return std::exp(GXLnGamma(x + 1));
    }
    double product = 1;
    for (int i = 2; i <= static_cast<int>(x); ++i) {
        product *= i;
    }
    return product;
}

// Two numbers: exactly two arguments, both numbers after dereferencing.
void TwoNumbers(GXCallFrame& frame, double& x, double& y) {
    GXRequireArgCount(frame, 2);
    x = GXNumberArg(frame, 1);
    y = GXNumberArg(frame, 2);
}

void Atan2(GXValue& result, GXCallFrame& frame) {
    double x, y;
    TwoNumbers(frame, x, y);
    if (x == 0 && y == 0) {
        GXFunctionError(kErrBothZero);
    }
    result = GXValue::Number(std::atan2(y, x));
}

void Mod(GXValue& result, GXCallFrame& frame) {
    double x, y;
    TwoNumbers(frame, x, y);
    if (y == 0) {
        GXFunctionError(GX_ERR_DIVIDE_BY_ZERO);
    }
    result = GXValue::Number(Unsigned0(std::fmod(x, y)));  // exact, sign of x
}

void Modulus(GXValue& result, GXCallFrame& frame) {
    double x, y;
    TwoNumbers(frame, x, y);
    if (y == 0) {
        GXFunctionError(GX_ERR_DIVIDE_BY_ZERO);
    }
    double r = std::fmod(x, y);
    if (r != 0 && (r < 0) != (y < 0)) {
        r += y;
    }
    result = GXValue::Number(Unsigned0(r));
}

void Round(GXValue& result, GXCallFrame& frame) {
    double x, places;
    TwoNumbers(frame, x, places);
    places = std::trunc(places);
    if (!(places >= -15 && places <= 15)) {
        GXFunctionError(kErrPlaces);
    }
    double scale = std::pow(10.0, places);
    double c = x * scale;
    if (!std::isfinite(c)) {
        result = GXValue::Number(x);  // too large to carry any of those places
        return;
    }
    c = x > 0 ? std::floor(c + 0.5) : std::ceil(c - 0.5);
    result = GXValue::Number(Unsigned0(c / scale));
}

template <double (*Value)()>
void Constant(GXValue& result, GXCallFrame& frame) {
    if (frame.count != 0) {
        GXFunctionError(kErrNoArguments);
    }
    result = GXValue::Number(Value());
}

double PiValue() {
    return 3.141592653589793;
}
double TrueValue() {
    return 1;
}
double FalseValue() {
    return 0;
}
double RandValue() {
    return GXRandom();
}
double GrandValue() {
    double sum = 0;
    for (int i = 0; i < 12; ++i) {
        sum += GXRandom();
    }
    return sum - 6;
}

// The number of a coefficient cell; anything without a number is not a coefficient.
double Coefficient(int row, int col) {
    double x = 0;
    if (!GXCellNumber(row, col, x)) {
        GXFunctionError(kErrCoefficientType);
    }
    return x;
}

void Poly(GXValue& result, GXCallFrame& frame) {
    if (frame.count < 2) {
        GXFunctionError(kErrLessThanTwo);
    }
    GXValue& xv = frame.arg(1);
    double x = 0;
    if (xv.type == GX_VT_ERROR) {
        GXRaiseValueError(xv);
    } else if (xv.type == GX_VT_CELL) {
        GXCellNumber(xv.ref.firstRow(), xv.ref.firstCol(), x);
    } else if (xv.type == GX_VT_NUMBER) {
        x = xv.number;
    } else {
        GXFunctionError(GX_ERR_BAD_ARG_TYPE);
    }
    double acc = 0;
    for (int i = 2; i <= frame.count; ++i) {
        const GXValue& c = frame.arg(i);
        switch (c.type) {
            case GX_VT_NUMBER:
                acc = acc * x + c.number;
                break;
            case GX_VT_ERROR:
                GXRaiseValueError(c);
            case GX_VT_CELL:
                acc = acc * x + Coefficient(c.ref.firstRow(), c.ref.firstCol());
                break;
            case GX_VT_RANGE:
                for (GXEngineCell* cell : GXRangeCells(c.ref)) {
                    acc = acc * x + Coefficient(cell->row, cell->col);
                }
                break;
            default:
                GXFunctionError(kErrCoefficientType);
        }
    }
    result = GXValue::Number(acc);
}

void If(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 3);
    double condition = GXNumberArg(frame, 1);
    result = GXEvaluateArg(frame.arg(condition != 0 ? 2 : 3));
}

}  // namespace

void GXRegisterMathFunctions(GXHandlerRegistry& r) {
    r.Add("ABS", Unary<Abs>);
    r.Add("ACOS", Unary<Acos>);
    r.Add("ASIN", Unary<Asin>);
    r.Add("ATAN", Unary<Atan>);
    r.Add("ATAN2", Atan2);
    r.Add("CEIL", Unary<Ceil>);
    r.Add("COS", Unary<Cos>);
    r.Add("COSH", Unary<Cosh>);
    r.Add("DEGREES", Unary<Degrees>);
    r.Add("EXP", Unary<Exp>);
    r.Add("FACT", Unary<Fact>);
    r.Add("FALSE", Constant<FalseValue>);
    r.Add("FLOOR", Unary<Floor>);
    r.Add("FRAC", Unary<Frac>);
    r.Add("GAMMA", Unary<Gamma>);
    r.Add("GRAND", Constant<GrandValue>);
    r.Add("IF", If);
    r.Add("INT", Unary<Int>);
    r.Add("LN", Unary<Ln>);
    r.Add("LNGAMMA", Unary<LnGamma>);
    r.Add("LOG", Unary<Log10>);
    r.Add("LOG10", Unary<Log10>);
    r.Add("LOG2", Unary<Log2>);
    r.Add("MOD", Mod);
    r.Add("MODULUS", Modulus);
    r.Add("PI", Constant<PiValue>);
    r.Add("POLY", Poly);
    r.Add("RADIANS", Unary<Radians>);
    r.Add("RAND", Constant<RandValue>);
    r.Add("ROUND", Round);
    r.Add("SIGMOID", Unary<Sigmoid>);
    r.Add("SIN", Unary<Sin>);
    r.Add("SINH", Unary<Sinh>);
    r.Add("SQRT", Unary<Sqrt>);
    r.Add("TAN", Unary<Tan>);
    r.Add("TANH", Unary<Tanh>);
    r.Add("TRUE", Constant<TrueValue>);
}

}  // namespace formula
