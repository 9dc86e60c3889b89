#include "versiontool/AboutDlg.h"

#include "platform/VavVersionInfo.h"
#include "versiontool/QuillonResources.h"
#include "versiontool/StateImages.h"

namespace quillon {

CVersionToolAboutDlg::CVersionToolAboutDlg(fw::Window* parent)
    : fw::AboutBox(parent, "About Quillon", QuillonIcon(),
                   {IDC_ABOUT_PRODUCT, IDC_ABOUT_VERSION, IDC_ABOUT_COPYRIGHT}) {
    VavProgramTexts texts = ReadProgramVersionTexts(6);
    SetTexts(std::move(texts.product), std::move(texts.version), std::move(texts.copyright));
}

}  // namespace quillon
