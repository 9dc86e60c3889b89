#include "framework/persist/FrameworkTexts.h"

#include "framework/base/CommandIds.h"
#include "framework/persist/StringTable.h"

namespace fw {

std::string FrameworkString(unsigned id) {
    if (auto s = FindString(id))
        return *s;
    switch (id) {
        case AFX_IDS_IDLEMESSAGE:
            return "Ready";
        case AFX_IDS_UNTITLED:
            return "Untitled";
        case AFX_IDS_OPENFILE:
            return "Open";
        case AFX_IDS_SAVEFILE:
            return "Save As";
        case AFX_IDS_ALLFILTER:
            return "All Files (*.*)";
        case AFX_IDP_ASK_TO_SAVE:
            return "Save changes to %1?";
        case AFX_IDP_FAILED_TO_OPEN_DOC:
            return "Failed to open document.";
        case AFX_IDP_FAILED_TO_SAVE_DOC:
            return "Failed to save document.";
        case AFX_IDP_PARSE_INT:
            return "Please enter an integer.";
        case AFX_IDP_PARSE_REAL:
            return "Please enter a number.";
        case AFX_IDP_PARSE_INT_RANGE:
            return "Please enter an integer between %1 and %2.";
        case AFX_IDP_PARSE_REAL_RANGE:
            return "Please enter a number between %1 and %2.";
        case AFX_IDP_PARSE_STRING_SIZE:
            return "Please enter no more than %1 characters.";
        case AFX_IDP_PARSE_RADIO_BUTTON:
            return "Please select a button.";
        case AFX_IDP_PARSE_UINT:
            return "Please enter a positive integer.";
        case AFX_IDP_PARSE_ADDRESS:
            return "Please enter a complete address.";
        case ID_INDICATOR_CAPS:
            return "CAP";
        case ID_INDICATOR_NUM:
            return "NUM";
        case ID_INDICATOR_SCRL:
            return "SCRL";
        default:
            return {};
    }
}

}  // namespace fw
