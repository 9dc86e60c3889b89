#include "grid/formulasheet/GXGridCellStyle.h"

CGXStyle* GXCellGridStyle(const formula::GXEngineCell& cell) {
    auto* s = dynamic_cast<GXGridCellStyle*>(cell.style.get());
    return s ? &s->Style() : nullptr;
}
