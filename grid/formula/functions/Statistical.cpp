// Statistical worksheet functions: list aggregates, conditional aggregates, tests and
// distributions, order statistics.
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <utility>
#include <vector>

#include "grid/formula/CellContents.h"
#include "grid/formula/FunctionArgs.h"
#include "grid/formula/NumberText.h"
#include "grid/formula/NumericHelpers.h"
#include "grid/formula/Parser.h"

namespace formula {

namespace {

enum : int {
    kDegreesOfFreedom = 68,
    kFNegative = 39,
    kArgOutOfRange = 55,
    kNotNumeric = 56,
    kBadCondition = 57,
    kNotARange = 58,
    kDivideByZero = 70,
    kOperandZero = 134,
    kOperandNotPositive = 137,
    kOperandOutOfRange = 138,
    kPooledLessThan3 = 144,
    kPopulationLessThan1 = 145,
    kShapesDiffer = 146,
    kPairMissing = 152,
    kSampleLessThan1 = 153,
    kSampleLessThan2 = 154,
    kNoDuplicate = 300,
    kNotInList = 301,
    kLowerNegative = 310,
    kUpperNegative = 311,
    kPermutation = 312,
};

constexpr double kInf = std::numeric_limits<double>::infinity();

// Count, sum, sum of squares and extremes, with the deviations from the running mean kept the
// stable way (Welford), so equal values give a variance of exactly 0 and never a negative one.
struct Moments {
    long n = 0;
    double sum = 0, sumSq = 0, mean = 0, m2 = 0;
    double min = kInf, max = -kInf;

