// Expected values come from tests/reference/numeric_reference.py (Python's math and statistics
// modules, exact fractions, closed forms, datetime, glibc's drand48), run once with
//     python3 grid/formula/tests/reference/numeric_reference.py
#include "grid/formula/NumericHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace formula {
namespace {

TEST(NumericHelpersTest, LogGamma) {
    struct Case {
        double x, expected;
        int sign;
    };
    const Case cases[] = {
        {0.1, 2.2527126517342055, 1},
        {0.5, 0.5723649429247004, 1},
        {1.0, 0.0, 1},
        {1.5, -0.12078223763524543, 1},
        {2.5, 0.2846828704729196, 1},
        {3.0, 0.693147180559945, 1},
        {7.5, 7.534364236758734, 1},
        {8.5, 9.549267257300999, 1},
        {10.0, 12.801827480081467, 1},
        {30.0, 71.257038967168, 1},
        {170.5, 704.0044277342047, 1},
        {-0.5, 1.265512123484645, -1},
        {-1.5, 0.8600470153764812, 1},
        {-2.5, -0.05624371649767457, -1},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(GXLnGamma(c.x), c.expected, 1e-12 * std::max(1.0, std::fabs(c.expected)))
            << c.x;
        EXPECT_EQ(GXGammaSign(), c.sign) << c.x;
        if (c.x > 0) {
            // The six-term series is good to about ten digits.
            EXPECT_NEAR(GXLogGammaLanczos(c.x), c.expected, 2e-10 * std::max(1.0, c.expected))
                << c.x;
        }
    }
    EXPECT_EQ(GXTakeNumericError(), 0);
    GXLnGamma(-2.0);
    EXPECT_EQ(GXTakeNumericError(), 86) << "a pole";
}

TEST(NumericHelpersTest, IncompleteBetaAndItsDistributions) {
    struct Beta {
        double a, b, x, expected;
    };
    const Beta betas[] = {{2, 3, 0.4, 0.5248},
                          {5, 1, 0.9, 0.59049},
                          {1, 1, 0.3, 0.3},
                          {10, 20, 0.3, 0.36400408107194426},
                          {3, 7, 0.85, 0.999953560421875}};
    for (const Beta& c : betas) {
        EXPECT_NEAR(GXIncompleteBeta(c.a, c.b, c.x), c.expected, 1e-12) << c.a << "," << c.b;
    }
    EXPECT_EQ(GXIncompleteBeta(2, 3, 0), 0);
    EXPECT_EQ(GXIncompleteBeta(2, 3, 1), 1);
    EXPECT_EQ(GXTakeNumericError(), 0);
    EXPECT_EQ(GXIncompleteBeta(2, 3, 1.5), 0);
    EXPECT_EQ(GXTakeNumericError(), 1);

    const double t1[][2] = {{0.5, 0.7048327646991335}, {1, 0.5}, {3.2, 0.19282249595845913}};
    const double t2[][2] = {
        {0.5, 0.6666666666666667}, {1, 0.42264973081037416}, {3.2, 0.08534087923995282}};
    for (const auto& c : t1) {
        EXPECT_NEAR(GXStudentTwoTail(1, c[0]), c[1], 1e-12) << c[0];
        EXPECT_NEAR(GXStudentTwoTail(1, -c[0]), c[1], 1e-12) << -c[0];
    }
    for (const auto& c : t2) {
        EXPECT_NEAR(GXStudentTwoTail(2, c[0]), c[1], 1e-12) << c[0];
    }
    const double f[][3] = {
        {5, 1.5, 0.3088161777508183}, {10, 0.2, 0.8219271067593514}, {3, 7.0, 0.074132475036777}};
    for (const auto& c : f) {
        EXPECT_NEAR(GXFTail(2, c[0], c[1]), c[2], 1e-12) << c[0] << "," << c[1];
    }
    EXPECT_EQ(GXFTail(3, 4, 0), 1);
}

TEST(NumericHelpersTest, IncompleteGammaAndTheNormalDistribution) {
    const double p1[][2] = {
        {0.3, 0.2591817793182821}, {2.0, 0.8646647167633873}, {9.0, 0.9998765901959134}};
    const double pHalf[][2] = {
        {0.3, 0.5614219739190001}, {2.0, 0.9544997361036416}, {9.0, 0.9999779095030014}};
    for (const auto& c : p1) {
        EXPECT_NEAR(GXGammaP(1, c[0]), c[1], 1e-12) << c[0];
    }
    for (const auto& c : pHalf) {
        EXPECT_NEAR(GXGammaP(0.5, c[0]), c[1], 1e-12) << c[0];
    }
    EXPECT_NEAR(GXGammaP(3, 0.5), 0.014387677966970713, 1e-12);
    EXPECT_NEAR(GXGammaP(3, 4.0), 0.7618966944464557, 1e-12);
    EXPECT_EQ(GXGammaP(0, 1), 0);
    EXPECT_EQ(GXGammaP(1, -1), 0);

    const double phi[][2] = {
        {-3.0, 0.0013498980316301035}, {-1.0, 0.15865525393145707}, {0.0, 0.5},
        {0.5, 0.6914624612740131},     {1.96, 0.9750021048517796},  {4.0, 0.9999683287581669}};
    for (const auto& c : phi) {
        EXPECT_NEAR(GXNormSDist(c[0]), c[1], 1e-12) << c[0];
    }
    const double inverse[][2] = {{0.001, -3.090232306167813}, {0.025, -1.9599639845400538},
                                 {0.3, -0.5244005127080407},  {0.9, 1.2815515655446008},
                                 {0.975, 1.9599639845400536}, {0.999999, 4.753424308817089}};
    for (const auto& c : inverse) {
        EXPECT_NEAR(GXNormSInv(c[0]), c[1], 1e-10) << c[0];
    }
    for (double p : {0.5, 0.0, 1.0, -0.2, 1.5}) {
        EXPECT_EQ(GXNormSInv(p), 0) << p;
    }
}

TEST(NumericHelpersTest, DaySerials) {
    struct Case {
        int year, month, day, serial;
    };
    const Case cases[] = {
        {1900, 1, 1, 1},      {1900, 2, 28, 59},     {1900, 2, 29, 60},     {1900, 3, 1, 61},
        {1904, 2, 29, 1521},  {2000, 1, 1, 36526},   {100, 1, 1, 36526},    {2000, 2, 29, 36585},
        {2001, 2, 28, 36950}, {2024, 12, 31, 45657}, {2099, 12, 31, 73050},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GXDateSerial(c.year, c.month, c.day), c.serial) << c.year << "-" << c.month;
        auto d = GXSerialToDate(c.serial);
        ASSERT_TRUE(d);
        EXPECT_EQ(d->year, c.year >= 1900 ? c.year - 1900 : c.year);
        EXPECT_EQ(d->month, c.month);
        EXPECT_EQ(d->day, c.day);
    }
    for (int serial = 1; serial <= GX_LAST_SERIAL; ++serial) {
        auto d = GXSerialToDate(serial);
        ASSERT_EQ(GXDateSerial(d->year, d->month, d->day), serial);
    }
    EXPECT_EQ(GXDateSerial(2100, 1, 1), 0);
    EXPECT_EQ(GXDateSerial(2001, 2, 29), 0);
    EXPECT_EQ(GXDateSerial(2001, 13, 1), 0);
    EXPECT_EQ(GXDateSerial(1899, 12, 31), 0);
    EXPECT_FALSE(GXSerialToDate(0));
    EXPECT_FALSE(GXSerialToDate(73051));
}

