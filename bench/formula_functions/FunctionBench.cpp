// SUM over a column and VLOOKUP in a two-column table, each at 10 000 and 100 000 cells. The
// 10 000 figure is the baseline: linear cost gives a ratio near 10. Each formula is evaluated
// several times and the fastest run counts.
#include <string>

#include "bench/formula_common/FormulaBenchKit.h"

using namespace formula;
using namespace formula_bench;

namespace {

// A1:A(n) = 1..n and B1:B(n) = 2, 4, ... 2n.
int FilledSheet(int n) {
    int sheet = FreshSheet();
    for (int row = 1; row <= n; ++row) {
        GXSetNumber(sheet, row, 0, row);
        GXSetNumber(sheet, row, 1, 2.0 * row);
    }
    return sheet;
}

double Sum(int n) {
    int sheet = FilledSheet(n);
    double total = static_cast<double>(n) * (n + 1) / 2;
    return FastestEvaluation(sheet, "=SUM(A1:A" + std::to_string(n) + ")", GXFormatNumber(total));
}

// The key in the last row: the scan reads every key cell.
double LookupLast(int n) {
    int sheet = FilledSheet(n);
    return FastestEvaluation(sheet,
                             "=VLOOKUP(" + std::to_string(n) + ",A1:B" + std::to_string(n) + ",1)",
                             GXFormatNumber(2.0 * n));
}

// A key past every row: the scan reaches the end and takes the last row.
double LookupPast(int n) {
    int sheet = FilledSheet(n);
    return FastestEvaluation(sheet, "=VLOOKUP(1e9,A1:B" + std::to_string(n) + ",1)",
                             GXFormatNumber(2.0 * n));
}

void Report(const char* name, double (*run)(int)) {
    double small = run(10000);
    double large = run(100000);
    ReportGrowth(name, small, large);
}

}  // namespace

int main() {
    Report("SUM over a column", Sum);
    Report("VLOOKUP, key in the last row", LookupLast);
    Report("VLOOKUP, key past the last row", LookupPast);
    GXResetEngineState();
    return 0;
}
