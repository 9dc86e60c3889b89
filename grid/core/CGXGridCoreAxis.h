// What the row and the column twins of the core's structure and size operations differ in: the
// operations they call, the members they change, the hints they send and the texts they show.
// One body serves both twins; `rows` picks the side for the calls that have no entry here.
#pragma once

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridParam.h"

#include <cstdint>
#include <utility>
#include <vector>

struct CGXGridCore::Axis {
    bool rows;
    ROWCOL (CGXGridCore::*count)();
    ROWCOL (CGXGridCore::*frozen)();
    ROWCOL CGXGridCore::*scrolled;       // the top row or the left column
    ROWCOL CGXGridCore::*printScrolled;  // the same while printing
    ROWCOL CGXGridCore::*current;        // the current cell's row or column
    ROWCOL CGXGridParam::*frozenCount;
    ROWCOL CGXGridParam::*headerCount;
    CGXCollMapDWordToLong CGXGridParam::*sizes;
    ROWCOL CGXGridHint::*hintFirst;
    ROWCOL CGXGridHint::*hintSecond;
    bool (CGXGridCore::*insert)(ROWCOL, ROWCOL, const int*, unsigned, int,
                                const CGXRowColUndoData*);
    bool (CGXGridCore::*remove)(ROWCOL, ROWCOL, unsigned, int);
    bool (CGXGridCore::*storeInsert)(ROWCOL, ROWCOL, bool);
    bool (CGXGridCore::*storeRemove)(ROWCOL, ROWCOL, bool);
    void (CGXGridCore::*updateInsert)(ROWCOL, ROWCOL, unsigned, bool);
    void (CGXGridCore::*updateRemove)(ROWCOL, ROWCOL, unsigned, bool);
    bool (CGXGridCore::*storeFrozen)(ROWCOL, ROWCOL);
    void (CGXGridCore::*updateFrozen)(ROWCOL, ROWCOL, unsigned, bool);
    int (CGXGridCore::*size)(ROWCOL);
    int (CGXGridCore::*ownSize)(ROWCOL);
    std::vector<int> (CGXGridCore::*sizesOf)(ROWCOL, ROWCOL);
    bool (CGXGridCore::*storeSize)(ROWCOL, int);
    void (CGXGridCore::*sizeChanged)(ROWCOL, ROWCOL, const std::vector<int>&, unsigned, bool);
    bool (CGXGridCore::*hidden)(ROWCOL);
    // Hint ids: count, insert, remove, frozen.
    int countHint, insertHint, removeHint, frozenHint;
    int removingText;               // the long operation's "Removing rows ..." and its twin
    int scrollBack, scrollForward;  // OnScroll directions: up and down, left and right
    // The cached last visible line, the scrolled line it was worked out from, and whether it
    // shows only partly.
    ROWCOL CGXGridCore::*lastVisible;
    ROWCOL CGXGridCore::*lastVisibleFrom;
    bool CGXGridCore::*lastPartly;
    int (CGXGridCore::*sumOfSizes)(ROWCOL, ROWCOL, int);
    bool (CGXGridCore::*setScrolled)(ROWCOL, unsigned, bool);  // SetTopRow, SetLeftCol
    int scrollBar;                                             // also the scroll-unit index
    unsigned scrollMessage;
    int (CGXGridCore::*sizeUnit)();  // the unit sizes are stored in
    std::int32_t CGXGridParam::*storedDefault;
    int (CGXGridCore::*defaultSize)();
    bool (CGXGridCore::*storeDefault)(int);
    bool CGXGridCore::*limitSize;  // sizes are held within the window
    int sizeHint;

    static const Axis kRows;
    static const Axis kCols;

