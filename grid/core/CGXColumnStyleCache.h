// While one lives, composing the style of a body cell of its grid takes the cell's column
// style, the table style and the standard style as one style, merged once per column: for
// operations that compose many cells and store no row, column, table or standard style
// meanwhile (fitting row heights or column widths). Storing a row or column style empties it.
#pragma once

#include "grid/core/CGXStyle.h"
#include "grid/core/GXTypes.h"

#include <memory>
#include <vector>

class CGXGridCore;

class CGXColumnStyleCache {
public:
    explicit CGXColumnStyleCache(const CGXGridCore* grid);
    ~CGXColumnStyleCache();
    CGXColumnStyleCache(const CGXColumnStyleCache&) = delete;
    CGXColumnStyleCache& operator=(const CGXColumnStyleCache&) = delete;

    // The cache open for the grid (the innermost), or null.
    static CGXColumnStyleCache* Of(const CGXGridCore* grid);

    // A column's merged styles once made; a null style when they cannot stand for the steps
    // of the composition (a base style is named).
    struct Entry {
        bool known = false;
        std::unique_ptr<CGXStyle> style;
    };
    Entry& At(ROWCOL col);
    void Clear() { columns_.clear(); }

private:
    const CGXGridCore* grid_;
    CGXColumnStyleCache* outer_;
    std::vector<Entry> columns_;
};
