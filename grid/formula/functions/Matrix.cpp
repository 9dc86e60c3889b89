// Matrix, fitting, interpolation and transform worksheet functions. The array functions write
// their result block from the formula's own cell on; the formula's value is its first element.
#include <cmath>
#include <vector>

#include "grid/formula/CellContents.h"
#include "grid/formula/FunctionArgs.h"
#include "grid/formula/NumericHelpers.h"

namespace formula {

namespace {

enum : int {
    kLinearlyDependent = 61,
    kFewerThanThree = 65,
    kTooFewForDegree = 66,
    kNotPowerOfTwo = 69,
    kImproperDimensions = 103,
    kIncompatibleMatrices = 104,
    kIncompatibleRanges = 105,
    kSingular = 117,
    kNotSquare = 118,
    kNotSymmetric = 119,
    kMatrixNotNumeric = 130,
    kVectorNotNumeric = 131,
    kDegree = 143,
    kInvalidTable = 306,
    kNoInterpolation = 307,
};

// The number of a cell, or raises code.
double NumberAt(int row, int col, int code) {
    double x = 0;
    GXRequire(GXCellNumber(row, col, x), code);
    return x;
}

// A range as a matrix, row by row; every cell must hold a number. A range larger than the
// sheet's count of cells must have an empty cell, so it is refused before any cell is read.
GXMatrix MatrixOf(const GXRangeRef& r) {
    double cells = static_cast<double>(r.rowCount()) * r.colCount();
    GXRequire(cells <= GXCountCells(GXCurrentSheet(), GX_LIST_VALUES | GX_LIST_FORMULAS),
              kMatrixNotNumeric);
    GXMatrix m(r.rowCount(), r.colCount());
    for (int i = 0; i < m.rows; ++i) {
        for (int j = 0; j < m.cols; ++j) {
            m.at(i, j) = NumberAt(r.firstRow() + i, r.firstCol() + j, kMatrixNotNumeric);
        }
    }
    return m;
}

GXMatrix MatrixArg(GXCallFrame& frame, int i) {
    return MatrixOf(GXRangeArg(frame, i));
}

// The cells of a one-row or one-column range in order (another shape raises 103).
std::vector<double> VectorOf(const GXRangeRef& r, int code) {
    GXRequire(r.rowCount() == 1 || r.colCount() == 1, kImproperDimensions);
    GXRequire(static_cast<double>(r.rowCount()) * r.colCount() <=
                  GXCountCells(GXCurrentSheet(), GX_LIST_VALUES | GX_LIST_FORMULAS),
              code);
    std::vector<double> v;
    for (int i = 0; i < r.rowCount(); ++i) {
        for (int j = 0; j < r.colCount(); ++j) {
            v.push_back(NumberAt(r.firstRow() + i, r.firstCol() + j, code));
        }
    }
    return v;
}

// Writes the block and makes its first element the formula's value.
void WriteBlock(GXValue& result, const GXMatrix& m) {
    GXWriteMatrixResult(m.rows, m.cols, m.a.data());
    result = GXValue::Number(m.a[0]);
}

GXMatrix Column(const std::vector<double>& v) {
    GXMatrix m(static_cast<int>(v.size()), 1);
    m.a = v;
    return m;
}

GXMatrix Row(const std::vector<double>& v) {
    GXMatrix m(1, static_cast<int>(v.size()));
    m.a = v;
    return m;
}

// ---- Single matrices and products ---------------------------------------------------------

GXMatrix OneMatrix(GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    return MatrixArg(frame, 1);
}

GXMatrix SquareMatrix(GXCallFrame& frame) {
    GXMatrix m = OneMatrix(frame);
    GXRequire(m.rows == m.cols, kNotSquare);
    return m;
}

void Transpose(GXValue& result, GXCallFrame& frame) {
    WriteBlock(result, GXTranspose(OneMatrix(frame)));
}

void Invert(GXValue& result, GXCallFrame& frame) {
    GXMatrix inverse = GXInvert(SquareMatrix(frame));
    GXRequire(!inverse.empty(), kSingular);
    WriteBlock(result, inverse);
}

void Det(GXValue& result, GXCallFrame& frame) {
    result = GXValue::Number(GXDeterminant(SquareMatrix(frame)));
}

void Eigen(GXValue& result, GXCallFrame& frame) {
    GXMatrix m = SquareMatrix(frame);
    GXRequire(GXIsSymmetric(m), kNotSymmetric);
    GXMatrix e = GXEigen(m);
    GXRequire(!e.empty(), GX_ERR_FLOATING);
    WriteBlock(result, e);
}

void MMul(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 2);
    GXMatrix a = MatrixArg(frame, 1), b = MatrixArg(frame, 2);
    GXRequire(a.cols == b.rows, kIncompatibleMatrices);
    WriteBlock(result, GXMultiply(a, b));
}

// DOT and SUMPRODUCT: cells at equal offsets of two ranges of one shape, or a column and a row
// of one length taken in order; cells without a number count as 0.
void Dot(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 2);
    GXRangeRef a = GXRangeArg(frame, 1), b = GXRangeArg(frame, 2);
    bool sameShape = a.rowCount() == b.rowCount() && a.colCount() == b.colCount();
    bool crossed = (a.colCount() == 1 && b.rowCount() == 1 && a.rowCount() == b.colCount()) ||
                   (a.rowCount() == 1 && b.colCount() == 1 && a.colCount() == b.rowCount());
    GXRequire(sameShape || crossed, kIncompatibleRanges);
    double sum = 0, x = 0, y = 0;
    for (GXEngineCell* c : GXRangeCells(a)) {
        if (!GXCellNumber(c->row, c->col, x)) {
            continue;
        }
        int i = c->row - a.firstRow(), j = c->col - a.firstCol();
        int k = i + j;  // the position along a vector
        int row = sameShape ? b.firstRow() + i : b.firstRow() + (b.rowCount() == 1 ? 0 : k);
        int col = sameShape ? b.firstCol() + j : b.firstCol() + (b.rowCount() == 1 ? k : 0);
        if (GXCellNumber(row, col, y)) {
            sum += x * y;
        }
    }
    result = GXValue::Number(sum);
}

