// What a formula sheet needs to undo one engine change: the cells the change removed or
// replaced (two lists: before and after its recalculation), the range it cleared and the range
// name it deleted. The cells stay allocated in the engine sheet's pool, unlinked, until the info
// gives them back or is destroyed.
#pragma once

#include "grid/core/GXTypes.h"
#include "grid/formula/CellStore.h"

#include <memory>
#include <string>
#include <vector>

class CGXUndoEngineCellsInfo : public CGXOwnedObject {
public:
    // `poolAlive` expires when the engine sheet whose pool holds the cells is reset or destroyed;
    // the cells are then gone with it and must not be freed again.
    explicit CGXUndoEngineCellsInfo(std::weak_ptr<void> poolAlive)
        : poolAlive_(std::move(poolAlive)) {}
    // Frees the cells of both lists (the saved name belongs to the engine sheet).
    ~CGXUndoEngineCellsInfo() override;
    CGXUndoEngineCellsInfo(const CGXUndoEngineCellsInfo&) = delete;
    CGXUndoEngineCellsInfo& operator=(const CGXUndoEngineCellsInfo&) = delete;

    // Frees the cells of a list and empties it.
    void FreeList(std::vector<formula::GXEngineCell*>& list);
    bool PoolAlive() const { return !poolAlive_.expired(); }

    std::vector<formula::GXEngineCell*> m_first;   // removed or replaced by the operation
    std::vector<formula::GXEngineCell*> m_second;  // removed or replaced by its recalculation
    formula::GXRangeRef m_range;
    bool m_bCleared = false;
    formula::GXRangeName* m_pSavedName = nullptr;  // a deleted name, kept by the engine sheet
    // The formulas that used the deleted name, as text (the engine rewrites every kept copy).
    struct NamedFormula {
        int row = 0;
        int col = 0;
        std::string text;
    };
    std::vector<NamedFormula> m_nameFormulas;

private:
    std::weak_ptr<void> poolAlive_;
};
