#include "grid/formula/CellStore.h"

#include <algorithm>
#include <bit>

namespace formula {

namespace {

void MoveToFront(GXCellList& list, GXCellBlock& block) {
    list.blocks.splice(list.blocks.begin(), list.blocks, block.self);
}

void MoveToBack(GXCellList& list, GXCellBlock& block) {
    list.blocks.splice(list.blocks.end(), list.blocks, block.self);
}

GXCellBlock& NewBlock(GXCellList& list) {
    GXCellBlock& b = list.blocks.emplace_front();
    b.owner = &list;
    b.self = list.blocks.begin();
    for (GXEngineCell& c : b.cells) {
        c.block = &b;
    }
    return b;
}

void ResetCell(GXEngineCell& cell) {
    GXCellBlock* block = cell.block;
    cell = GXEngineCell{};
    cell.block = block;
}

}  // namespace

void GXOccupancy::Add(int key) {
    Page& page = pages_[key >> kPageBits];
    int& count = page.counts[static_cast<size_t>(key & (kPageKeys - 1))];
    if (count++ == 0) {
        ++page.live;
    }
}

void GXOccupancy::Remove(int key) {
    auto it = pages_.find(key >> kPageBits);
    if (it == pages_.end()) {
        return;
    }
    int& count = it->second.counts[static_cast<size_t>(key & (kPageKeys - 1))];
    if (count == 0 || --count > 0) {
        return;
    }
    if (--it->second.live == 0) {
        pages_.erase(it);
    }
}

int GXOccupancy::first() const {
    const auto& [number, page] = *pages_.begin();
    int i = 0;
    while (page.counts[static_cast<size_t>(i)] == 0) {
        ++i;
    }
    return number * kPageKeys + i;
}

int GXOccupancy::last() const {
    const auto& [number, page] = *pages_.rbegin();
    int i = kPageKeys - 1;
    while (page.counts[static_cast<size_t>(i)] == 0) {
        --i;
    }
    return number * kPageKeys + i;
}

GXEngineCell* GXAllocCell(GXCellList& list) {
    GXCellBlock* block = nullptr;
    if (!list.blocks.empty()) {
        GXCellBlock& front = list.blocks.front();
        // While deferred, a block that lost a formula cell is not reused: an iteration may
        // still hold that slot. Allocation stays constant-time; undeferring compacts.
        if (!front.full() && !(list.deferred && front.freedWhileDeferred)) {
            block = &front;
        }
    }
    if (block == nullptr) {
        block = &NewBlock(list);
    }
    int slot = std::countr_one(block->used);
    block->used |= 1u << slot;
    if (block->full() && block->self != std::prev(list.blocks.end())) {
        if (list.deferred) {
            list.dirty = true;
        } else {
            MoveToBack(list, *block);
        }
    }
    GXEngineCell& cell = block->cells[slot];
    ResetCell(cell);
    cell.flags = static_cast<uint32_t>(slot) << 9;
    ++list.count;
    return &cell;
}

GXCellList& GXCellListOf(const GXEngineCell* cell) {
    return *cell->block->owner;
}

void GXFreeCell(GXEngineCell* cell) {
    GXCellBlock& block = *cell->block;
    GXCellList& list = *block.owner;
    if (cell->formula && list.deferred) {
        block.freedWhileDeferred = true;
    }
    block.used &= ~(1u << cell->slot());
    ResetCell(*cell);
    --list.count;
    if (block.used != 0) {
        if (block.self != list.blocks.begin()) {
            if (list.deferred) {
                list.dirty = true;
            } else {
                MoveToFront(list, block);
            }
        }
    } else if (list.deferred) {
        list.dirty = true;
    } else {
        list.blocks.erase(block.self);
    }
}

GXEngineCell* GXCopyCell(GXCellList& list, const GXEngineCell& src) {
    GXEngineCell* cell = GXAllocCell(list);
    uint32_t slotBits = cell->flags & (0x3Fu << 9);
    cell->row = src.row;
    cell->col = src.col;
    cell->number = src.number;
    cell->text = src.text;
    cell->error = src.error;
    cell->errorContext = src.errorContext;
    if (src.formula) {
        cell->formula = GXFormula::Compact(*src.formula);
    }
    cell->stamp = src.stamp;
    cell->flags = (src.flags & ~(0x3Fu << 9) & ~GX_CF_LINKED) | slotBits;
    return cell;
}

GXEngineCell* GXCloneCell(GXCellList& list, const GXEngineCell& src) {
    GXEngineCell* cell = GXCopyCell(list, src);
    if (src.style) {
        cell->style = src.style->Clone();
    }
    return cell;
}

std::unique_ptr<GXCellStyle> GXTakeStyle(GXEngineCell& cell) {
    return std::move(cell.style);
}

void GXSetCellStyle(GXEngineCell& cell, std::unique_ptr<GXCellStyle> style) {
    cell.style = std::move(style);
}

int GXDeferLists(GXEngineSheet& sheet, int mask) {
    int newly = 0;
    for (int bit : {GX_LIST_VALUES, GX_LIST_FORMULAS, GX_LIST_PLACEHOLDERS}) {
        GXCellList& list = sheet.list(bit);
        if ((mask & bit) && !list.deferred) {
            list.deferred = true;
            newly |= bit;
        }
    }
    return newly;
}

void GXUndeferLists(GXEngineSheet& sheet, int mask) {
    for (int bit : {GX_LIST_VALUES, GX_LIST_FORMULAS, GX_LIST_PLACEHOLDERS}) {
        if (!(mask & bit)) {
            continue;
        }
        GXCellList& list = sheet.list(bit);
        list.deferred = false;
        if (!list.dirty) {
            continue;
        }
        for (auto it = list.blocks.begin(); it != list.blocks.end();) {
            GXCellBlock& block = *it++;
            block.freedWhileDeferred = false;
            if (block.used == 0) {
                list.blocks.erase(block.self);
            } else if (!block.full()) {
                MoveToFront(list, block);
            }
        }
        list.dirty = false;
    }
}

int GXCountCells(GXEngineSheet& sheet, int mask) {
    int n = 0;
    for (int bit : {GX_LIST_VALUES, GX_LIST_FORMULAS, GX_LIST_PLACEHOLDERS}) {
        if (mask & bit) {
            n += sheet.list(bit).count;
        }
    }
    return n;
}

uint32_t GXBucket(int row, int col, size_t buckets) {
    uint32_t key = static_cast<uint32_t>(row) + static_cast<uint32_t>(col) * 0x7FFFFFu;
    return key % static_cast<uint32_t>(buckets);
}

namespace {

// A table of 32749 chains finds cells in constant time only while the sheet holds about as
// many cells; beyond that the table grows to the next prime size, so finding a cell stays
// constant-time and recalculating stays linear in the number of cells.
void GrowHash(GXEngineSheet& sheet) {
    static const uint32_t kPrimes[] = {32749,   65521,   131071,  262139,  524287,
                                       1048573, 2097143, 4194301, 8388593, 16777213};
    size_t size = sheet.hash.size();
    for (uint32_t prime : kPrimes) {
        if (prime > size) {
            std::vector<GXEngineCell*> grown(prime, nullptr);
            for (GXEngineCell* head : sheet.hash) {
                while (head != nullptr) {
                    GXEngineCell* next = head->next;
                    GXEngineCell*& slot = grown[GXBucket(head->row, head->col, prime)];
                    head->next = slot;
                    slot = head;
                    head = next;
                }
            }
            sheet.hash = std::move(grown);
            return;
        }
    }
}

}  // namespace

GXEngineCell* GXFindCell(const GXEngineSheet& sheet, int row, int col) {
    for (GXEngineCell* c = sheet.hash[GXBucket(row, col, sheet.hash.size())]; c != nullptr;
         c = c->next) {
        if (c->row == row && c->col == col) {
            return c;
        }
    }
    return nullptr;
}

bool GXLinkCell(GXEngineSheet& sheet, GXEngineCell* cell) {
    if (static_cast<size_t>(sheet.linkedCount) >= sheet.hash.size()) {
        GrowHash(sheet);
    }
    GXEngineCell*& head = sheet.hash[GXBucket(cell->row, cell->col, sheet.hash.size())];
    cell->next = head;
    head = cell;
    cell->set(GX_CF_LINKED);
    ++sheet.linkedCount;
    sheet.rowCounts.Add(cell->row);
    sheet.colCounts.Add(cell->col);
    sheet.contentsChanged = true;
    return true;
}

void GXUnlinkCell(GXEngineSheet& sheet, GXEngineCell* cell) {
    if (!cell->has(GX_CF_LINKED)) {
        return;
    }
    for (GXEngineCell** p = &sheet.hash[GXBucket(cell->row, cell->col, sheet.hash.size())]; *p;
         p = &(*p)->next) {
        if (*p == cell) {
            *p = cell->next;
            break;
        }
    }
    cell->next = nullptr;
    cell->set(GX_CF_LINKED, false);
    --sheet.linkedCount;
    sheet.rowCounts.Remove(cell->row);
    sheet.colCounts.Remove(cell->col);
    sheet.contentsChanged = true;
}

void GXRemoveCell(GXEngineSheet& sheet, GXEngineCell* cell) {
    GXUnlinkCell(sheet, cell);
    GXFreeCell(cell);
}

void GXDiscardCell(GXEngineSheet& sheet, GXEngineCell* cell) {
    GXUnlinkCell(sheet, cell);
    if (sheet.undoRecording) {
        sheet.undoCells.push_back(cell);
    } else {
        GXFreeCell(cell);
    }
}

void GXRemoveCellAt(GXEngineSheet& sheet, int row, int col) {
    if (GXEngineCell* old = GXFindCell(sheet, row, col)) {
        GXDiscardCell(sheet, old);
    }
}

GXEngineCell* GXAddPlaceholder(GXEngineSheet& sheet, int row, int col) {
    GXEngineCell* cell = GXAllocCell(sheet.placeholders);
    cell->row = row;
    cell->col = col;
    GXLinkCell(sheet, cell);
    return cell;
}

bool GXGetBounds(const GXEngineSheet& sheet, GXRangeRef& range) {
    if (sheet.rowCounts.empty()) {
        return false;
    }
    range = GXMakeRange(sheet.rowCounts.first(), sheet.colCounts.first(), sheet.rowCounts.last(),
                        sheet.colCounts.last());
    return true;
}

bool GXClipToBounds(const GXEngineSheet& sheet, GXRangeRef& range) {
    GXRangeRef bounds;
    if (!GXGetBounds(sheet, bounds)) {
        return false;
    }
    auto cut = GXIntersection(range, bounds);
    if (!cut) {
        return false;
    }
    range = *cut;
    return true;
}

GXEngineCell* GXListIterator::Next() {
    while (block_ != list_.blocks.end()) {
        while (slot_ < GXCellBlock::kSlots) {
            int s = slot_++;
            if (block_->used & (1u << s)) {
                return &block_->cells[s];
            }
        }
        ++block_;
        slot_ = 0;
    }
    return nullptr;
}

GXRangeIterator::GXRangeIterator(GXEngineSheet& sheet, const GXRangeRef& range, int mask)
    : sheet_(sheet), range_(range), mask_(mask) {
    double area = static_cast<double>(range.rowCount()) * range.colCount();
    probe_ = area < GXCountCells(sheet, mask);
    row_ = range.firstRow();
    col_ = range.firstCol();
}

GXEngineCell* GXRangeIterator::Next() {
    if (probe_) {
        while (col_ <= range_.lastCol()) {
            int row = row_++, col = col_;
            if (row_ > range_.lastRow()) {
                row_ = range_.firstRow();
                ++col_;
            }
            GXEngineCell* c = GXFindCell(sheet_, row, col);
            if (c != nullptr) {
                GXCellList& owner = GXCellListOf(c);
                for (int bit : {GX_LIST_VALUES, GX_LIST_FORMULAS, GX_LIST_PLACEHOLDERS}) {
                    if ((mask_ & bit) && &owner == &sheet_.list(bit)) {
                        return c;
                    }
                }
            }
        }
        return nullptr;
    }
    while (listBit_ <= GX_LIST_PLACEHOLDERS) {
        if (!(mask_ & listBit_)) {
            listBit_ <<= 1;
            continue;
        }
        if (!walker_) {
            walker_ = std::make_unique<GXListIterator>(sheet_.list(listBit_));
        }
        while (GXEngineCell* c = walker_->Next()) {
            if (c->has(GX_CF_LINKED) && range_.contains(c->row, c->col)) {
                return c;
            }
        }
        walker_.reset();
        listBit_ <<= 1;
    }
    return nullptr;
}

std::vector<GXEngineCell*> GXCellsRowMajor(GXEngineSheet& sheet, const GXRangeRef& range,
                                           int mask) {
    std::vector<GXEngineCell*> cells;
    GXRangeIterator it(sheet, range, mask);
    while (GXEngineCell* c = it.Next()) {
        cells.push_back(c);
    }
    std::sort(cells.begin(), cells.end(), [](const GXEngineCell* a, const GXEngineCell* b) {
        return a->row != b->row ? a->row < b->row : a->col < b->col;
    });
    return cells;
}

}  // namespace formula
