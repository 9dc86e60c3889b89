#include "editor/ui/OneToOnePatchDlg.h"

#include "editor/document/EditorStrings.h"
#include "editor/document/ErrorHandler.h"
#include "editor/ui/EdmxAddress.h"
#include "editor/ui/EdmxEdit.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/controls/Static.h"
#include "framework/dialogs/MessageBox.h"

namespace tessaly {
namespace {
constexpr unsigned IDS_EDMX_INVALID = 59157;
constexpr unsigned IDS_RANGE_BEYOND_EDMX = 59161;
}  // namespace

COneToOnePatchDlg::COneToOnePatchDlg(fw::Window* parent) : fw::Dialog(parent) {
    SetTemplate("One to One Patch", 180, 62);
}

void COneToOnePatchDlg::CreateControls() {
    Add<fw::Static>(0, "Enter EDMX Start Address:", {7, 9, 100, 17});
    Add<CEdmxEdit>(IDC_ONE_TO_ONE_EDMX, {104, 7, 173, 19});
    Add<fw::Button>(IDC_ONE_TO_ONE_APPEND, "Append to current patch", {7, 25, 173, 35},
                    fw::BS_AUTOCHECKBOX);
    Add<fw::Button>(fw::IDOK, "OK", {69, 41, 119, 55}, fw::BS_DEFPUSHBUTTON);
    Add<fw::Button>(fw::IDCANCEL, "Cancel", {123, 41, 173, 55});
}

bool COneToOnePatchDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    CheckDlgButton(IDC_ONE_TO_ONE_APPEND, m_bAppend ? fw::BST_CHECKED : fw::BST_UNCHECKED);
    SetDlgItemText(IDC_ONE_TO_ONE_EDMX, "1");
    GotoDlgCtrl(GetDlgItem(IDC_ONE_TO_ONE_EDMX));  // all of it selected
    return false;
}

void COneToOnePatchDlg::OnOK() {
    m_bAppend = IsDlgButtonChecked(IDC_ONE_TO_ONE_APPEND) == fw::BST_CHECKED;
    const auto start = ParseEdmxAddress(GetDlgItemText(IDC_ONE_TO_ONE_EDMX));
    if (!start || *start <= 0 || *start > kEdmxAddressMax) {
        Refuse(IDS_EDMX_INVALID, __LINE__);
        return;
    }
    // All 512 channels must land on addresses that exist.
    if (*start + 511 > kEdmxAddressMax) {
        Refuse(IDS_RANGE_BEYOND_EDMX, __LINE__);
        return;
    }
    if (fw::MessageBox(this, "Are you sure you want to do this One to One patch?", "warning",
                       fw::MB_OKCANCEL | fw::MB_ICONEXCLAMATION) != fw::IDOK)
        return;
    m_nEdmxStart = *start;
    EndDialog(fw::IDOK);
}

void COneToOnePatchDlg::Refuse(unsigned messageId, int line) {
    CErrorHandler::GetInstance()->ReportText(CErrorHandler::TYPE_ERROR, "OneToOnePatchDlg", line,
                                             LoadEditorString(messageId));
    GotoDlgCtrl(GetDlgItem(IDC_ONE_TO_ONE_EDMX));
}

}  // namespace tessaly
