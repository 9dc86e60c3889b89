// Matrix, fitting, interpolation and transform functions. Values marked "Gnumeric" were
// computed by Gnumeric 1.12.55 (an independent spreadsheet) with
//     python3 grid/formula/tests/reference/numeric_families_reference.py matrix
// (its formula in the script: MINVERSE, MMULT, MDETERM, TREND, FORECAST, LINEST); the others
// are worked out by hand or with python3's cmath, as each comment says.
//
// This engine's conventions beside other spreadsheets:
// - An array function writes its whole block from its own cell on; its value is the first
//   element. A block that would pass the sheet's edge is refused before anything is written.
// - FFT and DFT use exp(+i 2 pi j k / n) and do not scale; INVFFT and INVDFT use the opposite
//   sign and divide by n (numpy's fft gives the complex conjugate of our FFT).
// - TREND takes every numeric new x value of its range, in order, and writes them as a column.
// - PLS and LLS write the regression summary as 4 rows: coefficients, standard errors, t values,
//   t tails, with s^2, R^2, F and the F tail in the last column.

#include "FunctionCases.h"

namespace formula::test {
namespace {

class MatrixFunctionsTest : public FunctionTest {
protected:
    void SetUp() override {
        FunctionTest::SetUp();
        Fill("A1", {{"4", "7"}, {"2", "6"}});
        Fill("C1", {{"1", "2", "3"}, {"4", "5", "6"}});
        Fill("F1", {{"7", "8"}, {"9", "10"}, {"11", "12"}});
        Fill("H1", {{"1", "2.1"}, {"2", "3.9"}, {"3", "6.2"}, {"4", "7.8"}, {"5", "10.1"}});
    }

