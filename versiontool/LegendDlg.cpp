#include "versiontool/LegendDlg.h"

#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/controls/ListView.h"
#include "framework/persist/StringTable.h"
#include "versiontool/QuillonResources.h"
#include "versiontool/StateImages.h"

namespace quillon {

CLegendDlg::CLegendDlg(fw::Window* parent) : fw::Dialog(parent) {
    // Wider than the classic template, so the texts fit in the framework's font.
    SetTemplate("Device List Legend", 470, 93);
}

void CLegendDlg::CreateControls() {
    list_ = Add<fw::ListView>(IDC_LEGEND_LIST, {7, 7, 463, 63},
                              fw::LVS_REPORT | fw::LVS_NOCOLUMNHEADER | fw::LVS_SINGLESEL);
    // It only shows; not disabled, which would grey out the very colours it explains.
    list_->SetShowOnly(true);
    Add<fw::Button>(fw::IDOK, "OK", {210, 72, 260, 86}, fw::BS_DEFPUSHBUTTON);
}

bool CLegendDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    list_->SetImageList(MakeStateImages());
    list_->InsertColumn(0, fw::LoadString(IDS_COLUMN_NAME), fw::LVCFMT_LEFT,
                        list_->GetClientRect().Width());
    for (int image = 0; image < 4; ++image)
        list_->InsertItem(image, fw::LoadString(IDS_LEGEND_FIRST + static_cast<unsigned>(image)),
                          image);
    return true;
}

}  // namespace quillon
