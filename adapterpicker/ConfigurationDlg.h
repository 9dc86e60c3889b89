// CConfigurationDlg: the subnet mask and default gateway of the configuration, in two
// address fields. OK stores both in the document (a blank field stores an empty text);
// Cancel stores nothing. The mask is not checked: any four numbers are the user's to give.
#pragma once

#include "framework/dialogs/Dialog.h"

namespace varoda {

class CVarodaDoc;

class CConfigurationDlg : public fw::Dialog {
public:
    explicit CConfigurationDlg(fw::Window* parent = nullptr);
    void SetDocument(CVarodaDoc* document) { document_ = document; }

    // Shows the document's values; a mask that reads as 0 shows as 255.0.0.0.
    bool OnInitDialog() override;
    void OnOK() override;

protected:
    void CreateControls() override;

private:
    CVarodaDoc* document_ = nullptr;
};

}  // namespace varoda
