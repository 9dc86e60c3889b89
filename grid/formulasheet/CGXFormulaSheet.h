// The cell store of a grid that computes: cell values, formulas and cell styles live in an
// engine sheet; row and column styles stay in the base store. The grid sees only a CGXData.
// Grid coordinates map to the engine's as row = row (at least 1), column = column - 1.
#pragma once

#include "grid/core/CGXData.h"
#include "grid/formula/CellStore.h"
#include "grid/formulasheet/CGXUndoEngineCellsInfo.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CGXFormulaSheet : public CGXData {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    CGXFormulaSheet();
    ~CGXFormulaSheet() override;

    void Serialize(fw::Archive& ar) override;
    void DeleteContents() override;
    void CopyFrom(const CGXData& other) override;
    void InitParam(CGXGridParam* param) override;
    bool InsertRows(ROWCOL row, ROWCOL count) override;
    bool InsertCols(ROWCOL col, ROWCOL count) override;
    bool RemoveRows(ROWCOL from, ROWCOL to) override;
    bool RemoveCols(ROWCOL from, ROWCOL to) override;
    bool MoveRows(ROWCOL from, ROWCOL to, ROWCOL dest) override;
    bool MoveCols(ROWCOL from, ROWCOL to, ROWCOL dest) override;
    bool CopyCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol) override;
    bool MoveCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol) override;
    // Moves a block; with `record`, the cells it removes go into `info` (created when null) so
    // that UndoEngineCells can put them back. `mode` 0 or 3 records the recalculation too.
    bool MoveCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                   std::unique_ptr<CGXUndoEngineCellsInfo>& info, bool record, int mode);
    bool MoveCellsUndoable(const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                           std::unique_ptr<CGXOwnedObject>& data, bool record) override;
    bool StoreStyleAt(ROWCOL row, ROWCOL col, const CGXStyle* style, GXModifyType type,
                      int storeType) override;
    // Engine cells are stored by value: the style is read like any other.
    bool StoreOwnedStyleAt(ROWCOL row, ROWCOL col, std::unique_ptr<CGXStyle> style,
                           GXModifyType type, int storeType) override {
        return StoreStyleAt(row, col, style.get(), type, storeType);
    }
    bool GetStyleAt(ROWCOL row, ROWCOL col, CGXStyle& style, GXModifyType type,
                    int storeType) const override;
    bool SortMoveRows(const CGXRange& range, const std::vector<ROWCOL>& order) override;
    bool SortMoveCols(const CGXRange& range, const std::vector<ROWCOL>& order) override;

    // The base store's hooks.
    bool GetUpdateFlag(ROWCOL row, ROWCOL col) override { return IsCellChanged(row, col); }
    void SetUpdateFlag(ROWCOL row, ROWCOL col, bool set) override { SetCellChanged(row, col, set); }
    void AddRecalcRange(const CGXRange& range) override;
    int SetRecalcMode(int mode) override;
    bool Recalc(bool force) override;
    bool GetUpdateErrorText(std::string& text) override { return GetError(text); }
    void ResetUpdateError() override { ResetError(); }
    bool SetUndoSwitch(bool on) override;
    std::unique_ptr<CGXOwnedObject> GetUndoInfo() override;
    bool UndoEngineCells(CGXOwnedObject* info, bool record, bool which) override;
    bool GetExpressionAt(ROWCOL row, ROWCOL col, std::string& text) override;

    bool IsCellChanged(ROWCOL row, ROWCOL col) const;
    void SetCellChanged(ROWCOL row, ROWCOL col, bool flag);
    void ResetError();
    // FALSE when no message waits; the message stays until ResetError.
    bool GetError(std::string& text) const;
    std::unique_ptr<CGXUndoEngineCellsInfo> TakeUndoInfo();

    // Names. SetRangeName refuses (error 20) a name that breaks the naming rule or reads as a
    // cell reference; with `info` holding a deleted name, that name record comes back instead.
    bool SetRangeName(std::string_view name, const CGXRange& range,
                      CGXUndoEngineCellsInfo* info = nullptr);
    bool GetRangeName(std::string_view name, CGXRange& range) const;
    bool DeleteRangeName(std::string_view name, std::unique_ptr<CGXUndoEngineCellsInfo>& info,
                         bool record);
    // "name=reference" per name.
    std::vector<std::string> GetRangeNames() const;
    void SetRangeNames(const std::vector<std::string>& names);

    // Cell contents.
    bool SetFormula(ROWCOL row, ROWCOL col, std::string_view text);
    bool SetTextValue(ROWCOL row, ROWCOL col, std::string_view text);
    bool SetNumberValue(ROWCOL row, ROWCOL col, double value);
    bool SetFormat(ROWCOL row, ROWCOL col, unsigned format, unsigned places);
    unsigned GetFormat(ROWCOL row, ROWCOL col, unsigned* places = nullptr) const;
    // What the user typed: numbers, "#N/A", "'text", "=formula" or text.
    bool SetFormulaInput(ROWCOL row, ROWCOL col, std::string_view text);
    double GetNumberValue(ROWCOL row, ROWCOL col) const;
    std::string GetValueText(ROWCOL row, ROWCOL col) const;
    std::string GetFormulaText(ROWCOL row, ROWCOL col) const;
    // Computes a formula that stands in no cell; FALSE when the result is an error.
    bool ParseAndEvaluate(std::string& result, std::string_view text);

    // Options.
    bool SetIterationLimit(int count);
    int GetIterationLimit() const;
    void SetBlanksAreZero(bool on);
    bool GetBlanksAreZero() const;
    void SetManualRecalc(bool on);
    bool GetManualRecalc() const;
    void SetRecalcMethod(bool immediately);
    bool GetRecalcMethod() const;
    // Turning it on registers the "Constraint Violation" style with the bound grid's map.
    void SetConstraintCheck(bool on);
    bool GetConstraintCheck() const;

    int GetEngineSheet() const { return sheet_; }
    formula::GXEngineSheet& Engine() const;

