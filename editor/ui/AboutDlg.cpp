#include "editor/ui/AboutDlg.h"

#include "editor/ui/TessalyResources.h"
#include "platform/VavVersionInfo.h"

namespace tessaly {

CAboutDlg::CAboutDlg(fw::Window* parent)
    : fw::AboutBox(parent, "About Tessaly", TessalyIcon(),
                   {IDC_ABOUT_PRODUCT, IDC_ABOUT_VERSION, IDC_ABOUT_COPYRIGHT}) {
    VavProgramTexts texts = ReadProgramVersionTexts(6);
    SetTexts(std::move(texts.product), std::move(texts.version), std::move(texts.copyright));
}

}  // namespace tessaly
