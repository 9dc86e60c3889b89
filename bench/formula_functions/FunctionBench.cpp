// SUM over a column and VLOOKUP in a two-column table, each at 10 000 and 100 000 cells. The
// 10 000 figure is the baseline: linear cost gives a ratio near 10. Each formula is evaluated
// several times and the fastest run counts.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "grid/formula/CellContents.h"
#include "grid/formula/EngineState.h"
#include "grid/formula/Evaluator.h"
#include "grid/formula/NumberText.h"

using namespace formula;

namespace {

constexpr int kRuns = 5;

// A1:A(n) = 1..n and B1:B(n) = 2, 4, ... 2n.
int FilledSheet(int n) {
    GXResetEngineState();
    GXGetEngineState().UseDefaultWorksheetFunctions();
    int sheet = GXCreateSheet();
    for (int row = 1; row <= n; ++row) {
        GXSetNumber(sheet, row, 0, row);
        GXSetNumber(sheet, row, 1, 2.0 * row);
    }
    return sheet;
}

// The fastest of kRuns evaluations of the formula in cell D1; checks the result.
double Time(int sheet, const std::string& formula, const std::string& expected) {
    double best = 1e9;
    for (int i = 0; i < kRuns; ++i) {
        GXValue v;
        auto start = std::chrono::steady_clock::now();
        GXEvaluateText(sheet, formula, 1, 3, v);
        double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        best = std::min(best, t);
        std::string got = v.type == GX_VT_NUMBER ? GXFormatNumber(v.number) : "error";
        if (got != expected) {
            std::printf("%s gave %s, not %s\n", formula.c_str(), got.c_str(), expected.c_str());
        }
    }
    return best;
}

double Sum(int n) {
    int sheet = FilledSheet(n);
    double total = static_cast<double>(n) * (n + 1) / 2;
    return Time(sheet, "=SUM(A1:A" + std::to_string(n) + ")", GXFormatNumber(total));
}

// The key in the last row: the scan reads every key cell.
double LookupLast(int n) {
    int sheet = FilledSheet(n);
    return Time(sheet, "=VLOOKUP(" + std::to_string(n) + ",A1:B" + std::to_string(n) + ",1)",
                GXFormatNumber(2.0 * n));
}

// A key past every row: the scan reaches the end and takes the last row.
double LookupPast(int n) {
    int sheet = FilledSheet(n);
    return Time(sheet, "=VLOOKUP(1e9,A1:B" + std::to_string(n) + ",1)", GXFormatNumber(2.0 * n));
}

void Report(const char* name, double (*run)(int)) {
    double small = run(10000);
    double large = run(100000);
    std::printf(
        "%-34s 10 000: %8.3f ms (%6.3f us/cell)   100 000: %8.3f ms (%6.3f us/cell)   "
        "ratio %.1f\n",
        name, small * 1e3, small * 1e6 / 10000, large * 1e3, large * 1e6 / 100000, large / small);
}

}  // namespace

int main() {
    Report("SUM over a column", Sum);
    Report("VLOOKUP, key in the last row", LookupLast);
    Report("VLOOKUP, key past the last row", LookupPast);
    GXResetEngineState();
    return 0;
}
