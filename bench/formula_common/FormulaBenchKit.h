// What the formula benchmarks share: a fresh sheet, a stopwatch, the fastest of several
// evaluations of one formula, and the line that compares 10 000 with 100 000 cells.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "grid/formula/CellContents.h"
#include "grid/formula/EngineState.h"
#include "grid/formula/Evaluator.h"
#include "grid/formula/NumberText.h"

namespace formula_bench {

// An empty sheet in a fresh engine with the worksheet functions.
inline int FreshSheet() {
    formula::GXResetEngineState();
    formula::GXGetEngineState().UseDefaultWorksheetFunctions();
    return formula::GXCreateSheet();
}

inline double Seconds(const std::function<void()>& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The fastest of `runs` evaluations of the formula in cell D1; says so when a result is not
// the number shown as `expected`.
inline double FastestEvaluation(int sheet, const std::string& text, const std::string& expected,
                                int runs = 5) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        formula::GXValue v;
        best = std::min(best, Seconds([&] { formula::GXEvaluateText(sheet, text, 1, 3, v); }));
        std::string got =
            v.type == formula::GX_VT_NUMBER ? formula::GXFormatNumber(v.number) : "error";
        if (got != expected) {
            std::printf("%s gave %s, not %s\n", text.c_str(), got.c_str(), expected.c_str());
        }
    }
    return best;
}

// Linear cost gives a ratio near 10.
inline void ReportGrowth(const char* name, double small, double large) {
    std::printf(
        "%-34s 10 000: %8.3f ms (%6.3f us/cell)   100 000: %8.3f ms (%6.3f us/cell)   "
        "ratio %.1f\n",
        name, small * 1e3, small * 1e6 / 10000, large * 1e3, large * 1e6 / 100000, large / small);
}

}  // namespace formula_bench
