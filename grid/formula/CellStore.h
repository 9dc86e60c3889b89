// An engine sheet: every non-empty cell in a prime-sized chained hash keyed by row and column,
// cell records pooled in blocks of 32, occupancy counts that keep the bounding range exact, the
// calculation options, the range names, the changed ranges and the message slot.
#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "grid/formula/EngineCell.h"

namespace formula {

struct GXCellList;

// How many linked cells each row (or column) holds, for the bounding range. Counts are kept in
// pages of 256 keys: a sheet of a million rows adds about four bytes a row, where a tree node
// per row took 48 and lay between the formulas a recalculation streams through.
class GXOccupancy {
public:
    void Add(int key);
    // Takes back one Add; a key not counted is left alone.
    void Remove(int key);
    bool empty() const { return pages_.empty(); }
    // The smallest and largest keys counted; only when not empty.
    int first() const;
    int last() const;

private:
    static constexpr int kPageBits = 8;
    static constexpr int kPageKeys = 1 << kPageBits;
    struct Page {
        int live = 0;  // keys of the page with a count; a page without any is dropped
        std::array<int, kPageKeys> counts{};
    };
    std::map<int, Page> pages_;  // by key >> kPageBits
};

struct GXCellBlock {
    static constexpr int kSlots = 32;
    uint32_t used = 0;  // bit i = slot i
    bool freedWhileDeferred = false;
    GXCellList* owner = nullptr;
    std::list<GXCellBlock>::iterator self;
    std::array<GXEngineCell, kSlots> cells;

    bool full() const { return used == 0xFFFFFFFFu; }
};

struct GXCellList {
    std::list<GXCellBlock> blocks;
    int count = 0;
    bool deferred = false;
    bool dirty = false;
};

enum GXListMask : int {
    GX_LIST_VALUES = 1,
    GX_LIST_FORMULAS = 2,
    GX_LIST_PLACEHOLDERS = 4,
    GX_LIST_ALL = 7,
};

enum GXRecalcState : int {
    GX_RECALC_RUNNING = 1 << 0,
    GX_RECALC_FORCED = 1 << 1,
    GX_RECALC_ITERATING = 1 << 6,
};

struct GXEngineSheet {
    static constexpr uint32_t kBuckets = 32749;  // the table's first size; it grows with the sheet
    static constexpr size_t kMessageCapacity = 259;  // characters, without the terminator

    std::vector<GXEngineCell*> hash = std::vector<GXEngineCell*>(kBuckets, nullptr);
    GXCellList values;        // constants and formulas of constants only
    GXCellList formulas;      // formulas that refer to cells or call functions
    GXCellList placeholders;  // empty cells kept to record a change
    std::list<std::unique_ptr<GXRangeName>> names;
    GXRangeName* removedName = nullptr;                      // the name deleted last, kept for undo
    std::vector<std::unique_ptr<GXRangeName>> retiredNames;  // deleted names, alive with the sheet

    // Calculation options.
    int manualRecalc = 0;
    int recalcMethod = 0;  // 1 immediately, 0 as needed
    int constraintCheck = 0;
    int iterationCount = 0;
    int blanksAreZero = 0;
    int reserved15 = 15;

    int linkedCount = 0;
    bool contentsChanged = false;
    uint32_t passCounter = 0;
    uint32_t walkCounter = 0;  // recalculation walks over the formula list so far

    // Linked cells per row and per column; the bounding range follows from their ends.
    GXOccupancy rowCounts;
    GXOccupancy colCounts;

    std::vector<GXRangeRef> changedRanges;
    int recalcState = 0;
    bool messageSlotFree = true;
    std::string message;

    // Undo recording.
    bool undoRecording = false;
    GXRangeRef lastCleared;
    bool lastClearedFlag = false;
    std::vector<GXEngineCell*> undoCells;  // unlinked, still allocated; owned by the undo info

    std::vector<GXEngineCell*> recalcOrder;    // a recalculation pass's working arrays
    std::vector<GXEngineCell*> recalcPending;  // the cells its sweep left to the walk

