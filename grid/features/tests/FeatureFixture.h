// A grid core in a real offscreen window with the library started by the feature factory, so
// that every editing feature is installed the way a program gets it.
#pragma once

#include "grid/core/tests/GridFixture.h"
#include "grid/features/CGXCommandFactory.h"
#include "grid/features/GXFeatureInstall.h"

#include <string>
#include <vector>

template <class CoreT = CGXGridCore>
class FeatureFixtureT : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXInitWithFeatures();
        wnd_ = std::make_unique<GridHost<CoreT>>();
        wnd_->Create(nullptr, {0, 0, 400, 300}, 0, fw::WS_VISIBLE);
        Core().OnGridInitialUpdate();
        SetTestStandardFont(Core());
        SetRows(20);
        SetCols(8);
    }
    // Row and column counts set up as a program does before the user works: no undo step.
    void SetRows(ROWCOL n) {
        Param().EnableUndo(false);
        Core().SetRowCount(n, 0);
        Param().EnableUndo(true);
    }
    void SetCols(ROWCOL n) {
        Param().EnableUndo(false);
        Core().SetColCount(n, 0);
        Param().EnableUndo(true);
    }
    void TearDown() override {
        wnd_.reset();
        GXTerminateLibrary();
    }
    CoreT& Core() { return wnd_->GetCore(); }
    CGXGridParam& Param() { return *Core().GetParam(); }
    // Set-up data, stored without an undo step (command type 1).
    void Set(ROWCOL r, ROWCOL c, const std::string& v) {
        Core().SetValueRange(CGXRange(r, c), v, gxOverride, 0, 1);
    }
    std::string Get(ROWCOL r, ROWCOL c) { return Core().GetStoredValueRowCol(r, c); }
    // The values of a block, rows joined by "|" and cells by ",".
    std::string Block(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) {
        std::string out;
        for (ROWCOL row = t; row <= b; ++row) {
            if (row != t)
                out += '|';
            for (ROWCOL col = l; col <= r; ++col) {
                if (col != l)
                    out += ',';
                out += Get(row, col);
            }
        }
        return out;
    }
    // Fills a block with "rNcM" texts.
    void Fill(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) {
        for (ROWCOL row = t; row <= b; ++row)
            for (ROWCOL col = l; col <= r; ++col)
                Set(row, col, "r" + std::to_string(row) + "c" + std::to_string(col));
    }
    std::size_t UndoCount() { return Param().GetUndoList().size(); }
    std::size_t RedoCount() { return Param().GetRedoList().size(); }

    std::unique_ptr<GridHost<CoreT>> wnd_;
};
using FeatureFixture = FeatureFixtureT<>;
