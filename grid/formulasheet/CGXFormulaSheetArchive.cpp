// The formula sheet's archive record and its copies.
#include "framework/persist/Archive.h"
#include "grid/formula/CellContents.h"
#include "grid/formula/EngineState.h"
#include "grid/formula/FormulaText.h"
#include "grid/formula/Parser.h"
#include "grid/formula/RangeOps.h"
#include "grid/formula/Recalc.h"
#include "grid/formulasheet/CGXFormulaSheet.h"
#include "grid/formulasheet/GXFormulaSheetRanges.h"
#include "grid/formulasheet/GXGridCellStyle.h"

using namespace formula;

namespace {

constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kMaxText = 511;

std::string ReadText(fw::Archive& ar) {
    std::string text = ar.ReadString();
    if (text.size() > kMaxText)
        text.resize(kMaxText);
    return text;
}

// The lists in archive order.
std::array<GXCellList*, 3> Lists(GXEngineSheet& s) {
    return {&s.values, &s.formulas, &s.placeholders};
}

}  // namespace

void CGXFormulaSheet::Serialize(fw::Archive& ar) {
    GXEngineSheet* s = &Engine();
    if (ar.IsStoring()) {
        ar << kVersion;
        CGXData::Serialize(ar);
        ar << static_cast<std::uint16_t>(s->iterationCount)
           << static_cast<std::uint16_t>(s->blanksAreZero)
           << static_cast<std::uint16_t>(s->manualRecalc)
           << static_cast<std::uint16_t>(s->recalcMethod)
           << static_cast<std::uint16_t>(s->constraintCheck);
        ar.WriteStringArray(GetRangeNames());
        StoreCells(ar);
        return;
    }
    std::uint16_t version = 0;
    ar >> version;
    if (version != kVersion)
        throw fw::ArchiveException(fw::ArchiveCause::BadSchema, "formula sheet");
    CGXData::Serialize(ar);
    ResetEngine();
    s = &Engine();
    std::uint16_t options[5] = {};
    for (std::uint16_t& o : options) ar >> o;
    GXSetIterationCount(sheet_, options[0]);
    GXSetBlanksAreZero(sheet_, options[1] != 0);
    GXSetManualRecalc(sheet_, options[2] != 0);
    GXSetRecalcMethod(sheet_, options[3] != 0);
    GXSetConstraintCheck(sheet_, options[4] != 0);
    SetRangeNames(ar.ReadStringArray());
    LoadCells(ar);
}

void CGXFormulaSheet::StoreCells(fw::Archive& ar) {
    GXEngineSheet& s = Engine();
    for (GXCellList* list : Lists(s)) {
        GXListIterator it(*list);
        while (GXEngineCell* cell = it.Next()) {
            if (!cell->has(GX_CF_LINKED))
                continue;  // kept for undo, not part of the sheet
            if (cell->kind() == GX_CELL_FORMULA && !cell->has(GX_CF_COMPUTED))
                GXRecomputeCell(s, cell);
            ar << std::uint8_t{1} << static_cast<std::uint8_t>(cell->kind())
               << static_cast<std::uint8_t>(cell->valueKind())
               << static_cast<std::uint8_t>((cell->flags >> 15) & 0xFF)
               << static_cast<std::uint32_t>(cell->row) << static_cast<std::uint32_t>(cell->col);
            ar.WriteObject(GXCellGridStyle(*cell));
            if (cell->isFormula())
                ar << (cell->formula ? GXFormulaToText(*cell->formula).value_or(std::string())
                                     : std::string());
            switch (cell->valueKind()) {
                case GX_VAL_ERROR:
                    ar << static_cast<std::uint16_t>(cell->error);
                    break;
                case GX_VAL_NUMBER:
                    ar << cell->number;
                    break;
                case GX_VAL_LONG_TEXT:
                case GX_VAL_SHORT_TEXT:
                    ar << cell->text;
                    break;
                default:
                    break;
            }
        }
    }
    ar << std::uint8_t{0};
}