TEST(NumericHelpersTest, MonthsAndDayCounts) {
    auto serial = [](int y, int m, int d) { return GXDateSerial(y, m, d); };
    EXPECT_EQ(GXAddMonths(serial(2000, 2, 29), 12), serial(2001, 2, 28));
    EXPECT_EQ(GXAddMonths(serial(2001, 1, 31), 1), serial(2001, 2, 28));
    EXPECT_EQ(GXAddMonths(serial(2001, 2, 28), 1), serial(2001, 3, 31)) << "last of February";
    EXPECT_EQ(GXAddMonths(serial(2001, 3, 15), -3), serial(2000, 12, 15));
    EXPECT_EQ(GXAddMonths(serial(2099, 12, 1), 1), 0);
    EXPECT_EQ(GXDays360(serial(2001, 1, 31), serial(2001, 3, 1)), 31);
    EXPECT_EQ(GXDays360(serial(2001, 2, 28), serial(2001, 3, 31)), 30);
    EXPECT_EQ(GXDays360(serial(2001, 3, 30), serial(2001, 3, 31)), 0);
    EXPECT_EQ(GXDays360(serial(2001, 3, 15), serial(2001, 3, 31)), 16);
    int a = serial(2000, 1, 1), b = serial(2000, 7, 1);
    EXPECT_DOUBLE_EQ(GXYearFraction(0, a, a, true), 1.0 / 360);
    EXPECT_DOUBLE_EQ(GXYearFraction(0, a, b, false), 180.0 / 360);
    EXPECT_DOUBLE_EQ(GXYearFraction(1, a, b, false), 182.0 / 366);
    EXPECT_DOUBLE_EQ(GXYearFraction(2, a, b, true), 183.0 / 360);
    EXPECT_DOUBLE_EQ(GXYearFraction(3, b, a, false), 182.0 / 365);
}

