// Fourier transforms. Sign +1 computes sum x_j exp(+i 2 pi j k / n); sign -1 the opposite
// exponent divided by n, so that the two undo each other on every path.
#include <cmath>
#include <utility>

#include "grid/formula/NumericHelpers.h"

namespace formula {

namespace {

constexpr double kTwoPi = 6.283185307179586;

void ScaleInverse(std::vector<double>& re, std::vector<double>& im, int sign) {
    if (sign < 0) {
        double n = static_cast<double>(re.size());
        for (size_t i = 0; i < re.size(); ++i) {
            re[i] /= n;
            im[i] /= n;
        }
    }
}

int Log2Exact(size_t n) {
    int m = 0;
    while ((size_t{1} << m) < n) {
        ++m;
    }
    return (size_t{1} << m) == n ? m : -1;
}

}  // namespace

void GXDirectTransform(std::vector<double>& re, std::vector<double>& im, int sign) {
    if (sign == 0 || re.empty() || re.size() != im.size()) {
        return;
    }
    size_t n = re.size();
    std::vector<double> outRe(n), outIm(n);
    for (size_t k = 0; k < n; ++k) {
        double sr = 0, si = 0;
        for (size_t j = 0; j < n; ++j) {
            // j * k mod n keeps the angle small and exact for large n.
            double angle =
                sign * kTwoPi * static_cast<double>((j * k) % n) / static_cast<double>(n);
            double c = std::cos(angle), s = std::sin(angle);
            sr += re[j] * c - im[j] * s;
            si += re[j] * s + im[j] * c;
        }
        outRe[k] = sr;
        outIm[k] = si;
    }
    re = std::move(outRe);
    im = std::move(outIm);
    ScaleInverse(re, im, sign);
}

bool GXFastTransform(std::vector<double>& re, std::vector<double>& im, int sign) {
    size_t n = re.size();
    int m = Log2Exact(n);
    if (sign == 0 || n != im.size() || m < 2 || m > 20) {
        return false;
    }
    for (size_t i = 1, j = 0; i < n; ++i) {  // bit-reversal permutation
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) {
            j ^= bit;
        }
        j |= bit;
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        double angle = sign * kTwoPi / static_cast<double>(len);
        for (size_t start = 0; start < n; start += len) {
            for (size_t k = 0; k < len / 2; ++k) {
                double wr = std::cos(angle * static_cast<double>(k));
                double wi = std::sin(angle * static_cast<double>(k));
                size_t a = start + k, b = a + len / 2;
                double tr = re[b] * wr - im[b] * wi;
                double ti = re[b] * wi + im[b] * wr;
                re[b] = re[a] - tr;
                im[b] = im[a] - ti;
                re[a] += tr;
                im[a] += ti;
            }
        }
    }
    ScaleInverse(re, im, sign);
    return true;
}

bool GXTransform(std::vector<double>& re, std::vector<double>& im, int sign) {
    if (re.size() == 2 && im.size() == 2) {
        GXDirectTransform(re, im, sign);
        return true;
    }
    return GXFastTransform(re, im, sign);
}

}  // namespace formula
