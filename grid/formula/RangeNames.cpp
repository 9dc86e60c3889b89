#include <cctype>

#include "grid/formula/EngineState.h"
#include "grid/formula/Parser.h"
#include "grid/formula/RangeOps.h"
#include "grid/formula/Recalc.h"

namespace formula {

namespace {

bool ValidName(std::string_view name) {
    auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
    auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    if (name.empty() || name.size() > 31 ||
        !(letter(name[0]) || name[0] == '_' || name[0] == '$')) {
        return false;
    }
    for (char c : name) {
        if (!(letter(c) || digit(c) || c == '_' || c == '$' || c == '.')) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool GXSetRangeName(int sheetNo, std::string_view name, const GXRangeRef& ref) {
    GXEngineSheet* s = GXGetSheet(sheetNo);
    if (s == nullptr || !ValidName(name) || !GXRangeValid(ref)) {
        return false;
    }
    GXRangeRef r = ref;
    GXNormalize(r);
    if (GXRangeName* existing = GXFindRangeName(*s, name)) {
        existing->ref = r;
    } else {
        s->names.push_back(std::make_unique<GXRangeName>(GXRangeName{std::string(name), r}));
    }
    // A redefined name may turn cells into ranges for formulas that use it; compute anew.
    GXRecalcAll(sheetNo);
    return true;
}

bool GXDeleteRangeName(int sheetNo, std::string_view name) {
    GXEngineSheet* s = GXGetSheet(sheetNo);
    GXRangeName* found = s ? GXFindRangeName(*s, name) : nullptr;
    if (found == nullptr) {
        return false;
    }
    GXDeferGuard defer(*s, GX_LIST_ALL);
    // Every formula that holds the name, kept cells included, gets its plain reference.
    for (GXCellList* list : {&s->values, &s->formulas}) {
        GXListIterator it(*list);
        while (GXEngineCell* c = it.Next()) {
            if (!c->formula) {
                continue;
            }
            bool uses = false;
            for (const GXExprNode& n : c->formula->nodes) {
                uses = uses || (n.named() && n.name == found);
            }
            if (!uses) {
                continue;
            }
            if (s->undoRecording && c->has(GX_CF_LINKED)) {
                s->undoCells.push_back(GXCopyCell(s->formulas, *c));
            }
            c->formula->dependencies.Forget();
            for (GXExprNode& n : c->formula->nodes) {
                if (n.named() && n.name == found) {
                    n.kind = n.kind == GX_NODE_NAMED_CELL ? GX_NODE_CELL : GX_NODE_RANGE;
                    n.ref = found->ref;
                }
            }
        }
    }
    // The record lives on with the sheet: undo copies may still point at it.
    for (auto it = s->names.begin(); it != s->names.end(); ++it) {
        if (it->get() == found) {
            s->retiredNames.push_back(std::move(*it));
            s->names.erase(it);
            break;
        }
    }
    s->removedName = found;
    return true;
}

}  // namespace formula
