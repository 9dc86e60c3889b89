// Dense matrix algebra for the matrix and fitting functions.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "grid/formula/NumericHelpers.h"

namespace formula {

bool GXIsSymmetric(const GXMatrix& m) {
    if (m.rows != m.cols) {
        return false;
    }
    for (int i = 0; i < m.rows; ++i) {
        for (int j = 0; j < i; ++j) {
            double a = m.at(i, j), b = m.at(j, i);
            if (a != b && std::fabs(a - b) > 1e-10 * std::max(std::fabs(a), std::fabs(b))) {
                return false;
            }
        }
    }
    return true;
}

GXMatrix GXTranspose(const GXMatrix& m) {
    GXMatrix t(m.cols, m.rows);
    for (int i = 0; i < m.rows; ++i) {
        for (int j = 0; j < m.cols; ++j) {
            t.at(j, i) = m.at(i, j);
        }
    }
    return t;
}

GXMatrix GXMultiply(const GXMatrix& a, const GXMatrix& b) {
    if (a.cols != b.rows || a.empty() || b.empty()) {
        return {};
    }
    GXMatrix r(a.rows, b.cols);
    for (int i = 0; i < a.rows; ++i) {
        for (int k = 0; k < a.cols; ++k) {
            for (int j = 0; j < b.cols; ++j) {
                r.at(i, j) += a.at(i, k) * b.at(k, j);
            }
        }
    }
    return r;
}

GXMatrix GXMultiplyTransposed(const GXMatrix& a, const GXMatrix& b) {
    if (a.rows != b.rows) {
        return {};
    }
    return GXMultiply(GXTranspose(a), b);
}

std::optional<GXLU> GXDecompose(const GXMatrix& m) {
    int n = m.rows;
    if (n == 0 || m.cols != n) {
        return std::nullopt;
    }
    GXLU r{m, std::vector<int>(static_cast<size_t>(n)), 1};
    GXMatrix& a = r.lu;
    std::vector<double> scale(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        double big = 0;
        for (int j = 0; j < n; ++j) {
            big = std::max(big, std::fabs(a.at(i, j)));
        }
        if (big == 0) {
            return std::nullopt;  // a row of zeros
        }
        scale[static_cast<size_t>(i)] = 1 / big;
    }
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < j; ++i) {
            for (int k = 0; k < i; ++k) {
                a.at(i, j) -= a.at(i, k) * a.at(k, j);
            }
        }
        double big = 0;
        int pivot = j;
        for (int i = j; i < n; ++i) {
            for (int k = 0; k < j; ++k) {
                a.at(i, j) -= a.at(i, k) * a.at(k, j);
            }
            double merit = scale[static_cast<size_t>(i)] * std::fabs(a.at(i, j));
            if (merit >= big) {
                big = merit;
                pivot = i;
            }
        }
        if (pivot != j) {
            for (int k = 0; k < n; ++k) {
                std::swap(a.at(pivot, k), a.at(j, k));
            }
            r.parity = -r.parity;
            scale[static_cast<size_t>(pivot)] = scale[static_cast<size_t>(j)];
        }
        r.perm[static_cast<size_t>(j)] = pivot;
        if (a.at(j, j) == 0) {
            return std::nullopt;
        }
        for (int i = j + 1; i < n; ++i) {
            a.at(i, j) /= a.at(j, j);
        }
    }
    double smallest = HUGE_VAL, largest = 0;
    for (int i = 0; i < n; ++i) {
        smallest = std::min(smallest, std::fabs(a.at(i, i)));
        largest = std::max(largest, std::fabs(a.at(i, i)));
    }
    if (largest + smallest == largest || largest / smallest > 1e15) {
        return std::nullopt;  // numerically singular
    }
    return r;
}

std::vector<double> GXBackSubstitute(const GXLU& lu, std::vector<double> b) {
    int n = lu.lu.rows;
    for (int i = 0; i < n; ++i) {
        std::swap(b[static_cast<size_t>(i)],
                  b[static_cast<size_t>(lu.perm[static_cast<size_t>(i)])]);
        for (int j = 0; j < i; ++j) {
            b[static_cast<size_t>(i)] -= lu.lu.at(i, j) * b[static_cast<size_t>(j)];
        }
    }
    for (int i = n - 1; i >= 0; --i) {
        for (int j = i + 1; j < n; ++j) {
            b[static_cast<size_t>(i)] -= lu.lu.at(i, j) * b[static_cast<size_t>(j)];
        }
        b[static_cast<size_t>(i)] /= lu.lu.at(i, i);
    }
    return b;
}