    void Add(double x) {
        ++n;
        sum += x;
        sumSq += x * x;
        double d = x - mean;
        mean += d / static_cast<double>(n);
        m2 += d * (x - mean);
        min = std::min(min, x);
        max = std::max(max, x);
    }
    double Variance() const { return m2 / static_cast<double>(n); }
    double SampleVariance() const { return m2 / static_cast<double>(n - 1); }
};

// Checks the numeric routine that just ran.
double Checked(double x) {
    if (GXTakeNumericError() != 0) {
        GXFunctionError(GX_ERR_FLOATING);
    }
    return x;
}

// The numeric cells of a range, row by row.
std::vector<double> RangeNumbers(const GXRangeRef& range) {
    std::vector<double> values;
    double x = 0;
    for (GXEngineCell* c : GXRangeCells(range)) {
        if (GXCellNumber(c->row, c->col, x)) {
            values.push_back(x);
        }
    }
    return values;
}

Moments RangeMoments(const GXRangeRef& range) {
    Moments m;
    for (double x : RangeNumbers(range)) {
        m.Add(x);
    }
    return m;
}

std::vector<double> ListNumbers(GXCallFrame& frame, int first = 1) {
    std::vector<double> values;
    GXForEachListNumber(frame, first, [&](double x) { values.push_back(x); });
    return values;
}

// ---- Family 1: list aggregates ----------------------------------------------------------

using Finish = double (*)(const Moments&);

template <Finish finish>
void ListAggregate(GXValue& result, GXCallFrame& frame) {
    Moments m;
    GXForEachListNumber(frame, 1, [&](double x) { m.Add(x); });
    result = GXValue::Number(finish(m));
}

double SumOf(const Moments& m) {
    return m.sum;
}
double SumSquares(const Moments& m) {
    return m.sumSq;
}
double VectorLength(const Moments& m) {
    return std::sqrt(m.sumSq);
}
double SquaredErrors(const Moments& m) {
    GXRequire(m.n > 0, kPopulationLessThan1);
    return m.m2;
}
double Mean(const Moments& m) {
    GXRequire(m.n > 0, kSampleLessThan1);
    return m.sum / static_cast<double>(m.n);
}
double ListMean(const Moments& m) {
    if (m.n == 0 && GXCurrentSheet().blanksAreZero) {
        return 0;
    }
    return Mean(m);
}
double MeanSquare(const Moments& m) {
    GXRequire(m.n > 0, kSampleLessThan1);
    return m.sumSq / static_cast<double>(m.n);
}
double RootMeanSquare(const Moments& m) {
    return std::sqrt(MeanSquare(m));
}
double Smallest(const Moments& m) {
    GXRequire(m.n > 0, kSampleLessThan1);
    return m.min;
}
double Largest(const Moments& m) {
    GXRequire(m.n > 0, kSampleLessThan1);
    return m.max;
}
double Variance(const Moments& m) {
    GXRequire(m.n > 0, kPopulationLessThan1);
    return m.Variance();
}
double StdDev(const Moments& m) {
    return std::sqrt(Variance(m));
}
double SampleVariance(const Moments& m) {
    GXRequire(m.n > 1, kSampleLessThan2);
    return m.SampleVariance();
}
double SampleStdDev(const Moments& m) {
    return std::sqrt(SampleVariance(m));
}

void GeometricMean(GXValue& result, GXCallFrame& frame) {
    long n = 0;
    double logs = 0;
    GXForEachListNumber(frame, 1, [&](double x) {
        GXRequire(x > 0, kOperandNotPositive);
        logs += std::log(x);
        ++n;
    });
    GXRequire(n > 0, kSampleLessThan1);
    double g = std::exp(logs / static_cast<double>(n));
    GXRequire(std::isfinite(g), GX_ERR_FLOATING);
    result = GXValue::Number(g);
}

void HarmonicMean(GXValue& result, GXCallFrame& frame) {
    long n = 0;
    double inverses = 0;
    GXForEachListNumber(frame, 1, [&](double x) {
        GXRequire(x != 0, kOperandZero);
        inverses += 1 / x;
        ++n;
    });
    GXRequire(n > 0, kSampleLessThan1);
    result = GXValue::Number(static_cast<double>(n) / inverses);
}

// Multiplied directly: a product of whole numbers stays exact while it fits a double, which
// the sum of logarithms would not give.
void Product(GXValue& result, GXCallFrame& frame) {
    double product = 1;
    bool zero = false;
    GXForEachListNumber(frame, 1, [&](double x) {
        zero = zero || x == 0;
        product *= x;
    });
    result = GXValue::Number(zero ? 0 : product);
}

void Count(GXValue& result, GXCallFrame& frame) {
    long n = 0;
    auto holdsValue = [](GXEngineCell* c) {
        if (c->kind() == GX_CELL_FORMULA && !c->has(GX_CF_COMPUTED)) {
            GXReadCell(&GXCurrentSheet(), c->row, c->col, false);
        }
        return c->valueKind() != GX_VAL_EMPTY;
    };
    for (int i = 1; i <= frame.count; ++i) {
        GXValue& v = frame.arg(i);
        switch (v.type) {
            case GX_VT_NUMBER:
            case GX_VT_STRING:
                ++n;
                break;
            case GX_VT_ERROR:
                GXRaiseValueError(v);
            case GX_VT_CELL:
            case GX_VT_RANGE:
                for (GXEngineCell* c : GXRangeCells(v.ref)) {
                    n += holdsValue(c);
                }
                break;
            default:
                break;
        }
    }
    result = GXValue::Number(static_cast<double>(n));
}

// Each cell counts as the number its display text reads as.
void DisplaySum(GXValue& result, GXCallFrame& frame) {
    double sum = 0;
    for (int i = 1; i <= frame.count; ++i) {
        GXValue& v = frame.arg(i);
        if (v.type == GX_VT_NUMBER) {
            sum += v.number;
        } else if (v.type == GX_VT_ERROR) {
            GXRaiseValueError(v);
        } else if (v.type == GX_VT_CELL || v.type == GX_VT_RANGE) {
            for (GXEngineCell* c : GXRangeCells(v.ref)) {
                std::string text = GXGetCellText(GXCurrentSheet(), *c);
                GXRequire(c->valueKind() != GX_VAL_ERROR, GX_ERR_CELL_ERROR);
                if (c->valueKind() != GX_VAL_EMPTY) {
                    sum += GXStrToD(text);
                }
            }
        }
    }
    result = GXValue::Number(sum);
}

// ---- Family 2: conditional aggregates -----------------------------------------------------

// Evaluates the condition for one cell: a number passes when not 0; a string is parsed as a
// condition and evaluated for the cell in turn.
class Condition {
public:
    explicit Condition(const GXValue& arg) : arg_(arg) {}

