// XNPV (the net present value of dated cash flows) over 10 000 and 100 000 flows, beside SUM
// over the same amounts as the baseline of reading the cells. The 10 000 figure is the
// baseline for growth: linear cost gives a ratio near 10. Each formula is evaluated several
// times and the fastest run counts.
#include <cmath>
#include <cstdio>
#include <string>

#include "bench/formula_common/FormulaBenchKit.h"

using namespace formula;
using namespace formula_bench;

namespace {

constexpr int kFirstDate = 36892;  // 1 January 2001

// A(i) = the amount i (the first one negative), B(i) = its date, three flows a day.
int FlowSheet(int n) {
    int sheet = FreshSheet();
    for (int row = 1; row <= n; ++row) {
        GXSetNumber(sheet, row, 0, row == 1 ? -1e6 : row);
        GXSetNumber(sheet, row, 1, kFirstDate + (row - 1) / 3);
    }
    return sheet;
}

double Amounts(int n) {
    return -1e6 + static_cast<double>(n) * (n + 1) / 2 - 1;
}

double Sum(int n) {
    return FastestEvaluation(FlowSheet(n), "=SUM(A1:A" + std::to_string(n) + ")",
                             GXFormatNumber(Amounts(n)));
}

// The value at 5 %: each flow discounted over its days since the first date, both end days
// counted, in years of 365 days (2001 is no leap year).
double Npv(int n) {
    double expected = 0;
    for (int row = 1; row <= n; ++row) {
        double years = ((row - 1) / 3 + 1) / 365.0;
        expected += (row == 1 ? -1e6 : row) / std::pow(1.05, years);
    }
    std::string rows = std::to_string(n);
    return FastestEvaluation(FlowSheet(n), "=XNPV(0.05,A1:A" + rows + ",B1:B" + rows + ")",
                             GXFormatNumber(expected));
}

}  // namespace

int main() {
    double sumSmall = Sum(10000), sumLarge = Sum(100000);
    double npvSmall = Npv(10000), npvLarge = Npv(100000);
    ReportGrowth("SUM over the amounts", sumSmall, sumLarge);
    ReportGrowth("XNPV over amounts, dates", npvSmall, npvLarge);
    std::printf("XNPV per flow / SUM per amount at 100 000: %.1f\n", npvLarge / sumLarge);
    GXResetEngineState();
    return 0;
}
