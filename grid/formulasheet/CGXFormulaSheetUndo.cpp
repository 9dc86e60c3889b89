// Engine undo and range names of the formula sheet.
#include "grid/formula/CellContents.h"
#include "grid/formula/EngineState.h"
#include "grid/formula/ErrorMessages.h"
#include "grid/formula/FormulaText.h"
#include "grid/formula/Parser.h"
#include "grid/formula/RangeOps.h"
#include "grid/formula/Recalc.h"
#include "grid/formulasheet/CGXFormulaSheet.h"
#include "grid/formulasheet/GXFormulaSheetRanges.h"

using namespace formula;

namespace {

constexpr int kInvalidRangeName = 20;

}  // namespace

std::vector<GXEngineCell*> CGXFormulaSheet::TakeEngineUndoCells() {
    std::vector<GXEngineCell*> cells;
    cells.swap(Engine().undoCells);
    return cells;
}

void CGXFormulaSheet::CollectUndo(bool recalcFirst, bool keepCleared) {
    GXEngineSheet& s = Engine();
    if (recalcFirst) {
        const int method = s.recalcMethod;
        s.recalcMethod = 1;
        GXRecalc(sheet_);
        s.recalcMethod = method;
    }
    if (s.undoCells.empty())
        return;
    if (!pendingUndo_)
        pendingUndo_ = std::make_unique<CGXUndoEngineCellsInfo>(poolToken_);
    // Kept oldest first: putting them back newest first lets the oldest state win.
    std::vector<GXEngineCell*>& list = recalcFirst ? pendingUndo_->m_second : pendingUndo_->m_first;
    list.insert(list.end(), s.undoCells.begin(), s.undoCells.end());
    if (s.lastClearedFlag && keepCleared) {
        pendingUndo_->m_range = s.lastCleared;
        pendingUndo_->m_bCleared = true;
    }
    s.undoCells.clear();
}

void CGXFormulaSheet::RelinkCells(std::vector<GXEngineCell*>& cells, bool keepDisplaced) {
    GXEngineSheet& s = Engine();
    for (auto it = cells.rbegin(); it != cells.rend(); ++it) {
        GXEngineCell* cell = *it;
        if (GXEngineCell* old = GXFindCell(s, cell->row, cell->col)) {
            if (keepDisplaced)
                GXDiscardCell(s, old);
            else
                GXRemoveCell(s, old);
        }
        GXLinkCell(s, cell);
        cell->set(GX_CF_CHANGED);
        if (cell->kind() == GX_CELL_FORMULA)
            cell->set(GX_CF_COMPUTED, false);
        GXAddChangedRange(s, GXMakeCell(cell->row, cell->col));
    }
    cells.clear();
}

bool CGXFormulaSheet::SetUndoSwitch(bool on) {
    const bool old = undoSwitch_;
    undoSwitch_ = on;
    return old;
}

std::unique_ptr<CGXOwnedObject> CGXFormulaSheet::GetUndoInfo() {
    return TakeUndoInfo();
}

std::unique_ptr<CGXUndoEngineCellsInfo> CGXFormulaSheet::TakeUndoInfo() {
    return std::move(pendingUndo_);
}

bool CGXFormulaSheet::UndoEngineCells(CGXOwnedObject* object, bool record, bool which) {
    auto* info = dynamic_cast<CGXUndoEngineCellsInfo*>(object);
    if (!info || !info->PoolAlive())
        return false;
    GXEngineSheet& s = Engine();
    GXDeferGuard defer(s, GX_LIST_ALL);
    const bool wasRecording = s.undoRecording;
    s.undoRecording = record;
    if (info->m_bCleared)
        GXClearRange(sheet_, info->m_range);
    RelinkCells(info->m_second);
    if (!which)
        RelinkCells(info->m_first);
    if (GXRangeValid(info->m_range))
        GXAddChangedRange(s, info->m_range);
    if (record) {
        std::vector<GXEngineCell*>& target = which ? info->m_second : info->m_first;
        info->FreeList(target);
        target = TakeEngineUndoCells();
        info->m_bCleared = false;
    }
    s.undoRecording = wasRecording;
    return true;
}

// --- names ---------------------------------------------------------------------------------------