    // The display texts of a block from `at` on agree with the expected rows (numbers to a
    // relative 1e-11; "" leaves a cell unchecked).
    void ExpectBlock(const std::string& at,
                     std::initializer_list<std::initializer_list<const char*>> rows) {
        auto [row, col] = At(at);
        for (auto r : rows) {
            int c = col;
            for (const char* expected : r) {
                std::string address = GXColumnName(c) + std::to_string(row);
                if (*expected != '\0') {
                    ExpectShows(Text(address), expected, 1e-11, address);
                }
                ++c;
            }
            ++row;
        }
    }
};

TEST_F(MatrixFunctionsTest, ValuesAgreeWithAnIndependentSpreadsheet) {
    Set("K1", "=INVERT(A1:B2)");
    ExpectBlock("K1", {{"0.6", "-0.7"}, {"-0.2", "0.4"}});  // Gnumeric; L2 by hand: 4/10
    Set("K4", "=MMUL(C1:E2,F1:G3)");
    ExpectBlock("K4", {{"58", "64"}, {"139", "154"}});  // L5 Gnumeric; the others by hand
    Set("K7", "=LINFIT(H1:H5,I1:I5)");
    ExpectBlock("K7", {{"2.04"}, {"4.03"}, {"6.02"}, {"8.01"}, {"10"}});  // K9 Gnumeric
    Set("N1", "=PLS(H1:H5,I1:I5,1)");
    ExpectBlock("N1", {{"1.99", "0.05", "0.035666666666667"},
                       {"0.059721576223896", "", "0.99730532890098"},
                       {"", "", "1110.308411215"},
                       {"", "0.81701517817513", ""}});
    Set("R1", "=POLYCOEF(H1:H5,I1:I5,2)");
    ExpectBlock("R1", {{"0.021428571428571"}, {"1.8614285714286"}, {"0.2"}});
    CheckClose({
        {"=DET(A1:B2)", "10"},
        {"=DET(F1:G2)", "-2"},
        {"=DOT(C1:E2,C1:E2)", "91"},
        {"=SUMPRODUCT(H1:H3,C1:E1)", "14"},  // a column against a row, in order
        {"=TREND(6,H1:H5,I1:I5)", "11.99"},
        {"=FORECAST(6,H1:H5,I1:I5)", "11.99"},
    });
}

TEST_F(MatrixFunctionsTest, BlocksOfThisEnginesOwnFunctions) {
    Set("K13", "=TRANSPOSE(C1:E2)");
    ExpectBlock("K13", {{"1", "4"}, {"2", "5"}, {"3", "6"}});
    Fill("A10", {{"2", "1"}, {"1", "2"}});
    // Eigenvalues 3 and 1 above their unit vectors (1, 1)/sqrt 2 and (1, -1)/sqrt 2.
    Set("K20", "=EIGEN(A10:B11)");
    ExpectBlock("K20", {{"3", "1"},
                        {"0.70710678118655", "0.70710678118655"},
                        {"0.70710678118655", "-0.70710678118655"}});
    Fill("A13", {{"1"}, {"2"}, {"3"}, {"4"}});
    // python3: [sum(x[j]*cmath.exp(1j*2*cmath.pi*j*k/4) for j in range(4)) for k in range(4)]
    Set("D13", "=FFT(A13:A16)");
    ExpectBlock("D13", {{"10", "0"}, {"-2", "-2"}, {"-2", "0"}, {"-2", "2"}});
    Set("G13", "=INVFFT(D13:E16)");
    ExpectBlock("G13", {{"1", "0"}, {"2", "0"}, {"3", "0"}, {"4", "0"}});
    Fill("A18", {{"1", "2", "3", "4", "5", "6"}});
    // The same sum for n = 6; a row gives real parts above imaginary ones.
    Set("A20", "=DFT(A18:F18)");
    ExpectBlock("A20", {{"21", "-3", "-3", "-3", "-3", "-3"},
                        {"0", "-5.1961524227066", "-1.7320508075689", "0", "1.7320508075689",
                         "5.1961524227066"}});
    Set("A23", "=INVDFT(A20:F21)");
    ExpectBlock("A23", {{"1", "2", "3", "4", "5", "6"}, {"0", "0", "0", "0", "0", "0"}});
    // Twelve new x values: every one is fitted (1.99 x + 0.05).
    for (int i = 1; i <= 12; ++i) {
        Set("Z" + std::to_string(i), std::to_string(i));
    }
    Set("AA1", "=TREND(Z1:Z12,H1:H5,I1:I5)");
    ExpectBlock("AA1", {{"2.04"}, {"4.03"}});
    ExpectBlock("AA12", {{"23.93"}});
    Set("K25", "=INTERP2D(H1:H5,I1:I5,H2:H3)");
    ExpectBlock("K25", {{"3.9"}, {"6.2"}});
    // Through the origin: sum x y / sum x^2 = 110.2 / 55; R^2 is 0 with one column.
    Set("K28", "=LLS(H1:H5,I1:I5)");
    ExpectBlock("K28", {{"2.0036363636364"}});
    ExpectBlock("L29", {{"0"}});
    Check({
        {"=INTERP2D(H1:H5,I1:I5,2.5)", "5.05"},  // 3.9 + (6.2 - 3.9) / 2
        {"=INTERP2D(H1:H5,I1:I5,1)", "2.1"},
    });
    // Grid x 0, 1 down the first column, y 0, 10 along the first row.
    Fill("A30", {{"", "0", "10"}, {"0", "1", "2"}, {"1", "3", "5"}});
    Check({
        {"=INTERP3D(A30:C32,0.5,5)", "2.75"},  // r = 2, w = 3.5, 2 + 1.5 / 2
        {"=INTERP3D(A30:C32,1,10)", "5"},
    });
}

TEST_F(MatrixFunctionsTest, ArgumentErrorsWriteNothing) {
    Fill("A10", {{"1", "2"}, {"2", "4"}});
    Fill("A13", {{"3"}, {"3"}, {"3"}});
    Fill("A30", {{"", "0", "10"}, {"0", "1", "2"}, {"1", "x", "5"}});
    Check({
        {"=INVERT(A10:B11)", "E117"},
        {"=DET(A10:B11)", "0"},
        {"=DET(C1:E2)", "E118"},
        {"=EIGEN(A1:B2)", "E119"},
        {"=EIGEN(C1:E2)", "E118"},
        {"=MMUL(C1:E2,A1:B2)", "E104"},
        {"=DOT(A1:B2,C1:E2)", "E105"},
        {"=TRANSPOSE(A1:A3)", "E130"},
        {"=TRANSPOSE(1)", "E98"},
        {"=TREND(6,H1:H2,I1:I2)", "E65"},
        {"=TREND(6,H1:H5,I1:I4)", "E103"},
        {"=TREND(6,H1:H5,C1:E2)", "E103"},
        {"=TREND(\"x\",H1:H5,I1:I5)", "E98"},
        {"=TREND(D20:D29,H1:H5,I1:I5)", "E131"},
        {"=FORECAST(1,A13:A15,H1:H3)", "E61"},
        {"=LINFIT(H1:H5,A1:A5)", "E131"},
        {"=POLYCOEF(H1:H5,I1:I5,11)", "E143"},
        {"=POLYCOEF(H1:H5,I1:I5,0.5)", "E143"},
        {"=PLS(H1:H3,I1:I3,2)", "E66"},
        {"=LLS(A1:B2,I1:I2)", "E103"},
        {"=INTERP2D(H1:H5,I1:I5,6)", "E307"},
        {"=INTERP2D(H1:H5,I1:I5,A1:B2)", "E103"},
        {"=INTERP2D(H1:H5,I1:I4,1)", "E103"},
        {"=INTERP3D(A30:C31,0.5,5)", "E103"},
        {"=INTERP3D(A30:C32,0.5,5)", "E306"},
        {"=INTERP3D(A30:C32,H1:H2,I1:I3)", "E103"},
        {"=FFT(A1:B2)", "E103"},
        {"=FFT(H1:H5)", "E69"},
        {"=INVFFT(C1:E2)", "E69"},
        {"=DFT(H1:I5)", "15"},
    });
    // A failed array function leaves the cells beside it as they were.
    Set("K1", "5");
    Set("J1", "=INVERT(A10:B11)");
    EXPECT_EQ(Text("K1"), "5");
    EXPECT_EQ(Text("J2"), "");
    Set("J5", "=MMUL(C1:E2,F1:G3)");
    EXPECT_EQ(Text("J5"), "58");
    EXPECT_EQ(Text("K6"), "154");
    Set("F2", "x");  // the next block is refused whole
    Set("J5", "=MMUL(C1:E2,F1:G3)");
    EXPECT_EQ(Text("J5"), "Error!");
}

}  // namespace
}  // namespace formula::test