private:
    bool InSheet(ROWCOL row, ROWCOL col) const;
    formula::GXEngineCell* FindCell(ROWCOL row, ROWCOL col) const;
    formula::GXEngineCell* EnsureCell(ROWCOL row, ROWCOL col);
    void Changed(ROWCOL row, ROWCOL col);
    void NoteEmptyForUndo(ROWCOL row, ROWCOL col);
    void CollectUndo(bool recalcFirst, bool keepCleared);
    void SaveBeforeRemoval(const formula::GXRangeRef& removed);
    // Puts saved cells back; what they displace is kept for undo when recording and asked to.
    void RelinkCells(std::vector<formula::GXEngineCell*>& cells, bool keepDisplaced = true);
    std::vector<formula::GXEngineCell*> TakeEngineUndoCells();
    void ResetEngine();
    std::string CellFormulaText(const formula::GXEngineCell& cell) const;
    void CopyFromFormulaSheet(const CGXFormulaSheet& other);
    void TakeOverPlainCells();
    bool SetPlainValue(ROWCOL row, ROWCOL col, const std::function<int()>& store);
    bool StoreCellStyle(ROWCOL row, ROWCOL col, const CGXStyle& style, GXModifyType type);
    void ApplyConstraintStyle(const formula::GXEngineCell& cell, CGXStyle& style) const;
    std::uint16_t ConstraintStyleId() const;
    void StoreCells(fw::Archive& ar);
    void LoadCells(fw::Archive& ar);

    int sheet_ = 0;
    mutable std::uint16_t constraintStyleId_ = 0;
    bool undoSwitch_ = false;
    std::unique_ptr<CGXUndoEngineCellsInfo> pendingUndo_;
    std::shared_ptr<int> poolToken_;
};
