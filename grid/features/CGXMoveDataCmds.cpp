#include "grid/features/CGXMoveDataCmds.h"

#include "framework/persist/StringTable.h"
#include "grid/core/CGXGridCore.h"

bool CGXMoveDataRowsCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return grid->MoveDataRows(m_range, m_order, GX_UPDATENOW, ctCmd);
}

std::string CGXMoveDataRowsCmd::GetDescription() const {
    return fw::LoadString(20181);
}

bool CGXMoveDataColsCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return grid->MoveDataCols(m_range, m_order, GX_UPDATENOW, ctCmd);
}

std::string CGXMoveDataColsCmd::GetDescription() const {
    return fw::LoadString(20182);
}