    bool Passes(int row, int col) {
        GXValue r = Evaluate(arg_.nodes, arg_.index, row, col);
        if (r.type == GX_VT_STRING) {
            r = Evaluate(Parsed(r.text), row, col);
        }
        GXRequire(r.type == GX_VT_NUMBER, GX_ERR_NON_NUMERIC);
        return r.number != 0;
    }

private:
    GXValue Evaluate(const GXExprNode* nodes, int index, int row, int col) {
        GXValue r = arg_.type == GX_VT_UNEVALUATED
                        ? GXEvaluate(GXGetEvalState().sheet, row, col, nodes, index)
                        : arg_;
        if (r.type == GX_VT_ERROR) {
            GXRaiseValueError(r);
        }
        if (r.type == GX_VT_CELL) {
            GXDereferenceValue(r);
        }
        return r;
    }
    GXValue Evaluate(const GXFormula& f, int row, int col) {
        GXValue r = GXEvaluate(GXGetEvalState().sheet, row, col, f.nodes.data(), f.root);
        if (r.type == GX_VT_ERROR) {
            GXRaiseValueError(r);
        }
        return r;
    }
    const GXFormula& Parsed(const std::string& text) {
        auto it = parsed_.find(text);
        if (it == parsed_.end()) {
            GXFormula f;
            std::string source = !text.empty() && text[0] == '=' ? text : "=" + text;
            GXRequire(GXParseFormulaText(&GXCurrentSheet(), source, f).ok, kBadCondition);
            it = parsed_.emplace(text, std::move(f)).first;
        }
        return it->second;
    }

    const GXValue& arg_;
    std::map<std::string, GXFormula> parsed_;
};

// Calls visit(cell) for every cell of the range arguments that holds something and passes the
// condition (the last argument). Positions without a cell can neither count nor pass.
template <typename Visit>
void ForEachPassingCell(GXCallFrame& frame, Visit visit) {
    if (frame.count < 2) {
        return;
    }
    Condition condition(frame.arg(frame.count));
    for (int i = 1; i < frame.count; ++i) {
        for (GXEngineCell* c : GXRangeCells(GXRangeArg(frame, i))) {
            if (c->valueKind() != GX_VAL_EMPTY && condition.Passes(c->row, c->col)) {
                visit(c);
            }
        }
    }
}

template <Finish finish>
void ConditionalAggregate(GXValue& result, GXCallFrame& frame) {
    Moments m;
    double x = 0;
    ForEachPassingCell(frame, [&](GXEngineCell* c) {
        if (GXCellNumber(c->row, c->col, x)) {
            m.Add(x);
        }
    });
    result = GXValue::Number(finish(m));
}

void ConditionalCount(GXValue& result, GXCallFrame& frame) {
    long n = 0;
    ForEachPassingCell(frame, [&](GXEngineCell*) { ++n; });
    result = GXValue::Number(static_cast<double>(n));
}

// ---- Family 3: tests and distributions ----------------------------------------------------

void StudentT(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 2, 2);
    double df = GXNumberArg(frame, 1), t = GXNumberArg(frame, 2);
    GXRequire(df > 0, kDegreesOfFreedom);
    double p = Checked(GXStudentTwoTail(df, t));
    result = GXValue::Number(t > 0 ? 1 - p / 2 : p / 2);
}

void FDistribution(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 3, 3);
    double d1 = GXNumberArg(frame, 1), d2 = GXNumberArg(frame, 2), f = GXNumberArg(frame, 3);
    GXRequire(d1 > 0 && d2 > 0, kDegreesOfFreedom);
    GXRequire(f >= 0, kFNegative);
    result = GXValue::Number(1 - Checked(GXFTail(d1, d2, f)));
}

double TwoTail(double df, double t) {
    return Checked(GXStudentTwoTail(df, t));
}

void OneSampleT(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 2, 2);
    Moments m = RangeMoments(GXRangeArg(frame, 1));
    double mu = GXNumberArg(frame, 2);
    GXRequire(m.n >= 2, kSampleLessThan2);
    double n = static_cast<double>(m.n);
    result = GXValue::Number(
        m.m2 == 0 ? 1 : TwoTail(n - 1, (m.mean - mu) * std::sqrt(n * (n - 1) / m.m2)));
}

