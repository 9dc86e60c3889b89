#include "grid/extras/GXExtrasCellControls.h"

#include "grid/controls/CGXControlFactory.h"
#include "grid/extras/CGXCurrencyEdit.h"
#include "grid/extras/CGXDateTimeCtrl.h"

void GXRegisterExtrasCellControls() {
    CGXControlFactory::RegisterExtraControl(
        GX_IDS_CTRL_CURRENCY,
        {[](CGXGridCore& grid) { return std::make_unique<CGXCurrencyEdit>(&grid); },
         "Currency control", true, &CGXCurrencyEdit::AddUserAttributes});
    CGXControlFactory::RegisterExtraControl(
        GX_IDS_CTRL_DATETIME,
        {[](CGXGridCore& grid) {
             return std::make_unique<CGXDateTimeCtrl>(&grid, GX_IDS_CTRL_DATETIME);
         },
         "Date Time Control with popup calendar", true, &CGXDateTimeCtrl::AddUserAttributes});
    CGXControlFactory::RegisterExtraControl(GX_IDS_CTRL_DATETIMENOCAL,
                                            {[](CGXGridCore& grid) {
                                                 return std::make_unique<CGXDateTimeCtrl>(
                                                     &grid, GX_IDS_CTRL_DATETIMENOCAL);
                                             },
                                             "Date time control without calendar", true, nullptr});
}
