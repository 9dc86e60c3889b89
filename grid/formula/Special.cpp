// Special functions and distributions.
#include <cmath>

#include "grid/formula/NumericHelpers.h"

namespace formula {

namespace {

int g_numericError = 0;
int g_gammaSign = 1;
constexpr double kPi = 3.141592653589793;
constexpr int kMaxIterations = 200;
constexpr double kEpsilon = 1e-12;

}  // namespace

int GXTakeNumericError() {
    int e = g_numericError;
    g_numericError = 0;
    return e;
}

void GXSetNumericError(int error) {
    g_numericError = error;
}

double GXLogGammaLanczos(double x) {
    if (x < 1) {
        double z = 1 - x;
        return std::log(kPi * z / std::sin(kPi * z)) - GXLogGammaLanczos(2 - x);
    }
    static const double c[6] = {76.18009173,  -86.50532033,  24.01409822,
                                -1.231739516, 0.00120858003, -0.00000536382};
    double xp = x - 1;
    double t = xp + 5.5;
    double s = 1;
    for (int j = 0; j < 6; ++j) {
        s += c[j] / (xp + j + 1);
    }
    return std::log(2.50662827465 * s) - (t - (xp + 0.5) * std::log(t));
}

double GXBetaContinuedFraction(double a, double b, double x) {
    double qab = a + b, qap = a + 1, qam = a - 1;
    double am = 1, bm = 1, az = 1, bz = 1 - qab * x / qap;
    for (int m = 1; m <= kMaxIterations; ++m) {
        double tem = 2.0 * m;
        double d = m * (b - m) * x / ((qam + tem) * (a + tem));
        double ap = az + d * am, bp = bz + d * bm;
        d = -(a + m) * (qab + m) * x / ((a + tem) * (qap + tem));
        double app = ap + d * az, bpp = bp + d * bz;
        double old = az;
        // Renormalised after every step so the recurrence cannot overflow.
        am = ap / bpp;
        bm = bp / bpp;
        az = app / bpp;
        bz = 1;
        if (std::fabs(az - old) < kEpsilon * std::fabs(az)) {
            return az;
        }
    }
    GXSetNumericError(1);
    return 0;
}

double GXIncompleteBeta(double a, double b, double x) {
    if (x < 0 || x > 1) {
        GXSetNumericError(1);
        return 0;
    }
    double front = 0;
    if (x > 0 && x < 1) {
        front = std::exp(GXLnGamma(a + b) - GXLnGamma(a) - GXLnGamma(b) + a * std::log(x) +
                         b * std::log(1 - x));
        if (!std::isfinite(front)) {
            GXSetNumericError(86);
            return 0;
        }
    }
    if (x < (a + 1) / (a + b + 2)) {
        return front * GXBetaContinuedFraction(a, b, x) / a;
    }
    return 1 - front * GXBetaContinuedFraction(b, a, 1 - x) / b;
}

double GXStudentTwoTail(double df, double t) {
    df = std::min(df, 1e6);
    return GXIncompleteBeta(df / 2, 0.5, df / (df + t * t));
}

double GXFTail(double d1, double d2, double f) {
    d1 = std::min(d1, 1e6);
    d2 = std::min(d2, 1e6);
    if (f == 0) {
        return 1;
    }
    return GXIncompleteBeta(d2 / 2, d1 / 2, d2 / (d2 + d1 * f));
}

double GXGammaP(double a, double x) {
    if (x < 0 || a <= 0) {
        return 0;
    }
    if (x == 0) {
        return 0;
    }
    double gln = GXLnGamma(a);  // the accurate log-gamma: P is good to twelve digits
    if (x < a + 1) {
        double ap = a, sum = 1 / a, del = sum;
        for (int n = 0; n < kMaxIterations; ++n) {
            ap += 1;
            del *= x / ap;
            sum += del;
            if (std::fabs(del) < std::fabs(sum) * kEpsilon) {
                return sum * std::exp(-x + a * std::log(x) - gln);
            }
        }
        return 0;
    }
    // Continued fraction for the upper part, modified Lentz.
    const double tiny = 1e-30;
    double b = x + 1 - a, c = 1e30, d = 1 / b, h = d;
    for (int i = 1; i <= kMaxIterations; ++i) {
        double an = -i * (i - a);
        b += 2;
        d = an * d + b;
        if (std::fabs(d) < tiny)
            d = tiny;
        c = b + an / c;
        if (std::fabs(c) < tiny)
            c = tiny;
        d = 1 / d;
        double del = d * c;
        h *= del;
        if (std::fabs(del - 1) < kEpsilon) {
            break;
        }
    }
    return 1 - std::exp(-x + a * std::log(x) - gln) * h;
}

double GXNormSDist(double x) {
    double p = GXGammaP(0.5, x * x / 2);
    return x >= 0 ? (1 + p) / 2 : (1 - p) / 2;
}

double GXNormSInv(double p) {
    if (!(p > 0 && p < 1) || p == 0.5) {
        return 0;
    }
    double q = std::max(p, 1 - p);
    double lo = 0, hi = 1;
    int steps = 0;
    while (GXNormSDist(hi) < q && steps < 50) {
        lo = hi;
        hi *= 2;
        ++steps;
    }
    while (hi - lo > 1e-12 && steps < 50) {
        double mid = (lo + hi) / 2;
        (GXNormSDist(mid) < q ? lo : hi) = mid;
        ++steps;
    }
    double z = (lo + hi) / 2;
    return p < 0.5 ? -z : z;
}

namespace {

double GammaRational(double x) {
    // Gamma on (0, 8] moved into [2, 3], there P(b)/Q(b) with b = x - 2.
    static const double P[8] = {
        -42353.68950974409, -20886.861789269886, -8762.710297852149, -2008.5274013072792,
        -439.3304440600257, -50.10869375297095,  -6.744950724592529, 0};
    static const double Q[8] = {
        -42353.68950974409, -2980.385330925665, 9940.30741508277,    -1528.607273779522,
        -499.028526621439,  189.498234157028,   -23.081551524580124, 1};
    double factor = 1;
    while (x < 2) {
        factor /= x;
        x += 1;
    }
    while (x > 3) {
        x -= 1;
        factor *= x;
    }
    double b = x - 2, p = 0, q = 0;
    for (int i = 7; i >= 0; --i) {
        p = p * b + P[i];
        q = q * b + Q[i];
    }
    return factor * p / q;
}

}  // namespace

double GXLnGamma(double x) {
    g_gammaSign = 1;
    if (x > 8) {
        static const double c[6] = {0.0833333333333331,  -0.00277777777735865, 0.000793650576493454,
                                    -0.0005951896861197, 0.00083645878922,     -0.001633436431};
        double y = 1 / (x * x);
        double s = 0;
        if (x <= 1e8) {
            for (int i = 5; i >= 0; --i) {
                s = s * y + c[i];
            }
        }
        return (x - 0.5) * std::log(x) - x + 0.9189385332046728 + s / x;
    }
    if (x > 0) {
        return std::log(GammaRational(x));
    }
    double sinus = std::sin(kPi * x);
    if (x == std::floor(x)) {
        GXSetNumericError(86);  // a pole
        return HUGE_VAL;
    }
    double r = std::log(kPi / std::fabs(sinus)) - GXLnGamma(1 - x);
    g_gammaSign = sinus < 0 ? -1 : 1;
    return r;
}

int GXGammaSign() {
    return g_gammaSign;
}

}  // namespace formula