// The numeric cells of two ranges of one shape, paired by their offset in the range; a
// position numeric in one range only raises "sample missing from pair".
std::vector<std::pair<double, double>> Pairs(GXCallFrame& frame) {
    GXCheckArgCount(frame, 2, 2);
    GXRangeRef a = GXRangeArg(frame, 1), b = GXRangeArg(frame, 2);
    GXRequire(a.rowCount() == b.rowCount() && a.colCount() == b.colCount(), kShapesDiffer);
    auto numbered = [](const GXRangeRef& r) {
        std::vector<std::pair<long, double>> out;
        double x = 0;
        for (GXEngineCell* c : GXRangeCells(r)) {
            if (GXCellNumber(c->row, c->col, x)) {
                out.emplace_back(static_cast<long>(c->row - r.firstRow()) * r.colCount() +
                                     (c->col - r.firstCol()),
                                 x);
            }
        }
        return out;
    };
    auto na = numbered(a), nb = numbered(b);
    GXRequire(na.size() == nb.size(), kPairMissing);
    std::vector<std::pair<double, double>> pairs;
    for (size_t i = 0; i < na.size(); ++i) {
        GXRequire(na[i].first == nb[i].first, kPairMissing);
        pairs.emplace_back(na[i].second, nb[i].second);
    }
    return pairs;
}

void PairedT(GXValue& result, GXCallFrame& frame) {
    Moments d;
    for (auto [x, y] : Pairs(frame)) {
        d.Add(x - y);
    }
    GXRequire(d.n >= 2, kSampleLessThan2);
    double n = static_cast<double>(d.n);
    result =
        GXValue::Number(d.m2 == 0 ? 1 : TwoTail(n - 1, d.mean * std::sqrt(n * (n - 1) / d.m2)));
}

std::pair<Moments, Moments> TwoSamples(GXCallFrame& frame) {
    GXCheckArgCount(frame, 2, 2);
    return {RangeMoments(GXRangeArg(frame, 1)), RangeMoments(GXRangeArg(frame, 2))};
}

void PooledT(GXValue& result, GXCallFrame& frame) {
    auto [a, b] = TwoSamples(frame);
    GXRequire(a.n + b.n >= 3, kPooledLessThan3);
    // Without a value in one sample its mean does not exist.
    GXRequire(a.n > 0 && b.n > 0, kSampleLessThan1);
    double na = static_cast<double>(a.n), nb = static_cast<double>(b.n);
    double s = std::sqrt((1 / nb + 1 / na) * (a.m2 + b.m2) / (na + nb - 2));
    result = GXValue::Number(s == 0 ? 1 : TwoTail(na + nb - 2, (a.mean - b.mean) / s));
}

void UnequalVarianceT(GXValue& result, GXCallFrame& frame) {
    auto [a, b] = TwoSamples(frame);
    GXRequire(a.n >= 2 && b.n >= 2, kSampleLessThan2);
    double na = static_cast<double>(a.n), nb = static_cast<double>(b.n);
    double va = a.m2 / (na * (na - 1)), vb = b.m2 / (nb * (nb - 1));
    double s = va + vb;
    if (std::sqrt(s) == 0) {
        result = GXValue::Number(1);
        return;
    }
    double df = s * s / (va * va / (na - 1) + vb * vb / (nb - 1));
    result = GXValue::Number(TwoTail(df, (a.mean - b.mean) / std::sqrt(s)));
}

void VarianceRatioTest(GXValue& result, GXCallFrame& frame) {
    auto [a, b] = TwoSamples(frame);
    GXRequire(a.n >= 2 && b.n >= 2, kSampleLessThan2);
    double va = a.SampleVariance(), vb = b.SampleVariance();
    double da = static_cast<double>(a.n - 1), db = static_cast<double>(b.n - 1);
    double r = 0;
    if (va == 0 && vb == 0) {
        r = 2 * Checked(GXFTail(da, db, 1));
    } else if (va < vb) {
        r = 2 * Checked(GXFTail(db, da, vb / va));
    } else {
        r = 2 * Checked(GXFTail(da, db, va / vb));
    }
    result = GXValue::Number(r > 1 ? 2 - r : r);
}

void ZTest(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 2, 3);
    Moments m = RangeMoments(GXRangeArg(frame, 1));
    double mu = GXNumberArg(frame, 2);
    double sigma = 0;
    if (frame.count == 3) {
        sigma = GXNumberArg(frame, 3);
        GXRequire(sigma > 0, kOperandOutOfRange);
    }
    GXRequire(m.n >= 2, kSampleLessThan2);
    if (frame.count < 3) {
        sigma = std::sqrt(m.SampleVariance());
        GXRequire(sigma > 0, kDivideByZero);  // all values equal: no spread to measure by
    }
    double z = (m.mean - mu) / (sigma / std::sqrt(static_cast<double>(m.n)));
    result = GXValue::Number(1 - Checked(GXNormSDist(z)));
}