void CGXFormulaSheet::LoadCells(fw::Archive& ar) {
    GXEngineSheet& s = Engine();
    std::uint8_t more = 0;
    for (ar >> more; more != 0; ar >> more) {
        std::uint8_t kind = 0, valueKind = 0, flagBits = 0;
        std::uint32_t row = 0, col = 0;
        ar >> kind >> valueKind >> flagBits >> row >> col;
        if (more != 1 || kind > GX_CELL_CONST_FORMULA || valueKind > GX_VAL_SHORT_TEXT || row < 1 ||
            row > static_cast<std::uint32_t>(GX_MAX_ROW) ||
            col > static_cast<std::uint32_t>(GX_MAX_COL))
            throw fw::ArchiveException(fw::ArchiveCause::Generic, "formula sheet cell");
        std::unique_ptr<CGXStyle> style = ar.ReadObjectAs<CGXStyle>();
        std::string formulaText;
        if (kind == GX_CELL_FORMULA || kind == GX_CELL_CONST_FORMULA)
            formulaText = ReadText(ar);
        GXCellValue value;
        value.kind = valueKind;
        if (valueKind == GX_VAL_ERROR) {
            std::uint16_t error = 0;
            ar >> error;
            value.error = error;
        } else if (valueKind == GX_VAL_NUMBER) {
            ar >> value.number;
        } else if (valueKind == GX_VAL_LONG_TEXT || valueKind == GX_VAL_SHORT_TEXT) {
            value.text = ReadText(ar);
        }

        auto formula = std::make_unique<GXFormula>();
        const bool isFormula = kind == GX_CELL_FORMULA || kind == GX_CELL_CONST_FORMULA;
        const bool parsed =
            isFormula && !formulaText.empty() && GXParseFormulaText(&s, formulaText, *formula).ok;
        GXCellList& list = kind == GX_CELL_PLACEHOLDER         ? s.placeholders
                           : kind == GX_CELL_FORMULA && parsed ? s.formulas
                                                               : s.values;
        GXEngineCell* existing = GXFindCell(s, static_cast<int>(row), static_cast<int>(col));
        if (existing && kind == GX_CELL_PLACEHOLDER)
            continue;
        GXEngineCell* cell = GXAllocCell(list);
        cell->row = static_cast<int>(row);
        cell->col = static_cast<int>(col);
        if (isFormula && !parsed) {
            // A formula this engine cannot read any more is kept as the text it was.
            cell->setKind(GX_CELL_TEXT);
            cell->setTextValue(formulaText);
        } else {
            cell->setKind(static_cast<GXCellKind>(kind));
            GXStoreValue(*cell, value);
            // A loaded formula keeps its nodes in its own block, as a formula typed in does.
            if (isFormula)
                cell->formula = GXFormula::Compact(std::move(*formula));
            cell->flags |= static_cast<std::uint32_t>(flagBits & ~(GX_CF_IN_PROGRESS >> 15)) << 15;
            cell->stamp = s.passCounter;
        }
        if (style)
            GXSetCellStyle(*cell, std::make_unique<GXGridCellStyle>(std::move(style)));
        if (existing)
            GXRemoveCell(s, existing);
        GXLinkCell(s, cell);
    }
}

// --- copies --------------------------------------------------------------------------------------

void CGXFormulaSheet::CopyFrom(const CGXData& other) {
    if (&other == this)
        return;
    if (const auto* sheet = dynamic_cast<const CGXFormulaSheet*>(&other)) {
        CopyFromFormulaSheet(*sheet);
        CGXData::CopyFrom(other);
        return;
    }
    CGXData::CopyFrom(other);
    TakeOverPlainCells();
}

void CGXFormulaSheet::CopyFromFormulaSheet(const CGXFormulaSheet& other) {
    ResetEngine();
    GXEngineSheet& from = other.Engine();
    GXEngineSheet& to = Engine();
    to.iterationCount = from.iterationCount;
    to.blanksAreZero = from.blanksAreZero;
    to.manualRecalc = from.manualRecalc;
    to.recalcMethod = from.recalcMethod;
    to.constraintCheck = from.constraintCheck;
    for (const auto& n : from.names) GXSetRangeName(sheet_, n->name, n->ref);
    const auto fromLists = Lists(from);
    const auto toLists = Lists(to);
    for (std::size_t i = 0; i < fromLists.size(); ++i) {
        GXListIterator it(*fromLists[i]);
        while (GXEngineCell* cell = it.Next()) {
            if (!cell->has(GX_CF_LINKED))
                continue;
            GXEngineCell* copy = GXCloneCell(*toLists[i], *cell);
            copy->row = cell->row;
            copy->col = cell->col;
            // Names in the copy are this sheet's records of the same names.
            if (copy->formula)
                for (GXExprNode& node : copy->formula->nodes)
                    if (node.named() && node.name)
                        node.name = GXFindRangeName(to, node.name->name);
            // Linked, so that lookups, recalculation and archives see the copy.
            GXLinkCell(to, copy);
        }
    }
}

void CGXFormulaSheet::TakeOverPlainCells() {
    std::size_t lastKept = 0;
    for (std::size_t r = 1; r < m_apapCellStyle.GetSize(); ++r) {
        CGXStylePtrArray* rowArray = m_apapCellStyle.GetAt(r);
        if (!rowArray)
            continue;
        for (std::size_t c = 1; c < rowArray->GetSize(); ++c) {
            std::unique_ptr<CGXStyle>& style = rowArray->ElementAt(c);
            if (!style)
                continue;
            const auto row = static_cast<ROWCOL>(r), col = static_cast<ROWCOL>(c);
            const bool valueOnly = style->GetIncludeMask() == (1u << GX_VALUE);
            if (style->GetIncludeValue()) {
                if (!style->GetValue().empty())
                    SetFormulaInput(row, col, style->GetValue());
                else
                    SetTextValue(row, col, "");
            }
            if (!valueOnly && !style->IsEmpty())
                StoreCellStyle(row, col, *style, gxCopy);
            style.reset();
        }
        if (rowArray->GetAt(0)) {
            rowArray->SetSize(1);
            lastKept = r;
        } else {
            m_apapCellStyle.ElementAt(r).reset();
        }
    }
    m_apapCellStyle.SetSize(lastKept + 1);
}