// ---- Fitting ------------------------------------------------------------------------------

// Known x and y: two single rows of one width, or two single columns of one height.
struct Points {
    std::vector<double> x, y;
    bool rows = false;
};

Points PointsOf(GXCallFrame& frame, int xi, int yi) {
    GXRangeRef xr = GXRangeArg(frame, xi), yr = GXRangeArg(frame, yi);
    Points p;
    p.rows = xr.rowCount() == 1 && yr.rowCount() == 1 && xr.colCount() == yr.colCount();
    bool columns = xr.colCount() == 1 && yr.colCount() == 1 && xr.rowCount() == yr.rowCount();
    GXRequire(p.rows || columns, kImproperDimensions);
    p.x = VectorOf(xr, kVectorNotNumeric);
    p.y = VectorOf(yr, kVectorNotNumeric);
    return p;
}

// Rows of x^degree ... x, 1 for each point.
GXMatrix Design(const std::vector<double>& x, int degree) {
    GXMatrix d(static_cast<int>(x.size()), degree + 1);
    for (int i = 0; i < d.rows; ++i) {
        double power = 1;
        for (int j = degree; j >= 0; --j) {
            d.at(i, j) = power;
            power *= x[static_cast<size_t>(i)];
        }
    }
    return d;
}

// The least-squares coefficients, highest power first.
GXMatrix Fit(const GXMatrix& design, const std::vector<double>& y) {
    GXMatrix coefficients;
    GXRequire(GXLeastSquares(design, Column(y), coefficients) == 0, kLinearlyDependent);
    return coefficients;
}

// Slope and intercept of the straight line through at least three points.
GXMatrix Line(const Points& p) {
    GXRequire(p.x.size() >= 3, kFewerThanThree);
    return Fit(Design(p.x, 1), p.y);
}

// The numbers of a number, a cell or a one-row or one-column range.
std::vector<double> ValuesOf(GXValue& v, int code) {
    if (v.type == GX_VT_RANGE) {
        return VectorOf(v.ref, code);
    }
    if (v.type == GX_VT_CELL) {
        return {NumberAt(v.ref.firstRow(), v.ref.firstCol(), code)};
    }
    if (v.type == GX_VT_ERROR) {
        GXRaiseValueError(v);
    }
    GXRequire(v.type == GX_VT_NUMBER, GX_ERR_BAD_ARG_TYPE);
    return {v.number};
}