// Co-moments kept the stable way, like Moments.
void Correlation(GXValue& result, GXCallFrame& frame) {
    long n = 0;
    double mx = 0, my = 0, cxx = 0, cyy = 0, cxy = 0;
    for (auto [x, y] : Pairs(frame)) {
        ++n;
        double dx = x - mx, dy = y - my;
        mx += dx / static_cast<double>(n);
        my += dy / static_cast<double>(n);
        cxx += dx * (x - mx);
        cyy += dy * (y - my);
        cxy += dx * (y - my);
    }
    double denominator = std::sqrt(cxx * cyy);
    GXRequire(denominator > 0, kDivideByZero);  // fewer than two points or no spread
    result = GXValue::Number(std::clamp(cxy / denominator, -1.0, 1.0));
}

void NormSDist(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 1, 1);
    result = GXValue::Number(Checked(GXNormSDist(GXNumberArg(frame, 1))));
}

double InverseNormal(double p) {
    GXRequire(p > 0 && p < 1, kOperandOutOfRange);
    return Checked(GXNormSInv(p));
}

void NormSInv(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 1, 1);
    result = GXValue::Number(InverseNormal(GXNumberArg(frame, 1)));
}

void NormDist(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 4, 4);
    double x = GXNumberArg(frame, 1), mean = GXNumberArg(frame, 2), sd = GXNumberArg(frame, 3);
    double cumulative = GXNumberArg(frame, 4);
    GXRequire(sd > 0, kOperandOutOfRange);
    double z = (x - mean) / sd;
    result = GXValue::Number(cumulative != 0 ? Checked(GXNormSDist(z))
                                             : std::exp(-z * z / 2) / (sd * std::sqrt(2 * M_PI)));
}

void NormInv(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 3, 3);
    double p = GXNumberArg(frame, 1), mean = GXNumberArg(frame, 2), sd = GXNumberArg(frame, 3);
    GXRequire(sd > 0, kOperandOutOfRange);
    result = GXValue::Number(mean + sd * InverseNormal(p));
}

void Standardize(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 3, 3);
    double x = GXNumberArg(frame, 1), mean = GXNumberArg(frame, 2), sd = GXNumberArg(frame, 3);
    GXRequire(sd > 0, kOperandOutOfRange);
    result = GXValue::Number((x - mean) / sd);
}

void Confidence(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 3, 3);
    double alpha = GXNumberArg(frame, 1), sigma = GXNumberArg(frame, 2);
    int32_t n = GXToInteger(GXNumberArg(frame, 3));
    GXRequire(alpha > 0 && alpha < 1 && sigma > 0 && n > 0, kOperandOutOfRange);
    result = GXValue::Number(sigma * InverseNormal(1 - alpha / 2) / std::sqrt(n));
}

double Erf(double x) {
    return 2 * Checked(GXNormSDist(std::sqrt(2.0) * x)) - 1;
}

void ErrorFunction(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 1, 2);
    double lower = GXNumberArg(frame, 1, kNotNumeric);
    double upper = frame.count == 2 ? GXNumberArg(frame, 2, kNotNumeric) : 0;
    GXRequire(lower >= 0, kLowerNegative);
    GXRequire(upper >= 0, kUpperNegative);
    result = GXValue::Number(frame.count == 2 ? Erf(upper) - Erf(lower) : Erf(lower));
}

void ComplementaryErrorFunction(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 1, 1);
    double x = GXNumberArg(frame, 1, kNotNumeric);
    GXRequire(x >= 0, kLowerNegative);
    result = GXValue::Number(1 - Erf(x));
}

// ---- Family 4: order statistics ------------------------------------------------------------

double PercentileOf(std::vector<double> v, double p) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    double h = static_cast<double>(v.size() - 1) * p;
    auto lo = static_cast<size_t>(std::floor(h)), hi = static_cast<size_t>(std::ceil(h));
    return v[lo] + (h - static_cast<double>(lo)) * (v[hi] - v[lo]);
}

// The first argument of PERCENTILE, QUARTILE and PERCENTRANK: a range's numbers, or the value
// of a number or cell.
std::vector<double> RangeOrNumber(GXCallFrame& frame, bool& single) {
    GXValue& v = frame.arg(1);
    single = v.type != GX_VT_RANGE;
    double x = 0;
    if (v.type == GX_VT_RANGE) {
        return RangeNumbers(v.ref);
    }
    if (v.type == GX_VT_CELL) {
        return {GXCellNumber(v.ref.firstRow(), v.ref.firstCol(), x) ? x : 0};
    }
    return {GXNumberArg(frame, 1)};
}

