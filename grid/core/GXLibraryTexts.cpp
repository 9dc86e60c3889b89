// The grid library's own string-table texts: progress texts and command names, the long-
// operation texts, the names of the standard styles, the cell controls the core knows, the
// user attributes and the names of the grid properties' colours and choices. A program may set its
// own texts under these ids before the library starts.
#include "framework/persist/StringTable.h"
#include "grid/core/GXLibraryState.h"

#include <array>

namespace {

constexpr fw::StringEntry kTexts[] = {
    {20139, "Redoing %1 ..."},
    {20140, "Undoing %1 ..."},
    {20141, "Generating undo information ..."},
    {20142, "Storing cells ...."},
    {20143, "Restoring cells ..."},
    {20144, "Cells."},
    {20145, "Removing rows ..."},
    {20146, "Removing columns ..."},
    {20147, "Copying text format ..."},
    {20148, "Copying internal format ..."},
    {20150, "Cut Data."},
    {20151, "Cutting data ..."},
    {20152, "Pasting data from clipboard..."},
    {20154, "Paste."},
    {20155, "Replacing values ..."},
    {20156, "Replace All"},
    {20157, "Searching values ..."},
    {20162, "Move Rows"},
    {20163, "Move Columns"},
    {20164, "Insert Rows"},
    {20165, "Insert Columns"},
    {20168, "Freeze Columns"},
    {20169, "Freeze Rows"},
    {20172, "Resizing Rows"},
    {20173, "Resizing Columns"},
    {20174, "Current Cell"},
    {20175, "Clipboard size is different from selected range"},
    {20178, "Copy"},
    {20179, "Move"},
    {20180, "Clear Cells"},
    {20075, "Processing..."},
    {20076, "Done."},
    {20077, "Press ESC to cancel"},
    {20081, "Do you want to abort the operation?"},
    {52512, "Edit Control"},
    {52520, "Header"},
    {52768, "Standard"},
    {52769, "Row Header"},
    {52770, "Column Header"},
    {52780, "Constraint Violation"},
    {51011, "Valid: Min. Value"},
    {51012, "Valid: Max. Value"},
    {51013, "Valid: Warning Msg"},
    {51014, "SpinBound: Min. Value"},
    {51015, "SpinBound: Max. Value"},
    {51016, "SpinBound: Wrap Value"},
    {51018, "Field No."},
    {51019, "Checkbox: Checked Value"},
    {51020, "Checkbox: Unchecked Value"},
    {51021, "SpinEdit: start value"},
    {51022, "Tooltip-Text"},
    {51023, "Maskedit: Input Mask"},
    {51024, "Maskedit: Prompt Char"},
    {51025, "Progress: Lower Bound"},
    {51026, "Progress: Upper Bound"},
    {51027, "Progress: Caption"},
    {51028, "TabList: Key Column"},
    {51029, "TabList: Text Column"},
    {51030, "TabList: Show all columns"},
    {51031, "TabList: Display Column Titles"},
    {51032, "TabList: Column Widths"},
    {51033, "TabList: Sort Columns"},
    {51034, "DateTime: Non editable fields"},
    {51035, "DateTime: Minimum allowed date"},
    {51036, "DateTime: Maximum allowed date"},
    {51037, "DateTime: Validation mode"},
    {51038, "DateTime: Date format type"},
    {51039, "DateTime: Custom date format "},
    {51044, "DateTime: Fast Input"},
    {51045, "Currency: Separators"},
    {51046, "Currency: Attributes"},
    {51047, "Currency: Positive Format"},
    {51048, "Currency: Negative Format"},
    {51049, "Currency: Number of decimals"},
    {51050, "Currency: Number of fractional digits "},
    {51051, "Currency: Enable calculator button"},
    {51054, "Currency: Monetary Symbol. "},
    {51055, "TabList: Unique choicelist id"},
    {51057, "RadioButton: Alignment"},
    {51005, "Current Cell."},
    {51006, "Invert Thin."},
    {51007, "Invert Thick."},
    {51008, "Thin Border."},
    {51009, "Thick Border."},
    {20059, "No Border."},
    {52232, "Grid Lines"},
    {52233, "Fixed Lines"},
    {52234, "Tracking Line"},
    {52235, "Background"},
    {52236, "Dragging Line"},
};

// The ids of the text table, in its order.
constexpr std::array<unsigned, 30> kTableIds = {
    20139, 20140, 20141, 20142, 20143, 20144, 20145, 20146, 20162, 20163,
    20164, 20165, 20147, 20148, 20150, 20180, 20151, 20152, 20154, 20155,
    20156, 20157, 20172, 20173, 20169, 20168, 20174, 20175, 20178, 20179};

}  // namespace

void GXAddLibraryStrings() {
    for (const fw::StringEntry& e : kTexts)
        if (!fw::FindString(e.id))
            fw::SetString(e.id, e.text);
}

void GXLoadLibraryTexts(GX_LIBRARY_STATE& state) {
    for (std::size_t i = 0; i < kTableIds.size(); ++i)
        state.m_aszTexts[i] = fw::LoadString(kTableIds[i]);
    state.m_strProcessing = fw::LoadString(20075);
    state.m_strDone = fw::LoadString(20076);
    state.m_strPressEscape = fw::LoadString(20077);
    state.m_strAbortOperation = fw::LoadString(20081);
}

const std::string& GXLibraryText(unsigned id) {
    static const std::string empty;
    for (std::size_t i = 0; i < kTableIds.size(); ++i)
        if (kTableIds[i] == id)
            return GXGetLibraryState().m_aszTexts[i];
    return empty;
}
