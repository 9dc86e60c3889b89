// Numeric routines the worksheet functions share: special functions and distributions, the
// day-serial calendar, dense matrices, Fourier transforms and the random generator. Plain
// functions on doubles; a routine that fails sets the numeric error (GXTakeNumericError).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace formula {

// The error a numeric routine left (1 no convergence or bad argument, 86 floating exception);
// reading clears it.
int GXTakeNumericError();
void GXSetNumericError(int error);

// Special functions and distributions.
double GXLogGammaLanczos(double x);  // ln Gamma(x), six-term Lanczos series
double GXBetaContinuedFraction(double a, double b, double x);
double GXIncompleteBeta(double a, double b, double x);  // regularised I_x(a, b)
double GXStudentTwoTail(double df, double t);           // P(|T| >= |t|)
double GXFTail(double d1, double d2, double f);         // P(F >= f)
double GXGammaP(double a, double x);                    // regularised lower incomplete gamma
double GXNormSDist(double x);
double GXNormSInv(double p);
double GXLnGamma(double x);  // ln |Gamma(x)| for any x; sign in GXGammaSign
int GXGammaSign();

// Calendar: serial 1 = 1 January 1900 ... 73050 = 31 December 2099; 1900 counts as a leap year.
inline constexpr int GX_LAST_SERIAL = 73050;
struct GXDate {
    int year;  // offset from 1900
    int month;
    int day;
};
int GXMonthLength(int year, int month);  // year as offset from 1900 or full
// 0 for an impossible date; a year from 1900 on is taken as a full year.
int GXDateSerial(int year, int month, int day);
std::optional<GXDate> GXSerialToDate(long serial);
// The date moved by whole months; the day is limited to the target month, and the last day of
// February stays the last day of the month. 0 when the result leaves the calendar.
int GXAddMonths(int serial, int months);
int GXDays360(int serial1, int serial2);
// Year fraction by day-count basis (0 30/360, 1 actual/365 or 366, 2 actual/360, 3 actual/365);
// inclusive counts both end days.
double GXYearFraction(int basis, int serial1, int serial2, bool inclusive);
struct GXNowParts {
    int year;  // offset from 1900
    int month, day, hour, minute, second;
};
GXNowParts GXNow();
// Time of day from hour 0-23, minute 0-59, second 0-59; nullopt otherwise.
std::optional<double> GXTimeFraction(int hour, int minute, int second);
void GXDayFractionToHMS(double fraction, int& hour, int& minute, int& second);
// A date or time text by the user's locale ("%x", "%X" and a few common forms).
std::optional<GXDate> GXParseDateText(std::string_view text);
std::optional<double> GXParseTimeText(std::string_view text);

// Matrices, row-major; an empty matrix (0 x 0) is the failure result.
struct GXMatrix {
    int rows = 0;
    int cols = 0;
    std::vector<double> a;

    GXMatrix() = default;
    GXMatrix(int r, int c) : rows(r), cols(c), a(static_cast<size_t>(r) * c, 0.0) {}
    double& at(int i, int j) { return a[static_cast<size_t>(i) * cols + j]; }
    double at(int i, int j) const { return a[static_cast<size_t>(i) * cols + j]; }
    bool empty() const { return rows == 0 || cols == 0; }
};
bool GXIsSymmetric(const GXMatrix& m);
GXMatrix GXTranspose(const GXMatrix& m);
GXMatrix GXMultiply(const GXMatrix& a, const GXMatrix& b);
GXMatrix GXMultiplyTransposed(const GXMatrix& a, const GXMatrix& b);  // a^T b
struct GXLU {
    GXMatrix lu;
    std::vector<int> perm;
    int parity = 1;
};
std::optional<GXLU> GXDecompose(const GXMatrix& m);
std::vector<double> GXBackSubstitute(const GXLU& lu, std::vector<double> b);
GXMatrix GXInvert(const GXMatrix& m);
double GXDeterminant(const GXMatrix& m);
// 0 with the coefficients, 1 when k >= n, 2 when X^T y cannot be formed, 3 when X^T X is
// singular.
int GXLeastSquares(const GXMatrix& x, const GXMatrix& y, GXMatrix& coefficients);
// The 4 x (k + 1) summary: coefficients, standard errors, t values, t tails; in the last
// column s^2, R^2, F and the F tail. Empty when the least squares fail.
GXMatrix GXRegression(const GXMatrix& x, const GXMatrix& y);
// Symmetric matrices: (n + 1) x n, row 0 the eigenvalues from the largest down, below each
// one its unit eigenvector (first non-zero component positive). Empty when the iteration does
// not settle.
GXMatrix GXEigen(const GXMatrix& m);

// Fourier transforms of n complex numbers; sign 1 or -1 (0 does nothing). The inverse (sign -1)
// is divided by n on every path.
void GXDirectTransform(std::vector<double>& re, std::vector<double>& im, int sign);
// n = 2^m, 2 <= m <= 20; false (data unchanged) otherwise.
bool GXFastTransform(std::vector<double>& re, std::vector<double>& im, int sign);
// The fast transform for powers of two from 4 on, the direct one for 2; false otherwise.
bool GXTransform(std::vector<double>& re, std::vector<double>& im, int sign);

// Random numbers: the 48-bit linear congruential generator (a = 0x5DEECE66D, c = 0xB), state
// starting at 0x1234ABCD330E; values in [0, 1).
double GXRandom();
void GXRandomReset();

}  // namespace formula