void Percentile(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 2, 2);
    bool single = false;
    std::vector<double> v = RangeOrNumber(frame, single);
    double p = GXNumberArg(frame, 2);
    GXRequire(p >= 0 && p <= 1, kArgOutOfRange);
    result = GXValue::Number(single ? v[0] : PercentileOf(std::move(v), p));
}

void Quartile(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 2, 2);
    bool single = false;
    std::vector<double> v = RangeOrNumber(frame, single);
    double q = std::trunc(GXNumberArg(frame, 2));  // 4.9 is the fourth quartile
    GXRequire(q >= 0 && q <= 4, kArgOutOfRange);
    result = GXValue::Number(single ? v[0] : PercentileOf(std::move(v), q * 0.25));
}

void Median(GXValue& result, GXCallFrame& frame) {
    result = GXValue::Number(PercentileOf(ListNumbers(frame), 0.5));
}

template <bool largest>
void KthValue(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 2, 2);
    std::vector<double> v = RangeNumbers(GXRangeArg(frame, 1));
    double k = std::trunc(GXNumberArg(frame, 2));
    GXRequire(k > 0 && k <= static_cast<double>(v.size()), kArgOutOfRange);
    auto nth = v.begin() + static_cast<long>(k) - 1;
    if (largest) {
        std::nth_element(v.begin(), nth, v.end(), std::greater<>());
    } else {
        std::nth_element(v.begin(), nth, v.end());
    }
    result = GXValue::Number(*nth);
}

void PercentRank(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 2, 2);
    bool single = false;
    std::vector<double> v = RangeOrNumber(frame, single);
    double x = GXNumberArg(frame, 2);
    if (single) {
        GXRequire(v[0] == x, kArgOutOfRange);
        result = GXValue::Number(v[0]);
        return;
    }
    std::sort(v.begin(), v.end());
    GXRequire(!v.empty() && x >= v.front() && x <= v.back(), kArgOutOfRange);
    if (v.size() == 1) {
        result = GXValue::Number(1);  // the one value is the whole range: the top rank
        return;
    }
    double last = static_cast<double>(v.size() - 1);
    size_t i = 0;
    while (x > v[i]) {
        ++i;
    }
    if (x == v[i]) {
        result = GXValue::Number(static_cast<double>(i) / last);
        return;
    }
    --i;
    result = GXValue::Number(((x - v[i]) / (v[i + 1] - v[i]) + static_cast<double>(i)) / last);
}

void Rank(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 2, 3);
    double x = GXNumberArg(frame, 1);
    std::vector<double> v = RangeNumbers(GXRangeArg(frame, 2));
    bool ascending = frame.count == 3 && GXNumberArg(frame, 3) != 0;
    long below = 0, above = 0, equal = 0;
    for (double y : v) {
        below += y < x;
        above += y > x;
        equal += y == x;
    }
    GXRequire(equal > 0, kNotInList);
    result = GXValue::Number(static_cast<double>((ascending ? below : above) + 1));
}

void Mode(GXValue& result, GXCallFrame& frame) {
    std::vector<double> values = ListNumbers(frame);
    std::vector<size_t> order(values.size());
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return values[a] < values[b]; });
    size_t bestLength = 0, bestFirst = 0;
    for (size_t start = 0; start < order.size();) {
        size_t end = start;
        while (end < order.size() && values[order[end]] == values[order[start]]) {
            ++end;
        }
        size_t length = end - start, first = order[start];  // stable: smallest index first
        if (length > bestLength || (length == bestLength && first < bestFirst)) {
            bestLength = length;
            bestFirst = first;
        }
        start = end;
    }
    GXRequire(bestLength > 1, kNoDuplicate);
    result = GXValue::Number(values[bestFirst]);
}