namespace {

// The naming rule, and no text that reads as a cell reference ("A1", "IV65536").
bool IsAcceptableName(std::string_view name) {
    if (name.empty() || name.size() > 31)
        return false;
    auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
    if (!letter(name[0]) && name[0] != '_' && name[0] != '$')
        return false;
    for (char c : name.substr(1))
        if (!letter(c) && !std::isdigit(static_cast<unsigned char>(c)) && c != '_' && c != '$' &&
            c != '.')
            return false;
    GXRangeRef ref;
    return !GXParseRef(name, ref);
}

}  // namespace

bool CGXFormulaSheet::SetRangeName(std::string_view name, const CGXRange& range,
                                   CGXUndoEngineCellsInfo* info) {
    if (info && !info->PoolAlive())
        info = nullptr;  // saved before the sheet was reset: nothing of it is left
    GXEngineSheet& s = Engine();
    if (info && info->m_pSavedName) {
        for (auto it = s.retiredNames.begin(); it != s.retiredNames.end(); ++it) {
            if (it->get() == info->m_pSavedName) {
                s.names.push_back(std::move(*it));
                s.retiredNames.erase(it);
                break;
            }
        }
        info->m_pSavedName = nullptr;
    } else {
        if (!IsAcceptableName(name)) {
            GXGetEngineState().SetError(1, kInvalidRangeName, 0);
            GXPostMessage(s, GXErrorMessage(kInvalidRangeName));
            return false;
        }
        if (!GXSetRangeName(sheet_, name, GXEngineRange(range, GetRowCount(), GetColCount())))
            return false;
    }
    if (info) {
        RelinkCells(info->m_first);
        for (const auto& f : info->m_nameFormulas) GXSetFormula(sheet_, f.row, f.col, f.text);
        info->m_nameFormulas.clear();
    }
    GXRecalcAll(sheet_);
    return true;
}

bool CGXFormulaSheet::GetRangeName(std::string_view name, CGXRange& range) const {
    const GXRangeName* found = GXFindRangeName(Engine(), name);
    if (!found)
        return false;
    range = GXGridRange(found->ref);
    return true;
}

bool CGXFormulaSheet::DeleteRangeName(std::string_view name,
                                      std::unique_ptr<CGXUndoEngineCellsInfo>& info, bool record) {
    GXEngineSheet& s = Engine();
    std::vector<CGXUndoEngineCellsInfo::NamedFormula> users;
    if (const GXRangeName* found = record ? GXFindRangeName(s, name) : nullptr) {
        GXListIterator it(s.formulas);
        while (GXEngineCell* c = it.Next()) {
            bool uses = false;
            if (c->has(GX_CF_LINKED) && c->formula)
                for (const GXExprNode& n : c->formula->nodes)
                    uses = uses || (n.named() && n.name == found);
            if (uses)
                users.push_back({c->row, c->col, GXFormulaToText(*c->formula).value_or("")});
        }
    }
    const bool wasRecording = s.undoRecording;
    s.undoRecording = record;
    const bool existed = GXDeleteRangeName(sheet_, name);
    s.undoRecording = wasRecording;
    if (record && existed) {
        if (!info)
            info = std::make_unique<CGXUndoEngineCellsInfo>(poolToken_);
        std::vector<GXEngineCell*> cells = TakeEngineUndoCells();
        info->m_first.insert(info->m_first.end(), cells.begin(), cells.end());
        info->m_pSavedName = s.removedName;
        info->m_nameFormulas = std::move(users);
    }
    if (existed)
        GXRecalcAll(sheet_);
    return existed;
}

std::vector<std::string> CGXFormulaSheet::GetRangeNames() const {
    std::vector<std::string> out;
    for (const auto& n : Engine().names)
        out.push_back(n->name + "=" + GXRefToText(n->ref).value_or(std::string()));
    return out;
}

void CGXFormulaSheet::SetRangeNames(const std::vector<std::string>& names) {
    for (const std::string& entry : names) {
        const std::size_t eq = entry.find('=');
        if (eq == std::string::npos || eq == 0)
            continue;
        GXRangeRef ref;
        const std::string name = entry.substr(0, eq);
        if (GXParseRef(std::string_view(entry).substr(eq + 1), ref) && IsAcceptableName(name))
            GXSetRangeName(sheet_, name, ref);
    }
}
