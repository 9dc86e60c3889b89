#include "adapterpicker/AboutDlg.h"

#include "adapterpicker/VarodaResources.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/controls/Static.h"
#include "platform/VavVersionInfo.h"

#include <QApplication>
#include <QStyle>

namespace varoda {

CAboutDlg::CAboutDlg(fw::Window* parent) : fw::Dialog(parent) {
    SetTemplate("About Varoda", 217, 55);
}

void CAboutDlg::CreateControls() {
    fw::Static* icon = Add<fw::Static>(0, "", {11, 17, 31, 37});
    icon->SetPicture(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
    Add<fw::Static>(IDC_PRODUCT, "Product String", {40, 10, 170, 18}, fw::SS_NOPREFIX);
    Add<fw::Static>(IDC_VERSION, "Version String", {40, 22, 170, 30}, fw::SS_NOPREFIX);
    Add<fw::Static>(IDC_COPYRIGHT, "Copyright String", {40, 34, 170, 42}, fw::SS_NOPREFIX);
    Add<fw::Button>(fw::IDOK, "OK", {178, 7, 210, 21}, fw::BS_DEFPUSHBUTTON);
}

bool CAboutDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    VavVersionInfo version;
    version.LoadFromModule(nullptr);
    std::string numbers;
    if (version.FormatNumbers(3, numbers) != VAV_VERSION_OK)
        numbers.clear();
    SetDlgItemText(IDC_VERSION, numbers);
    const char* product = version.GetProductName();
    const char* copyright = version.GetCopyright();
    SetDlgItemText(IDC_PRODUCT, product ? product : "");
    SetDlgItemText(IDC_COPYRIGHT, copyright ? copyright : "");
    return true;
}

}  // namespace varoda
