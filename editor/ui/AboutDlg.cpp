#include "editor/ui/AboutDlg.h"

#include "editor/ui/TessalyResources.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/controls/Static.h"
#include "framework/dialogs/DataExchange.h"
#include "platform/VavVersionInfo.h"

namespace tessaly {

CAboutDlg::CAboutDlg(fw::Window* parent) : fw::Dialog(parent) {
    SetTemplate("About Tessaly", 236, 66);
    VavVersionInfo version;
    version.LoadFromModule(nullptr);
    version.FormatNumbers(6, version_);
    if (const char* product = version.GetProductName())
        product_ = product;
    if (const char* copyright = version.GetCopyright())
        copyright_ = copyright;
}

void CAboutDlg::CreateControls() {
    Add<fw::Static>(0, "", {11, 17, 32, 38})->SetPicture(TessalyIcon().pixmap(32, 32));
    Add<fw::Static>(IDC_ABOUT_PRODUCT, "Product String", {43, 10, 176, 20}, fw::SS_NOPREFIX);
    Add<fw::Static>(IDC_ABOUT_VERSION, "Version String", {43, 23, 139, 31}, fw::SS_NOPREFIX);
    Add<fw::Static>(IDC_ABOUT_COPYRIGHT, "Copyright String", {43, 36, 229, 57}, fw::SS_NOPREFIX);
    Add<fw::Button>(fw::IDOK, "OK", {185, 7, 229, 21}, fw::BS_DEFPUSHBUTTON);
}

void CAboutDlg::DoDataExchange(fw::DataExchange& dx) {
    fw::DDX_Text(dx, IDC_ABOUT_COPYRIGHT, copyright_);
    fw::DDX_Text(dx, IDC_ABOUT_PRODUCT, product_);
    fw::DDX_Text(dx, IDC_ABOUT_VERSION, version_);
}

}  // namespace tessaly