GXMatrix GXInvert(const GXMatrix& m) {
    auto lu = GXDecompose(m);
    if (!lu) {
        return {};
    }
    int n = m.rows;
    GXMatrix inv(n, n);
    for (int j = 0; j < n; ++j) {
        std::vector<double> e(static_cast<size_t>(n), 0.0);
        e[static_cast<size_t>(j)] = 1;
        std::vector<double> col = GXBackSubstitute(*lu, std::move(e));
        for (int i = 0; i < n; ++i) {
            inv.at(i, j) = col[static_cast<size_t>(i)];
        }
    }
    return inv;
}

double GXDeterminant(const GXMatrix& m) {
    auto lu = GXDecompose(m);
    if (!lu) {
        return 0;
    }
    double d = lu->parity;
    for (int i = 0; i < m.rows; ++i) {
        d *= lu->lu.at(i, i);
    }
    return d;
}

int GXLeastSquares(const GXMatrix& x, const GXMatrix& y, GXMatrix& coefficients) {
    if (x.cols >= x.rows) {
        return 1;
    }
    GXMatrix xty = GXMultiplyTransposed(x, y);
    if (xty.empty()) {
        return 2;
    }
    GXMatrix inverse = GXInvert(GXMultiplyTransposed(x, x));
    if (inverse.empty()) {
        return 3;
    }
    coefficients = GXMultiply(inverse, xty);
    return 0;
}

GXMatrix GXRegression(const GXMatrix& x, const GXMatrix& y) {
    GXMatrix coef;
    if (GXLeastSquares(x, y, coef) != 0) {
        return {};
    }
    GXMatrix inverse = GXInvert(GXMultiplyTransposed(x, x));
    GXMatrix fitted = GXMultiply(x, coef);
    int n = x.rows, k = x.cols;
    double sumY = 0, sumFitted = 0, sumFitted2 = 0, sse = 0;
    for (int i = 0; i < n; ++i) {
        sumY += y.at(i, 0);
        sumFitted += fitted.at(i, 0);
        sumFitted2 += fitted.at(i, 0) * fitted.at(i, 0);
        double e = y.at(i, 0) - fitted.at(i, 0);
        sse += e * e;
    }
    double mean = sumY / n, ssTot = 0;
    for (int i = 0; i < n; ++i) {
        ssTot += (y.at(i, 0) - mean) * (y.at(i, 0) - mean);
    }
    double s2 = sse / (n - k);
    double ssReg = sumFitted2 + (sumY - 2 * sumFitted) * mean;
    double r2 = (k == 1 || ssTot == 0) ? 0 : ssReg / ssTot;
    double f = 0;
    if (k != 1) {
        f = r2 * (n - k) > (1 - r2) * 1e30 ? 1e15 : (ssReg / (k - 1)) / s2;
    }
    GXMatrix table(4, k + 1);
    for (int j = 0; j < k; ++j) {
        double c = coef.at(j, 0);
        double se = std::sqrt(s2 * inverse.at(j, j));
        double t = s2 == 0 ? 1e15 : c / se;
        table.at(0, j) = c;
        table.at(1, j) = se;
        table.at(2, j) = t;
        table.at(3, j) = GXStudentTwoTail(n - k, t);
    }
    table.at(0, k) = s2;
    table.at(1, k) = r2;
    table.at(2, k) = f;
    table.at(3, k) = k == 1 ? 0 : GXFTail(k - 1, n - k, f);
    return table;
}