    // A cell given along this axis and across it, as (row, column).
    std::pair<ROWCOL, ROWCOL> Cell(ROWCOL along, ROWCOL across) const {
        return rows ? std::pair{along, across} : std::pair{across, along};
    }
    // The other axis's scrolled line.
    ROWCOL Across(const CGXGridCore& g) const { return rows ? g.m_nLeftCol : g.m_nTopRow; }
    ROWCOL Count(CGXGridCore& g) const { return (g.*count)(); }
    ROWCOL Frozen(CGXGridCore& g) const { return (g.*frozen)(); }
    ROWCOL Scrolled(const CGXGridCore& g) const {
        return g.m_bPrintInProgress ? g.*printScrolled : g.*scrolled;
    }
    // A rectangle's start, end and extent along this axis.
    int Near(const fw::Rect& r) const { return rows ? r.top : r.left; }
    int Far(const fw::Rect& r) const { return rows ? r.bottom : r.right; }
    int Extent(const fw::Rect& r) const { return rows ? r.Height() : r.Width(); }

    bool SetCount(CGXGridCore& g, ROWCOL n, unsigned flags) const;
    void UpdateCount(CGXGridCore& g, ROWCOL oldCount, unsigned flags, bool createHint) const;
    bool Insert(CGXGridCore& g, ROWCOL first, ROWCOL n, const int* sizes, unsigned flags, int ctCmd,
                const CGXRowColUndoData* saved) const;
    bool Remove(CGXGridCore& g, ROWCOL from, ROWCOL to, unsigned flags, int ctCmd) const;
    bool StoreInsert(CGXGridCore& g, ROWCOL first, ROWCOL n, bool force) const;
    bool StoreRemove(CGXGridCore& g, ROWCOL from, ROWCOL to, bool force) const;
    void UpdateInsert(CGXGridCore& g, ROWCOL first, ROWCOL n, unsigned flags,
                      bool createHint) const;
    void UpdateRemove(CGXGridCore& g, ROWCOL from, ROWCOL to, unsigned flags,
                      bool createHint) const;
    bool SetFrozen(CGXGridCore& g, ROWCOL frozen, ROWCOL header, unsigned flags, int ctCmd) const;
    bool StoreFrozen(CGXGridCore& g, ROWCOL frozen, ROWCOL header) const;
    void UpdateFrozen(CGXGridCore& g, ROWCOL oldFrozen, ROWCOL oldHeader, unsigned flags,
                      bool createHint) const;
    ROWCOL GetFrozen(CGXGridCore& g) const;
    ROWCOL ClientOf(CGXGridCore& g, ROWCOL line) const;
    ROWCOL FromClient(CGXGridCore& g, ROWCOL client) const;
    bool SetScrolled(CGXGridCore& g, ROWCOL line, unsigned flags, bool createHint) const;
    bool MoveScrolled(CGXGridCore& g, ROWCOL line, unsigned flags) const;
    std::vector<std::pair<ROWCOL, ROWCOL>> ShownFrom(CGXGridCore& g, ROWCOL from) const;
    void ReevaluateFloats(CGXGridCore& g, ROWCOL first) const;
    ROWCOL LastVisible(CGXGridCore& g, bool* partly) const;
    ROWCOL LastScrolled(CGXGridCore& g, int clientExtent) const;
    void OnGridScroll(CGXGridCore& g, unsigned code, unsigned pos) const;
    int LineSize(CGXGridCore& g, ROWCOL line) const;
    int OwnLineSize(CGXGridCore& g, ROWCOL line) const;
    std::vector<int> Sizes(CGXGridCore& g, ROWCOL first, ROWCOL last) const;
    bool StoreLineSize(CGXGridCore& g, ROWCOL line, int pixels) const;
    bool StoreDefaultSize(CGXGridCore& g, int pixels) const;
    bool SetDefaultSize(CGXGridCore& g, int pixels, unsigned flags, int ctCmd) const;
    void SizesChanged(CGXGridCore& g, ROWCOL first, ROWCOL last, const std::vector<int>& old,
                      unsigned flags, bool notify) const;
    int SumOfSizes(CGXGridCore& g, ROWCOL first, ROWCOL last, int limit, bool client) const;
    bool SetSize(CGXGridCore& g, ROWCOL first, ROWCOL last, int pixels, const int* sizes,
                 unsigned flags, int ctCmd) const;
};