void Frequency(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 2, 2);
    GXRangeRef data = GXRangeArg(frame, 1, kNotARange),
               binsRange = GXRangeArg(frame, 2, kNotARange);
    std::vector<double> bins = RangeNumbers(binsRange);
    // Slots are the intervals between neighbouring bins, so bins must not fall back.
    GXRequire(std::is_sorted(bins.begin(), bins.end()), kArgOutOfRange);
    std::vector<double> counts(bins.size() + 1, 0.0);
    if (!bins.empty()) {
        for (double x : RangeNumbers(data)) {
            counts[static_cast<size_t>(std::upper_bound(bins.begin(), bins.end(), x) -
                                       bins.begin())] += 1;
        }
    }
    int n = static_cast<int>(counts.size());
    bool column = binsRange.rowCount() > binsRange.colCount();
    GXWriteMatrixResult(column ? n : 1, column ? 1 : n, counts.data());
    result = GXValue::Number(counts[0]);
}

void Permutations(GXValue& result, GXCallFrame& frame) {
    GXCheckArgCount(frame, 2, 2);
    double n = GXNumberArg(frame, 1), k = GXNumberArg(frame, 2);
    GXRequire(n > 0 && k >= 0 && n >= k, kPermutation);
    n = std::trunc(n);
    k = std::trunc(k);
    // Every factor is at least 1 (n >= k) and all but the last at least 2, so the product
    // overflows within about 1100 factors; an integer counts them (a double counter stops
    // growing past 2^53).
    double p = 1;
    for (int64_t i = 0; static_cast<double>(i) < k && std::isfinite(p); ++i) {
        p *= n - static_cast<double>(i);
    }
    result = GXValue::Number(p);
}

}  // namespace

void GXRegisterStatisticalFunctions(GXHandlerRegistry& r) {
    r.Add("SUM", ListAggregate<SumOf>);
    r.Add("VSUM", DisplaySum);
    r.Add("SSQ", ListAggregate<SumSquares>);
    r.Add("SSE", ListAggregate<SquaredErrors>);
    r.Add("AVG", ListAggregate<ListMean>);
    r.Add("MSQ", ListAggregate<MeanSquare>);
    r.Add("RMS", ListAggregate<RootMeanSquare>);
    r.Add("MIN", ListAggregate<Smallest>);
    r.Add("MAX", ListAggregate<Largest>);
    r.Add("VAR", ListAggregate<Variance>);
    r.Add("STD", ListAggregate<StdDev>);
    r.Add("VARS", ListAggregate<SampleVariance>);
    r.Add("STDS", ListAggregate<SampleStdDev>);
    r.Add("GMEAN", GeometricMean);
    r.Add("HMEAN", HarmonicMean);
    r.Add("COUNT", Count);
    r.Add("PRODUCT", Product);
    r.Add("VECLEN", ListAggregate<VectorLength>);

    r.Add("CSUM", ConditionalAggregate<SumOf>);
    r.Add("CAVG", ConditionalAggregate<Mean>);
    r.Add("CMIN", ConditionalAggregate<Smallest>);
    r.Add("CMAX", ConditionalAggregate<Largest>);
    r.Add("CVAR", ConditionalAggregate<Variance>);
    r.Add("CSTD", ConditionalAggregate<StdDev>);
    r.Add("CVARS", ConditionalAggregate<SampleVariance>);
    r.Add("CSTDS", ConditionalAggregate<SampleStdDev>);
    r.Add("CCOUNT", ConditionalCount);

    r.Add("T", StudentT);
    r.Add("F", FDistribution);
    r.Add("TTEST", OneSampleT);
    r.Add("PTTEST", PairedT);
    r.Add("TTEST2EV", PooledT);
    r.Add("TTEST2UV", UnequalVarianceT);
    r.Add("FTEST", VarianceRatioTest);
    r.Add("ZTEST", ZTest);
    r.Add("CORR", Correlation);
    r.Add("NORMSDIST", NormSDist);
    r.Add("NORMSINV", NormSInv);
    r.Add("NORMDIST", NormDist);
    r.Add("NORMINV", NormInv);
    r.Add("STANDARDIZE", Standardize);
    r.Add("CONFIDENCE", Confidence);
    r.Add("ERF", ErrorFunction);
    r.Add("ERFC", ComplementaryErrorFunction);

    r.Add("PERCENTILE", Percentile);
    r.Add("QUARTILE", Quartile);
    r.Add("MEDIAN", Median);
    r.Add("LARGE", KthValue<true>);
    r.Add("SMALL", KthValue<false>);
    r.Add("PERCENTRANK", PercentRank);
    r.Add("RANK", Rank);
    r.Add("MODE", Mode);
    r.Add("FREQUENCY", Frequency);
    r.Add("PERMUT", Permutations);
}

}  // namespace formula