    bool keepPlaceholders = false;
    bool anotherPassNeeded = false;
    void* owner = nullptr;  // the formula sheet that owns this engine sheet
    int number = 0;         // the sheet number (from 1)

    GXCellList& list(int maskBit) {
        return maskBit == GX_LIST_VALUES     ? values
               : maskBit == GX_LIST_FORMULAS ? formulas
                                             : placeholders;
    }
};

// Pool.
GXEngineCell* GXAllocCell(GXCellList& list);
void GXFreeCell(GXEngineCell* cell);
GXCellList& GXCellListOf(const GXEngineCell* cell);
// A new cell in list with the same contents (own copies of text and formula), the linked bit
// cleared and the source's stale bit kept; GXCloneCell also clones the style.
GXEngineCell* GXCopyCell(GXCellList& list, const GXEngineCell& cell);
GXEngineCell* GXCloneCell(GXCellList& list, const GXEngineCell& cell);
std::unique_ptr<GXCellStyle> GXTakeStyle(GXEngineCell& cell);
void GXSetCellStyle(GXEngineCell& cell, std::unique_ptr<GXCellStyle> style);
// Returns the lists whose deferred flag was newly set, to be handed to GXUndeferLists.
int GXDeferLists(GXEngineSheet& sheet, int mask);
void GXUndeferLists(GXEngineSheet& sheet, int mask);
int GXCountCells(GXEngineSheet& sheet, int mask);

// Hash.
// (row + column x 0x7FFFFF) mod the table size, in wrapping 32-bit arithmetic.
uint32_t GXBucket(int row, int col, size_t buckets = GXEngineSheet::kBuckets);
GXEngineCell* GXFindCell(const GXEngineSheet& sheet, int row, int col);
bool GXLinkCell(GXEngineSheet& sheet, GXEngineCell* cell);
void GXUnlinkCell(GXEngineSheet& sheet, GXEngineCell* cell);
void GXRemoveCell(GXEngineSheet& sheet, GXEngineCell* cell);
GXEngineCell* GXAddPlaceholder(GXEngineSheet& sheet, int row, int col);
// Unlinks and frees (or, with undo recording on, keeps for undo) the cell at a position.
void GXRemoveCellAt(GXEngineSheet& sheet, int row, int col);
void GXDiscardCell(GXEngineSheet& sheet, GXEngineCell* cell);

bool GXGetBounds(const GXEngineSheet& sheet, GXRangeRef& range);
bool GXClipToBounds(const GXEngineSheet& sheet, GXRangeRef& range);

// RAII pair of GXDeferLists and GXUndeferLists.
class GXDeferGuard {
public:
    GXDeferGuard(GXEngineSheet& sheet, int mask)
        : sheet_(sheet), mask_(GXDeferLists(sheet, mask)) {}
    ~GXDeferGuard() { GXUndeferLists(sheet_, mask_); }
    GXDeferGuard(const GXDeferGuard&) = delete;
    GXDeferGuard& operator=(const GXDeferGuard&) = delete;

private:
    GXEngineSheet& sheet_;
    int mask_;
};

// Every occupied slot of one list, block by block, slot 0 to 31.
class GXListIterator {
public:
    explicit GXListIterator(GXCellList& list) : list_(list), block_(list.blocks.begin()) {}
    GXEngineCell* Next();

private:
    GXCellList& list_;
    std::list<GXCellBlock>::iterator block_;
    int slot_ = 0;
};

// The cells of a range in the lists of a mask: probed by coordinates (column by column) when the
// range is smaller than the lists' population, otherwise found by walking the lists.
class GXRangeIterator {
public:
    GXRangeIterator(GXEngineSheet& sheet, const GXRangeRef& range, int mask);
    GXEngineCell* Next();

private:
    GXEngineSheet& sheet_;
    GXRangeRef range_;
    int mask_;
    bool probe_;
    int row_ = 0, col_ = 0;
    int listBit_ = GX_LIST_VALUES;
    std::unique_ptr<GXListIterator> walker_;
};

// The cells of a range in the lists of a mask, row by row and within a row by column.
std::vector<GXEngineCell*> GXCellsRowMajor(GXEngineSheet& sheet, const GXRangeRef& range, int mask);

}  // namespace formula
