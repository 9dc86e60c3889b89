#include "grid/formula/CellContents.h"

#include "grid/formula/EngineState.h"
#include "grid/formula/ErrorMessages.h"
#include "grid/formula/Evaluator.h"
#include "grid/formula/FormulaText.h"
#include "grid/formula/NumberText.h"
#include "grid/formula/Parser.h"
#include "grid/formula/Recalc.h"

namespace formula {

namespace {

bool ValidCell(int row, int col) {
    return row >= 1 && row <= GX_MAX_ROW && col >= 0 && col <= GX_MAX_COL;
}

// Puts a new cell at (row, col) in place of the old one, whose style it takes over.
void PlaceCell(GXEngineSheet& sheet, GXEngineCell* cell, int row, int col) {
    cell->row = row;
    cell->col = col;
    if (GXEngineCell* old = GXFindCell(sheet, row, col)) {
        if (sheet.undoRecording) {
            cell->style =
                old->style ? old->style->Clone() : nullptr;  // the kept cell keeps its own
        } else {
            cell->style = GXTakeStyle(*old);
        }
        GXDiscardCell(sheet, old);
    }
    GXLinkCell(sheet, cell);
}

bool RefersToCells(const GXFormula& f) {
    for (const GXExprNode& n : f.nodes) {
        switch (n.kind) {
            case GX_NODE_CELL:
            case GX_NODE_RANGE:
            case GX_NODE_NAMED_CELL:
            case GX_NODE_NAMED_RANGE:
            case GX_NODE_CALL:
            case GX_NODE_RELATIVE:
                return true;
            default:
                break;
        }
    }
    return false;
}

bool IsPlainNumber(const GXFormula& f) {
    return f.nodes.size() == 1 && f.nodes[0].kind == GX_NODE_NUMBER && f.nodes[0].flags == 0 &&
           f.constraint < 0 && f.attached < 0 && !f.comment.has();
}

}  // namespace

int GXSetFormula(int sheetNo, int row, int col, std::string_view text,
                 const GXCellValue* precomputed) {
    GXEngineSheet* sheet = GXGetSheet(sheetNo);
    if (sheet == nullptr || !ValidCell(row, col)) {
        return 0;
    }
    GXFormula f;
    if (!GXParseFormula(sheetNo, text, f)) {
        return 0;
    }
    // A formula that could not be written back could not be saved or edited either.
    if (!GXFormulaToText(f)) {
        GXGetEngineState().SetError(1, GX_ERR_STRING_TOO_LONG, 1);
        return 0;
    }
    GXEngineCell* cell;
    if (IsPlainNumber(f)) {
        cell = GXAllocCell(sheet->values);
        cell->setKind(GX_CELL_NUMBER);
        cell->setValueKind(GX_VAL_NUMBER);
        cell->number = f.nodes[0].number;
    } else {
        bool refs = RefersToCells(f);
        cell = GXAllocCell(refs ? sheet->formulas : sheet->values);
        cell->setKind(refs ? GX_CELL_FORMULA : GX_CELL_CONST_FORMULA);
        cell->formula = GXFormula::Compact(std::move(f));
        cell->stamp = sheet->passCounter;
        if (refs && precomputed) {
            GXStoreValue(*cell, *precomputed);
            cell->set(GX_CF_COMPUTED | GX_CF_CHANGED);
        } else if (refs) {
            cell->set(GX_CF_STALE);
        }
    }
    PlaceCell(*sheet, cell, row, col);
    if (cell->kind() == GX_CELL_CONST_FORMULA) {
        GXComputeCell(*sheet, cell);
    }
    return 1;
}

int GXSetNumber(int sheetNo, int row, int col, double value) {
    GXEngineSheet* sheet = GXGetSheet(sheetNo);
    if (sheet == nullptr || !ValidCell(row, col)) {
        return 0;
    }
    GXEngineCell* cell = GXAllocCell(sheet->values);
    cell->setKind(GX_CELL_NUMBER);
    cell->setValueKind(GX_VAL_NUMBER);
    cell->number = value;
    PlaceCell(*sheet, cell, row, col);
    return 1;
}

int GXSetText(int sheetNo, int row, int col, std::string_view text) {
    GXEngineSheet* sheet = GXGetSheet(sheetNo);
    if (sheet == nullptr || !ValidCell(row, col)) {
        return 0;
    }
    if (text.size() > GX_MAX_TEXT) {
        GXGetEngineState().SetError(1, GX_ERR_STRING_TOO_LONG, 0);
        return 0;
    }
    GXEngineCell* cell = GXAllocCell(sheet->values);
    cell->setKind(GX_CELL_TEXT);
    cell->setTextValue(std::string(text));
    PlaceCell(*sheet, cell, row, col);
    return 1;
}

void GXStoreValue(GXEngineCell& cell, const GXCellValue& value) {
    switch (value.kind) {
        case GX_VAL_NUMBER:
            cell.setValueKind(GX_VAL_NUMBER);
            cell.number = value.number;
            break;
        case GX_VAL_LONG_TEXT:
        case GX_VAL_SHORT_TEXT:
            cell.setTextValue(value.text.substr(0, GX_MAX_TEXT));
            break;
        case GX_VAL_ERROR:
            cell.setValueKind(GX_VAL_ERROR);
            cell.error = value.error;
            break;
        default:
            cell.setValueKind(static_cast<GXValueKind>(value.kind & 0xF));
            break;
    }
}

GXEngineCell* GXGetCellValue(int sheetNo, int row, int col, GXCellValue& value) {
    value = GXCellValue{};
    GXEngineSheet* sheet = GXGetSheet(sheetNo);
    GXEngineCell* cell = sheet ? GXFindCell(*sheet, row, col) : nullptr;
    if (cell == nullptr) {
        return nullptr;
    }
    if (cell->kind() == GX_CELL_FORMULA && !cell->has(GX_CF_COMPUTED)) {
        GXRecomputeCell(*sheet, cell);
    }
    value.kind = cell->valueKind() == GX_VAL_SHORT_TEXT ? GX_VAL_LONG_TEXT : cell->valueKind();
    value.number = cell->number;
    value.text = cell->text;
    value.error = cell->error;
    return cell;
}

std::string GXGetCellText(GXEngineSheet& sheet, GXEngineCell& cell) {
    if (cell.kind() == GX_CELL_FORMULA && !cell.has(GX_CF_COMPUTED)) {
        GXRecomputeCell(sheet, &cell);
    }
    if (cell.has(GX_CF_CYCLE) && sheet.iterationCount == 0) {
        return "Cycle!";
    }
    switch (cell.valueKind()) {
        case GX_VAL_EMPTY:
            return "";
        case GX_VAL_NA:
            return "#N/A";
        case GX_VAL_ERROR:
            return "Error!";
        case GX_VAL_NUMBER:
            if (cell.style) {
                if (auto text = cell.style->FormatNumber(cell.number)) {
                    return *text;
                }
            }
            return GXFormatNumber(cell.number);
        case GX_VAL_LONG_TEXT:
        case GX_VAL_SHORT_TEXT:
            return cell.text;
        default:
            return "Value?";
    }
}

std::string GXGetCellText(int sheetNo, int row, int col) {
    GXEngineSheet* sheet = GXGetSheet(sheetNo);
    GXEngineCell* cell = sheet ? GXFindCell(*sheet, row, col) : nullptr;
    return cell ? GXGetCellText(*sheet, *cell) : std::string();
}

}  // namespace formula

