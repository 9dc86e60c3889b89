#include "editor/ui/ChangePasswordDlg.h"

#include "editor/document/EditorStrings.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/controls/Edit.h"
#include "framework/controls/Static.h"
#include "framework/dialogs/MessageBox.h"

namespace tessaly {
namespace {
constexpr unsigned IDS_PASSWORD_MISMATCH = 20014;
constexpr unsigned IDS_PASSWORD_INCORRECT = 20015;
}  // namespace

CChangePasswordDlg::CChangePasswordDlg(fw::Window* parent) : fw::Dialog(parent) {
    SetTemplate("Change Password", 214, 62);
}

void CChangePasswordDlg::CreateControls() {
    const fw::DWORD masked = fw::ES_AUTOHSCROLL | fw::ES_PASSWORD;
    Add<fw::Static>(0, "Old Password:", {7, 9, 92, 17});
    Add<fw::Edit>(IDC_OLD_PASSWORD, {96, 7, 152, 19}, masked);
    Add<fw::Static>(0, "New Password:", {7, 27, 92, 35});
    Add<fw::Edit>(IDC_NEW_PASSWORD, {96, 25, 152, 37}, masked);
    Add<fw::Static>(0, "Confirm New Password:", {7, 45, 92, 53});
    Add<fw::Edit>(IDC_CONFIRM_PASSWORD, {96, 43, 152, 55}, masked);
    Add<fw::Button>(fw::IDOK, "OK", {160, 7, 207, 21}, fw::BS_DEFPUSHBUTTON);
    Add<fw::Button>(fw::IDCANCEL, "Cancel", {160, 25, 207, 39});
}

void CChangePasswordDlg::OnOK() {
    const std::string oldText = GetDlgItemText(IDC_OLD_PASSWORD);
    const std::string newText = GetDlgItemText(IDC_NEW_PASSWORD);
    const std::string confirm = GetDlgItemText(IDC_CONFIRM_PASSWORD);
    if (oldText != currentPassword) {
        Refuse(IDS_PASSWORD_INCORRECT, {IDC_OLD_PASSWORD}, IDC_OLD_PASSWORD);
        return;
    }
    if (newText != confirm) {
        Refuse(IDS_PASSWORD_MISMATCH, {IDC_NEW_PASSWORD, IDC_CONFIRM_PASSWORD}, IDC_NEW_PASSWORD);
        return;
    }
    currentPassword = newText;
    EndDialog(fw::IDOK);
}

void CChangePasswordDlg::Refuse(unsigned messageId, std::initializer_list<unsigned> cleared,
                                unsigned focus) {
    fw::AppMessageBox(LoadEditorString(messageId));
    for (unsigned id : cleared) SetDlgItemText(id, "");
    GotoDlgCtrl(GetDlgItem(focus));
}

}  // namespace tessaly
