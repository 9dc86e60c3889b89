#include "grid/features/CGXMoveFreezeCommands.h"

#include "framework/persist/StringTable.h"
#include "grid/core/CGXGridCore.h"

namespace {
std::string Text(unsigned id) {
    std::string s = fw::LoadString(id);
    return s.empty() ? std::string(" ") : s;
}
}  // namespace

bool CGXMoveRowsCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return grid->MoveRows(m_nFirst, m_nLast, m_nDest, GX_UPDATENOW, ctCmd);
}
std::string CGXMoveRowsCmd::GetDescription() const {
    return Text(20162);
}
bool CGXMoveColsCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return grid->MoveCols(m_nFirst, m_nLast, m_nDest, GX_UPDATENOW, ctCmd);
}
std::string CGXMoveColsCmd::GetDescription() const {
    return Text(20163);
}
bool CGXSetFrozenRowsCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return grid->SetFrozenRows(m_nFrozen, m_nHeader, GX_UPDATENOW, ctCmd);
}
std::string CGXSetFrozenRowsCmd::GetDescription() const {
    return Text(20169);
}
bool CGXSetFrozenColsCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return grid->SetFrozenCols(m_nFrozen, m_nHeader, GX_UPDATENOW, ctCmd);
}
std::string CGXSetFrozenColsCmd::GetDescription() const {
    return Text(20168);
}
