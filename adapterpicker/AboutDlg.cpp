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
    const VavProgramTexts texts = ReadProgramVersionTexts(3);
    SetDlgItemText(IDC_VERSION, texts.version);
    SetDlgItemText(IDC_PRODUCT, texts.product);
    SetDlgItemText(IDC_COPYRIGHT, texts.copyright);
    return true;
}

}  // namespace varoda
