#include "grid/formula/WorksheetFunctions.h"

#include <cstring>
#include <stdexcept>

#include "grid/formula/EngineState.h"

namespace formula {

void GXHandlerRegistry::Add(std::string_view name, GXFunctionHandler handler) {
    if (!handlers_.emplace(std::string(name), handler).second) {
        throw std::logic_error("worksheet function registered twice: " + std::string(name));
    }
}

const GXWorksheetFunctionEntry* CGXWorksheetFunctions::LookupInTable(
    std::string_view name, const GXWorksheetFunctionEntry* first, size_t sizeInBytes) {
    size_t lo = 0, hi = sizeInBytes / sizeof(GXWorksheetFunctionEntry);
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        int cmp = name.compare(first[mid].name);
        if (cmp == 0) {
            return &first[mid];
        }
        if (cmp < 0) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    return nullptr;
}

CGXDefaultWorksheetFunctions::CGXDefaultWorksheetFunctions() : table_(GXBuiltinFunctionTable()) {
    GXHandlerRegistry registry;
    GXRegisterAllFunctionFamilies(registry);
    for (const auto& [name, handler] : registry.Handlers()) {
        auto* entry = const_cast<GXWorksheetFunctionEntry*>(LookupFunction(name));
        if (entry == nullptr) {
            throw std::logic_error("handler for a function not in the table: " + name);
        }
        entry->handler = handler;
    }
}

const GXWorksheetFunctionEntry* CGXDefaultWorksheetFunctions::LookupFunction(
    std::string_view name) const {
    return LookupInTable(name, table_.data(), table_.size() * sizeof(GXWorksheetFunctionEntry));
}

const GXWorksheetFunctionEntry* GXLookupWorksheetFunction(std::string_view name) {
    CGXWorksheetFunctions* set = GXGetEngineState().WorksheetFunctions();
    return set ? set->LookupFunction(name) : nullptr;
}

}  // namespace formula
