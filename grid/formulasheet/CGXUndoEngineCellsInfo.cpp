#include "grid/formulasheet/CGXUndoEngineCellsInfo.h"

CGXUndoEngineCellsInfo::~CGXUndoEngineCellsInfo() {
    FreeList(m_first);
    FreeList(m_second);
}

void CGXUndoEngineCellsInfo::FreeList(std::vector<formula::GXEngineCell*>& list) {
    if (PoolAlive())
        for (formula::GXEngineCell* cell : list) formula::GXFreeCell(cell);
    list.clear();
}
