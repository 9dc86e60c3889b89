// Pastes 10,000 rows of 10 tab-separated cells (100,000 cells) from the clipboard into a grid,
// undoes the paste, and measures beside it, in the same run:
//   - LibreOffice Calc (headless) reading the same text into a sheet (its import time is the
//     conversion of the big text less the conversion of a one-cell text, so that its start-up
//     does not count), when soffice is installed;
//   - Qt alone parsing the same text into a QStandardItemModel of 10,000 x 10 items.
// Each figure is the median of its runs; the ratios grid / baseline are printed (below 1: the
// grid is faster).
#include "bench/common/Timing.h"
#include "framework/persist/Clipboard.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/GXLibraryState.h"
#include "grid/examples/GridHostWindow.h"
#include "grid/features/GXFeatureInstall.h"

#include <QApplication>
#include <QStandardItemModel>
#include <QStringList>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using bench::Median;
using bench::Ms;

constexpr int kRows = 10000;
constexpr int kCols = 10;
constexpr int kRepeats = 5;

std::string MakeText() {
    std::string text;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) {
            text += c == 1 ? "10.0." + std::to_string(r / 250) + "." + std::to_string(r % 250)
                           : "n" + std::to_string(r) + "_" + std::to_string(c);
            text += c + 1 < kCols ? "\t" : "\r\n";
        }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    GXInitWithFeatures();
    const std::string text = MakeText();

    GridHost<CGXGridCore> wnd;
    wnd.Create(nullptr, {0, 0, 800, 600}, 0, fw::WS_VISIBLE);
    CGXGridCore& grid = wnd.GetCore();
    grid.OnGridInitialUpdate();
    grid.SetRowCount(kRows, 0);
    grid.SetColCount(kCols, 0);
    grid.m_nClipboardFlags = 0x0008;  // text
    {
        fw::Clipboard clip;
        clip.Empty();
        clip.SetText(text);
    }
    grid.GetParam()->m_SelRects.AddTail(CGXRange(1, 1));

    std::vector<double> paste, undo, qt;
    for (int i = 0; i < kRepeats; ++i) {
        paste.push_back(Ms([&] {
            if (!grid.Paste())
                std::fprintf(stderr, "paste failed\n");
        }));
        if (grid.GetStoredValueRowCol(kRows, kCols) != "n9999_9" ||
            grid.GetStoredValueRowCol(kRows, 2) != "10.0.39.249")
            std::fprintf(stderr, "paste gave other cells\n");
        undo.push_back(Ms([&] {
            if (!grid.Undo())
                std::fprintf(stderr, "undo failed\n");
        }));
        if (!grid.GetStoredValueRowCol(kRows, kCols).empty())
            std::fprintf(stderr, "undo left cells\n");
        qt.push_back(Ms([&] {
            QStandardItemModel model(kRows, kCols);
            const QStringList lines = QString::fromUtf8(text.data(), qsizetype(text.size()))
                                          .split("\r\n", Qt::SkipEmptyParts);
            for (int r = 0; r < lines.size(); ++r) {
                const QStringList cells = lines[r].split('\t');
                for (int c = 0; c < cells.size(); ++c)
                    model.setItem(r, c, new QStandardItem(cells[c]));
            }
        }));
    }
    const double tPaste = Median(paste), tUndo = Median(undo), tQt = Median(qt);
    std::printf("grid paste of %d cells from clipboard text: %.1f ms\n", kRows * kCols, tPaste);
    std::printf("grid undo of that paste:                    %.1f ms\n", tUndo);
    std::printf("baseline Qt parse into QStandardItemModel:  %.1f ms\n", tQt);
    std::printf("ratio paste / Qt baseline: %.2f; undo / Qt baseline: %.2f\n", tPaste / tQt,
                tUndo / tQt);

    if (std::system("command -v soffice >/dev/null 2>&1") == 0) {
        namespace fs = std::filesystem;
        const fs::path dir =
            fs::temp_directory_path() / ("ixo-paste-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        std::ofstream(dir / "big.csv", std::ios::binary) << text;
        std::ofstream(dir / "one.csv", std::ios::binary) << "x\r\n";
        const fs::path profile =
            fs::temp_directory_path() / ("ixo-calc-profile-" + std::to_string(::getuid()));
        auto convert = [&](const char* name) {
            const std::string cmd = "soffice -env:UserInstallation=file://" + profile.string() +
                                    " --headless --norestore "
                                    "--infilter='Text - txt - csv (StarCalc)':9,34,76,1 "
                                    "--convert-to ods --outdir " +
                                    dir.string() + " " + (dir / name).string() + " >/dev/null 2>&1";
            return Ms([&] {
                if (std::system(cmd.c_str()) != 0)
                    std::fprintf(stderr, "soffice failed\n");
            });
        };
        convert("one.csv");  // the profile exists from here on
        std::vector<double> big, one;
        for (int i = 0; i < 3; ++i) {
            one.push_back(convert("one.csv"));
            big.push_back(convert("big.csv"));
        }
        const double calc = std::max(1.0, Median(big) - Median(one));
        std::printf(
            "baseline LibreOffice Calc reading the text into a sheet: %.1f ms "
            "(%.1f ms with start-up)\n",
            calc, Median(big));
        std::printf("ratio paste / Calc baseline: %.2f; undo / Calc baseline: %.2f\n",
                    tPaste / calc, tUndo / calc);
        fs::remove_all(dir);
    } else {
        std::printf("LibreOffice Calc not installed: only the Qt baseline\n");
    }
    GXTerminateLibrary();
    return 0;
}
