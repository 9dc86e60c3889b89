#include "grid/extras/GXExtrasCellControls.h"

#include "grid/controls/CGXControlFactory.h"
#include "grid/extras/CGXCurrencyEdit.h"

void GXRegisterExtrasCellControls() {
    CGXControlFactory::RegisterExtraControl(
        GX_IDS_CTRL_CURRENCY,
        {[](CGXGridCore& grid) { return std::make_unique<CGXCurrencyEdit>(&grid); },
         "Currency control", true, &CGXCurrencyEdit::AddUserAttributes});
}
