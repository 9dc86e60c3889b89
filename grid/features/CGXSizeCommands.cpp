#include "grid/features/CGXSizeCommands.h"

#include "framework/persist/StringTable.h"
#include "grid/core/CGXGridCore.h"

namespace {
std::string Text(unsigned id) {
    std::string s = fw::LoadString(id);
    return s.empty() ? std::string(" ") : s;
}
}  // namespace

void GXAddSizeCommandStrings() {
    static constexpr fw::StringEntry kTexts[] = {
        {20158, "Change Row Heights"},
        {20159, "Change Column Widths"},
        {20160, "Change Default Row Height"},
        {20161, "Change Default Column Width"},
        {20170, "Hide Rows"},
        {20171, "Hide Columns"},
        {20172, "Resizing Rows"},
        {20173, "Resizing Columns"},
    };
    for (const fw::StringEntry& e : kTexts)
        if (!fw::FindString(e.id))
            fw::SetString(e.id, e.text);
}

bool CGXSetRowHeightCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return grid->SetRowHeight(m_nFirst, m_nLast, 0, m_sizes.data(), GX_UPDATENOW, ctCmd);
}
std::string CGXSetRowHeightCmd::GetDescription() const {
    return Text(20158);
}
bool CGXSetColWidthCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return grid->SetColWidth(m_nFirst, m_nLast, 0, m_sizes.data(), GX_UPDATENOW, ctCmd);
}
std::string CGXSetColWidthCmd::GetDescription() const {
    return Text(20159);
}

std::unique_ptr<bool[]> CGXHideRowsCmd::StatesArray() const {
    auto states = std::make_unique<bool[]>(m_states.size());
    for (std::size_t i = 0; i < m_states.size(); ++i) states[i] = m_states[i];
    return states;
}
bool CGXHideRowsCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return grid->HideRows(m_nFirst, m_nLast, false, StatesArray().get(), GX_UPDATENOW, ctCmd);
}
std::string CGXHideRowsCmd::GetDescription() const {
    return Text(20170);
}
bool CGXHideColsCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return grid->HideCols(m_nFirst, m_nLast, false, StatesArray().get(), GX_UPDATENOW, ctCmd);
}
std::string CGXHideColsCmd::GetDescription() const {
    return Text(20171);
}

bool CGXSetDefaultRowHeightCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return grid->SetDefaultRowHeight(m_nSize, GX_UPDATENOW, ctCmd);
}
std::string CGXSetDefaultRowHeightCmd::GetDescription() const {
    return Text(20160);
}
bool CGXSetDefaultColWidthCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return grid->SetDefaultColWidth(m_nSize, GX_UPDATENOW, ctCmd);
}
std::string CGXSetDefaultColWidthCmd::GetDescription() const {
    return Text(20161);
}