namespace {

// Householder reduction of a symmetric matrix to tridiagonal form; a becomes the transform.
void Tridiagonalize(GXMatrix& a, std::vector<double>& d, std::vector<double>& e) {
    int n = a.rows;
    for (int i = n - 1; i > 0; --i) {
        int l = i - 1;
        double h = 0, scale = 0;
        if (l > 0) {
            for (int k = 0; k <= l; ++k) {
                scale += std::fabs(a.at(i, k));
            }
            if (scale == 0) {
                e[i] = a.at(i, l);
            } else {
                for (int k = 0; k <= l; ++k) {
                    a.at(i, k) /= scale;
                    h += a.at(i, k) * a.at(i, k);
                }
                double f = a.at(i, l);
                double g = f >= 0 ? -std::sqrt(h) : std::sqrt(h);
                e[i] = scale * g;
                h -= f * g;
                a.at(i, l) = f - g;
                f = 0;
                for (int j = 0; j <= l; ++j) {
                    a.at(j, i) = a.at(i, j) / h;
                    g = 0;
                    for (int k = 0; k <= j; ++k) g += a.at(j, k) * a.at(i, k);
                    for (int k = j + 1; k <= l; ++k) g += a.at(k, j) * a.at(i, k);
                    e[j] = g / h;
                    f += e[j] * a.at(i, j);
                }
                double hh = f / (h + h);
                for (int j = 0; j <= l; ++j) {
                    f = a.at(i, j);
                    e[j] = g = e[j] - hh * f;
                    for (int k = 0; k <= j; ++k) a.at(j, k) -= f * e[k] + g * a.at(i, k);
                }
            }
        } else {
            e[i] = a.at(i, l);
        }
        d[i] = h;
    }
    d[0] = 0;
    e[0] = 0;
    for (int i = 0; i < n; ++i) {
        int l = i - 1;
        if (d[i] != 0) {
            for (int j = 0; j <= l; ++j) {
                double g = 0;
                for (int k = 0; k <= l; ++k) g += a.at(i, k) * a.at(k, j);
                for (int k = 0; k <= l; ++k) a.at(k, j) -= g * a.at(k, i);
            }
        }
        d[i] = a.at(i, i);
        a.at(i, i) = 1;
        for (int j = 0; j <= l; ++j) {
            a.at(j, i) = a.at(i, j) = 0;
        }
    }
}

// QL iterations with implicit shifts; false when an eigenvalue does not settle.
bool QLImplicit(std::vector<double>& d, std::vector<double>& e, GXMatrix& z) {
    constexpr int kMaxIterations = 60;  // per eigenvalue; convergence takes a handful
    int n = static_cast<int>(d.size());
    for (int i = 1; i < n; ++i) e[i - 1] = e[i];
    e[n - 1] = 0;
    for (int l = 0; l < n; ++l) {
        int iter = 0, m;
        do {
            for (m = l; m < n - 1; ++m) {
                double dd = std::fabs(d[m]) + std::fabs(d[m + 1]);
                if (std::fabs(e[m]) + dd == dd)
                    break;
            }
            if (m != l) {
                if (++iter > kMaxIterations) {
                    return false;
                }
                double g = (d[l + 1] - d[l]) / (2 * e[l]);
                double r = std::hypot(g, 1.0);
                g = d[m] - d[l] + e[l] / (g + (g >= 0 ? std::fabs(r) : -std::fabs(r)));
                double s = 1, c = 1, p = 0;
                int i;
                for (i = m - 1; i >= l; --i) {
                    double f = s * e[i], b = c * e[i];
                    e[i + 1] = (r = std::hypot(f, g));
                    if (r == 0) {
                        d[i + 1] -= p;
                        e[m] = 0;
                        break;
                    }
                    s = f / r;
                    c = g / r;
                    g = d[i + 1] - p;
                    r = (d[i] - g) * s + 2 * c * b;
                    d[i + 1] = g + (p = s * r);
                    g = c * r - b;
                    for (int k = 0; k < n; ++k) {
                        f = z.at(k, i + 1);
                        z.at(k, i + 1) = s * z.at(k, i) + c * f;
                        z.at(k, i) = c * z.at(k, i) - s * f;
                    }
                }
                if (r == 0 && i >= l)
                    continue;
                d[l] -= p;
                e[l] = g;
                e[m] = 0;
            }
        } while (m != l);
    }
    return true;
}

}  // namespace

GXMatrix GXEigen(const GXMatrix& m) {
    if (m.empty() || !GXIsSymmetric(m)) {
        return {};
    }
    int n = m.rows;
    GXMatrix z = m;
    std::vector<double> d(static_cast<size_t>(n)), e(static_cast<size_t>(n));
    Tridiagonalize(z, d, e);
    if (!QLImplicit(d, e, z)) {
        return {};
    }
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return d[a] > d[b]; });
    GXMatrix out(n + 1, n);
    for (int j = 0; j < n; ++j) {
        int src = order[static_cast<size_t>(j)];
        out.at(0, j) = d[static_cast<size_t>(src)];
        double sign = 0;
        for (int i = 0; i < n && sign == 0; ++i) {
            if (std::fabs(z.at(i, src)) > 1e-15)
                sign = z.at(i, src) > 0 ? 1 : -1;
        }
        for (int i = 0; i < n; ++i) {
            out.at(i + 1, j) = z.at(i, src) * (sign == 0 ? 1 : sign);
        }
    }
    return out;
}

}  // namespace formula
