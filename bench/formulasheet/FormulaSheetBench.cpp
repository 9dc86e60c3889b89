// One input (A1) feeds 100,000 formula cells (B1:B100000, each =A1*2+row). Measured in the same
// run, each the median of its repeats:
//   - through the grid: the typed value stored in A1 as the edit control stores it, then the
//     grid's recalculation with its redraw;
//   - the engine alone: the number set in the engine cell, the cell marked changed and the
//     engine sheet recalculated.
// The grid's share is the difference; the ratio grid / engine is printed (1 = no overhead).
#include "bench/common/Timing.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/GXLibraryState.h"
#include "grid/examples/GridHostWindow.h"
#include "grid/features/GXFeatureInstall.h"
#include "grid/formula/CellContents.h"
#include "grid/formula/EngineState.h"
#include "grid/formula/Recalc.h"
#include "grid/formulasheet/CGXFormulaSheet.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using bench::Median;
using bench::Ms;

constexpr int kCells = 100000;
constexpr int kRepeats = 7;

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    GXInitWithFeatures();
    formula::GXGetEngineState().UseDefaultWorksheetFunctions();

    GridHost<CGXGridCore> wnd;
    wnd.Create(nullptr, {0, 0, 800, 600}, 0, fw::WS_VISIBLE);
    CGXGridCore& grid = wnd.GetCore();
    auto* param = new CGXGridParam;  // owned by the grid
    auto* sheet = new CGXFormulaSheet;
    param->SetData(sheet, true);
    grid.SetParam(param, true);
    grid.OnGridInitialUpdate();
    grid.SetRowCount(kCells, 0);
    grid.SetColCount(2, 0);
    sheet->SetNumberValue(1, 1, 1);
    for (int row = 1; row <= kCells; ++row) {
        sheet->SetFormula(ROWCOL(row), 2, "=A1*2+" + std::to_string(row));
        if (row % 1000 == 0)
            sheet->Recalc(false);  // keeps the list of changed cells short while filling
    }
    sheet->Recalc(true);

    std::vector<double> throughGrid, engineAlone;
    int value = 2;
    for (int i = 0; i < kRepeats; ++i) {
        throughGrid.push_back(Ms([&] {
            grid.SetValueRange(CGXRange(1, 1), std::to_string(value++), gxOverride, 0);
            grid.Recalc(false);
        }));
        const std::string expected = std::to_string((value - 1) * 2 + kCells);
        if (sheet->GetValueText(kCells, 2) != expected)
            std::fprintf(stderr, "grid: B%d is %s, not %s\n", kCells,
                         sheet->GetValueText(kCells, 2).c_str(), expected.c_str());
        const int engine = sheet->GetEngineSheet();
        engineAlone.push_back(Ms([&] {
            formula::GXSetNumber(engine, 1, 0, value++);
            formula::GXAddChangedRange(engine, formula::GXMakeCell(1, 0));
            formula::GXRecalc(engine);
        }));
        if (sheet->GetValueText(kCells, 2) != std::to_string((value - 1) * 2 + kCells))
            std::fprintf(stderr, "engine: B%d not recalculated\n", kCells);
    }
    const double g = Median(throughGrid), e = Median(engineAlone);
    std::printf("type-and-recalculate of 1 input feeding %d formulas (median of %d)\n", kCells,
                kRepeats);
    std::printf("  through the grid: %9.3f ms\n", g);
    std::printf("  engine alone:     %9.3f ms\n", e);
    std::printf("  grid / engine = %.3f (grid's share %.3f ms)\n", g / e, g - e);
    GXTerminateLibrary();
    return 0;
}