TEST(NumericHelpersTest, TimesOfDay) {
    EXPECT_DOUBLE_EQ(*GXTimeFraction(12, 0, 0), 0.5);
    EXPECT_DOUBLE_EQ(*GXTimeFraction(6, 30, 30), (6 * 3600 + 30 * 60 + 30) / 86400.0);
    EXPECT_FALSE(GXTimeFraction(24, 0, 0));
    EXPECT_FALSE(GXTimeFraction(0, 60, 0));
    int h, m, s;
    GXDayFractionToHMS(*GXTimeFraction(23, 59, 59), h, m, s);
    EXPECT_EQ(h * 10000 + m * 100 + s, 235959);
    EXPECT_DOUBLE_EQ(*GXParseTimeText("13:45"), (13 * 60 + 45) / 1440.0);
    auto d = GXParseDateText("2001-02-03");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->year, 101);
    EXPECT_EQ(d->month, 2);
    EXPECT_EQ(d->day, 3);
    EXPECT_FALSE(GXParseDateText("not a date"));
}

GXMatrix Make(int rows, int cols, std::initializer_list<double> values) {
    GXMatrix m(rows, cols);
    m.a.assign(values);
    return m;
}

TEST(NumericHelpersTest, DeterminantAndInverse) {
    GXMatrix a = Make(3, 3, {4, -2, 1, 3, 6, -4, 2, 1, 8});
    EXPECT_NEAR(GXDeterminant(a), 263, 1e-10);
    const double inverse[] = {0.19771863117870722,   0.06463878326996197,   0.0076045627376425855,
                              -0.12167300380228137,  0.11406844106463879,   0.07224334600760456,
                              -0.034220532319391636, -0.030418250950570342, 0.11406844106463879};
    GXMatrix inv = GXInvert(a);
    ASSERT_EQ(inv.rows, 3);
    for (int i = 0; i < 9; ++i) {
        EXPECT_NEAR(inv.a[static_cast<size_t>(i)], inverse[i], 1e-14) << i;
    }
    GXMatrix singular = Make(2, 2, {1, 2, 2, 4});
    EXPECT_EQ(GXDeterminant(singular), 0);
    EXPECT_TRUE(GXInvert(singular).empty());
    EXPECT_TRUE(GXInvert(Make(2, 2, {0, 0, 1, 1})).empty()) << "a row of zeros";
    EXPECT_TRUE(GXInvert(Make(2, 3, {1, 2, 3, 4, 5, 6})).empty());
    EXPECT_TRUE(GXMultiply(Make(2, 3, {1, 2, 3, 4, 5, 6}), Make(2, 1, {1, 1})).empty());
    GXMatrix p = GXMultiply(Make(2, 3, {1, 2, 3, 4, 5, 6}), Make(3, 1, {1, 0, -1}));
    EXPECT_EQ(p.a, (std::vector<double>{-2, -2}));
}

TEST(NumericHelpersTest, LeastSquaresAndRegressionSummary) {
    GXMatrix x = Make(4, 2, {1, 1, 2, 1, 3, 1, 4, 1});
    GXMatrix y = Make(4, 1, {2.1, 3.9, 6.2, 7.8});
    GXMatrix coef;
    ASSERT_EQ(GXLeastSquares(x, y, coef), 0);
    EXPECT_NEAR(coef.a[0], 1.94, 1e-12);
    EXPECT_NEAR(coef.a[1], 0.15, 1e-12);
    const double expected[4][3] = {
        {1.94, 0.15, 0.041},
        {0.09055385138137417, 0.24799193535274489, 0.9956613756613757},
        {21.423716058520228, 0.6048583789091339, 458.9756097560976},
        {0.002171670245138979, 0.6067581211801928, 0.002171670245138979}};
    GXMatrix table = GXRegression(x, y);
    ASSERT_EQ(table.rows, 4);
    ASSERT_EQ(table.cols, 3);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j) {
            EXPECT_NEAR(table.at(i, j), expected[i][j], 1e-9 * std::max(1.0, expected[i][j]))
                << i << "," << j;
        }
    }
    EXPECT_EQ(GXLeastSquares(Make(2, 2, {1, 1, 2, 1}), Make(2, 1, {1, 2}), coef), 1);
    EXPECT_EQ(GXLeastSquares(x, Make(3, 1, {1, 2, 3}), coef), 2);
    EXPECT_EQ(GXLeastSquares(Make(3, 2, {1, 2, 2, 4, 3, 6}), Make(3, 1, {1, 2, 3}), coef), 3);
}

