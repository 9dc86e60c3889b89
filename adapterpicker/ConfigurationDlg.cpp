#include "adapterpicker/ConfigurationDlg.h"

#include "adapterpicker/AdapterTexts.h"
#include "adapterpicker/VarodaDoc.h"
#include "adapterpicker/VarodaResources.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/controls/IPAddressCtrl.h"
#include "framework/controls/Static.h"

namespace varoda {
namespace {

constexpr uint32_t kMaskWhenNone = 0xFF000000;  // 255.0.0.0

}  // namespace

CConfigurationDlg::CConfigurationDlg(fw::Window* parent) : fw::Dialog(parent) {
    SetTemplate("Configuration", 190, 74);
}

void CConfigurationDlg::CreateControls() {
    Add<fw::Static>(0, "&Subnet Mask:", {7, 10, 85, 20});
    Add<fw::IPAddressCtrl>(IDC_SUBNET_MASK, {90, 8, 183, 21});
    Add<fw::Static>(0, "Default &Gateway:", {7, 30, 85, 40});
    Add<fw::IPAddressCtrl>(IDC_GATEWAY, {90, 28, 183, 41});
    Add<fw::Button>(fw::IDOK, "OK", {40, 52, 90, 66}, fw::BS_DEFPUSHBUTTON);
    Add<fw::Button>(fw::IDCANCEL, "Cancel", {100, 52, 150, 66});
}

bool CConfigurationDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    if (document_ == nullptr)
        return true;
    auto* gateway = static_cast<fw::IPAddressCtrl*>(GetDlgItem(IDC_GATEWAY));
    auto* mask = static_cast<fw::IPAddressCtrl*>(GetDlgItem(IDC_SUBNET_MASK));
    gateway->SetAddress(TextToAddress(document_->GetGateway()));
    const uint32_t maskValue = TextToAddress(document_->GetSubnetMask());
    mask->SetAddress(maskValue != 0 ? maskValue : kMaskWhenNone);
    return true;
}

void CConfigurationDlg::OnOK() {
    if (document_ != nullptr) {
        uint32_t address = 0;
        static_cast<fw::IPAddressCtrl*>(GetDlgItem(IDC_GATEWAY))->GetAddress(address);
        document_->SetGateway(AddressToText(address));
        address = 0;
        static_cast<fw::IPAddressCtrl*>(GetDlgItem(IDC_SUBNET_MASK))->GetAddress(address);
        document_->SetSubnetMask(AddressToText(address));
    }
    EndDialog(fw::IDOK);
}

}  // namespace varoda
