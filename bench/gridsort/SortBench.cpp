// Sorts 1,000,000 rows by one numeric key and measures beside it, in the same run,
// std::stable_sort of the same keys:
//   - the sort step alone (the sort feature's SortItems over the converted keys) against
//     std::stable_sort of the same doubles, each the median of its runs, and their ratio;
//   - once, the whole grid sort (reading the key texts from the cell store, converting them,
//     sorting and reordering the rows) and its undo, for scale.
#include "bench/common/Timing.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/GXLibraryState.h"
#include "grid/examples/GridHostWindow.h"
#include "grid/features/CGXGridSortImp.h"
#include "grid/features/GXFeatureInstall.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using bench::Median;
using bench::Ms;

constexpr ROWCOL kRows = 1000000;
constexpr int kRepeats = 5;

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    GXInitWithFeatures();

    // Keys with many repeats (so that stability matters) in a fixed pseudo-random order.
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> dist(0, 99999);
    std::vector<double> keys(kRows);
    for (double& k : keys) k = dist(rng) / 10.0;

    CGXSortInfoArray info;
    info.SetSize(1);
    info[0].nRC = 1;
    info[0].sortType = gxSortNumeric;
    CGXGridSortImp imp;
    std::vector<double> items, plain;
    for (int i = 0; i < kRepeats; ++i) {
        CGXSortItems sortItems;
        sortItems.keys = &info;
        sortItems.keyCount = 1;
        sortItems.values = keys;
        sortItems.offsets.resize(kRows);
        for (ROWCOL r = 0; r < kRows; ++r) sortItems.offsets[r] = r;
        items.push_back(Ms([&] { imp.SortItems(sortItems); }));
        std::vector<double> copy = keys;
        plain.push_back(Ms([&] { std::stable_sort(copy.begin(), copy.end()); }));
        if (keys[sortItems.offsets.front()] != copy.front() ||
            keys[sortItems.offsets.back()] != copy.back())
            std::fprintf(stderr, "the two sorts disagree\n");
    }
    const double mItems = Median(items), mPlain = Median(plain);
    std::printf("SortItems, %u rows, one numeric key: %.1f ms\n", kRows, mItems);
    std::printf("std::stable_sort of the same keys:    %.1f ms\n", mPlain);
    std::printf("ratio SortItems / std::stable_sort:   %.2f\n", mItems / mPlain);

    GridHost<CGXGridCore> wnd;
    wnd.Create(nullptr, {0, 0, 800, 600}, 0, fw::WS_VISIBLE);
    CGXGridCore& grid = wnd.GetCore();
    grid.OnGridInitialUpdate();
    grid.SetRowCount(kRows, 0);
    grid.SetColCount(1, 0);
    CGXData* data = grid.GetData();
    CGXStyle style;
    for (ROWCOL r = 0; r < kRows; ++r) {
        style.Free();
        style.SetValue(std::to_string(keys[r]));
        data->StoreStyleAt(r + 1, 1, &style, gxOverride, 0);
    }
    const double whole = Ms([&] {
        if (!grid.SortRows(CGXRange().SetTable(), info, 0))
            std::fprintf(stderr, "sort failed\n");
    });
    const double undo = Ms([&] { grid.Undo(); });
    std::printf("whole grid sort (keys read, converted, rows reordered): %.1f ms\n", whole);
    std::printf("its undo: %.1f ms\n", undo);
    return 0;
}
