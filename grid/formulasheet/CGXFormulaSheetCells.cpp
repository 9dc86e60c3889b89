// Cell contents of the formula sheet: user input, values, formats and the styles the grid reads
// and writes.
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXNumberText.h"
#include "grid/formula/CellContents.h"
#include "grid/formula/EngineState.h"
#include "grid/formula/ErrorMessages.h"
#include "grid/formula/Evaluator.h"
#include "grid/formula/FormulaText.h"
#include "grid/formula/NumberText.h"
#include "grid/formula/Parser.h"
#include "grid/formula/Recalc.h"
#include "grid/formulasheet/CGXFormulaSheet.h"
#include "grid/formulasheet/GXFormulaSheetRanges.h"
#include "grid/formulasheet/GXGridCellStyle.h"

#include <cmath>

using namespace formula;

namespace {

constexpr unsigned kConstraintStyleResource = 52780;

bool IsDateOrTimeFormat(unsigned format, bool withThirteen) {
    return format == 8 || format == 9 || format == 10 || format == 11 || format == 18 ||
           (withThirteen && format == 13);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// "ERROR: <message> (Pos <n>)" for the engine's last parse error.
std::string ParseErrorText() {
    const GX_ENGINE_STATE& state = GXGetEngineState();
    return std::string("ERROR: ") + GXErrorMessage(state.lastError) + " (Pos " +
           std::to_string(state.lastErrorPos) + ")";
}

}  // namespace

GXEngineCell* CGXFormulaSheet::EnsureCell(ROWCOL row, ROWCOL col) {
    if (GXEngineCell* cell = FindCell(row, col))
        return cell;
    if (!InSheet(row, col) || !GXSetText(sheet_, GXEngineRow(row), GXEngineCol(col), ""))
        return nullptr;
    return FindCell(row, col);
}

// An empty position that a change fills is put back as an empty cell by undo.
void CGXFormulaSheet::NoteEmptyForUndo(ROWCOL row, ROWCOL col) {
    GXEngineSheet& s = Engine();
    if (!s.undoRecording || FindCell(row, col))
        return;
    GXEngineCell* empty = GXAllocCell(s.placeholders);
    empty->row = GXEngineRow(row);
    empty->col = GXEngineCol(col);
    s.undoCells.push_back(empty);
}

bool CGXFormulaSheet::SetFormula(ROWCOL row, ROWCOL col, std::string_view text) {
    if (text.empty() || text[0] != '=' || !InSheet(row, col))
        return false;
    GXEngineSheet& s = Engine();
    const bool wasRecording = s.undoRecording;
    s.undoRecording = undoSwitch_;
    NoteEmptyForUndo(row, col);
    const int ok = GXSetFormula(sheet_, GXEngineRow(row), GXEngineCol(col), text);
    if (ok) {
        GXEngineCell* cell = FindCell(row, col);
        if (cell && cell->kind() == GX_CELL_FORMULA)
            GXRecomputeCell(s, cell);
        Changed(row, col);
    }
    s.undoRecording = wasRecording;
    if (!ok) {
        // Nothing changed: the empty cell noted for undo goes back to the pool.
        if (undoSwitch_ && !s.undoCells.empty() && !FindCell(row, col)) {
            GXFreeCell(s.undoCells.back());
            s.undoCells.pop_back();
        }
        GXPostMessage(s, "Cell " + GXColumnName(GXEngineCol(col)) +
                             std::to_string(GXEngineRow(row)) + ": " + ParseErrorText());
        return false;
    }
    CollectUndo(false, false);
    return true;
}

bool CGXFormulaSheet::SetTextValue(ROWCOL row, ROWCOL col, std::string_view text) {
    return SetPlainValue(
        row, col, [&] { return GXSetText(sheet_, GXEngineRow(row), GXEngineCol(col), text); });
}

bool CGXFormulaSheet::SetNumberValue(ROWCOL row, ROWCOL col, double value) {
    return SetPlainValue(
        row, col, [&] { return GXSetNumber(sheet_, GXEngineRow(row), GXEngineCol(col), value); });
}

// A text or number into one cell, recorded for undo when the switch is on.
bool CGXFormulaSheet::SetPlainValue(ROWCOL row, ROWCOL col, const std::function<int()>& store) {
    if (!InSheet(row, col))
        return false;
    GXEngineSheet& s = Engine();
    const bool wasRecording = s.undoRecording;
    s.undoRecording = undoSwitch_;
    NoteEmptyForUndo(row, col);
    const int ok = store();
    s.undoRecording = wasRecording;
    if (!ok)
        return false;
    Changed(row, col);
    CollectUndo(false, false);
    return true;
}

bool CGXFormulaSheet::SetFormat(ROWCOL row, ROWCOL col, unsigned format, unsigned places) {
    CGXStyle style;
    style.SetFormat(format).SetPlaces(places);
    return StoreCellStyle(row, col, style, gxOverride);
}

unsigned CGXFormulaSheet::GetFormat(ROWCOL row, ROWCOL col, unsigned* places) const {
    const GXEngineCell* cell = FindCell(row, col);
    const CGXStyle* style = cell ? GXCellGridStyle(*cell) : nullptr;
    if (!style || !style->GetIncludeFormat())
        return 0;
    if (places)
        *places = style->GetPlaces();
    return style->GetFormat();
}

bool CGXFormulaSheet::SetFormulaInput(ROWCOL row, ROWCOL col, std::string_view text) {
    if (text.empty())
        return SetTextValue(row, col, "");
    double value = 0;
    if (CGXDrawingAndFormatting::GetInstance().ParseNumber(text, &value)) {
        if (!SetNumberValue(row, col, value))
            return false;
        if (IsDateOrTimeFormat(GetFormat(row, col), true))
            SetFormat(row, col, 3, 15);
        return true;
    }
    if (EqualsNoCase(text, "#N/A"))
        return SetFormula(row, col, "=NA()");
    if (text[0] == '\'')
        return SetTextValue(row, col, text.substr(1));
    if (text[0] == '=')
        return SetFormula(row, col, text);
    if (GXParseDouble(text, value)) {
        if (!SetNumberValue(row, col, value))
            return false;
        if (!IsDateOrTimeFormat(GetFormat(row, col), false)) {
            const unsigned format = value == std::floor(value) ? 11
                                    : std::fabs(value) < 1     ? 13
                                                               : 18;
            SetFormat(row, col, format, 0);
        }
        return true;
    }
    return SetTextValue(row, col, text);
}

double CGXFormulaSheet::GetNumberValue(ROWCOL row, ROWCOL col) const {
    if (!InSheet(row, col))
        return 0;
    GXCellValue value;
    GXGetCellValue(sheet_, GXEngineRow(row), GXEngineCol(col), value);
    return value.kind == GX_VAL_NUMBER ? value.number : 0;
}

std::string CGXFormulaSheet::GetValueText(ROWCOL row, ROWCOL col) const {
    GXEngineCell* cell = FindCell(row, col);
    return cell ? GXGetCellText(Engine(), *cell) : std::string();
}

std::string CGXFormulaSheet::GetFormulaText(ROWCOL row, ROWCOL col) const {
    const GXEngineCell* cell = FindCell(row, col);
    return cell ? CellFormulaText(*cell) : std::string();
}

bool CGXFormulaSheet::GetExpressionAt(ROWCOL row, ROWCOL col, std::string& text) {
    if (row == 0 || col == 0 || !FindCell(row, col))
        return false;
    text = GetFormulaText(row, col);
    return true;
}

std::string CGXFormulaSheet::CellFormulaText(const GXEngineCell& cell) const {
    if (cell.formula)
        return GXFormulaToText(*cell.formula).value_or(std::string());
    switch (cell.valueKind()) {
        case GX_VAL_NA:
            return "#N/A";
        case GX_VAL_ERROR:
            return "Error!";
        case GX_VAL_NUMBER: {
            const std::string text = GXFormatNumber(cell.number);
            const CGXStyle* style = GXCellGridStyle(cell);
            if (style && style->GetIncludeFormat() && IsDateOrTimeFormat(style->GetFormat(), true))
                return GXFormatText(*style, &text, ::GX_VT_NUMBER);
            return text;
        }
        case GX_VAL_LONG_TEXT:
        case GX_VAL_SHORT_TEXT:
            return "'" + cell.text.str();
        default:
            return std::string();
    }
}

bool CGXFormulaSheet::ParseAndEvaluate(std::string& result, std::string_view text) {
    ResetError();
    GXFormula f;
    if (!GXParseFormula(sheet_, text, f)) {
        GXPostMessage(Engine(), ParseErrorText());
        GetError(result);
        return false;
    }
    const GXValue v = GXEvaluate(sheet_, 0, 0, f.nodes.data(), f.root);
    switch (v.type) {
        case formula::GX_VT_NUMBER:
            result = GXFormatNumber(v.number);
            return true;
        case formula::GX_VT_STRING:
            result = v.text;
            return true;
        case GX_VT_NA:
            result = "#N/A";
            return false;
        case GX_VT_ERROR:
            result = "Error!";
            return false;
        default:
            result = "Value?";
            return true;
    }
}

// --- styles --------------------------------------------------------------------------------------

bool CGXFormulaSheet::StoreCellStyle(ROWCOL row, ROWCOL col, const CGXStyle& style,
                                     GXModifyType type) {
    GXEngineCell* cell = EnsureCell(row, col);
    if (!cell)
        return false;
    CGXStyle* stored = GXCellGridStyle(*cell);
    if (!stored) {
        if (type == gxExclude)
            return true;
        GXSetCellStyle(*cell, std::make_unique<GXGridCellStyle>(std::make_unique<CGXStyle>()));
        stored = GXCellGridStyle(*cell);
    }
    if (type == gxCopy)
        *stored = style;
    else
        stored->ChangeStyle(style, type);
    // The value lives in the engine cell, never in its style.
    stored->SetIncludeValue(false);
    return true;
}

bool CGXFormulaSheet::StoreStyleAt(ROWCOL row, ROWCOL col, const CGXStyle* style, GXModifyType type,
                                   int storeType) {
    if (storeType == gxRowColStyle || row == 0 || col == 0)
        return CGXData::StoreStyleAt(row, col, style, type, storeType);
    if (!InSheet(row, col))
        return false;
    RowCountRef() = std::max(RowCountRef(), row);
    ColCountRef() = std::max(ColCountRef(), col);
    GXEngineCell* cell = FindCell(row, col);
    const int kind = static_cast<int>(type);
    if (!style || kind == 4) {
        if (cell)
            GXRemoveCellAt(Engine(), cell->row, cell->col);
        Changed(row, col);
        return true;
    }
    const bool hasValue = style->GetIncludeValue();
    const bool valueOnly = style->IsEmpty() || style->GetIncludeMask() == (1u << GX_VALUE);
    if (type == gxCopy) {
        if (style->IsEmpty()) {
            if (cell)
                GXRemoveCellAt(Engine(), cell->row, cell->col);
            Changed(row, col);
            return true;
        }
        if (valueOnly && cell)
            GXSetCellStyle(*cell, nullptr);
    } else if (type == gxExclude) {
        if (!cell)
            return true;
        if (hasValue && !cell->style) {
            GXRemoveCellAt(Engine(), cell->row, cell->col);
            Changed(row, col);
            return true;
        }
        if (hasValue)
            SetTextValue(row, col, "");
        return valueOnly || StoreCellStyle(row, col, *style, type);
    }
    if (hasValue) {
        const std::string& value = style->GetValue();
        if (style->GetValueType() == ::GX_VT_NUMBER)
            SetNumberValue(row, col, GXAtof(value));
        else if (!value.empty() && storeType == gxValueStore)
            SetFormulaInput(row, col, value);
        else
            SetTextValue(row, col, value);
    }
    if (valueOnly)
        return true;
    return StoreCellStyle(row, col, *style, type);
}

bool CGXFormulaSheet::GetStyleAt(ROWCOL row, ROWCOL col, CGXStyle& style, GXModifyType type,
                                 int storeType) const {
    if (storeType == gxRowColStyle || row == 0 || col == 0)
        return CGXData::GetStyleAt(row, col, style, type, storeType);
    GXEngineCell* cell = FindCell(row, col);
    if (!cell)
        return false;
    if (const CGXStyle* stored = GXCellGridStyle(*cell)) {
        if (type == gxCopy)
            style = *stored;
        else
            style.ChangeStyle(*stored, type);
    } else if (type == gxCopy) {
        style.Free();
    }
    if (storeType == gxValueStore) {
        style.SetValue(CellFormulaText(*cell));
        style.SetValueType(2);
    } else {
        style.SetValue(GXGetCellText(Engine(), *cell));
        const GXValueKind kind = cell->valueKind();
        style.SetValueType(kind == GX_VAL_NUMBER ? 1 : kind == GX_VAL_ERROR ? 3 : 0);
    }
    if (GetConstraintCheck() && cell->has(GX_CF_VIOLATED))
        ApplyConstraintStyle(*cell, style);
    return true;
}

std::uint16_t CGXFormulaSheet::ConstraintStyleId() const {
    CGXGridCore* grid = GetBoundGrid();
    CGXStylesMap* map = grid ? grid->GetStylesMap() : nullptr;
    if (!map)
        return constraintStyleId_;
    unsigned resource = 0;
    if (!map->GetStyleName(constraintStyleId_, resource) || resource != kConstraintStyleResource) {
        CGXStyle red;
        red.SetInterior(COLORREF{255});
        constraintStyleId_ = map->RegisterStyleFromResource(kConstraintStyleResource, red, false);
    }
    return constraintStyleId_;
}

void CGXFormulaSheet::ApplyConstraintStyle(const GXEngineCell& cell, CGXStyle& style) const {
    CGXGridCore* grid = GetBoundGrid();
    CGXStylesMap* map = grid ? grid->GetStylesMap() : nullptr;
    const CGXStyle* violation = nullptr;
    if (!map || !map->LookupStyle(ConstraintStyleId(), violation) || !violation)
        return;
    const std::string value = style.GetValue();
    const unsigned valueType = style.GetValueType();
    style.ChangeStyle(*violation, gxOverride);
    style.SetValue(value);
    style.SetValueType(valueType);
    const_cast<GXEngineCell&>(cell).set(GX_CF_CHANGED);
}
