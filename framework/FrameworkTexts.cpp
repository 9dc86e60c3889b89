#include "framework/FrameworkTexts.h"

#include "framework/CommandIds.h"
#include "framework/StringTable.h"

namespace fw {

std::string FrameworkString(unsigned id) {
    if (auto s = FindString(id)) return *s;
    switch (id) {
        case AFX_IDS_IDLEMESSAGE: return "Ready";
        case AFX_IDS_UNTITLED: return "Untitled";
        case AFX_IDS_OPENFILE: return "Open";
        case AFX_IDS_SAVEFILE: return "Save As";
        case AFX_IDS_ALLFILTER: return "All Files (*.*)";
        case AFX_IDP_ASK_TO_SAVE: return "Save changes to %1?";
        case AFX_IDP_FAILED_TO_OPEN_DOC: return "Failed to open document.";
        case AFX_IDP_FAILED_TO_SAVE_DOC: return "Failed to save document.";
        case ID_INDICATOR_CAPS: return "CAP";
        case ID_INDICATOR_NUM: return "NUM";
        case ID_INDICATOR_SCRL: return "SCRL";
        default: return {};
    }
}

}  // namespace fw
