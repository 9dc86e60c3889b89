#include "editor/ui/RangePatchDlg.h"

#include "editor/document/EditorStrings.h"
#include "editor/document/ErrorHandler.h"
#include "editor/ui/EdmxAddress.h"
#include "editor/ui/EdmxEdit.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/controls/Edit.h"
#include "framework/controls/Static.h"
#include "framework/dialogs/MessageBox.h"

namespace tessaly {
namespace {
constexpr unsigned IDS_EDMX_INVALID = 59157;
constexpr unsigned IDS_DMX_START_INVALID = 59158;
constexpr unsigned IDS_DMX_END_INVALID = 59159;
constexpr unsigned IDS_DMX_END_BELOW_START = 59160;
constexpr unsigned IDS_RANGE_BEYOND_EDMX = 59161;
}  // namespace

CRangePatchDlg::CRangePatchDlg(fw::Window* parent) : fw::Dialog(parent) {
    SetTemplate("Range Patch", 180, 96);
}

void CRangePatchDlg::CreateControls() {
    Add<fw::Static>(0, "DMX Start Channel:", {7, 9, 100, 17});
    Add<fw::Edit>(IDC_RANGE_DMX_START, {104, 7, 173, 19}, fw::ES_AUTOHSCROLL | fw::ES_NUMBER);
    Add<fw::Static>(0, "DMX End Channel:", {7, 27, 100, 35});
    Add<fw::Edit>(IDC_RANGE_DMX_END, {104, 25, 173, 37}, fw::ES_AUTOHSCROLL | fw::ES_NUMBER);
    Add<fw::Static>(0, "EDMX Start Address:", {7, 45, 100, 53});
    Add<CEdmxEdit>(IDC_RANGE_EDMX, {104, 43, 173, 55});
    Add<fw::Button>(IDC_RANGE_APPEND, "Append to current patch", {7, 61, 173, 71},
                    fw::BS_AUTOCHECKBOX);
    Add<fw::Button>(fw::IDOK, "OK", {69, 76, 119, 90}, fw::BS_DEFPUSHBUTTON);
    Add<fw::Button>(fw::IDCANCEL, "Cancel", {123, 76, 173, 90});
}

bool CRangePatchDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    CheckDlgButton(IDC_RANGE_APPEND, m_bAppend ? fw::BST_CHECKED : fw::BST_UNCHECKED);
    SetDlgItemInt(IDC_RANGE_DMX_START, 1);
    SetDlgItemInt(IDC_RANGE_DMX_END, 512);
    SetDlgItemText(IDC_RANGE_EDMX, "1");
    GotoDlgCtrl(GetDlgItem(IDC_RANGE_DMX_START));
    return false;
}

void CRangePatchDlg::OnOK() {
    m_bAppend = IsDlgButtonChecked(IDC_RANGE_APPEND) == fw::BST_CHECKED;
    bool startOk = false;
    bool endOk = false;
    const int dmxStart = GetDlgItemInt(IDC_RANGE_DMX_START, &startOk);
    const int dmxEnd = GetDlgItemInt(IDC_RANGE_DMX_END, &endOk);
    // "0" is accepted: the range is unpatched.
    const auto edmx = ParseEdmxAddress(GetDlgItemText(IDC_RANGE_EDMX));
    if (!edmx || *edmx < 0 || *edmx > kEdmxAddressMax) {
        Refuse(IDS_EDMX_INVALID, IDC_RANGE_EDMX, __LINE__);
        return;
    }
    if (!startOk || dmxStart < 1 || dmxStart > 512) {
        Refuse(IDS_DMX_START_INVALID, IDC_RANGE_DMX_START, __LINE__);
        return;
    }
    if (!endOk || dmxEnd < 1 || dmxEnd > 512) {
        Refuse(IDS_DMX_END_INVALID, IDC_RANGE_DMX_END, __LINE__);
        return;
    }
    if (dmxEnd < dmxStart) {
        Refuse(IDS_DMX_END_BELOW_START, IDC_RANGE_DMX_END, __LINE__);
        return;
    }
    if (kEdmxAddressMax - *edmx < dmxEnd - dmxStart) {
        Refuse(IDS_RANGE_BEYOND_EDMX, IDC_RANGE_EDMX, __LINE__);
        return;
    }
    if (fw::MessageBox(this, "Are you sure you want to do this range patch?", "warning",
                       fw::MB_OKCANCEL | fw::MB_ICONEXCLAMATION) != fw::IDOK)
        return;
    m_nEdmxStart = *edmx;
    m_nDmxStart = dmxStart;
    m_nDmxEnd = dmxEnd;
    EndDialog(fw::IDOK);
}

void CRangePatchDlg::Refuse(unsigned messageId, unsigned focus, int line) {
    CErrorHandler::GetInstance()->ReportText(CErrorHandler::TYPE_ERROR, "RangePatchDlg", line,
                                             LoadEditorString(messageId));
    GotoDlgCtrl(GetDlgItem(focus));
}

}  // namespace tessaly