void Trend(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 3);
    GXMatrix line = Line(PointsOf(frame, 2, 3));
    GXValue& newX = frame.arg(1);
    std::vector<double> x;
    if (newX.type == GX_VT_RANGE) {
        double value = 0;
        for (GXEngineCell* c : GXRangeCells(newX.ref)) {
            if (GXCellNumber(c->row, c->col, value)) {
                x.push_back(value);
            }
        }
        GXRequire(!x.empty(), kVectorNotNumeric);
    } else {
        x = ValuesOf(newX, kVectorNotNumeric);
    }
    for (double& v : x) {
        v = v * line.at(0, 0) + line.at(1, 0);
    }
    WriteBlock(result, Column(x));
}

void Forecast(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 3);
    double x = GXNumberArg(frame, 1);
    GXMatrix line = Line(PointsOf(frame, 2, 3));
    result = GXValue::Number(x * line.at(0, 0) + line.at(1, 0));
}

void LinFit(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 2);
    Points p = PointsOf(frame, 1, 2);
    GXMatrix fitted = GXMultiply(Design(p.x, 1), Line(p));
    WriteBlock(result, p.rows ? GXTranspose(fitted) : fitted);
}

struct Polynomial {
    Points points;
    int degree;
};

Polynomial PolynomialOf(GXCallFrame& frame) {
    GXRequireArgCount(frame, 3);
    Polynomial p{PointsOf(frame, 1, 2), 0};
    double degree = std::trunc(GXNumberArg(frame, 3));
    GXRequire(degree >= 1 && degree <= 10, kDegree);
    p.degree = static_cast<int>(degree);
    GXRequire(p.points.x.size() > static_cast<size_t>(p.degree) + 1, kTooFewForDegree);
    return p;
}

void PolyCoef(GXValue& result, GXCallFrame& frame) {
    Polynomial p = PolynomialOf(frame);
    GXMatrix c = Fit(Design(p.points.x, p.degree), p.points.y);
    WriteBlock(result, p.points.rows ? GXTranspose(c) : c);
}

GXMatrix Summary(const GXMatrix& design, const GXMatrix& y) {
    GXMatrix table = GXRegression(design, y);
    GXRequire(!table.empty(), kLinearlyDependent);
    return table;
}

void Pls(GXValue& result, GXCallFrame& frame) {
    Polynomial p = PolynomialOf(frame);
    WriteBlock(result, Summary(Design(p.points.x, p.degree), Column(p.points.y)));
}

void Lls(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 2);
    GXMatrix a = MatrixArg(frame, 1), b = MatrixArg(frame, 2);
    GXRequire(b.cols == 1 && b.rows == a.rows && a.cols < a.rows, kImproperDimensions);
    WriteBlock(result, Summary(a, b));
}

// ---- Interpolation --------------------------------------------------------------------------

// The first interval [grid[i], grid[i + 1]] that holds v.
size_t IntervalOf(const std::vector<double>& grid, double v) {
    for (size_t i = 0; i + 1 < grid.size(); ++i) {
        if (grid[i] <= v && v <= grid[i + 1]) {
            return i;
        }
    }
    GXFunctionError(kNoInterpolation);
}

// Several values form a column for column-shaped input and a row otherwise.
void WriteValues(GXValue& result, const std::vector<double>& v, const GXValue& shape) {
    bool column =
        shape.type == GX_VT_RANGE && shape.ref.colCount() == 1 && shape.ref.rowCount() > 1;
    WriteBlock(result, column ? Column(v) : Row(v));
}

void Interp2D(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 3);
    Points table = PointsOf(frame, 1, 2);
    const std::vector<double>& xs = table.x;
    const std::vector<double>& ys = table.y;
    std::vector<double> out = ValuesOf(frame.arg(3), kVectorNotNumeric);
    for (double& v : out) {
        size_t i = IntervalOf(xs, v);
        v = ys[i] + (ys[i + 1] - ys[i]) * (v - xs[i]) / (xs[i + 1] - xs[i]);
    }
    WriteValues(result, out, frame.arg(3));
}

