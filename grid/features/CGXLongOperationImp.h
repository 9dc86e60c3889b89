// Progress and abort of long operations: after a delay the status text (with a percentage or a
// spinner) appears in the main frame's status bar, the wait cursor is shown, the user interface
// is kept alive, every key and click meanwhile is dropped, and Escape (or Ctrl+Break) asks to
// cancel.
#pragma once

#include "grid/core/CGXAbstractComponents.h"
#include "grid/core/CGXLongOperation.h"

#include <string>

class CGXLongOperationImp : public CGXAbstractLongOperationImp {
public:
    void Start(CGXLongOperation& op) override;
    void Stop(CGXLongOperation& op) override;
    void FreeStatusText(CGXLongOperation& op) override;
    void SetStatusText(CGXLongOperation& op, std::string_view text, bool copy) override;
    bool CheckProgressCanAbort(CGXLongOperation& op, bool& abort) override;
    bool CheckProgress(CGXLongOperation& op) override;
    void ProcessPendingInput(CGXLongOperation& op) override;

private:
    bool Due(const CGXLongOperation& op) const;
    void Show(CGXLongOperation& op, bool withCancelHint);
    void AskAbort();
};

// Creates the component once and gives it to the library state.
void InstallLongOperationImp();
