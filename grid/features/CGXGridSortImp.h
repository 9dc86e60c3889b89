// Sorting a grid: the rows of a range by the values of key columns (or the columns by key rows),
// applied to the cell store as one undoable step, and sorting the whole table by a double click
// on a header. The sort is stable: rows whose keys are all equal keep their order.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXRangeList.h"

#include <cstdint>
#include <string>
#include <vector>

// Key types of CGXSortInfo::sortType, and the meaning of its four extra words.
inline constexpr std::uint32_t gxSortNumeric = 0;
inline constexpr std::uint32_t gxSortAlphanumeric = 1;
inline constexpr std::uint32_t gxSortDateTime = 2;
inline constexpr std::uint32_t gxSortAutodetect = 3;
inline constexpr std::size_t gxSortCaseSensitive = 0;  // nonzero: text keys heed case
inline constexpr std::size_t gxSortAllNumeric = 2;     // working flags of the detection
inline constexpr std::size_t gxSortAllDates = 3;

// One item per sorted row (column): its offset in the range, and per key its text and, once
// converted, its value. Items are kept flat, key after key.
struct CGXSortItems {
    std::size_t keyCount = 0;
    std::vector<ROWCOL> offsets;     // in sorted order after SortItems
    std::vector<std::string> texts;  // item * keyCount + key
    std::vector<double> values;      // item * keyCount + key
    const CGXSortInfoArray* keys = nullptr;
};

class CGXGridSortImp : public CGXAbstractGridSortImp {
public:
    // Puts the offsets in sorted order (equal keys keep their earlier order).
    virtual void SortItems(CGXSortItems& items);
    bool SortRows(CGXGridCore* grid, const CGXRange& range, CGXSortInfoArray& keys,
                  unsigned flags) override;
    bool SortCols(CGXGridCore* grid, const CGXRange& range, CGXSortInfoArray& keys,
                  unsigned flags) override;
    bool MoveDataRows(CGXGridCore* grid, const CGXRange& range, const std::vector<ROWCOL>& order,
                      unsigned flags, int ctCmd) override;
    bool MoveDataCols(CGXGridCore* grid, const CGXRange& range, const std::vector<ROWCOL>& order,
                      unsigned flags, int ctCmd) override;
    bool SortByHeader(CGXGridCore* grid, ROWCOL row, ROWCOL col) override;
    // One text per key: the value text of the cell (row, key column).
    virtual void GetRowSortKeys(CGXGridCore* grid, ROWCOL row, const CGXSortInfoArray& keys,
                                std::string* texts);
    virtual void GetColSortKeys(CGXGridCore* grid, ROWCOL col, const CGXSortInfoArray& keys,
                                std::string* texts);
    virtual void UpdateSortedRows(CGXGridCore* grid, const CGXRange& range, unsigned flags);
    virtual void UpdateSortedCols(CGXGridCore* grid, const CGXRange& range, unsigned flags);

private:
    void SortByOneValue(CGXSortItems& items, bool descending);
    bool Sort(CGXGridCore* grid, const CGXRange& range, CGXSortInfoArray& keys, unsigned flags,
              bool cols);
    bool CollectKeys(CGXGridCore* grid, CGXSortItems& items, ROWCOL first, bool cols);
    bool MoveData(CGXGridCore* grid, const CGXRange& range, const std::vector<ROWCOL>& order,
                  unsigned flags, int ctCmd, bool cols);
};

// The texts of sorting and covering ("Sort Rows", "Cover Cells", ...), set once when missing.
void GXAddLayoutStrings();
