// The edit for EDMX addresses in the AIP patch dialogs: it takes decimal digits and "/" (for
// the universe/channel form "U/C") and backspace; every other typed character is dropped.
// Pasted text is not filtered here; the dialogs check every address when it is used.
#pragma once

#include "framework/controls/Edit.h"
#include "framework/dialogs/Dialog.h"

namespace tessaly {

class CEdmxEdit : public fw::Edit {
protected:
    bool OnChar(fw::UINT ch, fw::UINT repeat, fw::UINT flags) override;
};

}  // namespace tessaly

// Dialogs make it as they make an edit.
template <>
struct fw::DialogItem<tessaly::CEdmxEdit> : fw::DialogItem<fw::Edit> {};