void Interp3D(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 3);
    GXRangeRef t = GXRangeArg(frame, 1);
    GXRequire(t.rowCount() == t.colCount() && t.rowCount() >= 2, kImproperDimensions);
    GXValue &xArg = frame.arg(2), &yArg = frame.arg(3);
    bool sameShape = xArg.type == yArg.type &&
                     (xArg.type != GX_VT_RANGE || (xArg.ref.rowCount() == yArg.ref.rowCount() &&
                                                   xArg.ref.colCount() == yArg.ref.colCount()));
    std::vector<double> xs = ValuesOf(xArg, kVectorNotNumeric);
    std::vector<double> ys = ValuesOf(yArg, kVectorNotNumeric);
    GXRequire(sameShape && xs.size() == ys.size(), kImproperDimensions);
    int n = t.rowCount() - 1;
    std::vector<double> gridX, gridY;
    for (int i = 1; i <= n; ++i) {
        gridX.push_back(NumberAt(t.firstRow() + i, t.firstCol(), kInvalidTable));
        gridY.push_back(NumberAt(t.firstRow(), t.firstCol() + i, kInvalidTable));
    }
    auto z = [&](size_t i, size_t j) {
        return NumberAt(t.firstRow() + 1 + static_cast<int>(i),
                        t.firstCol() + 1 + static_cast<int>(j), kInvalidTable);
    };
    std::vector<double> out;
    for (size_t k = 0; k < xs.size(); ++k) {
        double x = xs[k], y = ys[k];
        size_t i = IntervalOf(gridX, x), j = IntervalOf(gridY, y);
        double fx = (x - gridX[i]) / (gridX[i + 1] - gridX[i]);
        double r = z(i, j) + fx * (z(i + 1, j) - z(i, j));
        double w = z(i, j + 1) + fx * (z(i + 1, j + 1) - z(i, j + 1));
        out.push_back(r + (w - r) * (y - gridY[j]) / (gridY[j + 1] - gridY[j]));
    }
    if (out.size() == 1) {
        result = GXValue::Number(out[0]);
    } else {
        WriteValues(result, out, xArg);
    }
}

// ---- Transforms -----------------------------------------------------------------------------

enum class Transform { kFast, kAny };

template <Transform kind, int sign>
void Fourier(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    GXRangeRef r = GXRangeArg(frame, 1);
    bool column = r.rowCount() > r.colCount() && r.colCount() <= 2;
    bool row = r.colCount() > r.rowCount() && r.rowCount() <= 2;
    GXRequire(column || row, kImproperDimensions);
    GXMatrix m = MatrixOf(r);
    if (row) {
        m = GXTranspose(m);
    }
    size_t n = static_cast<size_t>(m.rows);
    std::vector<double> re(n), im(n, 0.0);
    for (size_t i = 0; i < n; ++i) {
        re[i] = m.at(static_cast<int>(i), 0);
        im[i] = m.cols == 2 ? m.at(static_cast<int>(i), 1) : 0;
    }
    bool powerOfTwo = (n & (n - 1)) == 0;
    GXRequire(powerOfTwo || kind == Transform::kAny, kNotPowerOfTwo);
    if (!powerOfTwo || !GXTransform(re, im, sign)) {
        GXRequire(kind == Transform::kAny, kNotPowerOfTwo);  // beyond the fast transform's 2^20
        GXDirectTransform(re, im, sign);
    }
    GXMatrix out(static_cast<int>(n), 2);
    for (size_t i = 0; i < n; ++i) {
        out.at(static_cast<int>(i), 0) = re[i];
        out.at(static_cast<int>(i), 1) = im[i];
    }
    WriteBlock(result, row ? GXTranspose(out) : out);
}

}  // namespace

void GXRegisterMatrixFunctions(GXHandlerRegistry& r) {
    r.Add("TRANSPOSE", Transpose);
    r.Add("INVERT", Invert);
    r.Add("DET", Det);
    r.Add("EIGEN", Eigen);
    r.Add("MMUL", MMul);
    r.Add("DOT", Dot);
    r.Add("SUMPRODUCT", Dot);
    r.Add("TREND", Trend);
    r.Add("FORECAST", Forecast);
    r.Add("LINFIT", LinFit);
    r.Add("POLYCOEF", PolyCoef);
    r.Add("PLS", Pls);
    r.Add("LLS", Lls);
    r.Add("INTERP2D", Interp2D);
    r.Add("INTERP3D", Interp3D);
    r.Add("FFT", Fourier<Transform::kFast, 1>);
    r.Add("INVFFT", Fourier<Transform::kFast, -1>);
    r.Add("DFT", Fourier<Transform::kAny, 1>);
    r.Add("INVDFT", Fourier<Transform::kAny, -1>);
}

}  // namespace formula
