#include "editor/ui/PasswordEntry.h"

#include "editor/document/ConfigData.h"
#include "editor/document/ErrorHandler.h"
#include "editor/ui/ChangePasswordDlg.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/controls/Edit.h"
#include "framework/controls/Static.h"
#include "framework/dialogs/MessageBox.h"

namespace tessaly {

CPasswordEntry::CPasswordEntry(fw::Window* parent) : fw::Dialog(parent) {
    SetTemplate("Password", 186, 62);
    MapCommand(IDC_NEW_PASSWORD_BUTTON, [this] { OnNewPassword(); });
}

void CPasswordEntry::CreateControls() {
    Add<fw::Static>(0, "Please enter password:", {7, 7, 120, 15});
    Add<fw::Edit>(IDC_PASSWORD, {7, 18, 120, 30}, fw::ES_AUTOHSCROLL | fw::ES_PASSWORD);
    Add<fw::Button>(fw::IDOK, "OK", {129, 7, 179, 21}, fw::BS_DEFPUSHBUTTON);
    Add<fw::Button>(fw::IDCANCEL, "Cancel", {129, 25, 179, 39});
    Add<fw::Button>(IDC_NEW_PASSWORD_BUTTON, "&New Password...", {7, 39, 80, 53});
}

bool CPasswordEntry::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    stored_ = CConfigData::GetInstance()->GetPassword();
    GotoDlgCtrl(GetDlgItem(IDC_PASSWORD));
    return false;  // the focus is set
}

void CPasswordEntry::OnOK() {
    const std::string text = GetDlgItemText(IDC_PASSWORD);
    if (text == stored_ || text == CConfigData::kDefaultPassword) {
        EndDialog(fw::IDOK);
        return;
    }
    fw::MessageBox(this, "Incorrect Password", "DMX Node Properties", fw::MB_OK);
    GotoDlgCtrl(GetDlgItem(IDC_PASSWORD));
}

void CPasswordEntry::OnNewPassword() {
    CChangePasswordDlg change(this);
    change.currentPassword = stored_;
    if (change.DoModal() == fw::IDOK) {
        if (CConfigData::GetInstance()->SetPassword(change.currentPassword))
            stored_ = change.currentPassword;
        else
            CErrorHandler::GetInstance()->ReportText(
                CErrorHandler::TYPE_ERROR, "PasswordEntry", __LINE__,
                "The new password could not be stored in the settings file; the password "
                "is unchanged.");
    }
    GotoDlgCtrl(GetDlgItem(IDC_PASSWORD));
}

}  // namespace tessaly
