// The undo operations of the core that the row and column structure uses around its stores:
// closing its own transaction, ending a step that made no command, the cell an undo shows and
// the cell store's own recording. Each goes to the undo factory (slot 9); without it nothing
// happens and the answer is FALSE.
#include "grid/core/CGXGridCore.h"

void CGXGridCore::CloseTrans() {
    if (auto* f = GetCommandFactory())
        f->CloseTrans(this);
}

void CGXGridCore::EndUndoStep() {
    if (auto* f = GetCommandFactory())
        f->EndUndoStep(this);
}

void CGXGridCore::SetUndoPosition(ROWCOL row, ROWCOL col) {
    if (auto* f = GetCommandFactory())
        f->SetUndoPosition(this, row, col);
}

bool CGXGridCore::SetUndoRecording(bool on) {
    auto* f = GetCommandFactory();
    return f && f->SetUndoRecording(this, on);
}
