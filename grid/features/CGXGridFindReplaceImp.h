// Find and replace over the grid's cell texts, through the modeless find/replace dialog. The
// search goes one row at a time up or down the current column, from the current cell, and does
// not wrap around; without match case it compares upper-cased texts (each code point upper-cased,
// so a match in the upper-cased text is at the same place in the cell's own text).
#pragma once

#include "grid/core/CGXAbstractFeatures.h"

#include <memory>
#include <string>

namespace fw {
class FindReplaceDialog;
}
class CGXStyle;

// The find state shared by all grids of the process (kept by the library state).
class CGXFindReplaceSettings : public CGXOwnedObject {
public:
    ~CGXFindReplaceSettings() override;
    static CGXFindReplaceSettings& Get();
    // The compare text: the find text, upper-cased unless match case is set.
    void PrepareSearchText();

    std::unique_ptr<fw::FindReplaceDialog> dialog;
    bool findOnly = true;
    CGXGridCore* ownerGrid = nullptr;
    std::string findText;
    std::u32string compareText;
    std::string replaceText;
    bool matchCase = false;
    bool down = true;
    bool transaction = true;  // replace all runs as one undo transaction
};

class CGXGridFindReplaceImp : public CGXAbstractGridFindReplaceImp {
public:
    void ShowDialog(CGXGridCore* grid, bool findOnly) override;
    bool Find(CGXGridCore* grid, const std::string& text, bool down, bool matchCase) override;
    bool FindFrom(CGXGridCore* grid, ROWCOL row, ROWCOL col, bool setCurrentCell) override;
    bool FindNext(CGXGridCore* grid, bool setCurrentCell) override;
    void Replace(CGXGridCore* grid, const std::string& find, bool down, bool matchCase,
                 const std::string& replacement) override;
    void ReplaceAll(CGXGridCore* grid, const std::string& find, const std::string& replacement,
                    bool matchCase) override;
    void OnDialogNotify(CGXGridCore* grid, void* dialog) override;

    // The matching inside one cell. FindInCell: FALSE for the current cell unless searching
    // from the current position. ReplaceInCell: every match, left to right, into the cell's
    // value; TRUE when anything was replaced.
    bool FindInCell(CGXGridCore* grid, ROWCOL row, ROWCOL col, bool fromCurrentPos,
                    bool setCurrentCell);
    bool ReplaceInCell(CGXGridCore* grid, ROWCOL row, ROWCOL col);

private:
    std::u32string CellText(CGXGridCore* grid, ROWCOL row, ROWCOL col, const CGXStyle& style);
    // Replaces the first match in the cell; TRUE when there was one.
    bool ReplaceFirstInCell(CGXGridCore* grid, ROWCOL row, ROWCOL col);
};