namespace formula {

namespace {

// "=value\anchor": the value as root, the anchor as attached reference (a dependency).
std::unique_ptr<GXFormula> BlockFormula(double value, int anchorRow, int anchorCol) {
    GXFormula f;
    f.nodes.resize(2);
    f.nodes[0].kind = GX_NODE_NUMBER;
    f.nodes[0].number = value;
    f.nodes[1].kind = GX_NODE_CELL;
    f.nodes[1].ref = GXMakeCell(anchorRow, anchorCol);
    f.root = 0;
    f.attached = 1;
    return GXFormula::Compact(std::move(f));
}

}  // namespace

void GXWriteMatrixResult(int rows, int cols, const double* values) {
    int row = 0, col = 0;
    GXGetEvalCell(row, col);
    GXEngineSheet& sheet = GXCurrentSheet();
    if (rows < 1 || cols < 1 || static_cast<long>(row) + rows - 1 > GX_MAX_ROW ||
        static_cast<long>(col) + cols - 1 > GX_MAX_COL) {
        GXRaiseError(112, GXGetEvalState().functionName);  // invalid range reference
    }
    GXDeferGuard busy(sheet, GX_LIST_ALL);
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j) {
            if (i == 0 && j == 0) {
                continue;
            }
            int r = row + i, c = col + j;
            if (sheet.undoRecording && GXFindCell(sheet, r, c) == nullptr) {
                GXEngineCell* placeholder = GXAllocCell(sheet.placeholders);
                placeholder->row = r;
                placeholder->col = c;
                sheet.undoCells.push_back(placeholder);
            }
            GXEngineCell* cell = GXAllocCell(sheet.formulas);
            cell->setKind(GX_CELL_FORMULA);
            cell->formula = BlockFormula(values[static_cast<size_t>(i) * cols + j], row, col);
            cell->setValueKind(GX_VAL_NUMBER);
            cell->number = values[static_cast<size_t>(i) * cols + j];
            cell->stamp = sheet.passCounter;
            cell->set(GX_CF_COMPUTED | GX_CF_CHANGED);
            PlaceCell(sheet, cell, r, c);
        }
    }
    if (sheet.undoRecording) {
        sheet.lastCleared = GXMakeRange(row, col, row + rows - 1, col + cols - 1);
        sheet.lastClearedFlag = true;
    }
}

}  // namespace formula