TEST(NumericHelpersTest, EigenvaluesOfASymmetricMatrix) {
    GXMatrix e = GXEigen(Make(3, 3, {2, 1, 0, 1, 2, 1, 0, 1, 2}));
    ASSERT_EQ(e.rows, 4);
    const double values[] = {3.414213562373095, 2.0, 0.5857864376269049};
    const double vectors[3][3] = {{0.5, 0.7071067811865476, 0.5},
                                  {0.7071067811865475, 0, -0.7071067811865475},
                                  {0.5, -0.7071067811865476, 0.5}};
    for (int j = 0; j < 3; ++j) {
        EXPECT_NEAR(e.at(0, j), values[j], 1e-12);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(e.at(i + 1, j), vectors[j][i], 1e-12) << j << "," << i;
        }
    }
    EXPECT_TRUE(GXEigen(Make(2, 2, {1, 2, 3, 4})).empty());
    EXPECT_TRUE(GXIsSymmetric(Make(2, 2, {1, 1e20, 1e20 + 1, 4})));
}

TEST(NumericHelpersTest, FourierTransforms) {
    const double input[] = {1, 2, 3, 4, 0, -1, 2.5, 7};
    const double forward[8][2] = {{18.5, 0.0},
                                  {5.242640687119284, 0.5},
                                  {-4.5000000000000036, -9.999999999999998},
                                  {-3.2426406871192817, -0.5},
                                  {-5.5, 0},
                                  {-3.242640687119285, 0.5},
                                  {-4.499999999999999, 10.000000000000004},
                                  {5.2426406871193025, -0.5}};
    for (bool fast : {true, false}) {
        std::vector<double> re(input, input + 8), im(8, 0.0);
        if (fast) {
            ASSERT_TRUE(GXFastTransform(re, im, 1));
        } else {
            GXDirectTransform(re, im, 1);
        }
        for (int k = 0; k < 8; ++k) {
            EXPECT_NEAR(re[k], forward[k][0], 1e-12) << k;
            EXPECT_NEAR(im[k], forward[k][1], 1e-12) << k;
        }
        // The inverse scales by 1/n on both paths.
        if (fast) {
            ASSERT_TRUE(GXFastTransform(re, im, -1));
        } else {
            GXDirectTransform(re, im, -1);
        }
        for (int k = 0; k < 8; ++k) {
            EXPECT_NEAR(re[k], input[k], 1e-12);
            EXPECT_NEAR(im[k], 0, 1e-12);
        }
    }
    std::vector<double> re{1, 2, 0, 5, 1, 0}, im{1, 0, -3, 0, 0, 0};
    EXPECT_FALSE(GXTransform(re, im, -1));
    EXPECT_EQ(re[1], 2);
    GXDirectTransform(re, im, -1);
    const double inverse6[6][2] = {{1.5, -0.3333333333333333},
                                   {-1.0163460352255527, 0.27232909936926},
                                   {1.1830127018922194, -0.016346035225552336},
                                   {-0.8333333333333331, -0.33333333333333354},
                                   {0.31698729810778004, 0.8496793685588858},
                                   {-0.15032063144111404, 0.5610042339640712}};
    for (int k = 0; k < 6; ++k) {
        EXPECT_NEAR(re[k], inverse6[k][0], 1e-12) << k;
        EXPECT_NEAR(im[k], inverse6[k][1], 1e-12) << k;
    }
    std::vector<double> two{3, 1}, twoIm{0, 0};
    ASSERT_TRUE(GXTransform(two, twoIm, 1));
    EXPECT_NEAR(two[0], 4, 1e-15);
    EXPECT_NEAR(two[1], 2, 1e-15);
}

TEST(NumericHelpersTest, RandomSequenceIsGlibcDrand48) {
    GXRandomReset();
    EXPECT_DOUBLE_EQ(GXRandom(), 0.39646477376027534);
    EXPECT_DOUBLE_EQ(GXRandom(), 0.8404853694114252);
    GXRandomReset();
    srand48(0x1234ABCD);  // glibc's drand48 state is then 0x1234ABCD330E
    for (int i = 0; i < 10000; ++i) {
        ASSERT_EQ(GXRandom(), drand48()) << i;
    }
    GXRandomReset();
}

}  // namespace
}  // namespace formula
